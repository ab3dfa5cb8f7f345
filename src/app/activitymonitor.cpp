#include "activitymonitor.h"

#include "app/debuglog.h"
#include "app/userprompt.h"
#include "contacts/options.h"
#include "presence/autoanswer.h"
#include "presence/presence.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QtGlobal>

ActivityMonitor::ActivityMonitor(Parts parts)
    : m_parts(parts)
{
}

void ActivityMonitor::loadLibrary(const QString &folder)
{
    if (m_library.isLoaded())
        return;
    if (const QString why = ActivityLibrary::availability(); !why.isEmpty()) {
        off(why);
        return;
    }
    if (!m_library.load(folder)) {
        off(m_library.errorString());
        return;
    }
    if (!m_library.regHook()) {
        (*m_parts.log)(QStringLiteral("_RegHook error"));
        m_parts.prompt->message(QStringLiteral("error1"));
        // The library stays loaded, but its time would stay at the load time for good: auto-away
        // would strike once and then hold the status at away against every choice of the user.
        off(QStringLiteral("the library cannot watch the input of this X display"));
        return;
    }
    m_watching = true;
}

void ActivityMonitor::unloadLibrary()
{
    m_watching = false;
    m_library.unload();
}

void ActivityMonitor::off(const QString &reason)
{
    m_offReason = QStringLiteral("auto-away off: ") + reason;
    // A user at a desktop should learn it even with the log off; offscreen nobody expects it.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        qInfo("parlix: %s", qPrintable(m_offReason));
    m_offReasonLogged = m_parts.log->gateOpen();
    (*m_parts.log)(m_offReason);
}

void ActivityMonitor::poll(bool settingsWindowExists)
{
    if (!m_offReason.isEmpty() && !m_offReasonLogged && m_parts.log->gateOpen()) {
        m_offReasonLogged = true;
        (*m_parts.log)(m_offReason);
    }
    if (!m_watching)
        return;
    const std::optional<qint32> lastActivity = m_library.getatime();
    if (!lastActivity || !settingsWindowExists)
        return;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    Presence &presence = *m_parts.presence;
    switch (m_autoAway.tick(now, *lastActivity, m_parts.options->values().user_active_str, presence.ownStatus())) {
    case AutoAway::Change::None:
        break;
    case AutoAway::Change::GoAway:
        (*m_parts.log)(QStringLiteral("auto-away: no input for %1 s, away").arg(now - *lastActivity));
        presence.ComboBox1Change(2, true);
        break;
    case AutoAway::Change::ComeBack:
        (*m_parts.log)(QStringLiteral("auto-away: input again, back to status %1").arg(m_autoAway.savedStatus()));
        m_parts.autoAnswer->disarm();
        presence.ComboBox1Change(m_autoAway.savedStatus(), true);
        break;
    }
}
