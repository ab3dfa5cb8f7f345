#include "traypictures.h"

#include <QPainter>
#include <QPixmap>

QIcon TrayPictures::icon(int status)
{
    // Drawn until the program's own pictures are in its resources: a disc in the status colour.
    static const QColor colours[3] = {QColor(0, 255, 0), QColor(0, 255, 255), QColor(128, 0, 0)};
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.setBrush(colours[(status >= 0 && status < 3) ? status : 0]);
    painter.drawEllipse(1, 1, 14, 14);
    painter.end();
    return QIcon(pixmap);
}
