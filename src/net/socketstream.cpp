#include "socketstream.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

#include <algorithm>
#include <cerrno>

#include <sys/socket.h>

SocketStream::SocketStream(QTcpSocket &socket, const std::atomic_bool &abort)
    : m_socket(socket)
    , m_abort(abort)
{
}

bool SocketStream::isUp() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

bool SocketStream::waitForData(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (m_socket.bytesAvailable() == 0) {
        if (m_abort || !isUp() || deadline.hasExpired())
            return false;
        m_socket.waitForReadyRead(int(std::min<qint64>(kSliceMs, deadline.remainingTime())));
    }
    return true;
}

qint64 SocketStream::read(QByteArray &buffer, qint64 max, int timeoutMs)
{
    if (!waitForData(timeoutMs)) {
        buffer.resize(0);
        return 0;
    }
    buffer.resize(max);
    const qint64 n = m_socket.read(buffer.data(), max);
    buffer.resize(std::max<qint64>(n, 0));
    return buffer.size();
}

bool SocketStream::writeAll(const char *data, qint64 size, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    qint64 done = 0;
    while (done < size) {
        if (m_abort || !isUp() || deadline.hasExpired())
            return false;
        qint64 n = m_socket.bytesToWrite() == 0 ? sendDirect(data + done, size - done) : 0;
        if (n == 0)
            n = m_socket.write(data + done, size - done); // Qt sends it once the socket takes more
        if (n < 0)
            return false;
        done += n;
    }
    while (m_socket.bytesToWrite() > 0) {
        if (m_abort || !isUp() || deadline.hasExpired())
            return false;
        m_socket.waitForBytesWritten(int(std::min<qint64>(kSliceMs, deadline.remainingTime())));
    }
    return true;
}

void SocketStream::linger(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (isUp() && !m_abort && !deadline.hasExpired())
        m_socket.waitForDisconnected(int(std::min<qint64>(kSliceMs, deadline.remainingTime())));
}

qint64 SocketStream::sendDirect(const char *data, qint64 size)
{
    for (;;) {
        const ssize_t n = ::send(int(m_socket.socketDescriptor()), data, size_t(size), MSG_NOSIGNAL);
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}
