#include "arrival.h"

#include "fontoptions.h"

#include "arrivalview.h"
#include "presence.h"
#include "roster.h"

#include "app/debuglog.h"
#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "platform/rtf/rtfdocument.h"

#include <QCoreApplication>
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
    // A "/" would put the file into another folder, and the INCOME folder may be shared with
    // desktops whose file names forbid more: every such character becomes "_".
    QString name = sender;
    for (QChar &c : name)
        if (c < QChar(0x20) || QStringView(u"/\\:*?\"<>|").contains(c))
            c = u'_';
    return when.toString(QStringLiteral("yyyy-MM-dd--HH-mm-ss")) + u'[' + name + QStringLiteral("].rtf");
}

Arrival::Content Arrival::read(const QString &path)
{
    Content content;
    content.document = std::make_unique<QTextDocument>();
    if (!RtfDocument::loadFile(*content.document, path, content.complete)) {
        content.document.reset();
        return content;
    }
    content.fragment = QTextDocumentFragment(content.document.get());
    if (QCoreApplication::instance())
        content.document->moveToThread(QCoreApplication::instance()->thread());
    return content;
}

void Arrival::append2(const QString &path, const QString &ip, bool letter)
{
    append2(path, ip, letter, read(path));
}

void Arrival::append2(const QString &path, const QString &ip, bool letter, Content content)
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
        reportDamage(content);
        if (content.document)
            m_view.openLetter(QStringLiteral("Вам письмо от ") + sender, std::move(content.document), minimised, saveAs);
    } else {
        m_presence.addline(u'[' + time + QStringLiteral("] [") + sender + u']', QColor(255, 0, 0));
        showMessage(content);
        reportDamage(content);
        m_view.scrolltoend();
        m_presence.attention();
    }
    m_presence.msgsound();
    selectSender(ip);
    m_roster.rosterdirty = true;
    QFile::remove(path);
}

void Arrival::reportDamage(const Content &content)
{
    // Whatever could be read is shown; the user learns that something is missing.
    const QString time = Presence::timeOfDay();
    if (!content.document)
        m_presence.addline(u'[' + time + QStringLiteral("] Полученное сообщение не удалось прочитать"), QColor(255, 0, 0));
    else if (!content.complete)
        m_presence.addline(u'[' + time + QStringLiteral("] Сообщение пришло не целиком: показано то, что удалось прочитать"),
                           QColor(255, 0, 0));
}

void Arrival::showMessage(const Content &content)
{
    if (!content.document)
        return;
    // The staging buffer was read, and its copy made, on the connection's thread.
    QTextDocument *conversation = m_view.conversation();
    QTextCursor end(conversation);
    end.movePosition(QTextCursor::End);
    end.beginEditBlock();
    end.insertBlock();
    const int start = end.position();
    RtfDocument::insertDocument(*content.document, content.fragment, end);
    const OptionValues &options = m_options.values();
    if (options.myfonts) {
        end.setPosition(start, QTextCursor::KeepAnchor);
        end.mergeCharFormat(
            FontOptions::conversationFont(options, QGuiApplication::palette().color(QPalette::WindowText)));
        end.clearSelection();
    }
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
