#include "arrival.h"

#include "fontoptions.h"

#include "arrivalview.h"
#include "presence.h"
#include "roster.h"

#include "app/debuglog.h"
#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "platform/rtf/rtfdocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QTextCursor>
#include <QTextDocument>

Arrival::Arrival(Presence &presence, ContactTable &table, Roster &roster, const Options &options, const DebugLog &log,
                 ArrivalView &view, QString incomeFolder)
    : m_presence(presence)
    , m_table(table)
    , m_roster(roster)
    , m_options(options)
    , m_log(log)
    , m_view(view)
    , m_incomeFolder(std::move(incomeFolder))
{
}

QString Arrival::senderName(const QString &ip) const
{
    for (int row = 1; row < ContactTable::MAXUSERS; ++row) {
        const QString address = m_table.cell(row, ContactTable::Address);
        const Users *user = m_table.user(row);
        if (user->connected && !address.isEmpty() && address != QLatin1String("-") && user->peeraddr == ip)
            return m_table.cell(row, ContactTable::Name);
    }
    return QString();
}

QString Arrival::letterFileName(const QDateTime &when, const QString &sender)
{
    QString name = sender;
    name.replace(u'/', u'_'); // a "/" would put the file into another folder
    return when.toString(QStringLiteral("yyyy-MM-dd--HH-mm-ss")) + u'[' + name + QStringLiteral("].rtf");
}

void Arrival::append2(const QString &path, const QString &ip, bool letter)
{
    m_log(QStringLiteral("пастим полученный файл"));
    const QString sender = senderName(ip);
    const QString time = Presence::timeOfDay();
    const OptionValues &options = m_options.values();
    if (letter) {
        m_presence.addline(u'[' + time + QStringLiteral("] Пришло письмо от [") + sender + u']', QColor(255, 0, 0));
        const int status = m_presence.ownStatus();
        const bool minimised = !m_view.mainWindowVisible() && (status == 1 || options.hidden0);
        QString saveAs;
        if (options.CheckBox_let) {
            QDir().mkpath(m_incomeFolder);
            const QDateTime now = QDateTime::currentDateTime();
            saveAs = QDir(m_incomeFolder).filePath(letterFileName(now, sender));
            // Two letters from one sender within a second: the earlier file stays.
            for (int n = 1; QFileInfo::exists(saveAs); ++n)
                saveAs = QDir(m_incomeFolder).filePath(letterFileName(now, sender).replace(QStringLiteral("].rtf"),
                                                                                            QStringLiteral("](%1).rtf").arg(n)));
        }
        m_view.openLetter(QStringLiteral("Вам письмо от ") + sender, path, minimised, saveAs);
    } else {
        m_presence.addline(u'[' + time + QStringLiteral("] [") + sender + u']', QColor(255, 0, 0));
        showMessage(path);
        m_view.scrolltoend();
        m_presence.attention();
    }
    m_presence.msgsound();
    selectSender(ip);
    m_roster.rosterdirty = true;
    QFile::remove(path);
}

void Arrival::showMessage(const QString &path)
{
    QTextDocument staging; // the staging buffer: emptied by going out of scope
    if (!RtfDocument::loadFile(staging, path))
        return;
    const OptionValues &options = m_options.values();
    if (options.myfonts) {
        QTextCursor all(&staging);
        all.select(QTextCursor::Document);
        all.mergeCharFormat(
            FontOptions::conversationFont(options, QGuiApplication::palette().color(QPalette::WindowText)));
    }
    QTextDocument *conversation = m_view.conversation();
    QTextCursor end(conversation);
    end.movePosition(QTextCursor::End);
    end.beginEditBlock();
    end.insertBlock();
    RtfDocument::Richdatacopy1(staging, end);
    end.endEditBlock();
}

void Arrival::selectSender(const QString &ip)
{
    if (m_roster.selectedItems().size() <= 1 && m_view.inputEmpty()) {
        for (int row = 1; row < ContactTable::MAXUSERS; ++row) {
            Users *user = m_table.user(row);
            const QString address = m_table.cell(row, ContactTable::Address);
            user->selected = user->connected && !address.isEmpty() && !ContactTable::isSeparatorForRoster(address)
                && user->peeraddr == ip;
        }
        m_roster.rebuildroster();
    }
    m_roster.keepselection();
}
