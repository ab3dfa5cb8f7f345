#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The one DNS exchange we make: a PTR query for an IPv4 address and the reading of its reply.
// Pure functions over bytes; the reply comes from the network, so every read is bounds-checked,
// compression pointers are followed a bounded number of times, and anything odd gives no name.
class DnsMessage
{
public:
    static constexpr quint16 kTypePtr = 12;
    static constexpr quint16 kClassIn = 1;
    static constexpr int kMaxNameBytes = 255;  // a name on the wire, length octets included
    static constexpr int kMaxLabelBytes = 63;

    // "4.3.2.1.in-addr.arpa" for "1.2.3.4"; empty unless the text is a dotted IPv4 address
    // (four decimal numbers 0-255 joined by full stops).
    static QByteArray reverseName(const QString &ipv4);
    // The name in wire form: length-prefixed labels and the closing zero; empty when a label is
    // empty or too long, or the whole name too long.
    static QByteArray encodeName(QByteArrayView dottedName);
    // A standard query, recursion desired, one question: reverse name, PTR, IN. Empty when the
    // address is no dotted IPv4 address.
    static QByteArray ptrQuery(quint16 id, const QString &ipv4);

    // Reads a reply to the query with `id` for the wire-form question name `qname`.
    // nullopt: not a reply to that query (too short, wrong id, not a response, other question),
    //          so a client keeps waiting for the real one;
    // empty:   the reply to that query, but no name (negative answer, no PTR record, malformed
    //          answer section);
    // else:    the name of the first PTR record of the answer section, dotted, no final dot.
    static std::optional<QString> readPtrReply(QByteArrayView reply, quint16 id,
                                               QByteArrayView qname);
};
