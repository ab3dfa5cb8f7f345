#include "options.h"

Options::Options(QObject *parent)
    : QObject(parent)
{
}

void Options::setValues(const OptionValues &values)
{
    m_values = values;
    {
        std::lock_guard lock(m_mutex);
        m_published = values;
    }
    emit changed();
}

OptionValues Options::snapshot() const
{
    std::lock_guard lock(m_mutex);
    return m_published;
}
