#pragma once

#include <QHostAddress>
#include <QObject>

class QTcpServer;
class QTcpSocket;

// The listening socket on port 7456 at the copy's own address.
class ReceivingServer : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 kPort = 7456;

    explicit ReceivingServer(QObject *parent = nullptr);
    ~ReceivingServer() override;

    bool open(const QHostAddress &address);
    void close();
    bool isActive() const;
    int activeConnections() const;

signals:
    void connectionsChanged(int count);

private:
    QTcpServer *m_server = nullptr;
    QList<QTcpSocket *> m_sockets;
};
