#pragma once

#include <QByteArray>

#include <atomic>

class QTcpSocket;

// Blocking reads and writes with time limits on a socket that belongs to the calling thread.
// Every wait is cut into short slices so that an abort flag ends it promptly.
class SocketStream
{
public:
    SocketStream(QTcpSocket &socket, const std::atomic_bool &abort);

    bool isUp() const;
    // True when data is there or arrives within the time; false on time-out, close or abort.
    bool waitForData(int timeoutMs);
    // Up to `max` bytes into `buffer` (its size is set to what was read); an empty result is a
    // time-out, a closed connection or an abort.
    qint64 read(QByteArray &buffer, qint64 max, int timeoutMs);
    // Writes all bytes and waits until they have left; false when that takes longer than the time.
    bool writeAll(const char *data, qint64 size, int timeoutMs);
    bool writeAll(const QByteArray &bytes, int timeoutMs) { return writeAll(bytes.constData(), bytes.size(), timeoutMs); }
    // Waits up to the time while the connection stays up.
    void linger(int timeoutMs);

private:
    // Bytes straight to the descriptor, for when Qt holds nothing unsent (so the order stays):
    // Qt's own buffered write switches the write notifier on and off around each write, and each
    // switch wakes the thread's event dispatcher (an eventfd write under glib); with the poll
    // before sending that makes four system calls instead of one for every 2048-byte chunk and
    // every "ok" of a transfer. Returns the bytes taken, 0 when the socket takes none now, -1
    // when the connection is gone.
    qint64 sendDirect(const char *data, qint64 size);

    static constexpr int kSliceMs = 100;
    QTcpSocket &m_socket;
    const std::atomic_bool &m_abort;
};
