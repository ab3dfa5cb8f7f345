#pragma once

#include <QString>

#include <atomic>

// The one logging operation. A line is written only when the three gates are open: the root
// window has been created, the settings window exists, and the log option is on. Called from
// the main thread and from every worker thread; lines are never mixed.
class DebugLog
{
public:
    explicit DebugLog(QString path = QString());

    QString path() const;

    void setRootCreated();                 // set once, never cleared
    void setSettingsWindowExists(bool exists);
    void setEnabled(bool on);              // follows CheckBox_log
    bool gateOpen() const;

    void operator()(const QString &text) const { if (gateOpen()) WriteLogLine(m_path, text); }

    // The unconditional append: "hh:mm:ss: text" CR LF in Windows-1251, one write per line under a
    // process-wide lock. Failures are silent.
    static void WriteLogLine(const QString &path, const QString &text);
    // Pure: the bytes of one line for a given time of day.
    static QByteArray formatLine(const QString &timeOfDay, const QString &text);

private:
    QString m_path;
    std::atomic_bool m_rootCreated{false};
    std::atomic_bool m_settingsWindow{false};
    std::atomic_bool m_enabled{false};
};
