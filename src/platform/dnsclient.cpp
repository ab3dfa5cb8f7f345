#include "dnsclient.h"

#include "platform/dnsmessage.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QUdpSocket>

namespace {

// resolv.conf is a few lines; a bigger file is not one.
constexpr qint64 kMaxResolvConfBytes = 64 * 1024;
// A UDP DNS reply without EDNS is at most 512 bytes; take a little more and ignore the rest.
constexpr qint64 kMaxDatagramBytes = 4096;

} // namespace

QHostAddress DnsClient::firstNameServer(const QByteArray &resolvConf)
{
    for (const QByteArray &rawLine : resolvConf.split('\n')) {
        const QList<QByteArray> words = rawLine.simplified().split(' ');
        if (words.size() < 2 || words[0] != "nameserver")
            continue;
        QHostAddress address;
        if (address.setAddress(QString::fromLatin1(words[1])))
            return address;
    }
    return {};
}

QHostAddress DnsClient::server() const
{
    if (!m_server.isNull())
        return m_server;
    QFile file(m_resolvConf);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return firstNameServer(file.read(kMaxResolvConfBytes));
}

QString DnsClient::ptrName(const QString &ipv4) const
{
    const QDeadlineTimer deadline(m_timeoutMs);
    const QHostAddress dns = server();
    const quint16 id = quint16(QRandomGenerator::global()->generate());
    const QByteArray query = DnsMessage::ptrQuery(id, ipv4);
    if (dns.isNull() || query.isEmpty())
        return {};
    const QByteArray qname = DnsMessage::encodeName(DnsMessage::reverseName(ipv4));

    QUdpSocket socket;
    if (socket.writeDatagram(query, dns, m_port) != query.size())
        return {};
    while (!deadline.hasExpired()) {
        if (!socket.hasPendingDatagrams()
            && !socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
            // A socket error will not heal within the deadline; waiting on would only spin.
            if (socket.error() != QAbstractSocket::SocketTimeoutError)
                return {};
            continue;
        }
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = socket.receiveDatagram(kMaxDatagramBytes);
            // Only the server's own reply counts; stray datagrams are ignored like a wrong id.
            if (!datagram.isValid() || datagram.senderPort() != m_port
                || !datagram.senderAddress().isEqual(dns, QHostAddress::TolerantConversion))
                continue;
            const std::optional<QString> name =
                DnsMessage::readPtrReply(datagram.data(), id, qname);
            if (name)
                return *name;
        }
    }
    return {};
}
