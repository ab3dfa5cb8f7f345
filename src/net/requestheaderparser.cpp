#include "requestheaderparser.h"

#include "net/wireformat.h"
#include "platform/codepage.h"

namespace {

QString fieldText(const QByteArray &line)
{
    const qsizetype zero = line.indexOf('\0');
    return CodePage::toUnicode(zero < 0 ? line : line.first(zero));
}

} // namespace

qsizetype RequestHeaderParser::wanted() const
{
    switch (m_state) {
    case State::Preamble:
        return kFirstReadSize;
    case State::KindLine:
    case State::SenderLine:
    case State::FileNameLine:
        return 1;
    default:
        return 0;
    }
}

void RequestHeaderParser::reset()
{
    *this = RequestHeaderParser();
}

QString RequestHeaderParser::sender() const
{
    return fieldText(m_sender);
}

QString RequestHeaderParser::fileName() const
{
    return fieldText(m_fileName);
}

qsizetype RequestHeaderParser::feed(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return 0;
    qsizetype used = 0;
    if (m_state == State::Preamble) {
        used = qMin(bytes.size(), kFirstReadSize);
        readPreamble(bytes.first(used));
    }
    while (used < bytes.size() && wanted() > 0) {
        const char c = bytes[used++];
        if (c == WireFormat::kCr) {
            endLine();
            continue;
        }
        if (++m_lineRun > kMaxLineRun) {
            m_state = State::LineTooLong;
            break;
        }
        QByteArray *line = nullptr;
        if (m_state == State::KindLine)
            m_lastKindByte = c;
        else
            line = m_state == State::SenderLine ? &m_sender : &m_fileName;
        if (line) {
            if (line->size() < WireFormat::kMaxLineBytes)
                line->append(c);
            else
                m_lineCut = true;
        }
    }
    return used;
}

void RequestHeaderParser::readPreamble(QByteArrayView first)
{
    if (first.size() == kFirstReadSize && first.back() == WireFormat::kCr
        && first.first(kFirstReadSize - 1) == WireFormat::kPreambleToken) {
        m_preambleAccepted = true;
        m_state = State::KindLine;
        return;
    }
    // Only for the log line: what was read, as the receiver's C string shows it.
    if (first.size() == kFirstReadSize && first.back() == WireFormat::kCr)
        first.chop(1);
    const qsizetype zero = first.indexOf('\0');
    m_badPreamble = (zero < 0 ? first : first.first(zero)).toByteArray();
    m_state = State::BadPreamble;
}

void RequestHeaderParser::endLine()
{
    m_lineRun = 0;
    switch (m_state) {
    case State::KindLine:
        // A longer kind line is tolerated: its last character counts.
        m_kind = m_lastKindByte;
        m_state = State::SenderLine;
        break;
    case State::SenderLine:
        m_state = WireFormat::receiverReadsFileName(m_kind) ? State::FileNameLine : State::Done;
        break;
    case State::FileNameLine:
        m_state = State::Done;
        break;
    default:
        break;
    }
}
