#include "tmyserverthread.h"

#include "namelookup.h"
#include "receivedfile.h"
#include "sendjobs.h"
#include "socketstream.h"
#include "transportcontext.h"
#include "transporthost.h"
#include "wireformat.h"

#include "app/debuglog.h"
#include "contacts/options.h"
#include "platform/mainthreadcall.h"
#include "platform/tempfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QTime>

namespace {
const QString kStatusRest = QStringLiteral("Статус (%)");
}

TMyServerThread::TMyServerThread(TransportContext &context)
    : m_context(context)
{
}

void TMyServerThread::log(const QString &text) const
{
    (*m_context.log)(text);
}

QString TMyServerThread::timeOfDay()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

void TMyServerThread::showStatus(const QString &text) const
{
    TransportHost *host = m_context.host;
    m_context.mainThread->post([host, text] { host->setStatusField(text); });
}

QString TMyServerThread::peerhost(const OptionValues &options) const
{
    return NameLookup(m_context.dns).peername(m_peerip, options.CheckBox_iponly, options.CheckBox_usedns);
}

bool TMyServerThread::accessCheck(const OptionValues &options)
{
    if (options.allaccs)
        return true;
    QStringList rows;
    TransportHost *host = m_context.host;
    m_context.mainThread->run([&rows, host] { rows = host->accessRows(); });
    const bool allowed = allowedByRows(rows, m_peerip, options.CheckBox_iponly, [&] { return peerhost(options); });
    if (allowed) {
        log(QStringLiteral("проверка разрешения - разрешено"));
    } else {
        log(QStringLiteral("проверка разрешения доступа от ") + m_peerip);
        log(QStringLiteral("проверка разрешения - отказать"));
    }
    return allowed;
}

void TMyServerThread::ClientExecute(qintptr descriptor, quint64 connectionNumber)
{
    QTcpSocket socket;
    if (!socket.setSocketDescriptor(descriptor)) {
        log(QStringLiteral("[srv] exit - не создать ServerSocket"));
        return;
    }
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socket = &socket;
    m_number = connectionNumber;
    const QHostAddress peer = socket.peerAddress();
    m_peerip = peer.protocol() == QAbstractSocket::IPv6Protocol && peer.toIPv4Address()
        ? QHostAddress(peer.toIPv4Address()).toString()
        : peer.toString();
    const OptionValues options = m_context.options->snapshot();

    // The check runs here, before any byte is read: a name lookup may take its 30 seconds
    // without holding up any other peer.
    if (!accessCheck(options)) {
        log(QStringLiteral("[srv] accept CONNECT security denied ") + m_peerip);
        socket.abort();
        m_socket = nullptr;
        return;
    }
    log(QStringLiteral("[srv] accept CONNECT security allow ") + m_peerip);
    log(QStringLiteral("[srv] begin"));
    if (m_context.shuttingdown) {
        socket.abort();
        m_socket = nullptr;
        return;
    }
    SocketStream stream(socket, m_context.abort);
    log(QStringLiteral("[srv] connected ") + m_peerip);

    bool first = true;
    while (readHeader(stream, first)) {
        first = false;
        const char kind = m_parser.kind();
        if (kind == WireFormat::File) {
            serveFile(stream, m_context.options->snapshot());
            break;
        }
        if (kind == WireFormat::Message || kind == WireFormat::Letter) {
            serveMessage(stream, m_context.options->snapshot());
            break;
        }
        if (kind == WireFormat::System)
            serveText(stream, 2);
        else if (kind == WireFormat::Notice)
            serveText(stream, 22);
        else if (kind == WireFormat::AddressList)
            serveAddressList(stream);
        if (!stream.isUp() || m_context.abort || m_context.shuttingdown)
            break;
    }
    socket.close();
    m_socket = nullptr;
    log(QStringLiteral("[srv] end"));
}

bool TMyServerThread::readHeader(SocketStream &stream, bool firstRequest)
{
    m_parser.reset();
    if (firstRequest && !stream.waitForData(WireFormat::kTimeoutMs))
        return false;
    stream.read(m_buffer, RequestHeaderParser::kFirstReadSize, WireFormat::kTimeoutMs);
    if (m_buffer.isEmpty()) {
        log(QStringLiteral("[srv] MySocket->Read init fail"));
        return false;
    }
    log(QStringLiteral("[srv] MySocket->Read init ok"));
    m_parser.feed(m_buffer);
    bool kindLogged = false;
    while (!m_parser.isDone() && !m_parser.hasFailed()) {
        if (stream.read(m_buffer, m_parser.wanted(), WireFormat::kTimeoutMs) == 0)
            return false; // the request is dropped
        m_parser.feed(m_buffer);
        if (!kindLogged && m_parser.state() != RequestHeaderParser::State::KindLine) {
            kindLogged = true;
            const char kind = m_parser.kind();
            if (kind >= '0' && kind <= '3')
                log(QStringLiteral("[srv] index=") + QChar(kind));
        }
    }
    if (m_parser.state() == RequestHeaderParser::State::BadPreamble) {
        log(QStringLiteral("[srv] непон пакет от") + m_peerip + u':'
            + QString::fromLatin1(m_parser.badPreambleText()));
        return false;
    }
    if (m_parser.hasFailed()) {
        log(QStringLiteral("[srv] header line too long from ") + m_peerip);
        return false;
    }
    return true;
}

std::optional<qint64> TMyServerThread::receiveInto(SocketStream &stream, QFile &file, bool &writeFailed)
{
    writeFailed = false;
    const QByteArray ack = WireFormat::ack();
    if (!stream.writeAll(WireFormat::goByte(), WireFormat::kTimeoutMs) || !stream.waitForData(WireFormat::kTimeoutMs))
        return std::nullopt;
    qint64 received = 0;
    QElapsedTimer sinceStatus;
    sinceStatus.start();
    for (;;) {
        const qint64 n = stream.read(m_buffer, WireFormat::kChunkSize, WireFormat::kTimeoutMs);
        stream.writeAll(ack, WireFormat::kTimeoutMs); // also after the last, empty read
        if (n == 0)
            break;
        if (file.write(m_buffer.constData(), n) != n) {
            writeFailed = true;
            return std::nullopt;
        }
        received += n;
        if (sinceStatus.elapsed() > 2000) {
            sinceStatus.restart();
            showStatus(QString::number(received));
        }
    }
    if (!file.flush()) {
        writeFailed = true;
        return std::nullopt;
    }
    return received;
}

void TMyServerThread::serveFile(SocketStream &stream, const OptionValues &options)
{
    const QString sender = m_parser.sender();
    const QString name = ReceivedFile::safeName(m_parser.fileName());
    const QString ownName = options.usernam.trimmed();
    bool accept = true;
    if (options.CheckBox8) {
        TransportHost *host = m_context.host;
        accept = false;
        m_context.mainThread->run([&accept, host, name, sender] { accept = host->querygetfile(name, sender); });
    }
    if (!accept) {
        m_context.jobs->sendfileto4(QStringLiteral("Ваш файл не принят."), ownName, m_peerip);
        return;
    }
    // The folder chosen for received files, whatever its value ends with: the file lands inside it.
    QString folder = options.savedir;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    QDir().mkdir(folder);
    QFile file;
    const QString target = ReceivedFile::create(folder, name, QDateTime::currentDateTime(), file);
    bool writeFailed = false;
    std::optional<qint64> received;
    if (!target.isEmpty())
        received = receiveInto(stream, file, writeFailed);
    else
        log(QStringLiteral("[srv] readfile error: mysock=(%1): cannot create %2").arg(m_number).arg(folder + name));
    if (writeFailed)
        log(QStringLiteral("[srv] readfile error: mysock=(%1): %2").arg(m_number).arg(file.errorString()));
    file.close();
    const bool failed = !received || *received == 0;
    if (failed) {
        if (!target.isEmpty())
            QFile::remove(target);
        m_context.jobs->sendfileto4(QStringLiteral("Ошибка при приеме вашего файла.(") + name + u')', ownName, m_peerip);
    }
    showStatus(kStatusRest);
    const QString shown = target.isEmpty() ? folder + name : target;
    const QString text = failed
        ? u'[' + timeOfDay() + QStringLiteral("] Ошибка/отказ при приеме файла (") + shown + QStringLiteral(") от[") + sender + u']'
        : u'[' + timeOfDay() + QStringLiteral("] Пришел файл ( file://") + shown + QStringLiteral(" ) от[") + sender + u']';
    print(text, options);
}

void TMyServerThread::print(const QString &text, const OptionValues &options)
{
    const QString host = peerhost(options);
    const QString peerip = m_peerip;
    const DebugLog *logger = m_context.log;
    TransportHost *steps = m_context.host;
    m_context.mainThread->run([=] {
        (*logger)(QStringLiteral("[srv] get file from addr=[") + peerip + QStringLiteral("], name=[") + host + u']');
        steps->print(text);
    });
}

void TMyServerThread::serveMessage(SocketStream &stream, const OptionValues &options)
{
    const QString sender = m_parser.sender();
    const bool letter = m_parser.kind() == WireFormat::Letter;
    QFile file;
    const QString path = TempFiles::create(file);
    log(QStringLiteral("[srv] get message , file=") + QFileInfo(path).fileName());
    bool writeFailed = false;
    std::optional<qint64> received;
    if (!path.isEmpty())
        received = receiveInto(stream, file, writeFailed);
    file.close();
    if (!received) {
        if (writeFailed || path.isEmpty())
            log(QStringLiteral("[srv] getmessage, readfile error: mysock=(%1): %2").arg(m_number).arg(file.errorString()));
        else
            log(QStringLiteral("[srv] getmessage timeout error: mysock=(%1)").arg(m_number));
        if (!path.isEmpty())
            QFile::remove(path);
        const QString text = u'[' + timeOfDay() + QStringLiteral("] Ошибка/отказ при получении сообщения от[") + sender + u']';
        print(text, options);
        showStatus(kStatusRest);
        return;
    }
    showStatus(kStatusRest);
    const QString host = peerhost(options);
    const QString peerip = m_peerip;
    const DebugLog *logger = m_context.log;
    TransportHost *steps = m_context.host;
    steps->prepare2(path);
    const bool handed = m_context.mainThread->run([=] {
        (*logger)(QStringLiteral("[srv] get message from addr=[") + peerip + QStringLiteral("], name=[") + host + u']');
        steps->append2(path, peerip, letter);
    });
    if (!handed) {
        QFile::remove(path); // the program is ending: nobody will show it, nobody answers it
        return;
    }
    // Only messages and letters are answered, never notices: two copies that are both away must
    // not answer each other's auto-answers for ever.
    if (const auto answer = m_context.host->autoAnswer())
        m_context.jobs->sendfileto4(*answer, options.usernam.trimmed(), m_peerip);
}

void TMyServerThread::serveText(SocketStream &stream, int code)
{
    QByteArray text;
    while (stream.read(m_buffer, WireFormat::kChunkSize, WireFormat::kTimeoutMs) > 0) {
        if (!WireFormat::appendTextChunk(text, m_buffer)) {
            log(QStringLiteral("[srv] text too long from ") + m_peerip);
            m_socket->abort(); // the rest is dropped unread
            break;
        }
    }
    handOverText(text, code);
}

void TMyServerThread::handOverText(const QByteArray &text, int code)
{
    const OptionValues options = m_context.options->snapshot();
    const QString host = peerhost(options);
    const QString peerip = m_peerip;
    const QString sender = m_parser.sender();
    TransportHost *steps = m_context.host;
    m_context.mainThread->run([=] {
        if (code == 2)
            steps->analyze1(text, peerip, host);
        else
            steps->analyze22(text, sender, code, peerip, host);
    });
}

void TMyServerThread::serveAddressList(SocketStream &stream)
{
    QByteArray text;
    const QByteArray ack = WireFormat::ack();
    if (stream.writeAll(WireFormat::goByte(), WireFormat::kTimeoutMs) && stream.waitForData(WireFormat::kTimeoutMs)) {
        while (stream.isUp() && !m_context.abort) {
            const qint64 n = stream.read(m_buffer, WireFormat::kAddressListChunkSize, WireFormat::kTimeoutMs);
            stream.writeAll(ack, WireFormat::kTimeoutMs);
            if (n == 0)
                break;
            if (!WireFormat::appendTextChunk(text, m_buffer)) {
                log(QStringLiteral("[srv] error exception in read data - list too long"));
                m_socket->abort();
                break;
            }
        }
    }
    handOverText(text, 25);
}
