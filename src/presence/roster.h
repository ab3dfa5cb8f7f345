#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

class ContactTable;

// The roster list: the row numbers of the connected contacts and of the separators, in table
// order, and which of its items are selected. Rebuilt from the table, never edited item by item.
class Roster : public QObject
{
    Q_OBJECT
public:
    explicit Roster(ContactTable &table, QObject *parent = nullptr);

    const QStringList &items() const { return m_items; }
    const QSet<int> &selectedItems() const { return m_selected; }
    // The view reports the user's selection here.
    void setSelectedItems(const QSet<int> &indexes) { m_selected = indexes; }

    void rebuildroster();
    void keepselection();
    // The header click: separators leave the selection, the recipients stay as they are.
    void dropSeparatorsFromSelection();

    bool rosterdirty = false;

signals:
    void rebuilt();

private:
    bool isSeparatorItem(int index) const;

    ContactTable &m_table;
    QStringList m_items;
    QSet<int> m_selected;
};
