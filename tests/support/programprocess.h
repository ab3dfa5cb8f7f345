#pragma once

#include <QProcess>
#include <QTemporaryDir>

// A real copy of the program, offscreen, with a data folder and an autostart folder of its own,
// listening on a loopback address of the test's choosing.
class ProgramProcess
{
public:
    explicit ProgramProcess(QString listen, QString home = QString());
    ~ProgramProcess();

    static QString programPath();
    // Runs the program on this X display (the xcb platform) instead of offscreen; before start().
    void setDisplay(const QString &display) { m_display = display; }
    // One more environment variable for the program; before start().
    void setEnvironment(const QString &name, const QString &value) { m_extra.insert(name, value); }
    QString home() const { return m_home; }
    QString xdgConfig() const { return m_xdg.path(); }

    // Starts the program with extra arguments; true once it accepts connections on its port.
    bool start(const QStringList &extra = {});
    // Starts and waits until the process ends by itself.
    bool runToEnd(const QStringList &arguments, int timeoutMs);
    bool acceptsConnections(int timeoutMs) const;
    // SIGTERM, then the wait for the end; the elapsed time in ms, or -1 when it did not end.
    qint64 terminate(int timeoutMs = 15000);
    QProcess &process() { return m_process; }

private:
    QProcessEnvironment environment() const;

    QString m_listen;
    QString m_display;
    QProcessEnvironment m_extra;
    QTemporaryDir m_ownHome;
    QTemporaryDir m_xdg;
    QString m_home;
    QProcess m_process;
};
