#pragma once

#include <QByteArray>
#include <QString>

// Windows-1251, the 8-bit text of the wire, both data files and the debug log. Our own table, so
// that the conversion never depends on ICU and a character 1251 lacks always becomes "?".
class CodePage
{
public:
    static QString toUnicode(const QByteArray &bytes);
    static QByteArray fromUnicode(const QString &text);
    // One byte of 1251 as a UTF-16 code unit (every 1251 byte maps to one BMP character).
    static char16_t decodeByte(unsigned char byte);
    // The 1251 byte for a character, or 0 when 1251 has none (0 itself encodes as 0 elsewhere).
    static unsigned char encodeChar(char16_t ch);
};
