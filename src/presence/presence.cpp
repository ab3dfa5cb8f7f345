#include "presence.h"

#include "fontoptions.h"

#include "autoanswer.h"
#include "presenceview.h"
#include "roster.h"

#include "app/debuglog.h"
#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "net/sendjobs.h"
#include "net/systemmessage.h"
#include "platform/codepage.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QRegularExpression>
#include <QTime>

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

QByteArrayView mid(QByteArrayView text, qsizetype from1, qsizetype to1)
{
    if (text.size() < from1)
        return {};
    return text.sliced(from1 - 1, std::min(text.size(), to1) - (from1 - 1));
}

// From a 1-based position up to the first CR found no later than position 499.
QString extraFrom(QByteArrayView text, qsizetype from1)
{
    const QByteArrayView field = mid(text, from1, 499);
    const qsizetype cr = field.indexOf('\r');
    return CodePage::toUnicode((cr < 0 ? field : field.first(cr)).toByteArray());
}

bool usableAddress(const QString &cell)
{
    return !cell.isEmpty() && cell != QLatin1String("-");
}

} // namespace

Presence::Presence(Parts parts, QObject *parent)
    : QObject(parent)
    , m_parts(std::move(parts))
{
}

QString Presence::timeOfDay()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

QString Presence::ownName() const
{
    return m_parts.options->values().usernam;
}

void Presence::analyze1(const QByteArray &text, const QString &ip, const QString &host)
{
    const DebugLog &log = *m_parts.log;
    log(QStringLiteral("[srv] get sysmsg from addr=[") + ip + QStringLiteral("], name=[") + host + u']');
    if (text.size() < 7)
        return;
    const QString name = text.size() > 43 ? SystemMessage::nameOf(text) : QString();
    const QByteArrayView tag = SystemMessage::tagOf(text);
    const QByteArrayView subtype = SystemMessage::subtypeOf(text);
    if (tag == SystemMessage::kOnlineTag) {
        if (text.size() < 28)
            return;
        if (subtype == SystemMessage::kQuerySubtype) {
            log(QStringLiteral("[srv] [online]Запрос от ") + ip + u' ' + CodePage::toUnicode(text));
            const int status = SystemMessage::statusFromWord(SystemMessage::statusWordOf(text));
            const QString extra = extraFrom(text, 54);
            log(QStringLiteral("[srv] [online] dop=") + extra);
            checkpeer(true, true, name, true, extra, true, status, ip, host);
            return;
        }
        if (text.size() < 51)
            return;
        if (subtype == SystemMessage::kAnswerSubtype) {
            const int status = SystemMessage::statusFromWord(SystemMessage::statusWordOf(text));
            const QString extra = extraFrom(text, 54);
            log(QStringLiteral("[srv] [online2] от ") + ip);
            log(QStringLiteral("[srv] [online2] dop=") + extra);
            checkpeer(false, true, name, true, extra, true, status, ip, host);
        }
        return;
    }
    if (tag == SystemMessage::kStatusTag) {
        if (text.size() < 27)
            return;
        int next = -1;
        if (subtype == QByteArrayView("[online]"))
            next = 0;
        else if (subtype == QByteArrayView("[  busy]"))
            next = 1;
        else if (subtype == QByteArrayView("[offlin]"))
            next = 2;
        if (next >= 0) {
            for (int row = 1; row < ContactTable::MAXUSERS; ++row) {
                Users *user = m_parts.table->user(row);
                if (user->connected && usableAddress(m_parts.table->cell(row, ContactTable::Address))
                    && user->peeraddr == ip && user->status != next) {
                    user->status = next;
                    emit m_parts.roster->rebuilt(); // repaint
                    break;
                }
            }
        }
        checkpeer(false, false, name, false, QString(), false, 0, ip, host);
        return;
    }
    if (tag == SystemMessage::kNameTag) {
        if (!checkpeer(false, false, name, false, QString(), false, 0, ip, host))
            return;
        if (subtype != SystemMessage::kChnameSubtype || text.size() < 43)
            return;
        const QString newName = SystemMessage::nameOf(text);
        const int row = firstConnectedRowAt(ip);
        if (row < 0)
            return;
        const QString old = m_parts.table->cell(row, ContactTable::Name);
        if (old != newName)
            addline(u'[' + timeOfDay() + QStringLiteral("] ") + old + QStringLiteral(" теперь ") + newName + u'.', kBlue);
        else
            addline(u'[' + timeOfDay() + QStringLiteral("] ") + newName + QStringLiteral(" меняет доп.информацию."), kBlue);
        m_parts.table->setCell(row, ContactTable::Name, newName);
        m_parts.roster->rosterdirty = true;
        m_parts.table->setCell(row, ContactTable::Extra, extraFrom(text, 45));
        return;
    }
    if (tag == SystemMessage::kOfflineTag) {
        log(QStringLiteral("[srv] getoffl=") + ip);
        disconnectaddr(ip);
    }
}

int Presence::firstConnectedRowAt(const QString &ip) const
{
    for (int row = 1; row < ContactTable::MAXUSERS; ++row) {
        const Users *user = m_parts.table->user(row);
        if (user->connected && usableAddress(m_parts.table->cell(row, ContactTable::Address)) && user->peeraddr == ip)
            return row;
    }
    return -1;
}

bool Presence::checkpeer(bool answer, bool setname, const QString &name, bool setextra, const QString &extra,
                         bool setstatus, int status, const QString &ip, const QString &host)
{
    const DebugLog &log = *m_parts.log;
    ContactTable &table = *m_parts.table;
    log(QStringLiteral("[srv] [check] для добавления ") + ip);
    if (m_parts.terminating())
        return false;
    const OptionValues &options = m_parts.options->values();
    const QString hostKey = host.trimmed().toUpper();
    for (int row = 1; row < ContactTable::MAXUSERS; ++row) {
        const QString cell = table.cell(row, ContactTable::Address);
        if (!usableAddress(cell))
            continue;
        const bool matches = options.CheckBox_iponly
            ? ip == cell
            : (hostKey == cell.trimmed().toUpper() && !hostKey.isEmpty()) || ip == cell;
        if (!matches)
            continue;
        Users *user = table.user(row);
        if (setstatus && user->status != status) {
            user->status = status;
            emit m_parts.roster->rebuilt();
        }
        if (setname && !name.isEmpty())
            table.setCell(row, ContactTable::Name, name);
        if (setextra)
            table.setCell(row, ContactTable::Extra, extra);
        user->peeraddr = ip;
        if (!user->connected)
            connectrow(row);
        if (answer) {
            log(QStringLiteral("(ответ) запрашиваем подключение у ") + ip + QStringLiteral(" ,i=") + QString::number(row));
            answeronline(row, cell);
        }
        log(QStringLiteral("Есть в нашей таблице."));
        return true;
    }
    if (!options.allaccs)
        return true;
    log(QStringLiteral("[addt] добавление в таблицу begin"));
    for (int row = 1; row < ContactTable::MAXUSERS; ++row) {
        const QString cell = table.cell(row, ContactTable::Address);
        if (ip == cell) {
            log(QStringLiteral("[addt] уже есть в таблице, выход 1.1,") + ip + u',' + QString::number(row));
            return true;
        }
        if (!hostKey.isEmpty() && hostKey == cell.trimmed().toUpper()) {
            log(QStringLiteral("[addt] уже есть в таблице, выход 1.2,") + hostKey + u',' + QString::number(row));
            return true;
        }
    }
    // A sender whose name could not be found is kept by its address: an empty address would
    // leave the row looking free and the peer unanswerable.
    const QString address = options.CheckBox_iponly || host.trimmed().isEmpty() ? ip : host;
    for (int row = 1; row < ContactTable::MAXUSERS; ++row) {
        if (!table.cell(row, ContactTable::Address).isEmpty())
            continue;
        log(QStringLiteral("[addt] добавим пользователя в таблицу :") + name);
        table.setCell(row, ContactTable::Name, name);
        table.setCell(row, ContactTable::Address, address);
        table.setCell(row, ContactTable::Notes, QStringLiteral("ваши заметки"));
        table.user(row)->peeraddr = address;
        connectrow(row);
        if (answer) {
            log(QStringLiteral("[addt] (ответ) запрашиваем подключение у ") + address);
            if (!address.isEmpty())
                sendaddr(address, 7456, SystemMessage::onlineAnswer(m_namefield, m_status, options.add_inf));
        }
        return true;
    }
    addline(u'[' + timeOfDay() + QStringLiteral("] ")
                + QStringLiteral(" В таблице кончились пустые ячейки, не смогли добавить нового пользлвателя - ") + name
                + QStringLiteral(" ,ad=") + address + u'.',
            kRed);
    return true;
}

bool Presence::answeronline(int row, const QString &address)
{
    if (address.isEmpty())
        return false;
    sendaddr(address, m_parts.table->rowport(row),
             SystemMessage::onlineAnswer(m_namefield, m_status, m_parts.options->values().add_inf));
    return true;
}

void Presence::sendaddr(const QString &address, int port, const QByteArray &message)
{
    (*m_parts.log)(QStringLiteral("TForm2::sendaddr begin"));
    m_parts.jobs->sendaddr(message, ownName(), address, port);
    (*m_parts.log)(QStringLiteral("TForm2::sendaddr end"));
}

void Presence::setConnected(int row, bool connected)
{
    m_parts.roster->keepselection();
    m_parts.table->user(row)->connected = connected;
    m_parts.roster->rosterdirty = true;
    const QString line = u'[' + timeOfDay() + QStringLiteral("] ")
        + (connected ? QStringLiteral(" Подключился ") : QStringLiteral(" Отключился "))
        + m_parts.table->cell(row, ContactTable::Name) + u'.';
    const OptionValues &options = m_parts.options->values();
    if (options.showcon)
        addline(line, kBlue);
    else
        (*m_parts.log)(line);
    if (connected ? options.cb2 : options.cb3)
        notifysound();
}

void Presence::connectrow(int row)
{
    setConnected(row, true);
}

void Presence::disconnectaddr(const QString &address)
{
    (*m_parts.log)(QStringLiteral("запрос на отключение ") + address);
    if (m_parts.shuttingdown())
        return;
    const int row = firstConnectedRowAt(address);
    if (row < 0)
        return;
    (*m_parts.log)(QStringLiteral("отключаем ") + address);
    setConnected(row, false);
}

void Presence::analyze22Notice(const QByteArray &text, const QString &sender)
{
    addline(u'[' + timeOfDay() + QStringLiteral("] [") + sender + QStringLiteral("] (автоответчик)"), kRed);
    const OptionValues &options = m_parts.options->values();
    QTextCharFormat format;
    if (options.myfonts)
        format = FontOptions::conversationFont(options, QColor(Qt::black));
    format.setForeground(QColor(Qt::black));
    const QStringList lines = CodePage::toUnicode(text).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (const QString &line : lines)
        m_parts.view->appendLine(line, format);
    attention();
    msgsound();
}

void Presence::addline(const QString &text, const QColor &colour)
{
    if (colour == kRed)
        attention();
    m_parts.view->appendLine(text, FontOptions::conversationFont(m_parts.options->values(), colour));
}

void Presence::attention()
{
    PresenceView &view = *m_parts.view;
    if (!view.settingsWindowExists())
        return;
    const bool hidden0 = m_parts.options->values().hidden0;
    if ((m_status == 0 || m_status == 2) && !hidden0) {
        if (view.mainWindowActive())
            return;
        if (view.settingsWindowActive())
            view.closeSettingsWindow();
        view.raiseMainWindow();
        return;
    }
    if (!view.mainWindowActive() && !view.settingsWindowActive())
        view.setAttentionMark(true);
}

void Presence::notifysound()
{
    if (!m_parts.view->settingsWindowExists())
        return;
    const OptionValues &options = m_parts.options->values();
    if (options.rb1) {
        m_parts.view->beep(PresenceView::Beep::SoundFile, 1, options.soundfile);
    } else if (options.rb4) {
        m_parts.view->beep(PresenceView::Beep::Asterisk, 1, QString());
    } else if (options.rb5) {
        m_parts.view->beep(PresenceView::Beep::Default, 1, QString());
    } else {
        // A count that is not a number beeps once; a huge one is kept to something a person bears.
        bool ok = false;
        const int count = options.countsn.trimmed().toInt(&ok);
        m_parts.view->beep(PresenceView::Beep::Speaker, ok ? std::clamp(count, 0, 20) : 1, QString());
    }
}

void Presence::msgsound()
{
    const OptionValues &options = m_parts.options->values();
    if (!options.cb4)
        return;
    if (!m_parts.view->mainWindowActive() || options.snd_awi)
        notifysound();
}

QColor Presence::statusColour(int status) const
{
    const OptionValues &options = m_parts.options->values();
    return FontOptions::colour(status == 1 ? options.u_busy : status == 2 ? options.u_offl : options.u_free);
}

void Presence::setInitialStatus(int status)
{
    m_status = (status >= 0 && status <= 2) ? status : 0;
    m_parts.view->showOwnStatus(m_status, statusColour(m_status));
}

void Presence::ComboBox1Change(int status, bool byActivityMonitor)
{
    if (status < 0 || status > 2)
        return;
    m_parts.autoAnswer->disarm();
    if (status == 2 && m_parts.options->values().CheckBox6 && !byActivityMonitor)
        m_parts.view->askAutoAnswerText();
    m_status = status;
    m_parts.view->showOwnStatus(m_status, statusColour(m_status));
    sendtoall(SystemMessage::statusNoticeBody(m_status, m_namefield));
}

void Presence::sendtoall(const QByteArray &message)
{
    const QByteArray whole = message + ']';
    for (int row = 1; row < ContactTable::MAXUSERS; ++row) {
        const QString address = m_parts.table->cell(row, ContactTable::Address);
        const QString trimmed = address.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'-') || !m_parts.table->user(row)->connected)
            continue;
        sendaddr(address, m_parts.table->rowport(row), whole);
        QCoreApplication::processEvents();
    }
}

void Presence::sendNameNotice()
{
    sendtoall(SystemMessage::nameNoticeBody(m_namefield, m_parts.options->values().add_inf));
}

void Presence::keepselection()
{
    m_parts.roster->keepselection();
}

void Presence::rebuildroster()
{
    m_parts.roster->rebuildroster();
}

void Presence::sendOfflineNoticeForDeletedRow(int row)
{
    sendaddr(m_parts.table->cell(row, ContactTable::Address), m_parts.table->rowport(row), SystemMessage::offlineNotice());
    // The job must get its connection out before the row goes.
    QEventLoop wait;
    QTimer::singleShot(1000, &wait, &QEventLoop::quit);
    wait.exec();
}
