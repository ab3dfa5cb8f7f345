#include "composer.h"

#include "composerview.h"
#include "presence.h"

#include "app/debuglog.h"
#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "net/sendjobs.h"
#include "platform/rtf/rtfdocument.h"
#include "platform/tempfiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextCursor>
#include <QTextDocument>

Composer::Composer(Presence &presence, ContactTable &table, const Options &options, SendJobs &jobs, const DebugLog &log,
                   ComposerView &view)
    : m_presence(presence)
    , m_table(table)
    , m_options(options)
    , m_jobs(jobs)
    , m_log(log)
    , m_view(view)
{
}

QList<int> Composer::markedRows() const
{
    QList<int> rows;
    for (int row = 1; row < ContactTable::MAXUSERS; ++row)
        if (m_table.user(row)->selected)
            rows << row;
    return rows;
}

bool Composer::hasRecipients() const
{
    return !markedRows().isEmpty();
}

void Composer::Button1Click()
{
    m_view.setInputReadOnly(true);
    const QList<int> rows = markedRows(); // the snapshot every job is made from
    if (!rows.isEmpty()) {
        const bool letter = letterMode;
        const char kind = letter ? '2' : '1';
        const OptionValues &options = m_options.values();
        QString names;
        for (const int row : rows)
            if (m_table.user(row)->connected)
                names += m_table.cell(row, ContactTable::Name) + QStringLiteral(". ");
        m_presence.addline(u'[' + Presence::timeOfDay() + QStringLiteral("] ") + options.prefiks
                               + (letter ? QStringLiteral(" послали письмо") : QString()) + QStringLiteral(" для ") + names,
                           QColor(0, 0, 255));
        QTextDocument *input = m_view.input();
        if (!letter) {
            QTextCursor end(m_view.conversation());
            end.movePosition(QTextCursor::End);
            end.beginEditBlock();
            end.insertBlock();
            RtfDocument::Richdatacopy1(*input, end);
            end.endEditBlock();
        }
        m_view.scrolltoend();
        QCoreApplication::processEvents();
        const QByteArray rtf = RtfDocument::streamOut(*input);
        for (const int row : rows) {
            // Every recipient gets a file of its own: its job deletes it when done.
            QFile file;
            const QString path = TempFiles::create(file);
            if (path.isEmpty()) {
                m_log(QStringLiteral("sendfileto3: no temporary file in ") + TempFiles::folder());
                continue;
            }
            const bool written = file.write(rtf) == rtf.size() && file.flush();
            file.close();
            if (!written) {
                QFile::remove(path);
                continue;
            }
            m_log(QStringLiteral("sendfileto3 begin"));
            m_jobs.sendfileto3(kind, path, m_table.cell(row, ContactTable::Address), m_table.rowport(row),
                               m_table.cell(row, ContactTable::Name), options.usernam);
            m_log(QStringLiteral("sendfileto3 end"));
        }
        input->clear();
        if (letter) {
            letterMode = false;
            m_view.leaveLetterMode();
        }
    }
    m_view.setInputReadOnly(false);
}

void Composer::sendFiles(const QStringList &files)
{
    const QString sender = m_options.values().usernam;
    for (const QString &file : files) {
        for (const int row : markedRows()) {
            m_log(QStringLiteral("sendfileto3 begin"));
            m_jobs.sendfileto3('0', file, m_table.cell(row, ContactTable::Address), m_table.rowport(row),
                               m_table.cell(row, ContactTable::Name), sender);
            m_log(QStringLiteral("sendfileto3 end"));
        }
    }
}
