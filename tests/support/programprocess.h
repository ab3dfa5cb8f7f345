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
    QTemporaryDir m_ownHome;
    QTemporaryDir m_xdg;
    QString m_home;
    QProcess m_process;
};
