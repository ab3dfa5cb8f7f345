#pragma once

#include <QAbstractTableModel>

class ContactTable;

// The contact table as the settings grid shows it. Rows 1 to 100 are the model's rows 0 to 99
// and cells 1 to 5 its columns 0 to 4; the header row and the narrow fixed column are the view's
// header sections, which can be neither edited nor made current.
class ContactGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ContactGridModel(ContactTable &table, QObject *parent = nullptr);

    static int tableRow(int modelRow) { return modelRow + 1; }
    static int tableColumn(int modelColumn) { return modelColumn + 1; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // A cell's text was changed by editing it in place (table row and column).
    void cellEdited(int row, int column);

private:
    void tableChanged();

    ContactTable &m_table;
};
