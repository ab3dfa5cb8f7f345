#include "rtfpicture.h"

#include "rtftokenizer.h"

#include "dib.h"
#include "windowsmetafile.h"

#include <QBuffer>
#include <QImageReader>

namespace {

constexpr double kTwipsPerPixel = 15.0;           // 1440 twips per inch at 96 pixels per inch
constexpr double kHimetricPerPixel = 2540.0 / 96; // 0.01 mm
constexpr double kMaxDisplaySide = 8192;

// Decodes PNG or JPEG after checking the size it announces, so that a small file cannot make
// the decoder allocate gigabytes.
QImage decodeCompressed(const QByteArray &data, const char *format, qint64 pixelBudget)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > Dib::kMaxSide || size.height() > Dib::kMaxSide
        || qint64(size.width()) * size.height() > qMin(pixelBudget, Dib::kMaxPixels))
        return {};
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

bool withinBudget(QSize size, qint64 pixelBudget)
{
    return size.isValid() && qint64(size.width()) * size.height() <= pixelBudget;
}

} // namespace

void RtfPicture::appendHex(QByteArrayView text)
{
    if (m_overflow)
        return;
    for (const char c : text) {
        const int v = RtfTokenizer::hexValue(c);
        if (v < 0)
            continue;
        if (m_nibble < 0) {
            m_nibble = v;
            continue;
        }
        if (m_data.size() >= kMaxData) {
            m_overflow = true;
            m_data.clear();
            return;
        }
        m_data.append(char(m_nibble * 16 + v));
        m_nibble = -1;
    }
}

void RtfPicture::appendBinary(QByteArrayView bytes)
{
    if (m_overflow)
        return;
    if (m_data.size() + bytes.size() > kMaxData) {
        m_overflow = true;
        m_data.clear();
        return;
    }
    m_data.append(bytes.data(), bytes.size());
}

QImage RtfPicture::decode(qint64 pixelBudget) const
{
    if (m_overflow || m_data.isEmpty() || pixelBudget <= 0)
        return {};
    switch (kind) {
    case Kind::Dib:
        if (!withinBudget(Dib::claimedSize(m_data), pixelBudget))
            return {};
        return Dib::decode(m_data);
    case Kind::WindowsBitmap:
        if (!withinBudget(QSize(picw, pich), pixelBudget))
            return {};
        return decodeWindowsBitmap();
    case Kind::Png:
        return decodeCompressed(m_data, "PNG", pixelBudget);
    case Kind::Jpeg:
        return decodeCompressed(m_data, "JPEG", pixelBudget);
    case Kind::WindowsMetafile: {
        const QByteArray dib = WindowsMetafile::firstBitmap(m_data);
        if (dib.isEmpty() || !withinBudget(Dib::claimedSize(dib), pixelBudget))
            return {};
        return Dib::decode(dib);
    }
    case Kind::None:
    case Kind::Other:
        break;
    }
    return {};
}

// A device-dependent bitmap: rows top-down, \wbmwidthbytes apart, no colour table. Monochrome
// and true-colour ones are the kinds still met in files.
QImage RtfPicture::decodeWindowsBitmap() const
{
    if (picw < 1 || pich < 1 || picw > Dib::kMaxSide || pich > Dib::kMaxSide)
        return {};
    const qint64 minimum = (qint64(picw) * bitsPerPixel + 7) / 8;
    const qint64 stride = widthBytes > 0 ? widthBytes : ((qint64(picw) * bitsPerPixel + 15) / 16) * 2;
    if (stride < minimum || stride * pich > m_data.size())
        return {};
    QImage image(picw, pich, QImage::Format_RGB32);
    for (int y = 0; y < pich; ++y) {
        const auto *row = reinterpret_cast<const uchar *>(m_data.constData() + stride * y);
        QRgb *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < picw; ++x) {
            switch (bitsPerPixel) {
            case 1:
                out[x] = (row[x / 8] & (0x80 >> (x % 8))) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
                break;
            case 8:
                out[x] = qRgb(row[x], row[x], row[x]);
                break;
            case 24:
                out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                break;
            case 32:
                out[x] = qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
                break;
            default:
                return {};
            }
        }
    }
    return image;
}

QSizeF RtfPicture::displaySize(const QImage &decoded) const
{
    double w = 0, h = 0;
    if (goalw > 0 && goalh > 0) {
        w = goalw / kTwipsPerPixel;
        h = goalh / kTwipsPerPixel;
    } else if (!decoded.isNull()) {
        w = decoded.width();
        h = decoded.height();
    } else if (kind == Kind::WindowsMetafile || kind == Kind::Other) {
        w = picw / kHimetricPerPixel;
        h = pich / kHimetricPerPixel;
    } else {
        w = picw;
        h = pich;
    }
    if (scalex > 0)
        w = w * scalex / 100.0;
    if (scaley > 0)
        h = h * scaley / 100.0;
    if (!(w >= 1))
        w = 32;
    if (!(h >= 1))
        h = 32;
    return QSizeF(qMin(w, kMaxDisplaySide), qMin(h, kMaxDisplaySide));
}
