#pragma once

#include "rtfcodepage.h"
#include "rtfkeywords.h"
#include "rtfpicture.h"
#include "rtfreaderstate.h"
#include "rtftokenizer.h"

#include <QByteArrayView>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

// Reads RTF into a QTextDocument at a cursor: text in every Windows code page, fonts, sizes,
// colours, styles, alignment and indents, hyperlinks, and pictures in the forms Windows editors
// and word processors write. Whatever it does not understand it skips; hostile input (deep
// nesting, huge tables, lying sizes, truncation) costs bounded time and memory.
//
// Usage: RtfReader::read(bytes, cursor). The content lands at the cursor's position (the caller
// removes any selection first) and the cursor ends up after it.
class RtfReader
{
public:
    static constexpr int kMaxDepth = 1000;
    static constexpr int kMaxFonts = 1024;
    static constexpr int kMaxColors = 1024;
    static constexpr qint64 kPixelBudget = 64 * 1024 * 1024; // all pictures of one read

    // True when the data starts (after blanks) with "{\rtf".
    static bool isRtf(QByteArrayView data);
    // Inserts the document at the cursor. Returns false, inserting nothing, when the data is
    // not RTF.
    static bool read(QByteArrayView rtf, QTextCursor &cursor);
    // The same; `complete` tells whether the document's own group was closed (false when the
    // data was cut short).
    static bool read(QByteArrayView rtf, QTextCursor &cursor, bool &complete);

private:
    struct Font {
        QString name;
        int charset = -1;
        int codePage = 0; // \cpgN, which wins over the charset
    };
    struct Field {
        QByteArray instruction;
        QString link;
    };

    RtfReader(QByteArrayView rtf, QTextCursor &cursor);
    void run();

    // rtfreader.cpp: groups, text and formats
    void groupStart();
    void groupEnd();
    void keyword(const RtfTokenizer::Token &token);
    void symbol(char symbol);
    void text(QByteArrayView bytes);
    void hexByte(unsigned char byte);
    void unicode(int value);
    void appendBytes(QByteArrayView bytes);
    void appendText(const QString &text);
    void flushBytes();
    void flushText();
    void paragraph();
    void ensureParagraph();
    void applyParagraphFormat();
    int codePage() const;
    QTextCharFormat charFormat(const RtfCharState &chars);
    void skipGroup();
    void setDestination(RtfDestination destination);
    RtfGroupState &state() { return m_stack.back(); }

    // rtfreaderdestinations.cpp: font table, colour table, fields, pictures
    bool destinationKeyword(RtfKeyword keyword, const RtfTokenizer::Token &token);
    void fontTableKeyword(RtfKeyword keyword, const RtfTokenizer::Token &token);
    void fontTableText(QByteArrayView bytes);
    void finishFontName();
    void colorTableKeyword(RtfKeyword keyword, int value);
    void colorTableText(QByteArrayView bytes);
    void pictureKeyword(RtfKeyword keyword, const RtfTokenizer::Token &token);
    void finishPicture();
    void fieldText(QByteArrayView bytes);
    static QString hyperlinkTarget(const QByteArray &instruction);

    RtfTokenizer m_tokens;
    QTextCursor &m_cursor;
    RtfCodePage m_codePages;

    QList<RtfGroupState> m_stack;
    int m_skipDepth = 0;      // > 0 while inside a group that is being skipped
    bool m_skipPops = false;  // whether the skipped group has a state on the stack
    int m_ucSkip = 0;         // fallback characters of a \uN still to skip
    bool m_done = false;

    int m_documentCodePage = 1252;
    int m_defaultFont = 0;
    QHash<int, Font> m_fonts;
    int m_fontEntry = -1;
    QByteArray m_fontName;
    QList<QColor> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1;
    QList<Field> m_fields;

    RtfPicture m_picture;
    bool m_pictureActive = false;
    qint64 m_pixelBudget = kPixelBudget;

    // Text waiting to be inserted with one format: raw bytes in one code page, then text.
    QByteArray m_bytes;
    int m_bytesCodePage = 0;
    QString m_text;
    RtfCharState m_textChars;
    bool m_pendingParagraph = false; // a \par whose new block is made when content follows
    bool m_paragraphFormatSeen = false;
    RtfParaState m_finalPara; // the paragraph format in force when the document's group closed

    RtfCharState m_formatChars;
    QTextCharFormat m_format;
    bool m_formatValid = false;
};
