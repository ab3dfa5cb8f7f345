#pragma once

#include "sendrequest.h"

#include <QThread>

#include <atomic>

class QTcpSocket;
class SocketStream;
struct TransportContext;

// A send job: delivers one request to one peer, after probing that the peer accepts connections
// at all, and reports the outcome as a line in the conversation. Started and counted by SendJobs.
class SendThread : public QThread
{
    Q_OBJECT
public:
    SendThread(TransportContext &context, SendRequest request);

    const SendRequest &request() const { return m_request; }
    bool succeeded() const { return m_succeeded; }

    // Pure: the socket error as the codes that log lines and presence use (10060 timed out,
    // 10061 refused, ...).
    static int errorCode(int qtSocketError);

protected:
    void run() override;

private:
    void Execute();
    void getinfo();
    bool remotelive(QTcpSocket &socket, int limitSeconds);
    bool runRequest(QTcpSocket &socket);
    bool sendFile(SocketStream &stream, bool &failedInLoop);
    void addline(const QString &text, bool red);
    void deleteTempFile();
    void log(const QString &text) const;
    static QString timeOfDay();

    TransportContext &m_context;
    SendRequest m_request;
    QString m_prefix;
    std::atomic_bool m_succeeded{false};
};
