#pragma once

#include "net/transporthost.h"
#include "presence/arrival.h"

#include <unordered_map>
#include <QMutex>

class ParlixApp;

// What the transport hands on, as this copy of the program handles it on its main thread.
class AppTransportHost : public TransportHost
{
public:
    explicit AppTransportHost(ParlixApp &app);

    bool querygetfile(const QString &fileName, const QString &from) override;
    void print(const QString &text) override;
    void prepare2(const QString &path) override;
    void append2(const QString &path, const QString &peerip, bool letter) override;
    void analyze1(const QByteArray &text, const QString &peerip, const QString &peerhost) override;
    void analyze22(const QByteArray &text, const QString &sender, int code, const QString &peerip,
                   const QString &peerhost) override;
    void addline(const QString &text, const QColor &colour) override;
    void disconnectaddr(const QString &address) override;
    void setStatusField(const QString &text) override;
    QString statusFieldText() const override;
    void setTransferIndicator(bool running) override;
    int replyPort(const QString &address) override;
    QStringList accessRows() override;
    std::optional<QString> autoAnswer() const override;

private:
    ParlixApp &m_app;
    QMutex m_preparedLock;
    std::unordered_map<QString, Arrival::Content> m_prepared; // by file path, read on connection threads
};
