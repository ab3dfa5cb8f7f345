#include "dib.h"

#include <QtEndian>
#include <cstdlib>

namespace {

constexpr quint32 kCoreHeaderSize = 12;
constexpr quint32 kInfoHeaderSize = 40;
constexpr quint32 kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

quint32 u32(QByteArrayView d, qsizetype at) { return qFromLittleEndian<quint32>(d.data() + at); }
qint32 s32(QByteArrayView d, qsizetype at) { return qFromLittleEndian<qint32>(d.data() + at); }
quint16 u16(QByteArrayView d, qsizetype at) { return qFromLittleEndian<quint16>(d.data() + at); }

struct Header {
    quint32 size = 0;
    qint64 width = 0;
    qint64 height = 0; // negative for top-down rows
    int bits = 0;
    quint32 compression = kRgb;
    qint64 tableBytes = 0; // colour table and bit-field masks
};

bool readHeader(QByteArrayView dib, Header &h)
{
    if (dib.size() < 4)
        return false;
    h.size = u32(dib, 0);
    if (h.size == kCoreHeaderSize) {
        if (dib.size() < 12)
            return false;
        h.width = u16(dib, 4);
        h.height = u16(dib, 6);
        h.bits = u16(dib, 10);
        h.tableBytes = h.bits <= 8 ? 3 * (qint64(1) << h.bits) : 0;
    } else {
        if (h.size < kInfoHeaderSize || h.size > 1024 || dib.size() < kInfoHeaderSize)
            return false;
        h.width = s32(dib, 4);
        h.height = s32(dib, 8);
        h.bits = u16(dib, 14);
        h.compression = u32(dib, 16);
        const quint32 used = u32(dib, 32);
        if (h.bits <= 8)
            h.tableBytes = 4 * qint64(used ? qMin<quint32>(used, 1u << h.bits) : (1u << h.bits));
        else if (used <= 256)
            h.tableBytes = 4 * qint64(used); // an optional table before true-colour rows
        if (h.size == kInfoHeaderSize && h.compression == kBitFields)
            h.tableBytes += 12;
        if (h.size == kInfoHeaderSize && h.compression == kAlphaBitFields)
            h.tableBytes += 16;
    }
    switch (h.bits) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    const qint64 rows = std::llabs(h.height);
    if (h.width < 1 || h.width > Dib::kMaxSide || rows < 1 || rows > Dib::kMaxSide
        || h.width * rows > Dib::kMaxPixels)
        return false;
    switch (h.compression) {
    case kRgb: case kBitFields: case kAlphaBitFields: break;
    case kRle8: if (h.bits != 8) return false; break;
    case kRle4: if (h.bits != 4) return false; break;
    default: return false;
    }
    return true;
}

void put16(QByteArray &out, quint16 v) { char b[2]; qToLittleEndian(v, b); out.append(b, 2); }
void put32(QByteArray &out, quint32 v) { char b[4]; qToLittleEndian(v, b); out.append(b, 4); }

} // namespace

QSize Dib::claimedSize(QByteArrayView dib)
{
    Header h;
    if (!readHeader(dib, h))
        return {};
    return QSize(int(h.width), int(std::llabs(h.height)));
}

QImage Dib::decode(QByteArrayView dib)
{
    Header h;
    if (!readHeader(dib, h))
        return {};
    const qint64 pixelOffset = h.size + h.tableBytes;
    if (pixelOffset > dib.size())
        return {};
    if (h.compression == kRgb || h.compression == kBitFields || h.compression == kAlphaBitFields) {
        const qint64 stride = ((h.width * h.bits + 31) / 32) * 4;
        if (dib.size() - pixelOffset < stride * std::llabs(h.height))
            return {}; // truncated rows: refuse rather than read past the end
    }
    // Qt's BMP reader wants a whole file: put the 14-byte file header in front.
    QByteArray file;
    file.reserve(14 + dib.size());
    file.append("BM", 2);
    put32(file, quint32(14 + dib.size()));
    put32(file, 0);
    put32(file, quint32(14 + pixelOffset));
    file.append(dib.data(), dib.size());
    QImage image;
    if (!image.loadFromData(file, "BMP"))
        return {};
    return image;
}

QByteArray Dib::encode24(const QImage &source)
{
    if (source.isNull())
        return {};
    QImage image = source;
    if (image.hasAlphaChannel()) {
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        QImage flat(image.size(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            const QRgb *in = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            QRgb *out = reinterpret_cast<QRgb *>(flat.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int a = qAlpha(in[x]);
                auto mix = [a](int c) { return (c * a + 255 * (255 - a)) / 255; };
                out[x] = qRgb(mix(qRed(in[x])), mix(qGreen(in[x])), mix(qBlue(in[x])));
            }
        }
        image = flat;
    }
    image = image.convertToFormat(QImage::Format_RGB888);
    const int width = image.width();
    const int height = image.height();
    const int stride = ((width * 24 + 31) / 32) * 4;
    QByteArray out;
    out.reserve(40 + stride * height);
    put32(out, kInfoHeaderSize);
    put32(out, quint32(width));
    put32(out, quint32(height));
    put16(out, 1);  // planes
    put16(out, 24); // bits per pixel
    put32(out, kRgb);
    put32(out, quint32(stride * height));
    put32(out, 0); // horizontal resolution: unknown
    put32(out, 0); // vertical resolution: unknown
    put32(out, 0); // colours used
    put32(out, 0); // important colours
    QByteArray row(stride, '\0');
    for (int y = height - 1; y >= 0; --y) {
        const uchar *in = image.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = char(in[3 * x + 2]);
            row[3 * x + 1] = char(in[3 * x + 1]);
            row[3 * x + 2] = char(in[3 * x]);
        }
        out.append(row);
    }
    return out;
}
