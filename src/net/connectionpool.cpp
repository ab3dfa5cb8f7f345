#include "connectionpool.h"

#include "tmyserverthread.h"
#include "transportcontext.h"

#include "app/debuglog.h"

#include <QThread>

#include <algorithm>

#include <sys/resource.h>
#include <unistd.h>

namespace {

quint64 descriptorLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return quint64(ConnectionPool::kMaxConnections) * 4;
    return limit.rlim_cur;
}

} // namespace

ConnectionPool::ConnectionPool(TransportContext &context)
    : m_context(context)
    , m_maxConnections(connectionLimit(descriptorLimit()))
{
}

int ConnectionPool::connectionLimit(quint64 descriptorLimit)
{
    constexpr quint64 kReserve = 128;
    constexpr quint64 kPerConnection = 2;
    const quint64 room = descriptorLimit > kReserve ? (descriptorLimit - kReserve) / kPerConnection : 0;
    return int(std::clamp<quint64>(room, 1, kMaxConnections));
}

ConnectionPool::~ConnectionPool()
{
    shutdown();
}

bool ConnectionPool::accept(qintptr descriptor, const QString &peer)
{
    std::unique_lock lock(m_mutex);
    if (m_stopping || m_active >= m_maxConnections || m_perAddress.value(peer) >= kMaxPerAddress) {
        lock.unlock();
        ::close(int(descriptor));
        (*m_context.log)(QStringLiteral("[srv] too many connections, closed: ") + peer);
        return false;
    }
    ++m_active;
    ++m_perAddress[peer];
    m_tasks.push_back({descriptor, peer, ++m_counter});
    if (m_tasks.size() <= std::size_t(m_idle)) { // an idle thread is there for each waiting task
        m_wake.notify_one();
        return true;
    }
    // Finished threads are joined here, on the accepting thread, so they never pile up.
    for (auto it = m_threads.begin(); it != m_threads.end();) {
        if ((*it)->isFinished()) {
            (*it)->wait();
            delete *it;
            it = m_threads.erase(it);
        } else {
            ++it;
        }
    }
    ++m_live;
    QThread *thread = QThread::create([this] { work(); });
    m_threads.push_back(thread);
    lock.unlock();
    (*m_context.log)(QStringLiteral("SocketThread = new TMyServerThread(false, ClientSocket); "));
    thread->start();
    return true;
}

void ConnectionPool::work()
{
    TMyServerThread server(m_context);
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_tasks.empty()) {
            if (m_stopping || m_idle >= kMaxIdle)
                break;
            ++m_idle;
            m_wake.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
            --m_idle;
            continue;
        }
        Task task = m_tasks.front();
        m_tasks.pop_front();
        lock.unlock();
        server.ClientExecute(task.descriptor, task.number);
        lock.lock();
        --m_active;
        if (--m_perAddress[task.peer] <= 0)
            m_perAddress.remove(task.peer);
    }
    --m_live;
}

int ConnectionPool::activeConnections() const
{
    std::lock_guard lock(m_mutex);
    return m_active;
}

int ConnectionPool::threadCount() const
{
    std::lock_guard lock(m_mutex);
    return m_live;
}

void ConnectionPool::shutdown()
{
    std::vector<QThread *> threads;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        threads.swap(m_threads);
        m_wake.notify_all();
    }
    for (QThread *thread : threads) {
        thread->wait();
        delete thread;
    }
    std::lock_guard lock(m_mutex);
    for (const Task &task : m_tasks)
        ::close(int(task.descriptor));
    m_tasks.clear();
}
