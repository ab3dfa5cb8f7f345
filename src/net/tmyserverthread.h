#pragma once

#include "requestheaderparser.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QFile;
class QTcpSocket;
class SocketStream;
struct OptionValues;
struct TransportContext;

// Serves one accepted connection on a connection thread: the access check, the request header,
// and each kind of request, handing every step that touches the program's state to the main
// thread. A pooled thread reuses one object, so everything is set anew for each connection.
class TMyServerThread
{
public:
    explicit TMyServerThread(TransportContext &context);

    void ClientExecute(qintptr descriptor, quint64 connectionNumber);

    // The access check on the rows' address cells: pure, for tests and for the check itself.
    // `peername` is asked only when a row holds a name and names are allowed.
    template <typename PeerName>
    static bool allowedByRows(const QStringList &rows, const QString &peerip, bool iponly, PeerName peername);

private:
    bool accessCheck(const OptionValues &options);
    bool readHeader(SocketStream &stream, bool firstRequest);
    void serveFile(SocketStream &stream, const OptionValues &options);
    void serveMessage(SocketStream &stream, const OptionValues &options);
    void serveText(SocketStream &stream, int code);
    void serveAddressList(SocketStream &stream);
    // A system message (code 2), a text notice (22) or an address list (25) to the main thread.
    void handOverText(const QByteArray &text, int code);
    // Receives a payload into the file after the go byte; the number of bytes stored, or nullopt
    // when nothing came or a write failed.
    std::optional<qint64> receiveInto(SocketStream &stream, QFile &file, bool &writeFailed);
    QString peerhost(const OptionValues &options) const;
    // A red notice line for the user, with the peer's host name in the log.
    void print(const QString &text, const OptionValues &options);
    void log(const QString &text) const;
    void showStatus(const QString &text) const;
    static QString timeOfDay();

    TransportContext &m_context;
    QTcpSocket *m_socket = nullptr;
    RequestHeaderParser m_parser;
    QString m_peerip;
    quint64 m_number = 0;
    QByteArray m_buffer; // one read; reused for the whole connection
};

template <typename PeerName>
bool TMyServerThread::allowedByRows(const QStringList &rows, const QString &peerip, bool iponly, PeerName peername)
{
    std::optional<QString> name; // looked up once, on the first row that holds a name
    for (const QString &cell : rows) {
        if (cell.isEmpty() || cell == QLatin1String("-"))
            continue;
        // Blanks around a dotted address do not make it a name: "192.168.1.5 " still matches.
        const QString trimmed = cell.trimmed();
        bool numeric = true;
        for (const QChar c : trimmed)
            numeric = numeric && (c.isDigit() || c == u'.');
        if (numeric) {
            if (trimmed == peerip)
                return true;
            continue;
        }
        if (iponly)
            continue;
        if (!name)
            name = peername().trimmed().toUpper();
        if (!name->isEmpty() && trimmed.toUpper() == *name)
            return true;
    }
    return false;
}
