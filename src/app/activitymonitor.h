#pragma once

#include "platform/activitylibrary.h"
#include "presence/autoaway.h"

#include <QString>

class AutoAnswer;
class DebugLog;
class Options;
class Presence;
class UserPrompt;

// Auto-away for one running copy: the activity library, loaded while the main window is built
// and unloaded with the auto-answer window, and the poll on the root window's tick that turns the
// own status to away and back. Main thread only.
class ActivityMonitor
{
public:
    struct Parts
    {
        Presence *presence;
        AutoAnswer *autoAnswer;
        const Options *options;
        const DebugLog *log;
        UserPrompt *prompt;
    };

    explicit ActivityMonitor(Parts parts);

    // Loads libparlix1.so from folder and starts its watching, unless this desktop's input cannot
    // be watched at all (offscreen, Wayland), in which case it says why and loads nothing.
    void loadLibrary(const QString &folder);
    // _UnRegHook and unload. Auto-away stops.
    void unloadLibrary();

    // The library watches the desktop's input: auto-away can work, and the idle-seconds field of
    // the settings window is worth enabling.
    bool available() const { return m_watching; }
    bool autoAwayMark() const { return m_autoAway.mark(); }
    bool userActive() const { return m_autoAway.userActive(); }

    // One tick of the root window's timer, after the roster rebuild.
    void poll(bool settingsWindowExists);

private:
    void off(const QString &reason);

    Parts m_parts;
    ActivityLibrary m_library;
    AutoAway m_autoAway;
    bool m_watching = false;
    // Why auto-away is off, for the debug log: the log opens only after start-up.
    QString m_offReason;
    bool m_offReasonLogged = false;
};
