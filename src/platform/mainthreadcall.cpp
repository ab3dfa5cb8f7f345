#include "mainthreadcall.h"

#include <QThread>


struct MainThreadCall::Pending
{
    std::condition_variable done;
    bool finished = false;
    bool ran = false;
};

MainThreadCall::MainThreadCall(QObject *parent)
    : QObject(parent)
{
}

MainThreadCall::~MainThreadCall()
{
    shutdown();
    // Released workers still have to leave run(); they must not find this object gone.
    std::unique_lock lock(m_mutex);
    m_left.wait(lock, [&] { return m_pending.empty(); });
}

bool MainThreadCall::run(std::function<void()> step)
{
    if (QThread::currentThread() == thread()) {
        if (isShutDown())
            return false;
        step();
        return true;
    }
    auto pending = std::make_shared<Pending>();
    {
        std::lock_guard lock(m_mutex);
        if (m_shutdown)
            return false;
        m_pending.insert(pending);
    }
    QMetaObject::invokeMethod(this, [this, pending, step = std::move(step)] {
        {
            std::lock_guard lock(m_mutex);
            if (m_shutdown || pending->finished)
                return;
        }
        step();
        {
            std::lock_guard lock(m_mutex);
            pending->ran = true;
        }
        release(pending);
    }, Qt::QueuedConnection);

    std::unique_lock lock(m_mutex);
    pending->done.wait(lock, [&] { return pending->finished || m_shutdown; });
    m_pending.erase(pending);
    m_left.notify_all();
    return pending->ran;
}

void MainThreadCall::post(std::function<void()> step)
{
    QMetaObject::invokeMethod(this, [this, step = std::move(step)] {
        if (!isShutDown())
            step();
    }, Qt::QueuedConnection);
}

void MainThreadCall::release(const std::shared_ptr<Pending> &pending)
{
    std::lock_guard lock(m_mutex);
    pending->finished = true;
    pending->done.notify_all();
}

void MainThreadCall::shutdown()
{
    std::lock_guard lock(m_mutex);
    m_shutdown = true;
    for (const auto &pending : m_pending)
        pending->done.notify_all();
}

bool MainThreadCall::isShutDown() const
{
    std::lock_guard lock(m_mutex);
    return m_shutdown;
}
