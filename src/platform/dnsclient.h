#pragma once

#include <QHostAddress>
#include <QString>

// The reverse (PTR) query for one IPv4 address, sent over UDP to the first name server of
// resolv.conf. ptrName() blocks its caller with a socket of its own, so calls on several threads
// never wait for each other; nothing is cached. A copy holds only its settings.
class DnsClient
{
public:
    static constexpr int kDefaultTimeoutMs = 30000;
    static constexpr quint16 kDnsPort = 53;

    // Tests point the client at a responder of their own; without a server set, the first
    // name server of the resolv.conf file is read again at every call.
    void setServer(const QHostAddress &address) { m_server = address; }
    void setPort(quint16 port) { m_port = port; }
    void setResolvConfPath(const QString &path) { m_resolvConf = path; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    int timeoutMs() const { return m_timeoutMs; }
    quint16 port() const { return m_port; }

    // The server this call would use: the one set, else resolv.conf's first; null when none.
    QHostAddress server() const;
    // The host name for a dotted IPv4 address, or empty: no server, no reply within the
    // deadline, a negative or malformed reply.
    QString ptrName(const QString &ipv4) const;

    // The first "nameserver" line with a valid address; null when there is none.
    static QHostAddress firstNameServer(const QByteArray &resolvConf);

private:
    QHostAddress m_server;
    quint16 m_port = kDnsPort;
    QString m_resolvConf = QStringLiteral("/etc/resolv.conf");
    int m_timeoutMs = kDefaultTimeoutMs;
};
