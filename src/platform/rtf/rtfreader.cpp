#include "rtfreader.h"

#include <QTextBlock>
#include <QTextDocument>

namespace {

constexpr double kTwipsPerPixel = 15.0;

} // namespace

bool RtfReader::isRtf(QByteArrayView data)
{
    qsizetype i = 0;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.sliced(i).startsWith("{\\rtf");
}

bool RtfReader::read(QByteArrayView rtf, QTextCursor &cursor)
{
    bool complete = false;
    return read(rtf, cursor, complete);
}

bool RtfReader::read(QByteArrayView rtf, QTextCursor &cursor, bool &complete)
{
    complete = false;
    if (!isRtf(rtf) || cursor.isNull())
        return false;
    RtfReader reader(rtf, cursor);
    reader.run();
    complete = reader.m_done;
    return true;
}

RtfReader::RtfReader(QByteArrayView rtf, QTextCursor &cursor) : m_tokens(rtf), m_cursor(cursor)
{
    m_stack.reserve(64);
}

void RtfReader::run()
{
    while (!m_done) {
        const RtfTokenizer::Token token = m_tokens.next();
        using Type = RtfTokenizer::Type;
        if (token.type == Type::End)
            break;
        if (m_skipDepth > 0) {
            if (token.type == Type::GroupStart) {
                ++m_skipDepth;
            } else if (token.type == Type::GroupEnd && --m_skipDepth == 0 && m_skipPops) {
                groupEnd();
            }
            continue;
        }
        if (token.type == Type::GroupStart) {
            groupStart();
            continue;
        }
        if (token.type == Type::GroupEnd) {
            groupEnd();
            continue;
        }
        if (m_stack.isEmpty())
            break; // content after the document's last brace
        if (m_ucSkip > 0) {
            // The fallback of a \uN: plain characters, \'hh, \binN and control words each count
            // as one; line breaks are not characters at all.
            if (token.type == Type::Text) {
                qsizetype i = 0;
                while (i < token.text.size() && m_ucSkip > 0) {
                    const char c = token.text[i++];
                    if (c != '\r' && c != '\n')
                        --m_ucSkip;
                }
                if (i < token.text.size())
                    text(token.text.sliced(i));
            } else {
                --m_ucSkip;
            }
            continue;
        }
        switch (token.type) {
        case Type::Word: keyword(token); break;
        case Type::Symbol: symbol(token.symbol); break;
        case Type::Hex: hexByte(token.byte); break;
        case Type::Text: text(token.text); break;
        case Type::Binary:
            if (state().destination == RtfDestination::Picture && m_pictureActive)
                m_picture.appendBinary(token.text);
            break;
        default: break;
        }
    }
    // A truncated file: show what arrived, the picture being read included.
    if (m_pictureActive)
        finishPicture();
    flushText();
    if (m_paragraphFormatSeen)
        applyParagraphFormat();
}

void RtfReader::groupStart()
{
    m_ucSkip = 0;
    if (m_stack.size() >= kMaxDepth) {
        m_skipDepth = 1;
        m_skipPops = false;
        return;
    }
    if (m_stack.isEmpty()) {
        m_stack.append(RtfGroupState{});
        return;
    }
    RtfGroupState inner = state();
    inner.ownsPicture = false;
    inner.ignorable = false;
    m_stack.append(inner);
}

void RtfReader::groupEnd()
{
    m_ucSkip = 0;
    if (m_stack.isEmpty()) {
        m_done = true;
        return;
    }
    const RtfGroupState &closing = state();
    if (closing.destination == RtfDestination::FontTable)
        finishFontName();
    if (closing.ownsPicture && m_pictureActive)
        finishPicture();
    if (m_stack.size() == 1)
        m_finalPara = closing.para;
    m_stack.removeLast();
    if (m_stack.isEmpty())
        m_done = true; // the document's own group has ended
}

void RtfReader::skipGroup()
{
    m_skipDepth = 1;
    m_skipPops = true;
}

void RtfReader::setDestination(RtfDestination destination)
{
    state().destination = destination;
}

void RtfReader::keyword(const RtfTokenizer::Token &token)
{
    const RtfKeyword kw = token.overlong ? RtfKeyword::Unknown : rtfKeyword(token.text);
    const bool ignorable = state().ignorable;
    state().ignorable = false;
    if (destinationKeyword(kw, token))
        return;
    if (ignorable) {
        skipGroup(); // an optional destination we do not know
        return;
    }
    const RtfDestination destination = state().destination;
    if (destination == RtfDestination::FontTable) {
        fontTableKeyword(kw, token);
        return;
    }
    if (destination == RtfDestination::ColorTable) {
        colorTableKeyword(kw, token.param);
        return;
    }
    if (destination == RtfDestination::Picture) {
        pictureKeyword(kw, token);
        return;
    }

    const int value = token.param;
    const bool on = !token.hasParam || value != 0;
    RtfCharState &chars = state().chars;
    RtfParaState &para = state().para;
    switch (kw) {
    case RtfKeyword::Ansi: m_documentCodePage = 1252; break;
    case RtfKeyword::Mac: m_documentCodePage = 10000; break;
    case RtfKeyword::Pc: m_documentCodePage = 437; break;
    case RtfKeyword::Pca: m_documentCodePage = 850; break;
    case RtfKeyword::Ansicpg:
        if (value > 0)
            m_documentCodePage = value;
        break;
    case RtfKeyword::Deff: m_defaultFont = value; break;
    case RtfKeyword::Uc: state().uc = qBound(0, value, 16); break;
    case RtfKeyword::U: unicode(value); break;

    case RtfKeyword::Plain: chars = RtfCharState{.link = chars.link}; break;
    case RtfKeyword::F: chars.font = value; break;
    case RtfKeyword::Fs:
        if (token.hasParam && value > 0)
            chars.halfPoints = qMin(value, 3276);
        break;
    case RtfKeyword::B: chars.bold = on; break;
    case RtfKeyword::I: chars.italic = on; break;
    case RtfKeyword::Ul: chars.underline = on; break;
    case RtfKeyword::Ulnone: chars.underline = false; break;
    case RtfKeyword::Strike: chars.strike = on; break;
    case RtfKeyword::Cf: chars.color = qMax(0, value); break;
    case RtfKeyword::Highlight:
    case RtfKeyword::Cb:
    case RtfKeyword::Chcbpat: chars.highlight = qMax(0, value); break;

    case RtfKeyword::Pard: para = RtfParaState{}; m_paragraphFormatSeen = true; break;
    case RtfKeyword::Ql: para.alignment = Qt::AlignLeft; m_paragraphFormatSeen = true; break;
    case RtfKeyword::Qc: para.alignment = Qt::AlignHCenter; m_paragraphFormatSeen = true; break;
    case RtfKeyword::Qr: para.alignment = Qt::AlignRight; m_paragraphFormatSeen = true; break;
    case RtfKeyword::Qj: para.alignment = Qt::AlignJustify; m_paragraphFormatSeen = true; break;
    case RtfKeyword::Li: para.leftIndent = value; m_paragraphFormatSeen = true; break;
    case RtfKeyword::Ri: para.rightIndent = value; m_paragraphFormatSeen = true; break;
    case RtfKeyword::Fi: para.firstIndent = value; m_paragraphFormatSeen = true; break;

    case RtfKeyword::Par:
    case RtfKeyword::Page:
    case RtfKeyword::Sect:
    case RtfKeyword::Row:
        paragraph();
        break;
    case RtfKeyword::Line: appendText(QString(QChar::LineSeparator)); break;
    case RtfKeyword::Tab:
    case RtfKeyword::Cell: appendText(QStringLiteral("\t")); break;
    case RtfKeyword::Emdash: appendText(QString(QChar(0x2014))); break;
    case RtfKeyword::Endash: appendText(QString(QChar(0x2013))); break;
    case RtfKeyword::Lquote: appendText(QString(QChar(0x2018))); break;
    case RtfKeyword::Rquote: appendText(QString(QChar(0x2019))); break;
    case RtfKeyword::Ldblquote: appendText(QString(QChar(0x201C))); break;
    case RtfKeyword::Rdblquote: appendText(QString(QChar(0x201D))); break;
    case RtfKeyword::Bullet: appendText(QString(QChar(0x2022))); break;
    case RtfKeyword::Emspace: appendText(QString(QChar(0x2003))); break;
    case RtfKeyword::Enspace: appendText(QString(QChar(0x2002))); break;
    case RtfKeyword::Qmspace: appendText(QString(QChar(0x2005))); break;
    default: break;
    }
}

void RtfReader::symbol(char symbol)
{
    switch (symbol) {
    case '*': state().ignorable = true; break;
    case '\\': case '{': case '}': text(QByteArrayView(&symbol, 1)); break;
    case '~': appendText(QString(QChar(0x00A0))); break;
    case '-': appendText(QString(QChar(0x00AD))); break;
    case '_': appendText(QString(QChar(0x2011))); break;
    case '\n':
        if (state().destination == RtfDestination::Text)
            paragraph();
        break;
    case '\t': appendText(QStringLiteral("\t")); break;
    default: break; // \| \: and broken escapes mean nothing here
    }
}

void RtfReader::text(QByteArrayView bytes)
{
    switch (state().destination) {
    case RtfDestination::Text: appendBytes(bytes); break;
    case RtfDestination::FontTable: fontTableText(bytes); break;
    case RtfDestination::ColorTable: colorTableText(bytes); break;
    case RtfDestination::Picture:
        if (m_pictureActive)
            m_picture.appendHex(bytes);
        break;
    case RtfDestination::FieldInstruction: fieldText(bytes); break;
    case RtfDestination::Object: break;
    }
}

void RtfReader::hexByte(unsigned char byte)
{
    const char c = char(byte);
    switch (state().destination) {
    case RtfDestination::Text: appendBytes(QByteArrayView(&c, 1)); break;
    case RtfDestination::FontTable:
        if (m_fontName.size() < 256)
            m_fontName.append(c);
        break;
    case RtfDestination::FieldInstruction: fieldText(QByteArrayView(&c, 1)); break;
    default: break;
    }
}

void RtfReader::unicode(int value)
{
    state().ignorable = false;
    m_ucSkip = state().uc;
    if (value < 0)
        value += 65536;
    if (value <= 0 || value > 0xFFFF)
        return;
    const QChar ch{char16_t(value)};
    if (state().destination == RtfDestination::Text) {
        appendText(QString(ch));
    } else if (state().destination == RtfDestination::FontTable) {
        // Font names in \u form are rare; keep the name ASCII-safe rather than guess bytes.
        if (value < 0x80 && m_fontName.size() < 256)
            m_fontName.append(char(value));
    }
}

// Bytes of the document's text: plain characters and \'hh, in the current code page.
void RtfReader::appendBytes(QByteArrayView bytes)
{
    const int page = codePage();
    if (!m_bytes.isEmpty() && page != m_bytesCodePage)
        flushBytes();
    if (!(state().chars == m_textChars)) {
        flushText();
        m_textChars = state().chars;
    }
    m_bytesCodePage = page;
    m_bytes.reserve(m_bytes.size() + bytes.size());
    for (const char c : bytes) {
        if (c != '\r' && c != '\n')
            m_bytes.append(c);
    }
}

void RtfReader::appendText(const QString &text)
{
    if (state().destination != RtfDestination::Text)
        return;
    if (!(state().chars == m_textChars)) {
        flushText();
        m_textChars = state().chars;
    }
    flushBytes();
    m_text += text;
}

void RtfReader::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    m_text += m_codePages.decode(m_bytes, m_bytesCodePage);
    m_bytes.clear();
}

void RtfReader::flushText()
{
    flushBytes();
    if (m_text.isEmpty())
        return;
    ensureParagraph();
    m_cursor.insertText(m_text, charFormat(m_textChars));
    m_text.clear();
}

int RtfReader::codePage() const
{
    const RtfGroupState &s = m_stack.back();
    const auto font = m_fonts.constFind(s.chars.font < 0 ? m_defaultFont : s.chars.font);
    if (font != m_fonts.constEnd()) {
        if (font->codePage > 0)
            return font->codePage;
        if (font->charset >= 0)
            return RtfCodePage::forCharset(font->charset, m_documentCodePage);
    }
    return m_documentCodePage;
}

QTextCharFormat RtfReader::charFormat(const RtfCharState &chars)
{
    if (m_formatValid && chars == m_formatChars)
        return m_format;
    QTextCharFormat format;
    const auto font = m_fonts.constFind(chars.font < 0 ? m_defaultFont : chars.font);
    if (font != m_fonts.constEnd() && !font->name.isEmpty())
        format.setFontFamilies({font->name});
    format.setFontPointSize(chars.halfPoints / 2.0);
    format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chars.italic);
    format.setFontUnderline(chars.underline);
    format.setFontStrikeOut(chars.strike);
    if (chars.color > 0 && chars.color < m_colors.size() && m_colors[chars.color].isValid())
        format.setForeground(m_colors[chars.color]);
    if (chars.highlight > 0 && chars.highlight < m_colors.size()
        && m_colors[chars.highlight].isValid())
        format.setBackground(m_colors[chars.highlight]);
    if (chars.link >= 0 && chars.link < m_fields.size() && !m_fields[chars.link].link.isEmpty()) {
        format.setAnchor(true);
        format.setAnchorHref(m_fields[chars.link].link);
    }
    m_formatChars = chars;
    m_format = format;
    m_formatValid = true;
    return format;
}

void RtfReader::paragraph()
{
    if (state().destination != RtfDestination::Text)
        return;
    flushText();
    ensureParagraph();
    if (m_paragraphFormatSeen)
        applyParagraphFormat();
    // The new block is made only when something follows: the last \par of a file is the
    // paragraph mark of the document's last paragraph, not the start of an empty one.
    m_pendingParagraph = true;
}

void RtfReader::ensureParagraph()
{
    if (!m_pendingParagraph)
        return;
    m_pendingParagraph = false;
    m_cursor.insertBlock();
}

void RtfReader::applyParagraphFormat()
{
    const RtfParaState &para = m_stack.isEmpty() ? m_finalPara : state().para;
    QTextBlockFormat format = m_cursor.blockFormat();
    format.setAlignment(para.alignment);
    format.setLeftMargin(para.leftIndent / kTwipsPerPixel);
    format.setRightMargin(para.rightIndent / kTwipsPerPixel);
    format.setTextIndent(para.firstIndent / kTwipsPerPixel);
    m_cursor.setBlockFormat(format);
}
