#pragma once

#include <QObject>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>

// Runs a step on the main thread for a worker and waits until it has run. Called on the main
// thread it runs the step at once. Each step owns its data (capture by value or shared pointer),
// because a worker released by shutdown stops waiting and the step may then never run. Once
// shutdown() has been called, waiting workers are released and queued steps are dropped.
//
// Qt's BlockingQueuedConnection is not used: it cannot give up and it deadlocks when called from
// the main thread.
class MainThreadCall : public QObject
{
    Q_OBJECT
public:
    explicit MainThreadCall(QObject *parent = nullptr);
    ~MainThreadCall() override;

    // True when the step ran; false when shutdown dropped it.
    bool run(std::function<void()> step);
    // Queues the step without waiting (for progress texts and other fire-and-forget updates).
    void post(std::function<void()> step);

    void shutdown();
    bool isShutDown() const;

private:
    struct Pending;
    void release(const std::shared_ptr<Pending> &pending);

    mutable std::mutex m_mutex;
    bool m_shutdown = false;
    std::condition_variable m_left; // a released worker has stopped touching this object
    std::set<std::shared_ptr<Pending>> m_pending;
};
