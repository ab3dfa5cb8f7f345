#include "commandline.h"

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine line;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (!arg.startsWith(QStringLiteral("--"))) {
            line.rest << arg;
            continue;
        }
        QString name = arg;
        QString value;
        bool hasValue = false;
        const int eq = arg.indexOf(u'=');
        if (eq > 0) {
            name = arg.left(eq);
            value = arg.mid(eq + 1);
            hasValue = true;
        } else if (i + 1 < arguments.size() && (arg == QLatin1String("--home") || arg == QLatin1String("--listen"))) {
            value = arguments[++i];
            hasValue = true;
        }
        if (name == QLatin1String("--home") || name == QLatin1String("--listen")) {
            if (!hasValue || value.isEmpty()) {
                line.error = QStringLiteral("%1 needs a value").arg(name);
                continue;
            }
            (name == QLatin1String("--home") ? line.home : line.listen) = value;
            line.ownOptions << name << value;
        } else {
            line.error = QStringLiteral("unknown option %1").arg(arg);
        }
    }
    return line;
}

bool CommandLine::sendMode() const
{
    return rest.size() >= 3 && rest[0].toUpper() == QLatin1String("/SEND");
}

QString CommandLine::sendAddress() const { return sendMode() ? rest[1] : QString(); }
QString CommandLine::sendSender() const { return sendMode() ? rest[2] : QString(); }

QString CommandLine::sendText() const
{
    QString text;
    for (int i = 3; i < rest.size(); ++i)
        text += u' ' + rest[i];
    return text;
}
