#include "receivingserver.h"

#include "connectionpool.h"
#include "listenerthread.h"
#include "transportcontext.h"

ReceivingServer::ReceivingServer(TransportContext &context, QObject *parent)
    : QObject(parent)
    , m_context(context)
{
}

ReceivingServer::~ReceivingServer()
{
    close();
}

bool ReceivingServer::open(const QHostAddress &address)
{
    close();
    m_pool = std::make_unique<ConnectionPool>(m_context);
    ConnectionPool *pool = m_pool.get();
    m_listener = std::make_unique<ListenerThread>(address, kPort,
        [pool](qintptr descriptor, const QString &peer) { pool->accept(descriptor, peer); });
    if (!m_listener->startListening()) {
        m_listener.reset();
        m_pool.reset();
        return false;
    }
    return true;
}

void ReceivingServer::close()
{
    if (m_listener) {
        m_listener->stop();
        m_listener.reset();
    }
}

bool ReceivingServer::isActive() const
{
    return m_listener != nullptr;
}

int ReceivingServer::activeConnections() const
{
    return m_pool ? m_pool->activeConnections() : 0;
}

int ReceivingServer::connectionThreads() const
{
    return m_pool ? m_pool->threadCount() : 0;
}
