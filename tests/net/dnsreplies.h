#pragma once

// Hand-made DNS replies for the tests: the good ones a server sends and the broken and hostile
// ones it might.

#include "platform/dnsmessage.h"

#include <QByteArray>
#include <QList>

namespace DnsReplies {

inline QByteArray be16(quint16 v)
{
    QByteArray b;
    b += char(v >> 8);
    b += char(v & 0xff);
    return b;
}

inline QByteArray header(quint16 id, quint16 flags, quint16 qd, quint16 an)
{
    return be16(id) + be16(flags) + be16(qd) + be16(an) + be16(0) + be16(0);
}

inline QByteArray question(const QByteArray &wireName, quint16 type = 12, quint16 cls = 1)
{
    return wireName + be16(type) + be16(cls);
}

// One resource record; `owner` in wire form (a pointer "\xc0\x0c" names the question).
inline QByteArray record(const QByteArray &owner, quint16 type, const QByteArray &rdata,
                         quint16 cls = 1)
{
    return owner + be16(type) + be16(cls) + QByteArray("\0\0\x0e\x10", 4) + be16(quint16(rdata.size()))
        + rdata;
}

inline QByteArray name(const QByteArray &dotted)
{
    return DnsMessage::encodeName(dotted);
}

// The reply a server gives to `query` (its id and question copied) with these answers.
inline QByteArray answer(const QByteArray &query, const QList<QByteArray> &records, int rcode = 0)
{
    if (query.size() < 12)
        return {};
    QByteArray r = query.left(2) + be16(quint16(0x8180 | rcode)) + be16(1)
        + be16(quint16(records.size())) + be16(0) + be16(0);
    r += query.mid(12);
    for (const QByteArray &rec : records)
        r += rec;
    return r;
}

inline QByteArray ptrAnswer(const QByteArray &query, const QByteArray &host)
{
    return answer(query, {record("\xc0\x0c", 12, name(host))});
}

} // namespace DnsReplies
