#include "receivingserver.h"

#include <QTcpServer>
#include <QTcpSocket>

ReceivingServer::ReceivingServer(QObject *parent)
    : QObject(parent)
{
}

ReceivingServer::~ReceivingServer()
{
    close();
}

bool ReceivingServer::open(const QHostAddress &address)
{
    close();
    m_server = new QTcpServer(this);
    if (!m_server->listen(address, kPort)) {
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            m_sockets.append(socket);
            connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_sockets.removeAll(socket);
                socket->deleteLater();
                emit connectionsChanged(int(m_sockets.size()));
            });
            emit connectionsChanged(int(m_sockets.size()));
        }
    });
    return true;
}

void ReceivingServer::close()
{
    for (QTcpSocket *socket : std::as_const(m_sockets)) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    m_sockets.clear();
    delete m_server;
    m_server = nullptr;
}

bool ReceivingServer::isActive() const
{
    return m_server && m_server->isListening();
}

int ReceivingServer::activeConnections() const
{
    return int(m_sockets.size());
}
