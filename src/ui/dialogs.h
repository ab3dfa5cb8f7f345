#pragma once

#include "app/userprompt.h"

#include <QMessageBox>

#include <memory>

class DebugLog;
class QWidget;

// The one place that shows message boxes and questions. Without a display (offscreen) nobody
// could answer them: each is written to standard error and the log, and answered with its
// default (No).
class Dialogs : public UserPrompt
{
public:
    explicit Dialogs(const DebugLog *log);

    void message(const QString &text) override;
    bool question(const QString &text) override;

    static bool headless();
    // The box as shown. Its text holds names and file names that peers chose, so it is plain
    // text, never markup.
    static std::unique_ptr<QMessageBox> box(const QString &text, QMessageBox::StandardButtons buttons);
    // Offscreen, questions get this answer instead of No: for tests that play the user.
    void setHeadlessAnswer(bool yes) { m_headlessAnswer = yes; }

private:
    void report(const QString &kind, const QString &text) const;

    const DebugLog *m_log;
    bool m_headlessAnswer = false;
};
