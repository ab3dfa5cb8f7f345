#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSizeF>

// One \pict group: its properties and data as the reader collects them, and the image and
// display size they make.
class RtfPicture
{
public:
    enum class Kind { None, Dib, WindowsBitmap, Png, Jpeg, WindowsMetafile, Other };

    // Picture data beyond this is dropped (the picture becomes a placeholder), so that one
    // hostile picture cannot take all memory.
    static constexpr qsizetype kMaxData = 64 * 1024 * 1024;

    Kind kind = Kind::None;
    int picw = 0, pich = 0;         // pixels for bitmaps, 0.01 mm for metafiles
    int goalw = 0, goalh = 0;       // twips
    int scalex = 100, scaley = 100; // percent
    int bitsPerPixel = 1, widthBytes = 0; // \wbitmap only

    // Hex digits arrive in pieces with blanks and line breaks between them.
    void appendHex(QByteArrayView text);
    void appendBinary(QByteArrayView bytes);
    const QByteArray &data() const { return m_data; }
    bool overflowed() const { return m_overflow; }

    // The decoded pixels, or a null image when the data is unreadable or is a kind we do not
    // draw (the caller shows a placeholder). `pixelBudget` is the number of pixels the caller
    // still allows; a bigger picture is not decoded.
    QImage decode(qint64 pixelBudget) const;
    // The size to show it at, in pixels at 96 dpi: the goal size in twips times the scale, else
    // the natural size. Never zero, never absurdly large.
    QSizeF displaySize(const QImage &decoded) const;

private:
    QImage decodeWindowsBitmap() const;

    QByteArray m_data;
    int m_nibble = -1;
    bool m_overflow = false;
};
