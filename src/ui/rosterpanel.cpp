#include "rosterpanel.h"

#include "rosterdelegate.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

RosterPanel::RosterPanel(QWidget *parent)
    : QWidget(parent)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_header = new QLabel(QStringLiteral("пользователи"), this);
    m_header->setObjectName(QStringLiteral("rosterHeader"));
    m_header->setFixedHeight(16);
    m_header->setAlignment(Qt::AlignCenter);
    m_header->setFrameShape(QFrame::Panel);
    m_header->setFrameShadow(QFrame::Raised);
    m_header->installEventFilter(this);
    column->addWidget(m_header);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    m_list->setUniformItemSizes(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_delegate = new RosterDelegate(m_list);
    m_list->setItemDelegate(m_delegate);
    QFont font = m_list->font();
    font.setBold(true);
    font.setPixelSize(12);
    m_list->setFont(font);
    column->addWidget(m_list, 1);

    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] { emit selectionChanged(selectedItems()); });
    connect(m_list, &QListWidget::itemClicked, this, &RosterPanel::clicked);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *menu = new QMenu(this);
    connect(menu->addAction(QStringLiteral("передать список")), &QAction::triggered, this,
            &RosterPanel::addressListRequested);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint &pos) { menu->popup(m_list->viewport()->mapToGlobal(pos)); });
}

void RosterPanel::showEntries(const QList<Entry> &entries, const QSet<int> &selected)
{
    const QSignalBlocker block(m_list);
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    for (int i = 0; i < entries.size(); ++i) {
        auto *item = new QListWidgetItem(entries[i].label, m_list);
        item->setData(RosterDelegate::StatusRole, entries[i].status);
        item->setData(RosterDelegate::SeparatorRole, entries[i].separator);
        item->setSelected(selected.contains(i));
    }
    m_list->setUpdatesEnabled(true);
}

QSet<int> RosterPanel::selectedItems() const
{
    QSet<int> selected;
    for (QListWidgetItem *item : m_list->selectedItems())
        selected.insert(m_list->row(item));
    return selected;
}

void RosterPanel::headerClick()
{
    QList<bool> keep;
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem *item = m_list->item(i);
        keep.append(item->isSelected() && !item->data(RosterDelegate::SeparatorRole).toBool());
    }
    // Only the list's own selection changes: the recipients are taken from it on the next click.
    const QSignalBlocker block(m_list);
    m_list->clearSelection();
    for (int i = 0; i < keep.size(); ++i)
        m_list->item(i)->setSelected(keep[i]);
}

void RosterPanel::setColours(const QColor &background, const QColor &text)
{
    QPalette pal = m_list->palette();
    pal.setColor(QPalette::Base, background);
    pal.setColor(QPalette::Text, text);
    m_list->setPalette(pal);
    m_delegate->setLineColour(QApplication::palette().color(QPalette::WindowText));
    m_list->viewport()->update();
}

bool RosterPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_header && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        headerClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
