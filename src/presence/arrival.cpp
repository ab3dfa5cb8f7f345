#include "arrival.h"

#include "fontoptions.h"

#include "arrivalview.h"
#include "presence.h"
#include "roster.h"
#include "slicedinsert.h"

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
        reportDamage(content.document != nullptr, content.complete);
        if (content.document)
            m_view.openLetter(QStringLiteral("Вам письмо от ") + sender, std::move(content.document), minimised, saveAs);
    } else {
        m_presence.addline(u'[' + time + QStringLiteral("] [") + sender + u']', QColor(255, 0, 0));
        showMessage(std::move(content));
        m_view.scrolltoend();
        m_presence.attention();
    }
    m_presence.msgsound();
    selectSender(ip);
    m_roster.rosterdirty = true;
    QFile::remove(path);
}

void Arrival::reportDamage(bool readable, bool complete)
{
    // Whatever could be read is shown; the user learns that something is missing.
    const QString time = Presence::timeOfDay();
    if (!readable)
        m_presence.addline(u'[' + time + QStringLiteral("] Полученное сообщение не удалось прочитать"), QColor(255, 0, 0));
    else if (!complete)
        m_presence.addline(u'[' + time + QStringLiteral("] Сообщение пришло не целиком: показано то, что удалось прочитать"),
                           QColor(255, 0, 0));
}

void Arrival::showMessage(Content content)
{
    if (!content.document) {
        reportDamage(false, false);
        return;
    }
    // The staging buffer was read on the connection's thread; here it is only copied over, a
    // slice at a time when it is large, after a paragraph of its own.
    QTextDocument *conversation = m_view.conversation();
    QTextCursor end(conversation);
    end.movePosition(QTextCursor::End);
    end.insertBlock();
    const OptionValues &options = m_options.values();
    const QTextCharFormat imposed = options.myfonts
        ? FontOptions::conversationFont(options, QGuiApplication::palette().color(QPalette::WindowText))
        : QTextCharFormat();
    const bool large = content.document->characterCount() > SlicedInsert::kSliceChars;
    const bool complete = content.complete;
    auto *copy = new SlicedInsert(std::move(content.document), conversation, end.position(), imposed,
                                  [this, complete] { reportDamage(true, complete); });
    if (large) {
        copy->setParent(conversation); // goes with the conversation if the program ends first
        copy->start();
    } else {
        copy->finish();
        delete copy;
    }
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
