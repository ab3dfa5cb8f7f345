#pragma once

#include <QColor>
#include <QStyledItemDelegate>

// Draws one roster item: a contact as its status picture and its name in the status colour, a
// separator as three lines across the row with its group label centred on them.
class RosterDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    enum Role { StatusRole = Qt::UserRole + 1, SeparatorRole };
    static constexpr int kRowHeight = 13;
    static constexpr int kNameOffset = 16;

    explicit RosterDelegate(QObject *parent = nullptr);

    // Free, busy and away colours; separators use the free one for their label.
    void setStatusColours(const QColor &free, const QColor &busy, const QColor &away);
    void setLineColour(const QColor &colour) { m_lineColour = colour; }
    QColor statusColour(int status) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    void paintSeparator(QPainter *painter, const QRect &r, const QColor &fill, const QString &label) const;
    void paintContact(QPainter *painter, const QRect &r, int status, const QString &name) const;

    QColor m_colours[3];
    QColor m_lineColour;
};
