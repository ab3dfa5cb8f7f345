#include "contacttable.h"

ContactTable::ContactTable(QObject *parent)
    : QObject(parent)
{
    for (int row = 1; row < MAXUSERS; ++row)
        m_users[row] = std::make_unique<Users>();
}

QString ContactTable::cell(int row, int column) const
{
    if (row < 0 || row >= MAXUSERS || column < 0 || column > 5)
        return QString();
    return m_cells[row][column];
}

void ContactTable::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= MAXUSERS || column < 0 || column > 5 || m_cells[row][column] == text)
        return;
    m_cells[row][column] = text;
    emit changed();
}

Users *ContactTable::user(int row) const
{
    if (row < 1 || row >= MAXUSERS)
        return nullptr;
    return m_users[row].get();
}

int ContactTable::portFromCell(const QString &cell)
{
    // Blank, not a decimal number, or no TCP port at all (0, above 65535): the usual 7456.
    const QString trimmed = cell.trimmed();
    for (const QChar c : trimmed)
        if (c < u'0' || c > u'9')
            return 7456;
    bool ok = false;
    const uint port = trimmed.toUInt(&ok);
    return ok && port >= 1 && port <= 65535 ? int(port) : 7456;
}

int ContactTable::rowport(int row) const
{
    return portFromCell(cell(row, Port));
}

void ContactTable::setHeaderTitles()
{
    static const char16_t *const titles[5] = {u"Клиент", u"IP или сетевое имя", u"Порт",
                                              u"Дополнительная инф-я", u"Заметки о клиенте"};
    for (int c = 0; c < 5; ++c)
        m_cells[0][c + 1] = QString::fromUtf16(titles[c]);
    emit changed();
}

void ContactTable::clearRow(int row)
{
    for (QString &text : m_cells[row])
        text.clear();
}

void ContactTable::moveRowData(int from, int to)
{
    m_cells[to] = std::move(m_cells[from]);
    m_users[to] = std::move(m_users[from]);
}

void ContactTable::deleterow(int row)
{
    if (row < 1 || row >= MAXUSERS)
        return;
    m_hooks->keepselection();
    if (m_users[row] && m_users[row]->connected)
        m_hooks->sendOfflineNoticeForDeletedRow(row);
    m_users[row].reset();
    clearRow(row);
    for (int r = row; r < MAXUSERS - 1; ++r)
        moveRowData(r + 1, r);
    clearRow(MAXUSERS - 1);
    m_users[MAXUSERS - 1] = std::make_unique<Users>();
    m_hooks->rebuildroster();
    emit changed();
}

void ContactTable::insertBlankRow(int row)
{
    m_users[MAXUSERS - 1].reset();
    for (int r = MAXUSERS - 1; r > row; --r)
        moveRowData(r - 1, r);
    clearRow(row);
    m_users[row] = std::make_unique<Users>();
}

void ContactTable::insertrow(int row)
{
    if (row < 1 || row >= MAXUSERS)
        return;
    m_hooks->keepselection();
    insertBlankRow(row);
    m_hooks->rebuildroster();
    emit changed();
}

void ContactTable::insertseparator(int row, const QString &label)
{
    if (row < 1 || row >= MAXUSERS)
        return;
    m_hooks->keepselection();
    insertBlankRow(row);
    m_cells[row][Address] = QStringLiteral("-");
    m_cells[row][Name] = label;
    m_hooks->rebuildroster();
    emit changed();
}

void ContactTable::moverow(int from, int to)
{
    if (from < 1 || from >= MAXUSERS || to < 1 || to >= MAXUSERS || from == to)
        return;
    m_hooks->keepselection();
    auto cells = std::move(m_cells[from]);
    auto record = std::move(m_users[from]);
    if (from < to) {
        for (int r = from; r < to; ++r)
            moveRowData(r + 1, r);
    } else {
        for (int r = from; r > to; --r)
            moveRowData(r - 1, r);
    }
    m_cells[to] = std::move(cells);
    m_users[to] = std::move(record);
    m_hooks->rebuildroster();
    emit changed();
}

ListFile::Table ContactTable::cells() const
{
    ListFile::Table table;
    for (int row = 0; row < MAXUSERS; ++row)
        for (int c = 0; c < 5; ++c)
            table[row][c] = m_cells[row][c + 1];
    return table;
}

void ContactTable::setCells(const ListFile::Table &table)
{
    for (int row = 0; row < MAXUSERS; ++row)
        for (int c = 0; c < 5; ++c)
            m_cells[row][c + 1] = table[row][c];
    emit changed();
}

std::vector<ContactRowSnapshot> ContactTable::snapshot() const
{
    std::vector<ContactRowSnapshot> rows(MAXUSERS);
    for (int row = 1; row < MAXUSERS; ++row) {
        ContactRowSnapshot &s = rows[row];
        s.name = m_cells[row][Name];
        s.address = m_cells[row][Address];
        s.port = m_cells[row][Port];
        if (const Users *u = m_users[row].get()) {
            s.connected = u->connected;
            s.status = u->status;
            s.peeraddr = u->peeraddr;
        }
    }
    return rows;
}
