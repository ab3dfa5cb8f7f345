#include "listenerthread.h"

#include <QTcpServer>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

// Hands the descriptor on before Qt wraps it in a socket.
class HandingServer : public QTcpServer
{
public:
    explicit HandingServer(ListenerThread::Handler handler)
        : m_handler(std::move(handler))
    {
    }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        QString peer;
        if (::getpeername(int(descriptor), reinterpret_cast<sockaddr *>(&address), &length) == 0
            && address.ss_family == AF_INET) {
            char text[INET_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in *>(&address)->sin_addr, text, sizeof text);
            peer = QString::fromLatin1(text);
        }
        m_handler(descriptor, peer);
    }

private:
    ListenerThread::Handler m_handler;
};

} // namespace

ListenerThread::ListenerThread(QHostAddress address, quint16 port, Handler handler)
    : m_address(std::move(address))
    , m_port(port)
    , m_handler(std::move(handler))
{
    setObjectName(QStringLiteral("listener"));
}

ListenerThread::~ListenerThread()
{
    stop();
}

bool ListenerThread::startListening()
{
    std::future<bool> result = m_listening.get_future();
    start();
    return result.get();
}

void ListenerThread::stop()
{
    if (!isRunning())
        return;
    quit();
    wait();
}

void ListenerThread::run()
{
    HandingServer server(m_handler);
    server.setMaxPendingConnections(1024);
    const bool ok = server.listen(m_address, m_port);
    m_listening.set_value(ok);
    if (!ok)
        return;
    // QTcpServer stops accepting for good after any accept error that is not temporary: running
    // out of descriptors (a flood of connections), or a peer that resets before it is accepted.
    // The listener must not go deaf for that: it tries again a moment later.
    QObject::connect(&server, &QTcpServer::acceptError, &server, [&server] {
        QTimer::singleShot(kResumeAfterErrorMs, &server, [&server] { server.resumeAccepting(); });
    });
    exec();
    server.close();
}
