#pragma once

#include <QString>

#include <mutex>
#include <optional>

// The auto-answer: armed with a text by the auto-answer window, disarmed by any status change.
// Connection threads read it after a message arrives, so it is guarded.
class AutoAnswer
{
public:
    void arm(const QString &text)
    {
        std::lock_guard lock(m_mutex);
        m_text = text;
    }
    // The auto-answer window's "OK": a text of blanks only leaves it disarmed, any other is sent
    // exactly as typed. Returns whether it is armed.
    bool armWith(const QString &text)
    {
        if (text.trimmed().isEmpty()) {
            disarm();
            return false;
        }
        arm(text);
        return true;
    }
    void disarm()
    {
        std::lock_guard lock(m_mutex);
        m_text.reset();
    }
    std::optional<QString> text() const
    {
        std::lock_guard lock(m_mutex);
        return m_text;
    }

private:
    mutable std::mutex m_mutex;
    std::optional<QString> m_text;
};
