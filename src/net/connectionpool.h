#pragma once

#include <QHash>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

class QThread;
struct TransportContext;

// The connection threads: each accepted connection is served on a thread of its own, finished
// threads wait for the next connection, and at most 16 idle ones are kept. Running threads are
// never capped by a queue (a peer must not wait behind others' 30-second time-outs), but the
// number of connections is: beyond 1,024 at once, or 64 from one address, a new connection is
// closed at once.
class ConnectionPool
{
public:
    static constexpr int kMaxIdle = 16;
    static constexpr int kMaxConnections = 1024;
    static constexpr int kMaxPerAddress = 64;

    explicit ConnectionPool(TransportContext &context);

    // Connections at once that the descriptor limit allows: each takes its socket and its
    // thread's event dispatcher (an eventfd), and a thread that cannot get one aborts the whole
    // program inside GLib. A reserve stays for files, send jobs and the display.
    static int connectionLimit(quint64 descriptorLimit);
    ~ConnectionPool();

    // Takes over the socket descriptor; false when it was closed because of the limits.
    bool accept(qintptr descriptor, const QString &peer);
    int activeConnections() const;
    int threadCount() const;
    // Ends every thread after its connection (the context's abort flag cuts waits short).
    void shutdown();

private:
    struct Task
    {
        qintptr descriptor;
        QString peer;
        quint64 number;
    };
    void work();

    TransportContext &m_context;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Task> m_tasks;
    QHash<QString, int> m_perAddress;
    std::vector<QThread *> m_threads;
    const int m_maxConnections;
    int m_active = 0;
    int m_idle = 0;
    int m_live = 0;
    quint64 m_counter = 0;
    bool m_stopping = false;
};
