#include "smileypictures.h"

#include "pictureresources.h"
#include "rtfdocument.h"

#include <array>

namespace {

constexpr std::array<QSize, SmileyPictures::kCount> kSizes = {{
    {20, 20}, {20, 20}, {20, 20}, {20, 20}, {20, 20}, {20, 20}, {27, 24}, {20, 20},
    {20, 20}, {20, 20}, {20, 20}, {20, 20}, {20, 20}, {22, 22}, {22, 22}, {26, 32},
    {33, 19}, {51, 35}, {40, 35}, {36, 36}, {36, 36}, {35, 35}, {55, 35}, {55, 50},
    {22, 22}, {45, 27}, {40, 27}, {25, 25}, {50, 64}, {39, 21}, {36, 22}, {60, 20},
    {29, 29}, {28, 22}, {38, 20}, {28, 20}, {30, 24}, {19, 23}, {24, 24}, {24, 26},
}};

} // namespace

QSize SmileyPictures::size(int n)
{
    if (n < 1 || n > kCount)
        return {};
    return kSizes[std::size_t(n - 1)];
}

QString SmileyPictures::resourcePath(int n)
{
    return QStringLiteral(":/parlix/pictures/BITMAP_%1.bmp").arg(n);
}

QImage SmileyPictures::bitmap(int n)
{
    if (n < 1 || n > kCount)
        return {};
    initPictureResources();
    return QImage(resourcePath(n), "BMP");
}

QImage SmileyPictures::withBackground(const QImage &picture, const QColor &background)
{
    if (picture.isNull())
        return {};
    QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb key = image.pixel(0, 0);
    const QRgb replacement = background.rgb();
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) == key)
                image.setPixel(x, y, replacement);
        }
    }
    return image;
}

QByteArray SmileyPictures::pictureRtf(int n, const QColor &background)
{
    const QImage picture = bitmap(n);
    if (picture.isNull())
        return {};
    return RtfDocument::pictureRtf(withBackground(picture, background));
}

bool SmileyPictures::insert(QTextCursor &cursor, int n, const QColor &background)
{
    const QByteArray rtf = pictureRtf(n, background);
    return !rtf.isEmpty() && RtfDocument::streamIn(cursor, rtf);
}
