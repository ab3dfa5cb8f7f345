#pragma once

#include <QDateTime>
#include <QString>

#include <memory>

class QTextDocument;

class ArrivalView;
class ContactTable;
class DebugLog;
class Options;
class Presence;
class Roster;

// Shows a received message in the conversation or a letter in a window of its own, sounds and
// draws attention, selects the sender for the reply, files letters, and removes the received file.
class Arrival
{
public:
    Arrival(Presence &presence, ContactTable &table, Roster &roster, const Options &options, const DebugLog &log,
            ArrivalView &view, QString incomeFolder);

    // A received file read into a document: null when the file could not be read, not complete
    // when it was RTF cut short.
    struct Content
    {
        std::unique_ptr<QTextDocument> document;
        bool complete = false;
    };
    // Any thread: reads the file, so that a large message costs the main thread no parsing. The
    // document belongs to the main thread when this returns.
    static Content read(const QString &path);

    void append2(const QString &path, const QString &ip, bool letter);
    void append2(const QString &path, const QString &ip, bool letter, Content content);

    QString senderName(const QString &ip) const;
    // INCOME/yyyy-mm-dd--hh-nn-ss[name].rtf; a name is kept inside the folder whatever it holds.
    static QString letterFileName(const QDateTime &when, const QString &sender);

private:
    void showMessage(Content content);
    void reportDamage(bool readable, bool complete);
    void selectSender(const QString &ip);

    Presence &m_presence;
    ContactTable &m_table;
    Roster &m_roster;
    const Options &m_options;
    const DebugLog &m_log;
    ArrivalView &m_view;
    QString m_incomeFolder;
};
