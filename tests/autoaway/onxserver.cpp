#include "onxserver.h"

#include "activity/xvfbserver.h"

#include <QCoreApplication>
#include <QProcess>

namespace {
const char kVariable[] = "PARLIX_TEST_ON_X";
}

bool OnXServer::isCopy()
{
    return qEnvironmentVariableIsSet(kVariable);
}

QString OnXServer::run(const QStringList &functions, QString *skip)
{
    if (const QString missing = XvfbServer::missingTool(); !missing.isEmpty()) {
        *skip = missing + QStringLiteral(" is not installed (tools/install-deps.sh installs it)");
        return {};
    }
    XvfbServer x;
    if (!x.start())
        return x.errorString();
    QProcess copy;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), x.display());
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("XDG_SESSION_TYPE"));
    env.insert(QString::fromLatin1(kVariable), QStringLiteral("1"));
    copy.setProcessEnvironment(env);
    copy.setProcessChannelMode(QProcess::ForwardedChannels);
    copy.start(QCoreApplication::applicationFilePath(), functions);
    if (!copy.waitForFinished(120000)) {
        copy.kill();
        copy.waitForFinished();
        return functions.join(u' ') + QStringLiteral(" did not finish on the X server");
    }
    if (copy.exitStatus() != QProcess::NormalExit || copy.exitCode() != 0)
        return functions.join(u' ') + QStringLiteral(" failed on the X server (see its output above)");
    return {};
}
