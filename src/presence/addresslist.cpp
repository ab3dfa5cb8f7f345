#include "addresslist.h"

#include "platform/codepage.h"

#include <QSet>

QByteArray AddressList::encode(const QStringList &addresses)
{
    QByteArray bytes;
    for (const QString &address : addresses)
        bytes += CodePage::fromUnicode(address) + "\r\n";
    return bytes;
}

QList<QByteArray> AddressList::parse(const QByteArray &received)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    bool first = true;
    const qsizetype size = received.size();
    while (start <= size) {
        qsizetype end = start;
        while (end < size && received[end] != '\r' && received[end] != '\n')
            ++end;
        if (!first)
            lines.append(received.mid(start, end - start));
        first = false;
        if (end >= size)
            break;
        // CR LF is one break; a lone CR or LF is one too.
        start = end + ((received[end] == '\r' && end + 1 < size && received[end + 1] == '\n') ? 2 : 1);
        if (start == size)
            break; // a final line break ends the last line, it does not open an empty one
    }
    return lines;
}

QList<AddressList::Fill> AddressList::plan(const QStringList &addressCells, const QList<QByteArray> &lines)
{
    QList<int> freeRows;
    QSet<QString> known;
    for (int row = 1; row < addressCells.size(); ++row) {
        if (addressCells[row].isEmpty())
            freeRows.append(row);
        known.insert(addressCells[row]);
    }
    QList<Fill> fills;
    for (const QByteArray &line : lines) {
        if (fills.size() == freeRows.size())
            break; // the table is full: every further line would be dropped
        if (line.size() > kMaxAddress)
            continue;
        const QString address = CodePage::toUnicode(line);
        if (address.isEmpty() || known.contains(address))
            continue;
        known.insert(address);
        fills.append({freeRows[fills.size()], address});
    }
    return fills;
}
