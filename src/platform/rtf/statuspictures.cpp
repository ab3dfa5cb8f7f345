#include "statuspictures.h"

#include "pictureresources.h"

namespace {

bool known(int status)
{
    return status >= 0 && status < StatusPictures::kCount;
}

} // namespace

QImage StatusPictures::picture(int status)
{
    if (!known(status))
        return {};
    initPictureResources();
    return QImage(QStringLiteral(":/parlix/pictures/STATUS_%1.bmp").arg(status + 1), "BMP");
}

QImage StatusPictures::transparentPicture(int status)
{
    QImage image = picture(status).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qRed(row[x]) == 255 && qGreen(row[x]) == 255 && qBlue(row[x]) == 255)
                row[x] = qRgba(0, 0, 0, 0);
        }
    }
    return image;
}

QString StatusPictures::iconPath(int n)
{
    return QStringLiteral(":/parlix/pictures/ICON_%1.png").arg(n);
}

QImage StatusPictures::trayImage(int status)
{
    if (!known(status))
        return {};
    initPictureResources();
    return QImage(iconPath(status + 1), "PNG");
}

QIcon StatusPictures::trayIcon(int status)
{
    if (!known(status))
        return {};
    initPictureResources();
    return QIcon(iconPath(status + 1));
}
