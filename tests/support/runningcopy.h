#pragma once

#include "app/parlixapp.h"

#include <QColor>
#include <QList>
#include <QPair>
#include <QTemporaryDir>

#include <memory>

// A copy of the program running in the test's process on a loopback address of its own, with
// everything it shows recorded.
class RunningCopy : public QObject
{
    Q_OBJECT
public:
    struct Message
    {
        QByteArray content;
        QString peerip;
        bool letter = false;
    };
    struct Notice
    {
        QByteArray text;
        QString sender;
        int code = 0;
        QString peerip;
    };

    // `settings` are extra lines for parlix7.ini ("key=value\r\n").
    explicit RunningCopy(const QString &address, const QByteArray &settings = QByteArray());
    ~RunningCopy() override;

    ParlixApp &app() { return *m_app; }
    QString address() const { return m_address; }
    QString home() const { return m_home.path(); }
    QString savedir() const { return m_home.filePath("received"); }

    QList<QPair<QString, QColor>> lines;
    QList<Message> messages;
    QList<QByteArray> systemMessages;
    QList<Notice> notices;
    QStringList statusTexts;
    QStringList unreachable;

    bool hasLine(const QString &part, const QColor &colour) const;
    void shutDown();

private:
    QString m_address;
    QTemporaryDir m_home;
    std::unique_ptr<ParlixApp> m_app;
    bool m_shutDown = false;
};
