#include "processfigures.h"

#include <QFile>

namespace {

QByteArray statusOf(const QString &pid)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

qint64 ProcessFigures::field(const QByteArray &status, const char *name)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

int ProcessFigures::threads() { return int(field(statusOf("self"), "Threads:")); }
qint64 ProcessFigures::residentKb() { return field(statusOf("self"), "VmRSS:"); }
int ProcessFigures::threads(qint64 pid) { return int(field(statusOf(QString::number(pid)), "Threads:")); }
qint64 ProcessFigures::residentKb(qint64 pid) { return field(statusOf(QString::number(pid)), "VmRSS:"); }
