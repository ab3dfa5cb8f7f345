#pragma once

#include <QByteArrayView>

// Splits RTF bytes into tokens without copying them. Hostile input stays harmless: a control
// word keeps at most 32 letters (longer ones come back as ignorable words), parameters saturate
// at the range of int, and \binN never reaches past the end of the data.
class RtfTokenizer
{
public:
    // The value of one hexadecimal digit, -1 for any other byte (also used for picture data).
    static int hexValue(char c);

    enum class Type {
        End,        // no more data
        GroupStart, // {
        GroupEnd,   // }
        Word,       // \name or \nameN; `text` holds the name
        Symbol,     // \x for a non-letter x other than '; `symbol` holds it
        Hex,        // \'hh; `byte` holds the value
        Text,       // a run of plain bytes, line breaks included (RTF ignores them)
        Binary,     // the N raw bytes following \binN
    };

    struct Token {
        Type type = Type::End;
        QByteArrayView text;
        bool hasParam = false;
        int param = 0;
        char symbol = 0;
        unsigned char byte = 0;
        bool overlong = false; // a control word of more than kMaxWordLength letters
    };

    static constexpr int kMaxWordLength = 32;

    explicit RtfTokenizer(QByteArrayView data) : m_data(data) {}

    Token next();
    qsizetype position() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }

private:
    Token readControl();

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};
