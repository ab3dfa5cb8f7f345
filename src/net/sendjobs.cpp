#include "sendjobs.h"

#include "sendthread.h"
#include "transportcontext.h"
#include "transporthost.h"

#include "app/debuglog.h"
#include "platform/codepage.h"
#include "platform/mainthreadcall.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

SendJobs::SendJobs(TransportContext &context, QObject *parent)
    : QObject(parent)
    , m_context(context)
{
}

SendJobs::~SendJobs()
{
    shutdown();
}

void SendJobs::waitWhileBusy()
{
    if (QThread::currentThread() == thread()) {
        // The main thread keeps serving events, so that ending jobs can count themselves down.
        while (m_running > kMaxBusy && !m_context.abort) {
            QEventLoop loop;
            connect(this, &SendJobs::runningChanged, &loop, &QEventLoop::quit);
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return;
    }
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_mirror <= kMaxBusy || m_context.abort; });
}

bool SendJobs::start(SendRequest request)
{
    if (m_context.abort)
        return false;
    request.jobnumber = ++m_numbers;
    auto *job = new SendThread(m_context, std::move(request));
    // The count and the indicator belong to the main thread.
    const bool counted = m_context.mainThread->run([this, job] {
        ++m_running;
        ++m_mirror;
        {
            std::lock_guard lock(m_mutex);
            m_jobs.insert(job);
        }
        m_context.host->setTransferIndicator(true);
        connect(job, &QThread::finished, this, [this, job] { finished(job); });
        job->start(job->request().lowPriority ? QThread::LowPriority : QThread::NormalPriority);
        emit runningChanged(m_running);
    });
    if (!counted)
        delete job;
    return counted;
}

void SendJobs::finished(SendThread *job)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_jobs.erase(job))
            return;
    }
    job->wait();
    (*m_context.log)(QStringLiteral("SendThread destruct:%1 %2").arg(job->request().jobnumber).arg(job->request().target));
    job->deleteLater();
    m_running = std::max(0, m_running - 1);
    m_mirror = m_running;
    m_changed.notify_all();
    if (m_running == 0) {
        m_context.host->setTransferIndicator(false);
        m_context.host->setStatusField(QStringLiteral("Статус (%)"));
    }
    emit runningChanged(m_running);
}

bool SendJobs::sendfileto3(char kind, const QString &filepath, const QString &target, int port, const QString &recipient,
                           const QString &sendername)
{
    waitWhileBusy();
    if (m_context.abort)
        return false;
    SendRequest request;
    request.kind = kind;
    request.filepath = filepath;
    request.target = target;
    request.port = port;
    request.recipient = recipient;
    request.sendername = sendername;
    return start(std::move(request));
}

bool SendJobs::sendfileto4(const QString &text, const QString &sendername, const QString &address)
{
    waitWhileBusy();
    SendRequest request;
    request.kind = '4';
    request.body = CodePage::fromUnicode(text);
    request.target = address;
    request.sendername = sendername;
    TransportHost *host = m_context.host;
    int port = 7456;
    m_context.mainThread->run([&port, host, address] { port = host->replyPort(address); });
    request.port = port;
    return start(std::move(request));
}

bool SendJobs::sendaddr(const QByteArray &message, const QString &sendername, const QString &address, int port)
{
    SendRequest request;
    request.kind = '3';
    request.body = message;
    request.target = address;
    request.port = port;
    request.sendername = sendername;
    request.lowPriority = true;
    return start(std::move(request));
}

void SendJobs::shutdown()
{
    m_context.abort = true;
    m_changed.notify_all();
    std::set<SendThread *> jobs;
    {
        std::lock_guard lock(m_mutex);
        jobs.swap(m_jobs);
    }
    for (SendThread *job : jobs) {
        job->wait();
        delete job;
    }
}
