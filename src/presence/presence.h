#pragma once

#include <QByteArray>
#include <QColor>
#include <QObject>
#include <QString>
#include <QTextCharFormat>

#include "contacts/contacttable.h"

#include <functional>

class AutoAnswer;
struct OptionValues;
class ContactTable;
class DebugLog;
class Options;
class PresenceView;
class Roster;
class SendJobs;

// Presence on the main thread: incoming system messages and text notices, the peers' connected
// state, the own status and its broadcast, the notice lines, attention and sounds.
class Presence : public QObject, public ContactTableHooks
{
    Q_OBJECT
public:
    struct Parts
    {
        ContactTable *table;
        Roster *roster;
        const Options *options;
        SendJobs *jobs;
        const DebugLog *log;
        PresenceView *view;
        AutoAnswer *autoAnswer;
        std::function<bool()> terminating;   // the program is ending
        std::function<bool()> shuttingdown;  // the end of the shutdown sequence has been reached
    };

    explicit Presence(Parts parts, QObject *parent = nullptr);

    // Incoming.
    void analyze1(const QByteArray &text, const QString &ip, const QString &host);
    bool checkpeer(bool answer, bool setname, const QString &name, bool setextra, const QString &extra, bool setstatus,
                   int status, const QString &ip, const QString &host);
    void analyze22Notice(const QByteArray &text, const QString &sender);

    // Outgoing.
    bool answeronline(int row, const QString &address);
    void sendaddr(const QString &address, int port, const QByteArray &message);
    void sendtoall(const QByteArray &message);
    void sendNameNotice();

    void connectrow(int row);
    void disconnectaddr(const QString &address);

    // The own status.
    int ownStatus() const { return m_status; }
    void setInitialStatus(int status);
    void ComboBox1Change(int status, bool byActivityMonitor);
    QColor statusColour(int status) const;
    QString namefield() const { return m_namefield; }
    void setNamefield(const QString &namefield) { m_namefield = namefield; }

    // Notices.
    void addline(const QString &text, const QColor &colour);
    void attention();
    void notifysound();
    void msgsound();

    // The row operations of the settings window.
    void keepselection() override;
    void rebuildroster() override;
    void sendOfflineNoticeForDeletedRow(int row) override;

    // The conversation font of the options, in the given colour.
    static QString timeOfDay();

private:
    QString ownName() const;
    int firstConnectedRowAt(const QString &ip) const;
    // Marks the row, records the roster selection, and announces it as the options say.
    void setConnected(int row, bool connected);

    Parts m_parts;
    int m_status = 0;
    QString m_namefield;
};
