#include "autoaway.h"

std::optional<qint64> AutoAway::threshold(const QString &text)
{
    bool ok = false;
    // A 32-bit number, as the settings field has always held; larger ones do not read.
    const int seconds = text.trimmed().toInt(&ok, 10);
    if (!ok || seconds <= 0)
        return std::nullopt;
    return seconds;
}

AutoAway::Change AutoAway::tick(qint64 now, qint64 lastActivity, const QString &thresholdText, int ownStatus)
{
    const std::optional<qint64> limit = threshold(thresholdText);
    if (!limit)
        return Change::None;
    const qint64 idle = now - lastActivity;
    // Coming back needs input seen less than T seconds ago, going away needs none for T seconds:
    // one tick never does both.
    if (!m_userActive && idle < *limit) {
        m_mark = false;
        m_userActive = true;
        return Change::ComeBack;
    }
    // Away set by hand is left alone, idle or not.
    if (idle >= *limit && ownStatus != kAway) {
        m_mark = true;
        m_savedStatus = ownStatus;
        m_userActive = false;
        return Change::GoAway;
    }
    return Change::None;
}
