#include "wireformat.h"

#include "contacts/contacttable.h"

#include "platform/codepage.h"

namespace {

// A header field is one line: a CR would end it early, a zero byte would end the receiver's
// C-string field. Both become blanks so that the lines after it stay where they belong.
QByteArray headerField(const QString &text)
{
    QByteArray bytes = CodePage::fromUnicode(text);
    for (char &c : bytes) {
        if (c == '\r' || c == '\0')
            c = ' ';
    }
    return bytes;
}

} // namespace

bool WireFormat::isKnownKind(char kind)
{
    return kind >= File && kind <= AddressList;
}

bool WireFormat::senderWritesFileName(char kind)
{
    return kind == File || kind == Message || kind == Letter || kind == AddressList;
}

bool WireFormat::receiverReadsFileName(char kind)
{
    return kind == File || kind == Message || kind == Letter;
}

bool WireFormat::isTransferKind(char kind)
{
    return senderWritesFileName(kind);
}

int WireFormat::chunkSize(char kind)
{
    return kind == AddressList ? kAddressListChunkSize : kChunkSize;
}

QByteArray WireFormat::preambleLine()
{
    QByteArray line = kPreambleToken.toByteArray();
    line += kCr;
    return line;
}

QByteArray WireFormat::requestHeader(char kind, const QString &sender, const QString &fileName)
{
    QByteArray header = preambleLine();
    header += kind;
    header += kCr;
    header += headerField(sender);
    header += kCr;
    if (senderWritesFileName(kind)) {
        // Only the name travels; the receiver must never see our folders.
        const qsizetype slash = fileName.lastIndexOf(u'/');
        header += headerField(slash < 0 ? fileName : fileName.mid(slash + 1));
        header += kCr;
    }
    return header;
}

QByteArray WireFormat::textRequest(char kind, const QString &sender, const QString &body)
{
    return requestHeader(kind, sender) + CodePage::fromUnicode(body);
}

QByteArray WireFormat::goByte()
{
    return QByteArray(1, kGo);
}

QByteArray WireFormat::ack()
{
    return kAck.toByteArray();
}

bool WireFormat::isGo(QByteArrayView received)
{
    return !received.isEmpty() && received.front() == kGo;
}

quint16 WireFormat::portFromCell(const QString &cell)
{
    return quint16(ContactTable::portFromCell(cell));
}

bool WireFormat::appendTextChunk(QByteArray &text, QByteArrayView chunk)
{
    const qsizetype zero = chunk.indexOf('\0');
    if (zero >= 0)
        chunk = chunk.first(zero);
    const qsizetype room = kMaxTextPayloadBytes - text.size();
    if (room <= 0)
        return false;
    text.append(chunk.first(qMin(room, chunk.size())));
    return text.size() < kMaxTextPayloadBytes;
}
