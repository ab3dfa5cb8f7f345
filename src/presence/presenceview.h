#pragma once

#include <QColor>
#include <QString>
#include <QTextCharFormat>

// What presence needs from the windows: the conversation, the main window's state, sounds, the
// status chooser. The main window implements it; tests implement it to watch.
class PresenceView
{
public:
    virtual ~PresenceView() = default;

    // Appends one line at the end of the conversation in the given format.
    virtual void appendLine(const QString &text, const QTextCharFormat &format) = 0;
    virtual bool mainWindowActive() const = 0;       // active and visible
    virtual bool settingsWindowExists() const = 0;
    virtual bool settingsWindowActive() const = 0;
    virtual void closeSettingsWindow() = 0;
    virtual void raiseMainWindow() = 0;              // from the tray or the task bar, to the front
    virtual void setAttentionMark(bool on) = 0;      // the tray icon blinks while it is set
    enum class Beep { Speaker, Asterisk, Default, SoundFile };
    virtual void beep(Beep kind, int count, const QString &soundFile) = 0;
    // The own status as the chooser, the tray menu and the tray icon show it.
    virtual void showOwnStatus(int status, const QColor &colour) = 0;
    // The auto-answer text window, modal; returns when it closes.
    virtual void askAutoAnswerText() = 0;
    virtual QString progressText() const = 0;
    virtual void setProgressText(const QString &text) = 0;
};
