#pragma once

#include "platform/dnsclient.h"

#include <QString>

// The peer's name from its numeric address, for comparison with contact cells that hold names:
// the system's reverse lookup or a direct query to the DNS server, chosen by the two options,
// which callers pass in (a connection thread reads them from its options snapshot). Every
// lookup blocks its caller and shares nothing, so connection threads run them side by side.
class NameLookup
{
public:
    NameLookup() = default;
    explicit NameLookup(const DnsClient &dns) : m_dns(dns) {}

    // True when the text holds a character other than 0-9 and ".": a computer name. An empty
    // text counts as an address.
    static bool isname(const QString &text);
    // The system resolver's reverse lookup (host database, then its name services) of a dotted
    // IPv4 address; empty when it finds no name or the text is no address.
    static QString sysname(const QString &address);
    // The DNS server's answer to a PTR query for the address; empty on any failure.
    QString dnsname(const QString &address) const;
    // Empty with iponly; else dnsname with usedns; else sysname.
    QString peername(const QString &address, bool iponly, bool usedns) const;

    // The settings window's own-data line: runs the lookups it needs on the calling thread, for
    // the system's host name or the one given.
    QString showownaddress(bool usedns, bool iponly) const;
    QString showownaddress(bool usedns, bool iponly, const QString &hostName) const;
    // Its text from the looked-up parts: with usedns "ip=" + address + " , name=" + dnsName,
    // else address + " , " + host name + " , " + sysName.
    static QString ownAddressLine(bool usedns, const QString &ownAddress, const QString &hostName,
                                  const QString &dnsName, const QString &sysName);
    // The first IPv4 address the system resolver gives for the own host name, dotted; or empty.
    static QString ownAddress(const QString &hostName);

    const DnsClient &dns() const { return m_dns; }

private:
    DnsClient m_dns;
};
