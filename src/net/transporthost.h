#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

#include <optional>

// What the transport hands on to the rest of the program. The connection threads and send jobs
// call these only through MainThreadCall, so implementations run on the main thread, except
// autoAnswer(), which a connection thread reads directly and which must be safe to call there.
class TransportHost
{
public:
    virtual ~TransportHost() = default;

    // The file question; true when the user accepts the file.
    virtual bool querygetfile(const QString &fileName, const QString &from) = 0;
    // A red notice line in the conversation and the arrival sound.
    virtual void print(const QString &text) = 0;
    // A received message or letter in a temporary file; the receiver shows it and deletes the file.
    virtual void append2(const QString &path, const QString &peerip, bool letter) = 0;
    // Any thread: called on the connection's thread with the received message's file before
    // append2, so that the file can be read there rather than on the main thread.
    virtual void prepare2(const QString &path) { Q_UNUSED(path); }
    // A system message (kind "3").
    virtual void analyze1(const QByteArray &text, const QString &peerip, const QString &peerhost) = 0;
    // A text notice (code 22) or an address list (code 25).
    virtual void analyze22(const QByteArray &text, const QString &sender, int code, const QString &peerip,
                           const QString &peerhost) = 0;
    virtual void addline(const QString &text, const QColor &colour) = 0;
    // The peer did not answer the probe.
    virtual void disconnectaddr(const QString &address) = 0;
    virtual void setStatusField(const QString &text) = 0;
    virtual QString statusFieldText() const = 0;
    virtual void setTransferIndicator(bool running) = 0;
    // The port of the last contact row whose peer was last seen at this address, else 7456.
    virtual int replyPort(const QString &address) = 0;
    // The address cells of rows 1 to 100 (index 0 unused), for the access check.
    virtual QStringList accessRows() = 0;
    // Any thread: the auto-answer text while it is armed.
    virtual std::optional<QString> autoAnswer() const = 0;
};
