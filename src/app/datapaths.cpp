#include "datapaths.h"

#include <QDir>
#include <QFileInfo>

QString DataPaths::chooseFolder(const QString &homeOption, const QString &programFolder)
{
    if (!homeOption.isEmpty())
        return QDir(homeOption).absolutePath();
    const QString env = qEnvironmentVariable("PARLIX_HOME");
    if (!env.isEmpty())
        return QDir(env).absolutePath();
    if (!programFolder.isEmpty() && QFileInfo::exists(QDir(programFolder).filePath(QStringLiteral("parlix7.ini"))))
        return QDir(programFolder).absolutePath();
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return QDir(config).filePath(QStringLiteral("parlix"));
}

DataPaths::DataPaths(QString folder)
    : m_folder(std::move(folder))
{
}

QString DataPaths::settingsFile() const { return QDir(m_folder).filePath(QStringLiteral("parlix7.ini")); }
QString DataPaths::listFile() const { return QDir(m_folder).filePath(QStringLiteral("pxusers.ini")); }
QString DataPaths::incomeFolder() const { return QDir(m_folder).filePath(QStringLiteral("INCOME")); }
QString DataPaths::logFile() const { return QDir(m_folder).filePath(QStringLiteral("_px_log.log")); }

bool DataPaths::ensureFolder() const
{
    return QDir().mkpath(m_folder);
}
