#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

// Packed device-independent bitmaps: the information header, the colour table and the pixel
// rows, as Windows keeps them in memory, in \dibitmap pictures and inside metafile records.
class Dib
{
public:
    // Bitmaps larger than this on either side, or with more pixels in all, are refused: they are
    // far beyond anything a chat sends and only serve to exhaust memory.
    static constexpr int kMaxSide = 16384;
    static constexpr qint64 kMaxPixels = 32 * 1024 * 1024;

    // Decodes a packed DIB of 1, 4, 8, 16, 24 or 32 bits (uncompressed, bit fields or RLE).
    // A header that lies about the size of its data gives a null image.
    static QImage decode(QByteArrayView dib);
    // The pixel size a packed DIB claims, or an empty size when the header is unusable.
    static QSize claimedSize(QByteArrayView dib);

    // The image as a 24-bit bottom-up packed DIB: the 40-byte BITMAPINFOHEADER, then rows of
    // blue, green, red padded to 4 bytes. Transparent pixels are laid over white.
    static QByteArray encode24(const QImage &image);
};
