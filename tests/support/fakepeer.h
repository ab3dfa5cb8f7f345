#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>

// A peer that speaks raw bytes: it listens on port 7456 of a loopback address, records what every
// connection sends and, when told to, answers the transfer kinds with the go byte and an "ok"
// after every read, as a receiving copy would.
class FakePeer : public QObject
{
    Q_OBJECT
public:
    explicit FakePeer(const QString &address, bool answerTransfers = true);

    bool isListening() const { return m_server.isListening(); }
    // Every connection's bytes, in the order the connections came; `closed` tells which ended.
    QList<QByteArray> received;
    QList<bool> closed;

private:
    QTcpServer m_server;
    bool m_answer;
};
