#include "tform10.h"

#include "platform/rtf/smileypictures.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

TForm10::TForm10(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Нажмте на смайлик для вставки"));
    setFixedSize(525, 328);
    setFocusPolicy(Qt::StrongFocus);
    if (QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QRect TForm10::cellRect(int column, int row)
{
    return QRect(column * kCell, row * kCell, kCell, kCell);
}

QPoint TForm10::pictureOrigin(const QRect &cell, const QSize &picture)
{
    return QPoint(cell.left() + cell.width() / 2 - picture.width() / 2,
                  cell.top() + cell.height() / 2 - picture.height() / 2);
}

void TForm10::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const QRect cell = cellRect(column, row);
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
            const QImage picture = SmileyPictures::bitmap(pictureAt(column, row));
            if (picture.isNull())
                QApplication::beep();
            else
                painter.drawImage(pictureOrigin(cell, picture.size()), picture);
        }
    }
}

void TForm10::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const int column = at.x() / kCell;
    const int row = at.y() / kCell;
    if (event->button() != Qt::LeftButton || at.x() < 0 || at.y() < 0 || column >= kColumns || row >= kRows)
        return;
    emit pictureChosen(pictureAt(column, row));
    close();
}

void TForm10::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    event->accept();
}

void TForm10::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    emit closed();
}
