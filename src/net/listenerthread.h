#pragma once

#include <QHostAddress>
#include <QThread>

#include <functional>
#include <future>

// A thread with its own event loop whose only work is accepting connections and handing each
// descriptor on, so that nothing the main thread does can delay an accept.
class ListenerThread : public QThread
{
    Q_OBJECT
public:
    using Handler = std::function<void(qintptr descriptor, const QString &peer)>;

    ListenerThread(QHostAddress address, quint16 port, Handler handler);
    ~ListenerThread() override;

    // Starts the thread and waits until the socket listens or has failed.
    bool startListening();
    void stop();

protected:
    void run() override;

private:
    static constexpr int kResumeAfterErrorMs = 100;
    QHostAddress m_address;
    quint16 m_port;
    Handler m_handler;
    std::promise<bool> m_listening;
};
