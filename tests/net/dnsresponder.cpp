#include "dnsresponder.h"

#include "dnsreplies.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

DnsResponder::DnsResponder(const QHostAddress &address, Reply reply)
    : m_address(address), m_reply(std::move(reply))
{
}

DnsResponder::~DnsResponder()
{
    m_stop = true;
    wait();
}

bool DnsResponder::startServing()
{
    start();
    return m_started.tryAcquire(1, 10000) && m_ready;
}

QList<QByteArray> DnsResponder::received() const
{
    QMutexLocker lock(&m_mutex);
    return m_received;
}

void DnsResponder::run()
{
    QUdpSocket socket;
    QUdpSocket forger;
    const bool bound = socket.bind(m_address, 0) && (m_forger.isNull() || forger.bind(m_forger, 0));
    m_port = socket.localPort();
    m_ready = bound;
    m_started.release();
    if (!bound)
        return;

    QList<QNetworkDatagram> held;
    while (!m_stop) {
        if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(50))
            continue;
        const QNetworkDatagram query = socket.receiveDatagram();
        if (!query.isValid())
            continue;
        ++m_queries;
        {
            QMutexLocker lock(&m_mutex);
            m_received.append(query.data());
        }
        held.append(query);
        if (int(held.size()) < m_holdUntil)
            continue;
        // answer the held ones in the reverse order of their arrival
        while (!held.isEmpty()) {
            const QNetworkDatagram q = held.takeLast();
            for (const QByteArray &reply : m_reply(q.data())) {
                if (!m_forger.isNull()) {
                    forger.writeDatagram(DnsReplies::ptrAnswer(q.data(), "forged.example"),
                                         q.senderAddress(), q.senderPort());
                }
                socket.writeDatagram(reply, q.senderAddress(), q.senderPort());
            }
        }
        m_holdUntil = 0;
    }
}
