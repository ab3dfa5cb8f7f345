#pragma once

#include <QDialog>
#include <QList>

class QListWidget;
class QPushButton;

// The address chooser "Список пользователей": the contacts whose addresses go to the peers
// selected in the roster. Made on demand and gone when it closes.
class TForm9 : public QDialog
{
    Q_OBJECT
public:
    struct Item
    {
        int row = 0;
        QString name;
        QString address;
    };

    explicit TForm9(QWidget *parent = nullptr);

    // FormShow: one line "NNN  name (address)" per item; each line remembers its row.
    void fill(const QList<Item> &items);
    // The rows of the selected lines, in list order.
    QList<int> selectedRows() const;
    static QString itemText(const Item &item);

    QListWidget *ListBox1 = nullptr;
    QPushButton *Button1 = nullptr; // "отправить"

signals:
    void sendRequested(); // Button1Click
};
