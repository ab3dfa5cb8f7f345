#include "receivedfile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool existsOrIsLink(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Splits at the last full stop: the extension keeps its stop, as "report" + ".doc".
std::pair<QString, QString> splitExtension(const QString &name)
{
    const int dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return {name, QString()};
    return {name.left(dot), name.mid(dot)};
}

} // namespace

QString ReceivedFile::safeName(const QString &sent)
{
    QString name = sent;
    const int cut = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    if (cut >= 0)
        name = name.mid(cut + 1);
    bool control = false;
    for (const QChar c : name)
        control = control || c.unicode() < 0x20 || c.unicode() == 0x7f;
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || control)
        return QStringLiteral("received-file");
    return name;
}

QString ReceivedFile::datedName(const QString &name, const QDateTime &now, int counter)
{
    const auto [base, extension] = splitExtension(name);
    QString dated = base + u'.' + now.toString(QStringLiteral("yyyy-MM-dd--HH-mm-ss"));
    if (counter > 0)
        dated += QStringLiteral("(%1)").arg(counter);
    return dated + extension;
}

QString ReceivedFile::numberedName(const QString &name, int counter)
{
    const auto [base, extension] = splitExtension(name);
    return base + QStringLiteral("(%1)").arg(counter) + extension;
}

bool ReceivedFile::createExclusive(const QString &path, QFile &file)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    file.setFileName(path);
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

QString ReceivedFile::create(const QString &folder, const QString &name, const QDateTime &now, QFile &file)
{
    const QDir dir(folder);
    const QString target = dir.filePath(name);
    if (existsOrIsLink(target)) {
        for (int counter = 0; counter < 100; ++counter) {
            const QString aside = dir.filePath(datedName(name, now, counter));
            if (existsOrIsLink(aside))
                continue;
            if (::rename(QFile::encodeName(target).constData(), QFile::encodeName(aside).constData()) == 0)
                break;
            if (errno != EEXIST && errno != ENOTEMPTY)
                break; // the old file stays where it is; the new one gets a name of its own below
        }
    }
    if (createExclusive(target, file))
        return target;
    for (int counter = 1; counter < 1000; ++counter) {
        const QString other = dir.filePath(numberedName(name, counter));
        if (createExclusive(other, file))
            return other;
        if (errno != EEXIST)
            break;
    }
    return QString();
}
