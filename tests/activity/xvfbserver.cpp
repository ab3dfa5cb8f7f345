#include "xvfbserver.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>

XvfbServer::~XvfbServer()
{
    stop();
}

QString XvfbServer::missingTool()
{
    for (const QString &tool : {QStringLiteral("Xvfb"), QStringLiteral("xdotool")}) {
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return tool;
    }
    return {};
}

bool XvfbServer::start()
{
    // The display numbers set aside for these tests, tried from a random one on (the lowest free
    // one, which -displayfd alone would take, is where stray input from elsewhere lands). A number
    // that is taken makes the server exit at once; then the next one is tried.
    const int first = int(QRandomGenerator::system()->bounded(kFirstDisplay, kLastDisplay + 1));
    const int count = kLastDisplay - kFirstDisplay + 1;
    for (int attempt = 0; attempt < count; ++attempt) {
        if (startOn(kFirstDisplay + (first - kFirstDisplay + attempt) % count))
            return true;
    }
    return false;
}

bool XvfbServer::startOn(int number)
{
    // With -displayfd the server writes the number to standard output once it accepts
    // connections. -noreset: keep the keymap and pointer when the last client leaves.
    m_server.setProgram(QStringLiteral("Xvfb"));
    m_server.setArguments({QStringLiteral(":%1").arg(number), QStringLiteral("-displayfd"), QStringLiteral("1"),
                           QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset"),
                           QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("640x480x24")});
    // A test killed by its timeout must not leave the server behind.
    m_server.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_server.start();
    if (!m_server.waitForStarted(10000)) {
        m_error = QStringLiteral("Xvfb did not start: ") + m_server.errorString();
        return false;
    }
    const QDeadlineTimer deadline(20000);
    while (!m_server.canReadLine()) {
        if (m_server.state() != QProcess::Running || deadline.hasExpired()) {
            m_error = QStringLiteral("Xvfb :%1 did not come up: ").arg(number)
                + QString::fromLocal8Bit(m_server.readAllStandardError());
            stop();
            return false;
        }
        m_server.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 500)));
    }
    if (m_server.readLine().trimmed().toInt() != number) {
        m_error = QStringLiteral("Xvfb :%1 reported another display").arg(number);
        stop();
        return false;
    }
    m_display = QStringLiteral(":%1").arg(number);
    return true;
}

void XvfbServer::stop()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(10000)) {
        m_server.kill();
        m_server.waitForFinished(10000);
    }
}

bool XvfbServer::xdotool(const QStringList &arguments)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(15000)) {
        m_error = QStringLiteral("xdotool %1 did not finish").arg(arguments.join(u' '));
        tool.kill();
        tool.waitForFinished();
        return false;
    }
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        m_error = QStringLiteral("xdotool %1 failed: %2")
                      .arg(arguments.join(u' '), QString::fromLocal8Bit(tool.readAllStandardError()));
        return false;
    }
    return true;
}
