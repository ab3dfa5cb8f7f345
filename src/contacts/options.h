#pragma once

#include "optionvalues.h"

#include <QObject>

#include <mutex>

// The one home of the options while the program runs. The main thread reads and changes them;
// worker threads take a snapshot, which is always a whole, consistent copy.
class Options : public QObject
{
    Q_OBJECT
public:
    explicit Options(QObject *parent = nullptr);

    const OptionValues &values() const { return m_values; } // main thread only
    void setValues(const OptionValues &values);
    template <typename Change>
    void modify(Change change)
    {
        OptionValues next = m_values;
        change(next);
        setValues(next);
    }
    OptionValues snapshot() const; // any thread

signals:
    void changed();

private:
    OptionValues m_values;
    mutable std::mutex m_mutex;
    OptionValues m_published;
};
