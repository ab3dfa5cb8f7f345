#include "roster.h"

#include "contacts/contacttable.h"

Roster::Roster(ContactTable &table, QObject *parent)
    : QObject(parent)
    , m_table(table)
{
}

void Roster::rebuildroster()
{
    m_items.clear();
    m_selected.clear();
    for (int row = 1; row < ContactTable::MAXUSERS; ++row) {
        Users *user = m_table.user(row);
        user->listindex = -1;
        if (ContactTable::isSeparatorForRoster(m_table.cell(row, ContactTable::Address))) {
            user->listindex = int(m_items.size());
            m_items << QString::number(row);
            user->connected = false;
        } else if (user->connected) {
            user->listindex = int(m_items.size());
            if (user->selected)
                m_selected.insert(user->listindex);
            m_items << QString::number(row);
        }
    }
    emit rebuilt();
}

bool Roster::isSeparatorItem(int index) const
{
    const int row = m_items.value(index).toInt();
    return row < 1 || ContactTable::isSeparatorForRoster(m_table.cell(row, ContactTable::Address));
}

void Roster::keepselection()
{
    for (int row = 1; row < ContactTable::MAXUSERS; ++row)
        m_table.user(row)->selected = false;
    for (const int index : std::as_const(m_selected)) {
        if (index < 0 || index >= m_items.size() || isSeparatorItem(index))
            continue;
        m_table.user(m_items[index].toInt())->selected = true;
    }
}

void Roster::dropSeparatorsFromSelection()
{
    QSet<int> kept;
    for (const int index : std::as_const(m_selected))
        if (index >= 0 && index < m_items.size() && !isSeparatorItem(index))
            kept.insert(index);
    m_selected = kept;
    emit rebuilt();
}
