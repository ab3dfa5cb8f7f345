#pragma once

#include <QByteArray>
#include <QTextDocument>

// Writes a QTextDocument as RTF that Windows rich-text editors and word processors read: the
// Windows-1251 code page with Cyrillic fonts (\fcharset204), \'hh for every Windows-1251
// character and \uN? for the rest, fonts, sizes, colours, highlight, bold, italic, underline,
// strike-out, alignment, indents, hyperlinks as HYPERLINK fields, and each picture twice: a PNG
// in \shppict for word processors and a metafile with a 24-bit bitmap in \nonshppict for Windows
// rich-text editors, which read nothing else.
class RtfWriter
{
public:
    static QByteArray write(const QTextDocument &document);
};
