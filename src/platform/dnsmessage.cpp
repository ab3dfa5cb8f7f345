#include "dnsmessage.h"

#include <QStringList>

namespace {

constexpr qsizetype kHeaderSize = 12;
// More jumps than a 255-byte name can hold labels means a loop.
constexpr int kMaxJumps = 128;

quint16 be16(QByteArrayView b, qsizetype at)
{
    return quint16((quint8(b[at]) << 8) | quint8(b[at + 1]));
}

void putBe16(QByteArray &out, quint16 v)
{
    out += char(v >> 8);
    out += char(v & 0xff);
}

// Reads a possibly compressed name starting at `pos`. On success sets `next` to the first byte
// after the name as it stands at `pos` and returns its labels; nullopt for anything malformed.
std::optional<QList<QByteArray>> readName(QByteArrayView msg, qsizetype pos, qsizetype &next)
{
    QList<QByteArray> labels;
    qsizetype wireLength = 1;  // the closing zero
    int jumps = 0;
    bool jumped = false;
    for (;;) {
        if (pos >= msg.size())
            return std::nullopt;
        const quint8 len = quint8(msg[pos]);
        if (len == 0) {
            if (!jumped)
                next = pos + 1;
            return labels;
        }
        if ((len & 0xc0) == 0xc0) {
            if (pos + 1 >= msg.size() || ++jumps > kMaxJumps)
                return std::nullopt;
            const qsizetype target = ((len & 0x3f) << 8) | quint8(msg[pos + 1]);
            if (!jumped)
                next = pos + 2;
            jumped = true;
            // Compressors only point back at names already written. A loop through earlier
            // labels still ends at the jump limit or the 255-byte name limit.
            if (target >= pos)
                return std::nullopt;
            pos = target;
            continue;
        }
        if (len & 0xc0)  // the 0x40 and 0x80 forms are not in use
            return std::nullopt;
        wireLength += 1 + len;
        if (wireLength > DnsMessage::kMaxNameBytes || pos + 1 + len > msg.size())
            return std::nullopt;
        labels.append(msg.sliced(pos + 1, len).toByteArray());
        pos += 1 + len;
    }
}

bool sameName(const QList<QByteArray> &labels, QByteArrayView wireName)
{
    qsizetype at = 0;
    for (const QByteArray &label : labels) {
        if (at >= wireName.size() || quint8(wireName[at]) != label.size()
            || at + 1 + label.size() > wireName.size()
            || wireName.sliced(at + 1, label.size()).compare(label, Qt::CaseInsensitive) != 0)
            return false;
        at += 1 + label.size();
    }
    return at + 1 == wireName.size() && wireName[at] == '\0';
}

// A host name to show and compare: printable ASCII only, no dot inside a label, so that a hostile
// server cannot slip control characters into log lines or fake extra labels.
QString hostName(const QList<QByteArray> &labels)
{
    QStringList parts;
    for (const QByteArray &label : labels) {
        for (char c : label) {
            if (c <= ' ' || c > '~' || c == '.')
                return {};
        }
        parts.append(QString::fromLatin1(label));
    }
    return parts.join(u'.');
}

} // namespace

QByteArray DnsMessage::reverseName(const QString &ipv4)
{
    const QStringList parts = ipv4.split(u'.');
    if (parts.size() != 4)
        return {};
    QByteArray name;
    for (qsizetype i = 3; i >= 0; --i) {
        const QString &p = parts[i];
        if (p.isEmpty() || p.size() > 3)
            return {};
        for (QChar c : p) {
            if (c < u'0' || c > u'9')
                return {};
        }
        const int v = p.toInt();
        if (v > 255)
            return {};
        name += QByteArray::number(v) + '.';
    }
    return name + "in-addr.arpa";
}

QByteArray DnsMessage::encodeName(QByteArrayView dottedName)
{
    QByteArray wire;
    for (QByteArrayView label : QByteArray(dottedName.toByteArray()).split('.')) {
        if (label.isEmpty() || label.size() > kMaxLabelBytes)
            return {};
        wire += char(label.size());
        wire += label;
    }
    wire += '\0';
    return wire.size() > kMaxNameBytes ? QByteArray() : wire;
}

QByteArray DnsMessage::ptrQuery(quint16 id, const QString &ipv4)
{
    const QByteArray qname = encodeName(reverseName(ipv4));
    if (qname.isEmpty())
        return {};
    QByteArray q;
    putBe16(q, id);
    putBe16(q, 0x0100);  // standard query, recursion desired
    putBe16(q, 1);       // one question
    putBe16(q, 0);
    putBe16(q, 0);
    putBe16(q, 0);
    q += qname;
    putBe16(q, kTypePtr);
    putBe16(q, kClassIn);
    return q;
}

std::optional<QString> DnsMessage::readPtrReply(QByteArrayView reply, quint16 id,
                                                QByteArrayView qname)
{
    if (reply.size() < kHeaderSize || be16(reply, 0) != id)
        return std::nullopt;
    const quint16 flags = be16(reply, 2);
    const bool isResponse = flags & 0x8000;
    const int opcode = (flags >> 11) & 0xf;
    if (!isResponse || opcode != 0 || be16(reply, 4) != 1)
        return std::nullopt;
    qsizetype pos = kHeaderSize;
    const std::optional<QList<QByteArray>> question = readName(reply, pos, pos);
    if (!question || pos + 4 > reply.size() || !sameName(*question, qname)
        || be16(reply, pos) != kTypePtr || be16(reply, pos + 2) != kClassIn)
        return std::nullopt;
    pos += 4;
    // From here on it is the answer to our question; whatever is wrong with it gives no name.
    if ((flags & 0xf) != 0)  // NXDOMAIN, SERVFAIL, REFUSED, ...
        return QString();
    const int answers = be16(reply, 6);
    for (int i = 0; i < answers; ++i) {
        if (!readName(reply, pos, pos) || pos + 10 > reply.size())
            return QString();
        const quint16 type = be16(reply, pos);
        const quint16 cls = be16(reply, pos + 2);
        const quint16 rdlength = be16(reply, pos + 8);
        const qsizetype rdata = pos + 10;
        if (rdata + rdlength > reply.size())
            return QString();
        pos = rdata + rdlength;
        if (type != kTypePtr || cls != kClassIn)
            continue;  // a CNAME of a classless delegation comes before the PTR it leads to
        qsizetype end = 0;
        const std::optional<QList<QByteArray>> name = readName(reply, rdata, end);
        if (!name || end != rdata + rdlength)
            return QString();
        return hostName(*name);
    }
    return QString();
}
