#include "programprocess.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QThread>

#include <csignal>

ProgramProcess::ProgramProcess(QString listen, QString home)
    : m_listen(std::move(listen))
    , m_home(home.isEmpty() ? m_ownHome.path() : home)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

ProgramProcess::~ProgramProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString ProgramProcess::programPath()
{
    return qEnvironmentVariable("PARLIX_BUILD_DIR") + QStringLiteral("/parlix");
}

QProcessEnvironment ProgramProcess::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (m_display.isEmpty()) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("DISPLAY", m_display);
        // Whatever session the tests were started from, the program sees only this X server.
        env.remove("WAYLAND_DISPLAY");
        env.remove("XDG_SESSION_TYPE");
    }
    env.insert("XDG_CONFIG_HOME", m_xdg.path());
    env.remove("PARLIX_HOME");
    env.insert(m_extra);
    return env;
}

bool ProgramProcess::start(const QStringList &extra)
{
    m_process.setProcessEnvironment(environment());
    m_process.start(programPath(), QStringList{"--home", m_home, "--listen", m_listen} + extra);
    if (!m_process.waitForStarted(10000))
        return false;
    return acceptsConnections(15000);
}

bool ProgramProcess::runToEnd(const QStringList &arguments, int timeoutMs)
{
    m_process.setProcessEnvironment(environment());
    m_process.start(programPath(), arguments);
    return m_process.waitForStarted(10000) && m_process.waitForFinished(timeoutMs);
}

bool ProgramProcess::acceptsConnections(int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (m_process.state() != QProcess::Running)
            return false;
        QTcpSocket socket;
        socket.connectToHost(m_listen, 7456);
        if (socket.waitForConnected(500)) {
            socket.disconnectFromHost();
            return true;
        }
        QThread::msleep(50);
    }
    return false;
}

qint64 ProgramProcess::terminate(int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    ::kill(pid_t(m_process.processId()), SIGTERM);
    if (!m_process.waitForFinished(timeoutMs))
        return -1;
    return elapsed.elapsed();
}
