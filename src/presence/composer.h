#pragma once

#include <QStringList>

class ComposerView;
class ContactTable;
class DebugLog;
class Options;
class Presence;
class SendJobs;

// Sends what the user wrote: one temporary rich-text file and one send job per marked recipient,
// with the echo in the conversation; and chosen files, one job per file and recipient.
class Composer
{
public:
    Composer(Presence &presence, ContactTable &table, const Options &options, SendJobs &jobs, const DebugLog &log,
             ComposerView &view);

    bool letterMode = false;

    bool hasRecipients() const;
    void Button1Click();
    // Files already chosen by the user, each sent to every marked row, file by file.
    void sendFiles(const QStringList &files);

private:
    QList<int> markedRows() const;

    Presence &m_presence;
    ContactTable &m_table;
    const Options &m_options;
    SendJobs &m_jobs;
    const DebugLog &m_log;
    ComposerView &m_view;
};
