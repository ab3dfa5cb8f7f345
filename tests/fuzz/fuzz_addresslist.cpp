// libFuzzer target: a received address list (request kind "5") as any bytes. The first byte says
// how many rows of the receiver's table are taken; the rest is the collected text. The lines
// never hold a line break, writing them out as a list file and reading that back gives as many,
// and the plan fills only free rows, each once, with new addresses a row can keep.
#include "platform/codepage.h"
#include "presence/addresslist.h"

#include <QSet>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int taken = data[0] % 101;
    const QByteArray received(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);
    const QList<QByteArray> lines = AddressList::parse(received);
    QStringList addresses;
    for (const QByteArray &line : lines) {
        if (line.contains('\r') || line.contains('\n'))
            __builtin_trap();
        addresses << CodePage::toUnicode(line);
    }
    if (AddressList::parse("12345678\r\n" + AddressList::encode(addresses)).size() != lines.size())
        __builtin_trap();

    QStringList cells(101);
    for (int row = 1; row <= taken; ++row)
        cells[row] = row % 7 == 0 ? QStringLiteral("-") : QStringLiteral("127.0.0.%1").arg(row);
    const QList<AddressList::Fill> fills = AddressList::plan(cells, lines);
    QSet<int> rows;
    QSet<QString> added;
    for (const AddressList::Fill &fill : fills) {
        if (fill.row < 1 || fill.row > 100 || !cells[fill.row].isEmpty() || rows.contains(fill.row))
            __builtin_trap(); // only free rows, each once
        if (fill.address.isEmpty() || fill.address.size() > AddressList::kMaxAddress || cells.contains(fill.address)
            || added.contains(fill.address))
            __builtin_trap(); // only new addresses, each once
        rows.insert(fill.row);
        added.insert(fill.address);
    }
    if (fills.size() > 100 - taken)
        __builtin_trap();
    return 0;
}
