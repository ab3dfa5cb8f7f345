#include "tempfiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

QString TempFiles::folder()
{
    for (const char *name : {"TEMP", "TMPDIR"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return value;
    }
    return QStringLiteral("/tmp");
}

QString TempFiles::create(QFile &file, const QString &dir)
{
    const QString base = dir.isEmpty() ? folder() : dir;
    // Enough draws to get past any number of names already taken; a folder we cannot write to
    // fails on the first try and is not retried.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const quint32 number = QRandomGenerator::system()->bounded(100000000u);
        const QString path = QDir(base).filePath(QStringLiteral("%1").arg(number, 8, 10, QLatin1Char('0')));
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return QString();
        }
        file.setFileName(path);
        if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            ::unlink(QFile::encodeName(path).constData());
            return QString();
        }
        return path;
    }
    return QString();
}
