#pragma once

#include "sendrequest.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>

class SendThread;
struct TransportContext;

// Starts send jobs and keeps their count, which lives on the main thread: a job's creation adds
// one there, its end subtracts one, and the transfer indicator follows. The starters that serve
// the user wait while more than ten jobs run.
class SendJobs : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxBusy = 10;

    explicit SendJobs(TransportContext &context, QObject *parent = nullptr);
    ~SendJobs() override;

    // Any thread. False when nothing was started (the program is ending).
    bool start(SendRequest request);
    // A file (kind "0"), message ("1"), letter ("2") or address list ("5") to one contact.
    bool sendfileto3(char kind, const QString &filepath, const QString &target, int port, const QString &recipient,
                     const QString &sendername);
    // A text notice (kind "4") to an address, on the port the contact table gives it.
    bool sendfileto4(const QString &text, const QString &sendername, const QString &address);
    // A system message (kind "3") to an address.
    bool sendaddr(const QByteArray &message, const QString &sendername, const QString &address, int port);

    int running() const { return m_running; }   // main thread
    int runningAnyThread() const { return m_mirror; }
    // Aborts the running jobs and waits for them.
    void shutdown();

signals:
    void runningChanged(int running);

private:
    void waitWhileBusy();
    void finished(SendThread *job);

    TransportContext &m_context;
    int m_running = 0;
    std::atomic_int m_mirror{0};
    std::atomic_int m_numbers{0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<SendThread *> m_jobs;
};
