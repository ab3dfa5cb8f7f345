#include "debuglog.h"

#include "platform/codepage.h"

#include <QFile>
#include <QTime>

#include <mutex>

namespace {
std::mutex &logLock()
{
    static std::mutex lock;
    return lock;
}
} // namespace

DebugLog::DebugLog(QString path)
    : m_path(std::move(path))
{
}

QString DebugLog::path() const { return m_path; }
void DebugLog::setRootCreated() { m_rootCreated = true; }
void DebugLog::setSettingsWindowExists(bool exists) { m_settingsWindow = exists; }
void DebugLog::setEnabled(bool on) { m_enabled = on; }

bool DebugLog::gateOpen() const
{
    return m_rootCreated.load(std::memory_order_relaxed) && m_settingsWindow.load(std::memory_order_relaxed)
        && m_enabled.load(std::memory_order_relaxed);
}

QByteArray DebugLog::formatLine(const QString &timeOfDay, const QString &text)
{
    QByteArray line = CodePage::fromUnicode(timeOfDay + QStringLiteral(": ") + text);
    line += "\r\n";
    return line;
}

void DebugLog::WriteLogLine(const QString &path, const QString &text)
{
    if (path.isEmpty())
        return;
    const QByteArray line = formatLine(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), text);
    std::lock_guard guard(logLock());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(line);
}
