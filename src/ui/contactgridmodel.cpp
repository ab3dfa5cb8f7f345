#include "contactgridmodel.h"

#include "contacts/contacttable.h"

ContactGridModel::ContactGridModel(ContactTable &table, QObject *parent)
    : QAbstractTableModel(parent)
    , m_table(table)
{
    connect(&m_table, &ContactTable::changed, this, &ContactGridModel::tableChanged);
}

int ContactGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ContactTable::MAXUSERS - 1;
}

int ContactGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 5;
}

QVariant ContactGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_table.cell(tableRow(index.row()), tableColumn(index.column()));
}

bool ContactGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int row = tableRow(index.row());
    const int column = tableColumn(index.column());
    const QString text = value.toString();
    if (m_table.cell(row, column) == text)
        return true; // an editor closed without a change is no edit
    m_table.setCell(row, column, text);
    emit cellEdited(row, column);
    return true;
}

Qt::ItemFlags ContactGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant ContactGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_table.cell(0, tableColumn(section));
    return QString(); // the fixed column has no content
}

void ContactGridModel::tableChanged()
{
    // Rows move, appear and go as a whole table; a repaint of every cell is cheap at this size.
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}
