#include "rtftokenizer.h"

#include <climits>

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

int RtfTokenizer::hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

RtfTokenizer::Token RtfTokenizer::next()
{
    Token token;
    if (m_pos >= m_data.size())
        return token;
    const char c = m_data[m_pos];
    if (c == '{') {
        ++m_pos;
        token.type = Type::GroupStart;
        return token;
    }
    if (c == '}') {
        ++m_pos;
        token.type = Type::GroupEnd;
        return token;
    }
    if (c == '\\')
        return readControl();
    const qsizetype start = m_pos;
    while (m_pos < m_data.size()) {
        const char d = m_data[m_pos];
        if (d == '{' || d == '}' || d == '\\')
            break;
        ++m_pos;
    }
    token.type = Type::Text;
    token.text = m_data.sliced(start, m_pos - start);
    return token;
}

RtfTokenizer::Token RtfTokenizer::readControl()
{
    Token token;
    ++m_pos; // the backslash
    if (m_pos >= m_data.size()) {
        token.type = Type::End; // a lone backslash at the very end
        return token;
    }
    const char c = m_data[m_pos];
    if (!isLetter(c)) {
        ++m_pos;
        if (c == '\'') {
            const int hi = m_pos < m_data.size() ? hexValue(m_data[m_pos]) : -1;
            const int lo = m_pos + 1 < m_data.size() ? hexValue(m_data[m_pos + 1]) : -1;
            if (hi < 0 || lo < 0) {
                // A broken \'h: drop the escape, keep whatever follows as ordinary data.
                token.type = Type::Symbol;
                token.symbol = 0;
                return token;
            }
            m_pos += 2;
            token.type = Type::Hex;
            token.byte = static_cast<unsigned char>(hi * 16 + lo);
            return token;
        }
        token.type = Type::Symbol;
        // "\<CR>" and "\<LF>" are paragraph marks, like \par.
        token.symbol = (c == '\r') ? '\n' : c;
        return token;
    }

    const qsizetype start = m_pos;
    while (m_pos < m_data.size() && isLetter(m_data[m_pos]))
        ++m_pos;
    token.type = Type::Word;
    token.text = m_data.sliced(start, m_pos - start);
    token.overlong = token.text.size() > kMaxWordLength;

    bool negative = false;
    if (m_pos < m_data.size() && m_data[m_pos] == '-' && m_pos + 1 < m_data.size()
        && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
        long long value = 0;
        while (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
            if (value <= INT_MAX)
                value = value * 10 + (m_data[m_pos] - '0');
            ++m_pos;
        }
        if (value > INT_MAX)
            value = INT_MAX;
        token.hasParam = true;
        token.param = static_cast<int>(negative ? -value : value);
    }
    // One blank after a control word belongs to the word.
    if (m_pos < m_data.size() && m_data[m_pos] == ' ')
        ++m_pos;

    if (!token.overlong && token.text == "bin" && token.hasParam) {
        const qsizetype length = qMin<qsizetype>(qMax(token.param, 0), m_data.size() - m_pos);
        token.type = Type::Binary;
        token.text = m_data.sliced(m_pos, length);
        m_pos += length;
    }
    return token;
}
