#include "fakepeer.h"

#include <QTcpSocket>

FakePeer::FakePeer(const QString &address, bool answerTransfers)
    : m_answer(answerTransfers)
{
    m_server.listen(QHostAddress(address), 7456);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            const int index = int(received.size());
            received.append(QByteArray());
            closed.append(false);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, index] {
                const bool first = received[index].isEmpty();
                received[index] += socket->readAll();
                if (!m_answer)
                    return;
                const QByteArray &bytes = received[index];
                // The header of a transfer kind is complete after its fourth CR: go, then an "ok"
                // for every later read.
                if (bytes.count('\r') >= 4 && bytes.size() > 16 && QByteArray("0125").contains(bytes[16])) {
                    if (!socket->property("go").toBool()) {
                        socket->setProperty("go", true);
                        socket->write("1");
                    } else if (!first) {
                        socket->write("ok");
                    }
                }
            });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket, index] {
                closed[index] = true;
                socket->deleteLater();
            });
        }
    });
}
