#pragma once

#include "presence/arrivalview.h"
#include "presence/composerview.h"
#include "presence/presenceview.h"
#include "ui/sounds.h"

class ParlixApp;

// Presence as the windows of one running copy show it.
class WindowPresenceView : public PresenceView, public ArrivalView, public ComposerView
{
public:
    explicit WindowPresenceView(ParlixApp &app);

    void appendLine(const QString &text, const QTextCharFormat &format) override;
    bool mainWindowActive() const override;
    bool settingsWindowExists() const override;
    bool settingsWindowActive() const override;
    void closeSettingsWindow() override;
    void raiseMainWindow() override;
    void setAttentionMark(bool on) override;
    void beep(Beep kind, int count, const QString &soundFile) override;
    void showOwnStatus(int status, const QColor &colour) override;
    void askAutoAnswerText() override;
    QString progressText() const override;
    void setProgressText(const QString &text) override;

    QTextDocument *conversation() override;
    QTextDocument *input() override;
    void setInputReadOnly(bool readOnly) override;
    void leaveLetterMode() override;
    bool mainWindowVisible() const override;
    bool inputEmpty() const override;
    void scrolltoend() override;
    void openLetter(const QString &caption, std::unique_ptr<QTextDocument> content, bool minimised,
                    const QString &saveAs) override;

private:
    ParlixApp &m_app;
    Sounds m_sounds;
};
