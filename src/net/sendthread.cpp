#include "sendthread.h"

#include "socketstream.h"
#include "transportcontext.h"
#include "transporthost.h"
#include "wireformat.h"

#include "app/debuglog.h"
#include "contacts/options.h"
#include "platform/mainthreadcall.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTcpSocket>
#include <QTime>

namespace {
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

bool isNumericTarget(const QString &target)
{
    for (const QChar c : target)
        if (!c.isDigit() && c != u'.')
            return false;
    return true;
}
} // namespace

SendThread::SendThread(TransportContext &context, SendRequest request)
    : m_context(context)
    , m_request(std::move(request))
{
}

int SendThread::errorCode(int qtSocketError)
{
    switch (QAbstractSocket::SocketError(qtSocketError)) {
    case QAbstractSocket::ConnectionRefusedError: return 10061;
    case QAbstractSocket::SocketTimeoutError: return 10060;
    case QAbstractSocket::HostNotFoundError: return 11001;
    case QAbstractSocket::NetworkError: return 10065;
    case QAbstractSocket::RemoteHostClosedError: return 10054;
    case QAbstractSocket::SocketAddressNotAvailableError: return 10049;
    case QAbstractSocket::AddressInUseError: return 10048;
    case QAbstractSocket::SocketAccessError: return 10013;
    default: return 10050;
    }
}

void SendThread::log(const QString &text) const
{
    (*m_context.log)(text);
}

QString SendThread::timeOfDay()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

void SendThread::addline(const QString &text, bool red)
{
    TransportHost *host = m_context.host;
    const QColor colour = red ? kRed : kBlue;
    m_context.mainThread->run([host, text, colour] { host->addline(text, colour); });
}

void SendThread::run()
{
    Execute();
}

void SendThread::getinfo()
{
    log(QStringLiteral("SendThread::getinfo() begin"));
    m_prefix = m_context.options->snapshot().prefiks;
    log(QStringLiteral("SendThread::getinfo() end"));
}

void SendThread::Execute()
{
    log(QStringLiteral("SendThread::Execute() begin"));
    getinfo();
    QTcpSocket socket;
    const bool transfer = m_request.kind == '0' || m_request.kind == '1' || m_request.kind == '2';
    if (!remotelive(socket, 10)) {
        if (transfer)
            addline(u'[' + timeOfDay() + QStringLiteral("] ") + QStringLiteral(" Сообщение не доставлено."), true);
        log(QStringLiteral("SendThread::Execute() - remotelive=false;"));
        // Nobody else deletes the job's temporary file: it must not stay behind in TEMP.
        deleteTempFile();
    } else {
        log(QStringLiteral("SendThread::Execute() - remotelive=true; - ok"));
        const bool ok = runRequest(socket);
        m_succeeded = ok;
        if (!ok)
            addline(u'[' + timeOfDay() + QStringLiteral("] ") + QStringLiteral(" Ошибка при передаче."), true);
        socket.abort();
    }
    log(QStringLiteral("SendThread::Execute() end"));
}

bool SendThread::remotelive(QTcpSocket &socket, int limitSeconds)
{
    log(QStringLiteral("SendThread::remotelive begin"));
    log(QStringLiteral("SendThread open check socket.") + m_request.target);
    const QString number = QString::number(m_request.jobnumber);
    QDeadlineTimer deadline(limitSeconds * 1000);
    bool alive = false;
    bool attemptStarted = false;
    for (int attempt = 0; !alive && !deadline.hasExpired() && !m_context.abort; ++attempt) {
        if (attempt > 0)
            log(QStringLiteral("SendThread repeat:") + number);
        log(QStringLiteral("SendThread open:") + number);
        socket.abort();
        socket.bind(m_context.localAddress, 0);
        if (isNumericTarget(m_request.target) && QHostAddress(m_request.target).isNull()) {
            // An empty or malformed address cannot even start a connection.
            log(QStringLiteral("SendThread catch error open:") + number + QStringLiteral(": bad address ")
                + m_request.target);
            QThread::msleep(100);
            continue;
        }
        socket.connectToHost(m_request.target, quint16(m_request.port));
        log(QStringLiteral("SendThread open:") + number);
        log(QStringLiteral("SendThread open socket ok:") + number + u' ' + m_request.target);
        attemptStarted = true;
        bool refused = false;
        while (!deadline.hasExpired() && !m_context.abort) {
            if (socket.waitForConnected(100)) {
                // A peer that closed again at once (access denied) is not there for us.
                socket.waitForReadyRead(0);
                alive = socket.state() == QAbstractSocket::ConnectedState;
                break;
            }
            if (socket.state() == QAbstractSocket::UnconnectedState) {
                const int code = errorCode(socket.error());
                log(QStringLiteral("SendThread::cserror: ") + QString::number(code));
                if (socket.error() == QAbstractSocket::HostNotFoundError) {
                    // The name does not resolve: starting the connection failed; try again.
                    log(QStringLiteral("SendThread catch error open:") + number + QStringLiteral(": ") + socket.errorString());
                    attemptStarted = false;
                    QThread::msleep(100);
                } else {
                    // Refused or unreachable: it cannot come up any more within this probe.
                    refused = true;
                }
                break;
            }
        }
        if (alive || refused)
            break;
    }
    if (!alive) {
        if (attemptStarted) {
            log(QStringLiteral("[cli] timeout error stream:") + number);
            TransportHost *host = m_context.host;
            const QString target = m_request.target;
            const bool message = m_request.kind == '1' || m_request.kind == '2';
            const QString line = u'[' + timeOfDay() + QStringLiteral("] сообщение не отправлено.");
            m_context.mainThread->run([=] {
                if (message)
                    host->addline(line, kRed);
                host->disconnectaddr(target);
            });
        }
    }
    socket.abort();
    log(QStringLiteral("SendThread::remotelive end"));
    return alive;
}

bool SendThread::runRequest(QTcpSocket &socket)
{
    socket.abort();
    socket.bind(m_context.localAddress, 0);
    socket.connectToHost(m_request.target, quint16(m_request.port));
    if (!socket.waitForConnected(WireFormat::kTimeoutMs))
        log(QStringLiteral("SendThread catch error open:") + socket.errorString());
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    SocketStream stream(socket, m_context.abort);
    const char kind = m_request.kind;
    if (kind == WireFormat::System || kind == WireFormat::Notice) {
        const QString index = QString(QChar(kind));
        log(QStringLiteral("[cli] send 5183chatlink294, index= (3 or 4) b"));
        stream.writeAll(WireFormat::requestHeader(kind, m_request.sendername) + m_request.body, WireFormat::kTimeoutMs);
        log(QStringLiteral("[cli] send 5183chatlink294, index= (3 or 4) e"));
        return true; // nothing is read back
    }
    log(QStringLiteral("[cli] send 5183chatlink294, index != (3 or 4)"));
    const QString fileName = QFileInfo(m_request.filepath).fileName();
    stream.writeAll(WireFormat::requestHeader(kind, m_request.sendername, fileName), WireFormat::kTimeoutMs);
    log(QStringLiteral("[cli] index=") + QChar(kind) + QStringLiteral(" sfrom=") + m_request.sendername
        + QStringLiteral(" filename=") + m_request.filepath);
    bool failedInLoop = false;
    const bool ok = sendFile(stream, failedInLoop);
    if (failedInLoop) {
        addline(u'[' + timeOfDay() + QStringLiteral("] Ошибка при посылке ") + fileName + QStringLiteral(" для ")
                    + m_request.recipient, true);
    } else if (ok && kind == WireFormat::File) {
        addline(u'[' + timeOfDay() + QStringLiteral("] ") + m_prefix + QStringLiteral(" послали ") + fileName
                    + QStringLiteral(" для ") + m_request.recipient, false);
    }
    deleteTempFile();
    return ok && !failedInLoop;
}

bool SendThread::sendFile(SocketStream &stream, bool &failedInLoop)
{
    log(QStringLiteral("[cli] open file"));
    QFile file(m_request.filepath);
    if (!file.open(QIODevice::ReadOnly)) {
        log(QStringLiteral("[cli] error new TFileStream or new TWinSocketStream:") + file.errorString());
        return false;
    }
    log(QStringLiteral("[cli] open stream"));
    QByteArray buffer;
    bool go = false;
    if (stream.read(buffer, 1, WireFormat::kTimeoutMs) > 0) {
        log(QStringLiteral("SendThread::Execute() - waitfordata=true;"));
        go = WireFormat::isGo(buffer);
    } else {
        log(QStringLiteral("SendThread::Execute() - waitfordata=false;"));
    }
    if (go) {
        const qint64 filesize = file.size();
        qint64 sentbytes = 0;
        int shownPercent = -1;
        bool lastReadEmpty = false;
        QByteArray chunk(WireFormat::chunkSize(m_request.kind), Qt::Uninitialized);
        QByteArray ack;
        log(QStringLiteral("[cli] send file begin"));
        while (stream.isUp()) {
            const qint64 n = file.read(chunk.data(), chunk.size());
            if (n <= 0) {
                lastReadEmpty = true;
                break;
            }
            if (!stream.writeAll(chunk.constData(), n, WireFormat::kTimeoutMs)) {
                log(QStringLiteral("[cli] error write() fail, sended2<cnt"));
                failedInLoop = true;
                break;
            }
            if (stream.waitForData(WireFormat::kTimeoutMs)) {
                log(QStringLiteral("send - read -beg"));
                QDeadlineTimer ackDeadline(WireFormat::kTimeoutMs);
                qint64 got = 0;
                while (got < 2 && !ackDeadline.hasExpired()) {
                    const qint64 n = stream.read(ack, 2 - got, int(ackDeadline.remainingTime()));
                    if (n == 0)
                        break; // dropped or timed out: a missing acknowledgement is no error
                    got += n;
                }
                log(QStringLiteral("send - read -ok"));
            }
            sentbytes += n;
            // The field shows whole percents: hand it over only when the number changes.
            const int percent = int(sentbytes * 100 / std::max<qint64>(filesize, 1));
            if (percent != shownPercent) {
                shownPercent = percent;
                TransportHost *host = m_context.host;
                const QString text = QString::number(percent) + u'%';
                m_context.mainThread->post([host, text] { host->setStatusField(text); });
            }
        }
        log(QStringLiteral("[cli] send file end"));
        if (lastReadEmpty && !failedInLoop) {
            log(QStringLiteral("send-ok wait 2 beg"));
            stream.linger(200);
            log(QStringLiteral("send-ok wait 2 end"));
        }
    }
    log(QStringLiteral("[cli] delete stream"));
    log(QStringLiteral("[cli] close file"));
    file.close();
    return go;
}

void SendThread::deleteTempFile()
{
    if (m_request.kind == '1' || m_request.kind == '2' || m_request.kind == '5') {
        log(QStringLiteral("[cli] delete temp file ") + m_request.filepath);
        QFile::remove(m_request.filepath);
    }
}
