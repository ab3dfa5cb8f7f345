#include "rosterdelegate.h"

#include "platform/rtf/statuspictures.h"

#include <QApplication>
#include <QPainter>

RosterDelegate::RosterDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
    , m_colours{QColor(0, 255, 0), QColor(0, 255, 255), QColor(128, 0, 0)}
    , m_lineColour(QApplication::palette().color(QPalette::WindowText))
{
}

void RosterDelegate::setStatusColours(const QColor &free, const QColor &busy, const QColor &away)
{
    m_colours[0] = free;
    m_colours[1] = busy;
    m_colours[2] = away;
}

QColor RosterDelegate::statusColour(int status) const
{
    return status >= 0 && status < 3 ? m_colours[status] : QColor();
}

void RosterDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QRect r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const QColor fill = option.palette.color(selected ? QPalette::Highlight : QPalette::Base);
    const QString name = index.data(Qt::DisplayRole).toString();
    painter->save();
    painter->setFont(option.font);
    if (index.data(SeparatorRole).toBool()) {
        paintSeparator(painter, r, fill, name);
    } else {
        const int status = index.data(StatusRole).toInt();
        if (status >= 0 && status < 3) {
            painter->fillRect(r, fill);
            paintContact(painter, r, status, name);
        }
    }
    painter->restore();
}

void RosterDelegate::paintSeparator(QPainter *painter, const QRect &r, const QColor &fill, const QString &label) const
{
    painter->fillRect(r, fill);
    // Lines at the middle and one pixel either side of it, over the row's width.
    const int top = r.top();
    const int bottom = r.top() + r.height();
    const int m = top + (bottom - top) / 2;
    painter->setPen(m_lineColour);
    for (int y = m - 1; y <= m + 1; ++y)
        painter->drawLine(r.left(), y, r.left() + r.width() - 1, y);
    const QFontMetrics metrics(painter->font());
    const int width = metrics.horizontalAdvance(label);
    const QRect textRect(r.left() + r.width() / 2 - width / 2, top, width, r.height());
    painter->fillRect(textRect, fill);
    painter->setPen(m_colours[0]);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, label);
}

void RosterDelegate::paintContact(QPainter *painter, const QRect &r, int status, const QString &name) const
{
    painter->setPen(m_colours[status]);
    const QRect textRect(r.left() + kNameOffset, r.top(), r.width() - kNameOffset, r.height());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    painter->drawImage(r.topLeft(), StatusPictures::transparentPicture(status));
}

QSize RosterDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), kRowHeight);
}
