#include "apptransporthost.h"

#include "addressexchange.h"
#include "parlixapp.h"

#include "contacts/contacttable.h"
#include "presence/arrival.h"
#include "presence/autoanswer.h"
#include "presence/presence.h"
#include "ui/dialogs.h"
#include "ui/tform2.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTextCursor>
#include <QTextEdit>

AppTransportHost::AppTransportHost(ParlixApp &app)
    : m_app(app)
{
}

bool AppTransportHost::querygetfile(const QString &fileName, const QString &from)
{
    if (TForm2 *form2 = m_app.form2(); form2 && form2->isHidden() && !Dialogs::headless())
        form2->showNormal();
    return m_app.prompt().question(QStringLiteral("Принять файл ") + fileName + QStringLiteral(" от ") + from
                                   + QStringLiteral(" ?"));
}

void AppTransportHost::print(const QString &text)
{
    addline(text, QColor(255, 0, 0));
    m_app.presence().msgsound();
}

void AppTransportHost::prepare2(const QString &path)
{
    Arrival::Content content = Arrival::read(path);
    const QMutexLocker lock(&m_preparedLock);
    m_prepared[path] = std::move(content);
}

void AppTransportHost::append2(const QString &path, const QString &peerip, bool letter)
{
    emit m_app.messageArrived(path, peerip, letter);
    Arrival::Content content;
    {
        const QMutexLocker lock(&m_preparedLock);
        auto it = m_prepared.find(path);
        if (it == m_prepared.end()) {
            content = Arrival::read(path);
        } else {
            content = std::move(it->second);
            m_prepared.erase(it);
        }
    }
    m_app.arrival().append2(path, peerip, letter, std::move(content));
}

void AppTransportHost::analyze1(const QByteArray &text, const QString &peerip, const QString &peerhost)
{
    emit m_app.systemMessageArrived(text, peerip);
    m_app.presence().analyze1(text, peerip, peerhost);
}

void AppTransportHost::analyze22(const QByteArray &text, const QString &sender, int code, const QString &peerip,
                                 const QString &/*peerhost*/)
{
    emit m_app.noticeArrived(text, sender, code, peerip);
    if (code == 22)
        m_app.presence().analyze22Notice(text, sender);
    else
        m_app.addressExchange().analyze22List(text, sender);
}

void AppTransportHost::addline(const QString &text, const QColor &colour)
{
    m_app.presence().addline(text, colour);
}

void AppTransportHost::disconnectaddr(const QString &address)
{
    emit m_app.peerUnreachable(address);
    m_app.presence().disconnectaddr(address);
}

void AppTransportHost::setStatusField(const QString &text)
{
    if (TForm2 *form2 = m_app.form2())
        form2->RxLabel2()->setText(text);
    emit m_app.statusFieldChanged(text);
}

QString AppTransportHost::statusFieldText() const
{
    TForm2 *form2 = m_app.form2();
    return form2 ? form2->RxLabel2()->text() : QString();
}

void AppTransportHost::setTransferIndicator(bool running)
{
    if (TForm2 *form2 = m_app.form2()) {
        QPalette pal = form2->RxLabel3()->palette();
        pal.setColor(QPalette::Window, running ? QColor(0, 255, 0) : QApplication::palette().color(QPalette::Button));
        form2->RxLabel3()->setPalette(pal);
    }
}

int AppTransportHost::replyPort(const QString &address)
{
    // The last row that last saw the peer at this address gives the port.
    ContactTable &table = m_app.table();
    int port = 7456;
    for (int row = 1; row < ContactTable::MAXUSERS; ++row) {
        if (table.user(row)->peeraddr == address)
            port = table.rowport(row);
    }
    return port;
}

QStringList AppTransportHost::accessRows()
{
    QStringList rows;
    ContactTable &table = m_app.table();
    for (int row = 1; row < ContactTable::MAXUSERS; ++row)
        rows << table.cell(row, ContactTable::Address);
    return rows;
}

std::optional<QString> AppTransportHost::autoAnswer() const
{
    return m_app.autoAnswer().text();
}
