// The reader's destinations other than plain text: font and colour tables, fields, objects and
// pictures.
#include "rtfreader.h"

#include <QPainter>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <QUuid>

namespace {

constexpr qsizetype kMaxFontName = 256;
constexpr qsizetype kMaxInstruction = 4096;

// What stands in for a picture we cannot draw (an enhanced metafile, a vector metafile, broken
// data): a grey box that the document stretches to the picture's size.
QImage placeholder()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(0xE0, 0xE0, 0xE0));
    QPainter painter(&image);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(0, 0, 15, 15);
    return image;
}

} // namespace

bool RtfReader::destinationKeyword(RtfKeyword keyword, const RtfTokenizer::Token &)
{
    // A destination word opens its group; the document's own group is never skipped whole.
    const bool inner = m_stack.size() > 1;
    RtfGroupState &s = state();
    switch (keyword) {
    case RtfKeyword::Fonttbl:
        s.destination = RtfDestination::FontTable;
        m_fontEntry = -1;
        m_fontName.clear();
        return true;
    case RtfKeyword::Colortbl:
        s.destination = RtfDestination::ColorTable;
        m_red = m_green = m_blue = -1;
        return true;
    case RtfKeyword::Info: case RtfKeyword::Stylesheet: case RtfKeyword::Header:
    case RtfKeyword::Headerl: case RtfKeyword::Headerr: case RtfKeyword::Headerf:
    case RtfKeyword::Footer: case RtfKeyword::Footerl: case RtfKeyword::Footerr:
    case RtfKeyword::Footerf: case RtfKeyword::Footnote: case RtfKeyword::Annotation:
    case RtfKeyword::Listtable: case RtfKeyword::Listoverridetable: case RtfKeyword::Revtbl:
    case RtfKeyword::Rsidtbl: case RtfKeyword::Generator: case RtfKeyword::Xmlnstbl:
    case RtfKeyword::Themedata: case RtfKeyword::Colorschememapping: case RtfKeyword::Datastore:
    case RtfKeyword::Latentstyles: case RtfKeyword::Filetbl: case RtfKeyword::Pgdsctbl:
    case RtfKeyword::Userprops: case RtfKeyword::Docvar: case RtfKeyword::Template:
    case RtfKeyword::Pn: case RtfKeyword::Objdata: case RtfKeyword::Nonshppict:
    case RtfKeyword::Shpinst: case RtfKeyword::Bkmkstart: case RtfKeyword::Bkmkend:
        if (inner)
            skipGroup();
        return true;
    case RtfKeyword::Object:
        if (s.destination == RtfDestination::Text)
            s.destination = RtfDestination::Object;
        else if (inner)
            skipGroup();
        return true;
    case RtfKeyword::Result:
        if (s.destination == RtfDestination::Object)
            s.destination = RtfDestination::Text;
        return true;
    case RtfKeyword::Field:
        if (s.destination == RtfDestination::Text) {
            m_fields.append(Field{});
            s.field = int(m_fields.size() - 1);
        }
        return true;
    case RtfKeyword::Fldinst:
        if (s.field >= 0 && s.destination == RtfDestination::Text)
            s.destination = RtfDestination::FieldInstruction;
        else if (inner)
            skipGroup();
        return true;
    case RtfKeyword::Fldrslt:
        if (s.field >= 0 && s.destination == RtfDestination::Text) {
            Field &field = m_fields[s.field];
            if (field.link.isNull())
                field.link = hyperlinkTarget(field.instruction);
            if (!field.link.isEmpty())
                s.chars.link = s.field;
        }
        return true;
    case RtfKeyword::Shppict: case RtfKeyword::Shp: case RtfKeyword::Shprslt:
        return true; // their content is what shows
    case RtfKeyword::Pict:
        if (s.destination == RtfDestination::Text && !m_pictureActive) {
            s.destination = RtfDestination::Picture;
            s.ownsPicture = true;
            m_picture = RtfPicture{};
            m_pictureActive = true;
        } else if (inner) {
            skipGroup();
        }
        return true;
    default:
        return false;
    }
}

void RtfReader::fontTableKeyword(RtfKeyword keyword, const RtfTokenizer::Token &token)
{
    switch (keyword) {
    case RtfKeyword::F:
        finishFontName();
        m_fontEntry = token.param;
        if (!m_fonts.contains(m_fontEntry)) {
            if (m_fonts.size() < kMaxFonts)
                m_fonts.insert(m_fontEntry, Font{});
            else
                m_fontEntry = -1;
        }
        break;
    case RtfKeyword::Fcharset:
        if (m_fonts.contains(m_fontEntry))
            m_fonts[m_fontEntry].charset = token.param;
        break;
    case RtfKeyword::Cpg:
        if (m_fonts.contains(m_fontEntry) && token.param > 0)
            m_fonts[m_fontEntry].codePage = token.param;
        break;
    default:
        break;
    }
}

void RtfReader::fontTableText(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (c == ';')
            finishFontName();
        else if (c != '\r' && c != '\n' && m_fontName.size() < kMaxFontName)
            m_fontName.append(c);
    }
}

void RtfReader::finishFontName()
{
    const QByteArray bytes = m_fontName.trimmed();
    m_fontName.clear();
    if (bytes.isEmpty() || !m_fonts.contains(m_fontEntry))
        return;
    Font &font = m_fonts[m_fontEntry];
    int page = m_documentCodePage;
    if (font.codePage > 0)
        page = font.codePage;
    else if (font.charset >= 0)
        page = RtfCodePage::forCharset(font.charset, m_documentCodePage);
    font.name = m_codePages.decode(bytes, page);
}

void RtfReader::colorTableKeyword(RtfKeyword keyword, int value)
{
    const int component = qBound(0, value, 255);
    switch (keyword) {
    case RtfKeyword::Red: m_red = component; break;
    case RtfKeyword::Green: m_green = component; break;
    case RtfKeyword::Blue: m_blue = component; break;
    default: break;
    }
}

void RtfReader::colorTableText(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (c != ';')
            continue;
        if (m_colors.size() < kMaxColors) {
            // An entry without components is the automatic colour.
            if (m_red < 0 && m_green < 0 && m_blue < 0)
                m_colors.append(QColor());
            else
                m_colors.append(QColor(qMax(m_red, 0), qMax(m_green, 0), qMax(m_blue, 0)));
        }
        m_red = m_green = m_blue = -1;
    }
}

void RtfReader::fieldText(QByteArrayView bytes)
{
    const int field = state().field;
    if (field < 0 || field >= m_fields.size())
        return;
    QByteArray &instruction = m_fields[field].instruction;
    instruction.append(bytes.first(qMin(bytes.size(), kMaxInstruction - instruction.size())));
}

QString RtfReader::hyperlinkTarget(const QByteArray &instruction)
{
    const QString text = QString::fromLatin1(instruction).trimmed();
    if (!text.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return QLatin1String("");
    const QString rest = text.mid(9).trimmed();
    const qsizetype open = rest.indexOf(QLatin1Char('"'));
    if (open >= 0) {
        const qsizetype close = rest.indexOf(QLatin1Char('"'), open + 1);
        return rest.mid(open + 1, close < 0 ? -1 : close - open - 1).trimmed();
    }
    for (const QString &word : rest.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!word.startsWith(QLatin1Char('\\')))
            return word;
    }
    return QLatin1String("");
}

void RtfReader::pictureKeyword(RtfKeyword keyword, const RtfTokenizer::Token &token)
{
    if (!m_pictureActive)
        return;
    const int value = token.param;
    switch (keyword) {
    case RtfKeyword::Picw: m_picture.picw = value; break;
    case RtfKeyword::Pich: m_picture.pich = value; break;
    case RtfKeyword::Picwgoal: m_picture.goalw = value; break;
    case RtfKeyword::Pichgoal: m_picture.goalh = value; break;
    case RtfKeyword::Picscalex: m_picture.scalex = value; break;
    case RtfKeyword::Picscaley: m_picture.scaley = value; break;
    case RtfKeyword::Dibitmap: m_picture.kind = RtfPicture::Kind::Dib; break;
    case RtfKeyword::Wbitmap: m_picture.kind = RtfPicture::Kind::WindowsBitmap; break;
    case RtfKeyword::Wbmbitspixel: m_picture.bitsPerPixel = value; break;
    case RtfKeyword::Wbmwidthbytes: m_picture.widthBytes = value; break;
    case RtfKeyword::Pngblip: m_picture.kind = RtfPicture::Kind::Png; break;
    case RtfKeyword::Jpegblip: m_picture.kind = RtfPicture::Kind::Jpeg; break;
    case RtfKeyword::Wmetafile: m_picture.kind = RtfPicture::Kind::WindowsMetafile; break;
    case RtfKeyword::Emfblip:
    case RtfKeyword::Pmmetafile:
    case RtfKeyword::Macpict: m_picture.kind = RtfPicture::Kind::Other; break;
    default: break;
    }
}

void RtfReader::finishPicture()
{
    m_pictureActive = false;
    QImage image = m_picture.decode(m_pixelBudget);
    const QSizeF size = m_picture.displaySize(image);
    if (image.isNull()) {
        image = placeholder();
    } else {
        m_pixelBudget -= qint64(image.width()) * image.height();
        // Palette pictures become true colour, so that a table shorter than its indexes
        // (common in hand-made files) never reaches the painting code.
        if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono
            || image.format() == QImage::Format_MonoLSB)
            image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
    m_picture = RtfPicture{};

    flushText();
    ensureParagraph();
    QTextDocument *document = m_cursor.document();
    const QString name = QStringLiteral("rtf-picture:") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    // The picture keeps the character format around it, as in the editors that wrote it.
    QTextImageFormat format;
    if (!m_stack.isEmpty())
        format.merge(charFormat(state().chars));
    format.setName(name);
    format.setWidth(size.width());
    format.setHeight(size.height());
    m_cursor.insertImage(format);
}
