#include "rtfwriter.h"

#include "dib.h"
#include "platform/codepage.h"
#include "windowsmetafile.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <cmath>

namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr double kHimetricPerPixel = 2540.0 / 96;
constexpr int kHexLine = 128;

// The character formats RTF carries, resolved against the document's default font.
struct Run {
    int font = 0;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = 0;
    int highlight = 0;
    bool operator==(const Run &) const = default;
};

class Writer
{
public:
    explicit Writer(const QTextDocument &document) : m_doc(document) {}
    QByteArray write();

private:
    QString familyOf(const QTextCharFormat &format) const;
    Run runOf(const QTextCharFormat &format);
    int fontIndex(const QString &family);
    int colorIndex(const QBrush &brush);
    void collectTables();
    void writeHeader();
    void writeBlock(const QTextBlock &block);
    void writeRun(const Run &run);
    void writeText(const QString &text);
    void writeImage(const QTextImageFormat &format);
    void writeHex(const QByteArray &data);
    void word(const char *name, int value) { m_out += name; m_out += QByteArray::number(value); m_pendingSpace = true; }
    void word(const char *name) { m_out += name; m_pendingSpace = true; }

    const QTextDocument &m_doc;
    QByteArray m_out;
    QStringList m_fonts;
    QList<QRgb> m_colors;
    Run m_run;
    bool m_pendingSpace = false;
};

QString Writer::familyOf(const QTextCharFormat &format) const
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return m_doc.defaultFont().family();
}

int Writer::fontIndex(const QString &family)
{
    qsizetype i = m_fonts.indexOf(family);
    if (i < 0) {
        m_fonts.append(family);
        i = m_fonts.size() - 1;
    }
    return int(i);
}

int Writer::colorIndex(const QBrush &brush)
{
    if (brush.style() == Qt::NoBrush)
        return 0;
    const QRgb rgb = brush.color().rgb();
    qsizetype i = m_colors.indexOf(rgb);
    if (i < 0) {
        m_colors.append(rgb);
        i = m_colors.size() - 1;
    }
    return int(i) + 1; // entry 0 is the automatic colour
}

Run Writer::runOf(const QTextCharFormat &format)
{
    const QFont base = m_doc.defaultFont();
    Run run;
    run.font = fontIndex(familyOf(format));
    double points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                                   : base.pointSizeF();
    if (!(points > 0))
        points = 12;
    run.halfPoints = qBound(1, int(std::lround(points * 2)), 3276);
    run.bold = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold
                                                           : base.bold();
    run.italic = format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : base.italic();
    run.underline = format.fontUnderline();
    run.strike = format.fontStrikeOut();
    run.color = format.hasProperty(QTextFormat::ForegroundBrush) ? colorIndex(format.foreground()) : 0;
    run.highlight = format.hasProperty(QTextFormat::BackgroundBrush) ? colorIndex(format.background()) : 0;
    return run;
}

void Writer::collectTables()
{
    fontIndex(m_doc.defaultFont().family());
    for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            runOf(it.fragment().charFormat());
    }
}

void Writer::writeHeader()
{
    m_out += "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl";
    for (int i = 0; i < m_fonts.size(); ++i) {
        m_out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset204 ";
        QString name = m_fonts[i];
        name.remove(QLatin1Char(';'));
        m_pendingSpace = false;
        writeText(name);
        m_out += ";}";
    }
    m_out += "}\r\n{\\colortbl ;";
    for (const QRgb rgb : m_colors) {
        m_out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb))
            + "\\blue" + QByteArray::number(qBlue(rgb)) + ';';
    }
    m_out += "}\r\n\\viewkind4\\uc1";
    m_run = Run{};
    m_out += "\\f0\\fs24";
    m_pendingSpace = true;
}

void Writer::writeRun(const Run &run)
{
    if (run.font != m_run.font) word("\\f", run.font);
    if (run.halfPoints != m_run.halfPoints) word("\\fs", run.halfPoints);
    if (run.bold != m_run.bold) word(run.bold ? "\\b" : "\\b0");
    if (run.italic != m_run.italic) word(run.italic ? "\\i" : "\\i0");
    if (run.underline != m_run.underline) word(run.underline ? "\\ul" : "\\ulnone");
    if (run.strike != m_run.strike) word(run.strike ? "\\strike" : "\\strike0");
    if (run.color != m_run.color) word("\\cf", run.color);
    if (run.highlight != m_run.highlight) word("\\highlight", run.highlight);
    m_run = run;
}

void Writer::writeText(const QString &text)
{
    static const char hex[] = "0123456789abcdef";
    for (const QChar qc : text) {
        const char16_t ch = qc.unicode();
        if (ch >= 0x20 && ch < 0x80) {
            if (m_pendingSpace) {
                m_out += ' ';
                m_pendingSpace = false;
            }
            if (ch == '\\' || ch == '{' || ch == '}')
                m_out += '\\';
            m_out += char(ch);
            continue;
        }
        switch (ch) {
        case '\t': word("\\tab"); continue;
        case 0x2028: word("\\line"); continue;
        case 0x00A0: m_out += "\\~"; m_pendingSpace = false; continue;
        case 0x00AD: m_out += "\\-"; m_pendingSpace = false; continue;
        case 0x2011: m_out += "\\_"; m_pendingSpace = false; continue;
        case 0xFFFC: continue; // an object without a picture
        default: break;
        }
        if (ch < 0x20)
            continue;
        if (const unsigned char b = CodePage::encodeChar(ch)) {
            m_out += "\\'";
            m_out += hex[b >> 4];
            m_out += hex[b & 15];
            m_pendingSpace = false;
            continue;
        }
        m_out += "\\u" + QByteArray::number(ch > 0x7FFF ? int(ch) - 0x10000 : int(ch)) + '?';
        m_pendingSpace = false;
    }
}

void Writer::writeHex(const QByteArray &data)
{
    static const char hex[] = "0123456789abcdef";
    m_out += "\r\n";
    m_out.reserve(m_out.size() + data.size() * 2 + data.size() / (kHexLine / 2) * 2 + 4);
    int column = 0;
    for (const char c : data) {
        const auto b = static_cast<unsigned char>(c);
        m_out += hex[b >> 4];
        m_out += hex[b & 15];
        column += 2;
        if (column == kHexLine) {
            m_out += "\r\n";
            column = 0;
        }
    }
    m_pendingSpace = false;
}

void Writer::writeImage(const QTextImageFormat &format)
{
    const QVariant resource = m_doc.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image;
    if (resource.canConvert<QImage>())
        image = resource.value<QImage>();
    if (image.isNull() && resource.canConvert<QPixmap>())
        image = resource.value<QPixmap>().toImage();
    if (image.isNull())
        image = QImage(format.name());
    if (image.isNull())
        return;

    double width = format.width() > 0 ? format.width() : image.width();
    double height = format.height() > 0 ? format.height()
                                        : (format.width() > 0 ? width * image.height() / image.width()
                                                              : image.height());
    const int goalw = int(std::lround(width * kTwipsPerPixel));
    const int goalh = int(std::lround(height * kTwipsPerPixel));

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");

    m_out += "{\\*\\shppict{\\pict\\picscalex100\\picscaley100";
    word("\\picw", image.width());
    word("\\pich", image.height());
    word("\\picwgoal", goalw);
    word("\\pichgoal", goalh);
    word("\\pngblip");
    writeHex(png);
    m_out += "}}{\\nonshppict{\\pict";
    word("\\picw", int(std::lround(image.width() * kHimetricPerPixel)));
    word("\\pich", int(std::lround(image.height() * kHimetricPerPixel)));
    word("\\picwgoal", goalw);
    word("\\pichgoal", goalh);
    word("\\wmetafile8");
    writeHex(WindowsMetafile::wrapBitmap(Dib::encode24(image), image.size()));
    m_out += "}}";
    m_pendingSpace = false;
}

void Writer::writeBlock(const QTextBlock &block)
{
    const QTextBlockFormat format = block.blockFormat();
    word("\\pard");
    switch (format.alignment() & Qt::AlignHorizontal_Mask) {
    case Qt::AlignHCenter: word("\\qc"); break;
    case Qt::AlignRight: word("\\qr"); break;
    case Qt::AlignJustify: word("\\qj"); break;
    default: break;
    }
    if (const int li = int(std::lround(format.leftMargin() * kTwipsPerPixel))) word("\\li", li);
    if (const int ri = int(std::lround(format.rightMargin() * kTwipsPerPixel))) word("\\ri", ri);
    if (const int fi = int(std::lround(format.textIndent() * kTwipsPerPixel))) word("\\fi", fi);

    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        writeRun(runOf(format));
        if (format.isImageFormat()) {
            const QTextImageFormat image = format.toImageFormat();
            for (qsizetype i = 0; i < fragment.text().size(); ++i)
                writeImage(image);
            continue;
        }
        const QString href = format.isAnchor() ? format.anchorHref() : QString();
        if (!href.isEmpty()) {
            m_out += "{\\field{\\*\\fldinst{HYPERLINK \"";
            m_pendingSpace = false;
            QString target = href;
            target.replace(QLatin1Char('"'), QLatin1String("%22"));
            writeText(target);
            m_out += "\"}}{\\fldrslt{";
            m_pendingSpace = false;
            writeText(fragment.text());
            m_out += "}}}";
            m_pendingSpace = false;
            continue;
        }
        writeText(fragment.text());
    }
    word("\\par");
    m_out += "\r\n";
    m_pendingSpace = false;
}

QByteArray Writer::write()
{
    collectTables();
    writeHeader();
    for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next())
        writeBlock(block);
    m_out += "}\r\n";
    return m_out;
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument &document)
{
    return Writer(document).write();
}
