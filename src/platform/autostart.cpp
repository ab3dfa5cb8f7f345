#include "autostart.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Quoting of the Exec key: every argument in double quotes, with ", `, $ and \ escaped.
QString quoted(const QString &argument)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        out += c;
    }
    out += u'"';
    return out;
}

} // namespace

QString Autostart::entryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/parlix.desktop");
}

QString Autostart::launcher(const QString &program)
{
    const QFileInfo file(program);
    const QString onPath = QStandardPaths::findExecutable(file.fileName());
    if (!onPath.isEmpty() && !file.canonicalFilePath().isEmpty()
        && QFileInfo(onPath).canonicalFilePath() == file.canonicalFilePath())
        return onPath;
    return program;
}

QByteArray Autostart::entryText(const QString &program, const QStringList &arguments)
{
    QString exec = quoted(program);
    for (const QString &argument : arguments)
        exec += u' ' + quoted(argument);
    // Escaping rules of the desktop entry format apply on top of the Exec quoting; a literal "%"
    // would otherwise start a field code.
    exec.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    exec.replace(QStringLiteral("%"), QStringLiteral("%%"));
    QByteArray text = "[Desktop Entry]\n"
                      "Type=Application\n"
                      "Name=Parlix\n";
    text += QStringLiteral("Name[ru]=Парликс\n").toUtf8();
    text += "Comment=LAN messenger\n";
    text += "Exec=" + exec.toUtf8() + "\n";
    text += "Icon=parlix\n"
            "Terminal=false\n"
            "X-GNOME-Autostart-enabled=true\n";
    return text;
}

void Autostart::apply(bool on, const QString &program, const QStringList &arguments)
{
    const QString path = entryPath();
    if (!on) {
        QFile::remove(path);
        return;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(entryText(program, arguments));
    file.commit();
}
