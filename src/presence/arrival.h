#pragma once

#include <QDateTime>
#include <QString>

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

    void append2(const QString &path, const QString &ip, bool letter);

    QString senderName(const QString &ip) const;
    // INCOME/yyyy-mm-dd--hh-nn-ss[name].rtf; a name is kept inside the folder whatever it holds.
    static QString letterFileName(const QDateTime &when, const QString &sender);

private:
    void showMessage(const QString &path);
    void selectSender(const QString &ip);

    Presence &m_presence;
    ContactTable &m_table;
    Roster &m_roster;
    const Options &m_options;
    const DebugLog &m_log;
    ArrivalView &m_view;
    QString m_incomeFolder;
};
