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
