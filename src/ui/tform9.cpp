#include "tform9.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TForm9::TForm9(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("Список пользователей"));
    auto *layout = new QVBoxLayout(this);
    auto *instruction = new QLabel(QStringLiteral("Выделите пользователей, адреса которых\n"
                                                  "Вы желаете передать оппоненту\n"
                                                  "(держите нажатым CTRL для отметки\n"
                                                  "пользователей в разных частях списка)"),
                                   this);
    instruction->setAlignment(Qt::AlignCenter);
    layout->addWidget(instruction);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(ListBox1, 1);
    Button1 = new QPushButton(QStringLiteral("отправить"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &TForm9::sendRequested);
    layout->addWidget(Button1);
    setFixedSize(320, 360);
}

QString TForm9::itemText(const Item &item)
{
    return QStringLiteral("%1").arg(item.row, 3, 10, QLatin1Char('0')) + QStringLiteral("  ") + item.name
        + QStringLiteral(" (") + item.address + u')';
}

void TForm9::fill(const QList<Item> &items)
{
    ListBox1->clear();
    for (const Item &item : items) {
        auto *line = new QListWidgetItem(itemText(item), ListBox1);
        line->setData(Qt::UserRole, item.row);
    }
}

QList<int> TForm9::selectedRows() const
{
    QList<int> rows;
    for (int i = 0; i < ListBox1->count(); ++i)
        if (ListBox1->item(i)->isSelected())
            rows << ListBox1->item(i)->data(Qt::UserRole).toInt();
    return rows;
}
