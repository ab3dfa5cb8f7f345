#include "namelookup.h"

#include "platform/dnsmessage.h"

#include <QHostAddress>
#include <QHostInfo>

bool NameLookup::isname(const QString &text)
{
    for (QChar c : text) {
        if (c != u'.' && (c < u'0' || c > u'9'))
            return true;
    }
    return false;
}

QString NameLookup::sysname(const QString &address)
{
    // Only a dotted IPv4 address: anything else would become a forward lookup.
    if (DnsMessage::reverseName(address).isEmpty())
        return {};
    // Given a literal address, fromName asks the resolver for its name, blocking this thread.
    const QHostInfo info = QHostInfo::fromName(address);
    const QString name = info.hostName();
    // When no name is found Qt hands the address itself back: that is no name.
    if (info.error() != QHostInfo::NoError || !isname(name))
        return {};
    return name;
}

QString NameLookup::dnsname(const QString &address) const
{
    return m_dns.ptrName(address);
}

QString NameLookup::peername(const QString &address, bool iponly, bool usedns) const
{
    if (iponly)
        return {};
    return usedns ? dnsname(address) : sysname(address);
}

QString NameLookup::ownAddress(const QString &hostName)
{
    if (hostName.isEmpty())
        return {};
    for (const QHostAddress &a : QHostInfo::fromName(hostName).addresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            return a.toString();
    }
    return {};
}

QString NameLookup::ownAddressLine(bool usedns, const QString &ownAddress, const QString &hostName,
                                   const QString &dnsName, const QString &sysName)
{
    if (usedns)
        return QStringLiteral("ip=") + ownAddress + QStringLiteral(" , name=") + dnsName;
    return ownAddress + QStringLiteral(" , ") + hostName + QStringLiteral(" , ") + sysName;
}

QString NameLookup::showownaddress(bool usedns, bool iponly) const
{
    return showownaddress(usedns, iponly, QHostInfo::localHostName());
}

QString NameLookup::showownaddress(bool usedns, bool iponly, const QString &host) const
{
    const QString address = ownAddress(host);
    if (usedns)
        return ownAddressLine(true, address, host, iponly ? QString() : dnsname(address), {});
    return ownAddressLine(false, address, host, {}, sysname(address));
}
