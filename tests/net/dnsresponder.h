#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QSemaphore>
#include <QThread>

#include <atomic>
#include <functional>

// A DNS server for the tests on a loopback address and a port of its own, serving on a thread of
// its own (the client under test blocks the thread that calls it). For every query it sends what
// `reply` returns (nothing: it stays silent). With holdUntil(n) it keeps the first n queries
// unanswered until all n have arrived, then answers them all: a client whose calls waited for
// each other would never get there.
class DnsResponder : public QThread
{
public:
    using Reply = std::function<QList<QByteArray>(const QByteArray &query)>;

    DnsResponder(const QHostAddress &address, Reply reply);
    ~DnsResponder() override;

    void holdUntil(int queries) { m_holdUntil = queries; }
    // Before each reply, a stranger at this second address sends a forged answer naming
    // "forged.example" to the client's port.
    void forgeFrom(const QHostAddress &address) { m_forger = address; }
    // Binds and starts serving; false when the socket cannot be bound.
    bool startServing();

    QHostAddress address() const { return m_address; }
    quint16 port() const { return m_port; }
    int queries() const { return m_queries; }
    QList<QByteArray> received() const;

protected:
    void run() override;

private:
    QHostAddress m_address;
    QHostAddress m_forger;
    Reply m_reply;
    int m_holdUntil = 0;
    std::atomic<quint16> m_port = 0;
    std::atomic<int> m_queries = 0;
    std::atomic<bool> m_ready = false;
    QSemaphore m_started;
    std::atomic<bool> m_stop = false;
    mutable QMutex m_mutex;
    QList<QByteArray> m_received;
};
