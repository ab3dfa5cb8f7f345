#include "addressexchange.h"

#include "parlixapp.h"
#include "settingscontroller.h"

#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "net/sendjobs.h"
#include "presence/addresslist.h"
#include "presence/presence.h"
#include "platform/tempfiles.h"
#include "ui/dialogs.h"
#include "ui/tform2.h"
#include "ui/tform9.h"

#include <QFile>

AddressExchange::AddressExchange(ParlixApp &app, QObject *parent)
    : QObject(parent)
    , m_app(app)
{
    if (TForm2 *form2 = m_app.form2())
        connect(form2, &TForm2::addressListRequested, this, &AddressExchange::N12Click);
}

AddressExchange::~AddressExchange()
{
    delete m_chooser.data();
}

TForm9 *AddressExchange::chooser() const
{
    return m_chooser.data();
}

void AddressExchange::N12Click()
{
    if (m_chooser)
        return;
    m_chooser = new TForm9(m_app.form2());
    m_chooser->setAttribute(Qt::WA_DeleteOnClose);
    // FormShow: every row that holds an address and is no separator.
    const ContactTable &table = m_app.table();
    QList<TForm9::Item> items;
    for (int row = 1; row < ContactTable::MAXUSERS; ++row) {
        const QString address = table.cell(row, ContactTable::Address);
        if (address.isEmpty() || address.trimmed().startsWith(u'-'))
            continue;
        items.append({row, table.cell(row, ContactTable::Name), address});
    }
    m_chooser->fill(items);
    connect(m_chooser, &TForm9::sendRequested, this, &AddressExchange::Button1Click);
    m_chooser->setWindowModality(Qt::ApplicationModal);
    m_chooser->show();
}

void AddressExchange::Button1Click()
{
    const ContactTable &table = m_app.table();
    QStringList addresses;
    for (const int row : m_chooser->selectedRows())
        addresses << table.cell(row, ContactTable::Address);
    const QByteArray bytes = AddressList::encode(addresses);
    const QString sender = m_app.options().values().usernam;
    for (int row = 1; row < ContactTable::MAXUSERS; ++row) {
        if (!table.user(row)->selected)
            continue;
        // A job deletes its file when done, so every recipient gets a copy of its own.
        QFile file;
        const QString path = TempFiles::create(file);
        if (path.isEmpty()) {
            m_app.log()(QStringLiteral("sendfileto3: no temporary file in ") + TempFiles::folder());
            continue;
        }
        const bool written = file.write(bytes) == bytes.size() && file.flush();
        file.close();
        m_app.log()(QStringLiteral("sendfileto3 begin"));
        const bool started = written
            && m_app.jobs().sendfileto3('5', path, table.cell(row, ContactTable::Address), table.rowport(row),
                                        table.cell(row, ContactTable::Name), sender);
        m_app.log()(QStringLiteral("sendfileto3 end"));
        if (!started)
            QFile::remove(path);
        if (!m_chooser)
            return; // the copy ended while waiting for a free job slot
    }
    m_chooser->close();
}

void AddressExchange::analyze22List(const QByteArray &received, const QString &sender)
{
    const QList<QByteArray> lines = AddressList::parse(received);
    if (TForm2 *form2 = m_app.form2(); form2 && form2->isHidden() && !Dialogs::headless()) {
        form2->showNormal();
        form2->raise();
    }
    m_app.presence().msgsound();
    if (!m_app.prompt().question(QStringLiteral("Принять список адресов от ") + sender + QStringLiteral(" ?"))) {
        emit listHandled(0);
        return;
    }
    ContactTable &table = m_app.table();
    QStringList cells;
    for (int row = 0; row < ContactTable::MAXUSERS; ++row)
        cells << table.cell(row, ContactTable::Address);
    const QList<AddressList::Fill> fills = AddressList::plan(cells, lines);
    for (const AddressList::Fill &fill : fills)
        table.setCell(fill.row, ContactTable::Address, fill.address);
    if (!fills.isEmpty()) {
        m_app.savesettings();
        m_app.settingsController().restartPresence();
    }
    emit listHandled(int(fills.size()));
}
