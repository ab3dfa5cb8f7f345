#include "windowsmetafile.h"

#include <QtEndian>

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr qsizetype kPlaceableHeaderSize = 22;
constexpr qsizetype kHeaderSize = 18;

constexpr quint16 kEof = 0x0000;
constexpr quint16 kSetWindowOrg = 0x020B;
constexpr quint16 kSetWindowExt = 0x020C;
constexpr quint16 kSetStretchBltMode = 0x0107;
constexpr quint16 kDibBitBlt = 0x0940;
constexpr quint16 kDibStretchBlt = 0x0B41;
constexpr quint16 kStretchDib = 0x0F43;

constexpr quint32 kSrcCopy = 0x00CC0020;
constexpr quint16 kColorOnColor = 3;

void put16(QByteArray &out, quint16 v) { char b[2]; qToLittleEndian(v, b); out.append(b, 2); }
void put32(QByteArray &out, quint32 v) { char b[4]; qToLittleEndian(v, b); out.append(b, 4); }

// Offset of the bitmap inside a record (counted from the record's start), per record type.
qsizetype bitmapOffset(quint16 function)
{
    switch (function) {
    case kDibStretchBlt: return 6 + 4 + 8 * 2;     // raster op, src h/w/y/x, dest h/w/y/x
    case kStretchDib: return 6 + 4 + 2 + 8 * 2;    // raster op, colour usage, same eight
    case kDibBitBlt: return 6 + 4 + 6 * 2;         // raster op, src y/x, h/w, dest y/x
    default: return 0;
    }
}

} // namespace

QByteArray WindowsMetafile::firstBitmap(QByteArrayView wmf)
{
    qsizetype pos = 0;
    if (wmf.size() >= 4 && qFromLittleEndian<quint32>(wmf.data()) == kPlaceableKey)
        pos = kPlaceableHeaderSize;
    if (wmf.size() - pos < kHeaderSize)
        return {};
    const qsizetype headerWords = qFromLittleEndian<quint16>(wmf.data() + pos + 2);
    pos += qMax<qsizetype>(headerWords * 2, kHeaderSize);
    while (wmf.size() - pos >= 6) {
        const qint64 recordBytes = qint64(qFromLittleEndian<quint32>(wmf.data() + pos)) * 2;
        const quint16 function = qFromLittleEndian<quint16>(wmf.data() + pos + 4);
        if (recordBytes < 6 || recordBytes > wmf.size() - pos || function == kEof)
            return {};
        const qsizetype offset = bitmapOffset(function);
        // The same records exist without a bitmap; those are shorter than a header.
        if (offset && recordBytes >= offset + 40)
            return wmf.sliced(pos + offset, qsizetype(recordBytes) - offset).toByteArray();
        pos += qsizetype(recordBytes);
    }
    return {};
}

QByteArray WindowsMetafile::wrapBitmap(QByteArrayView dib, QSize pixels)
{
    const quint16 w = quint16(qBound(0, pixels.width(), 0x7FFF));
    const quint16 h = quint16(qBound(0, pixels.height(), 0x7FFF));
    const qsizetype dibBytes = dib.size() + (dib.size() & 1); // records are whole 16-bit words
    const quint32 stretchWords = quint32((bitmapOffset(kStretchDib) + dibBytes) / 2);
    const quint32 totalWords = kHeaderSize / 2 + 5 + 5 + 4 + stretchWords + 3;

    QByteArray out;
    out.reserve(totalWords * 2);
    put16(out, 1);      // a metafile in memory
    put16(out, kHeaderSize / 2);
    put16(out, 0x0300); // the version that knows DIBs
    put32(out, totalWords);
    put16(out, 0);      // no objects
    put32(out, stretchWords);
    put16(out, 0);

    put32(out, 5); put16(out, kSetWindowOrg); put16(out, 0); put16(out, 0);
    put32(out, 5); put16(out, kSetWindowExt); put16(out, h); put16(out, w);
    put32(out, 4); put16(out, kSetStretchBltMode); put16(out, kColorOnColor);

    put32(out, stretchWords);
    put16(out, kStretchDib);
    put32(out, kSrcCopy);
    put16(out, 0); // colour usage: RGB values
    put16(out, h); put16(out, w); put16(out, 0); put16(out, 0); // source height, width, y, x
    put16(out, h); put16(out, w); put16(out, 0); put16(out, 0); // destination
    out.append(dib.data(), dib.size());
    if (dib.size() & 1)
        out.append('\0');

    put32(out, 3); put16(out, kEof);
    return out;
}
