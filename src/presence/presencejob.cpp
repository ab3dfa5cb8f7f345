#include "presencejob.h"

#include "app/debuglog.h"
#include "net/sendthread.h"
#include "net/transportcontext.h"
#include "net/transporthost.h"
#include "net/wireformat.h"
#include "platform/mainthreadcall.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>

PresenceJob::PresenceJob(TransportContext &context, std::vector<ContactRowSnapshot> rows, Own own, QObject *parent)
    : QThread(parent)
    , m_context(context)
    , m_rows(std::move(rows))
    , m_own(std::move(own))
{
}

bool PresenceJob::polled(const QString &address)
{
    const QString trimmed = address.trimmed();
    return !trimmed.isEmpty() && !trimmed.startsWith(u'-');
}

void PresenceJob::log(const QString &text) const
{
    (*m_context.log)(text);
}

void PresenceJob::watch(QTcpSocket *socket)
{
    const QString prefix = name();
    connect(socket, &QTcpSocket::connected, socket, [this, socket, prefix] {
        const QString remote = socket->peerAddress().toString();
        log(prefix + QStringLiteral(" - csconnect beg - ") + remote);
        socket->write(WireFormat::requestHeader(WireFormat::System, m_own.name) + m_own.message);
        socket->disconnectFromHost();
        log(prefix + QStringLiteral(" - csconnect end - ") + remote);
    });
    connect(socket, &QTcpSocket::errorOccurred, socket, [this, socket, prefix](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            return; // the close that follows is counted as a disconnection
        const int code = SendThread::errorCode(error);
        log(prefix + QStringLiteral(" - cserror - ") + socket->peerName());
        log(prefix + QStringLiteral(" - cserror : ") + QString::number(code));
        if (code == 10060 || code == 10061)
            --m_outstanding;
        log(countLogLine(true));
    });
    connect(socket, &QTcpSocket::disconnected, socket, [this, socket, prefix] {
        log(prefix + QStringLiteral(" - csdisc - ") + socket->peerName());
        --m_outstanding;
        log(countLogLine(false));
    });
}

void PresenceJob::openRow(const ContactRowSnapshot &row)
{
    auto *socket = new QTcpSocket;
    m_sockets.push_back(socket);
    watch(socket);
    const quint16 port = WireFormat::portFromCell(row.port);
    // A connection that cannot even start is tried again after a pause, but not for ever: one
    // such row must not hold up the rest of the table.
    for (int attempt = 0; attempt < 3 && !m_context.abort; ++attempt) {
        ++m_outstanding;
        socket->bind(m_context.localAddress, 0);
        socket->connectToHost(row.address, port);
        log(QStringLiteral("open ") + row.address);
        if (socket->state() != QAbstractSocket::UnconnectedState)
            return;
        log(name() + QStringLiteral(" error on open :") + socket->errorString() + u' ' + row.address);
        QThread::msleep(retryPauseMs());
    }
}

void PresenceJob::run()
{
    logBegin();
    m_outstanding = 0;
    for (std::size_t row = 1; row < m_rows.size() && !m_context.abort; ++row) {
        const ContactRowSnapshot &snapshot = m_rows[row];
        if (!wants(snapshot))
            continue;
        logRow(snapshot);
        if (!polled(snapshot.address))
            continue;
        openRow(snapshot);
        QEventLoop pause;
        QTimer::singleShot(10, &pause, &QEventLoop::quit);
        pause.exec();
    }
    logWaiting();
    TransportHost *host = m_context.host;
    QString previous;
    m_context.mainThread->run([&previous, host] { previous = host->statusFieldText(); });
    QDeadlineTimer deadline(waitLimitMs());
    int shown = -1;
    while (m_outstanding > 0 && !deadline.hasExpired() && !m_context.abort) {
        if (shown != m_outstanding) {
            shown = m_outstanding;
            const QString text = QString::number(shown);
            m_context.mainThread->post([host, text] { host->setStatusField(text); });
        }
        QEventLoop wait;
        QTimer::singleShot(100, &wait, &QEventLoop::quit);
        wait.exec();
    }
    m_context.mainThread->post([host, previous] { host->setStatusField(previous); });
    logDone();
    for (QTcpSocket *socket : m_sockets) {
        socket->disconnect(this);
        socket->abort();
        delete socket;
    }
    m_sockets.clear();
    log(name() + QStringLiteral(" end"));
}

void OnlineThread::logBegin()
{
    log(QStringLiteral("OnlineThread begin"));
    log(QStringLiteral("проверка рабочих компьютеров из таблицы"));
}

void OnlineThread::logRow(const ContactRowSnapshot &row)
{
    log(QStringLiteral("ip=") + row.address.trimmed());
}

void OnlineThread::logWaiting()
{
    log(QStringLiteral("OnlineThread ждем опроса всех"));
}

void OnlineThread::logDone()
{
    log(QStringLiteral("OnlineThread опросили всех или прошло 40 секунд"));
}

QString OnlineThread::countLogLine(bool fromError) const
{
    return (fromError ? QStringLiteral("OnlineThread - cserror - Form2->forcheck=")
                      : QStringLiteral("OnlineThread - csdisc - Form2->forcheck="))
        + QString::number(outstanding());
}

void GoOfflineThread::logBegin()
{
    log(QStringLiteral("GoOfflineThread begin"));
}

void GoOfflineThread::logRow(const ContactRowSnapshot &row)
{
    log(QStringLiteral("GoOfflineThread ip=") + row.address.trimmed());
}

void GoOfflineThread::logWaiting()
{
    log(QStringLiteral("GoOfflineThread ждем опроса всех или истечения 10 секунд"));
}

void GoOfflineThread::logDone()
{
    log(QStringLiteral("GoOfflineThread опросили всех или прошло 10 секунд"));
}

QString GoOfflineThread::countLogLine(bool fromError) const
{
    return (fromError ? QStringLiteral("GoOfflineThread - cserror : forcheckoff=")
                      : QStringLiteral("GoOfflineThread - csdisc : forcheckoff="))
        + QString::number(outstanding());
}
