#pragma once

#include "contacts/contacttable.h"

#include <QByteArray>
#include <QHostAddress>
#include <QThread>

#include <vector>

class QTcpSocket;
struct TransportContext;

// The start-up poll and the shutdown notice: one asynchronous connection per contact row on the
// job's own thread and event loop, one system message on each, a count of the connections still
// outstanding and a bounded wait for it. Each job has a count of its own and works on a copy of
// the table taken on the main thread when it was started.
class PresenceJob : public QThread
{
    Q_OBJECT
public:
    struct Own
    {
        QString name;
        QByteArray message;  // the system message to deliver
    };

    PresenceJob(TransportContext &context, std::vector<ContactRowSnapshot> rows, Own own, QObject *parent = nullptr);

    int outstanding() const { return m_outstanding; }
    // A row is polled when its trimmed address is neither empty nor begins with "-".
    static bool polled(const QString &address);

protected:
    void run() override;
    virtual QString name() const = 0;          // "OnlineThread" / "GoOfflineThread"
    virtual bool wants(const ContactRowSnapshot &row) const = 0;
    virtual int waitLimitMs() const = 0;
    virtual int retryPauseMs() const = 0;
    virtual void logBegin() = 0;
    virtual void logRow(const ContactRowSnapshot &row) = 0;
    virtual void logWaiting() = 0;
    virtual void logDone() = 0;
    virtual QString countLogLine(bool fromError) const = 0;
    void log(const QString &text) const;

private:
    void openRow(const ContactRowSnapshot &row);
    void watch(QTcpSocket *socket);

    TransportContext &m_context;
    std::vector<ContactRowSnapshot> m_rows;
    Own m_own;
    int m_outstanding = 0;
    std::vector<QTcpSocket *> m_sockets;
};

// The start-up poll: an online query to every contact row, up to 40 seconds.
class OnlineThread : public PresenceJob
{
    Q_OBJECT
public:
    using PresenceJob::PresenceJob;

protected:
    QString name() const override { return QStringLiteral("OnlineThread"); }
    bool wants(const ContactRowSnapshot &) const override { return true; }
    int waitLimitMs() const override { return 40000; }
    int retryPauseMs() const override { return 500; }
    void logBegin() override;
    void logRow(const ContactRowSnapshot &row) override;
    void logWaiting() override;
    void logDone() override;
    QString countLogLine(bool fromError) const override;
};

// The shutdown notice: the offline notice to every connected row, up to 10 seconds.
class GoOfflineThread : public PresenceJob
{
    Q_OBJECT
public:
    using PresenceJob::PresenceJob;

protected:
    QString name() const override { return QStringLiteral("GoOfflineThread"); }
    bool wants(const ContactRowSnapshot &row) const override { return row.connected; }
    int waitLimitMs() const override { return 10000; }
    int retryPauseMs() const override { return 100; }
    void logBegin() override;
    void logRow(const ContactRowSnapshot &row) override;
    void logWaiting() override;
    void logDone() override;
    QString countLogLine(bool fromError) const override;
};
