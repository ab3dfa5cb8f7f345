#pragma once

#include <QHostAddress>
#include <QObject>

#include <memory>

class ConnectionPool;
class ListenerThread;
struct TransportContext;

// The listening socket on port 7456 at the copy's own address. Its own thread only accepts and
// hands each socket to the connection threads; the access check and everything after it run
// there.
class ReceivingServer : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 kPort = 7456;

    explicit ReceivingServer(TransportContext &context, QObject *parent = nullptr);
    ~ReceivingServer() override;

    bool open(const QHostAddress &address);
    void close();
    bool isActive() const;
    int activeConnections() const;
    int connectionThreads() const;

private:
    TransportContext &m_context;
    std::unique_ptr<ConnectionPool> m_pool;
    std::unique_ptr<ListenerThread> m_listener;
};
