#pragma once

#include <QString>

#include <optional>

// The state of auto-away, without windows or clocks: each tick is handed the time, the time of
// the last input, the idle threshold as the settings field holds it and the own status, and
// says which status change (if any) to make. Main thread only.
class AutoAway
{
public:
    enum class Change { None, GoAway, ComeBack };

    // The threshold in seconds: the text read as a positive decimal number; nothing (auto-away
    // off) for empty text, zero, negative numbers, letters, or a number beyond 32 bits.
    static std::optional<qint64> threshold(const QString &text);

    // One tick. now and lastActivity are seconds since 1970-01-01 on the same clock. On GoAway
    // the caller switches the status to away; on ComeBack to savedStatus(). Each is made with
    // the activity monitor as the sender, so that no auto-answer text is asked for.
    Change tick(qint64 now, qint64 lastActivity, const QString &thresholdText, int ownStatus);

    bool userActive() const { return m_userActive; }
    // Set while the away status is auto-away's own doing.
    bool mark() const { return m_mark; }
    int savedStatus() const { return m_savedStatus; }

private:
    static constexpr int kAway = 2;

    bool m_userActive = true;
    bool m_mark = false;
    int m_savedStatus = 0;
};
