#include "listfile.h"

#include "platform/codepage.h"

QByteArray ListFile::encodeRecord(int row, const Cells &cells)
{
    QByteArray record(kRecordSize, '\0');
    const QByteArray number = QByteArray::number(row).rightJustified(4, '0');
    record.replace(0, number.size(), number);
    for (int c = 0; c < 5; ++c) {
        const QByteArray bytes = CodePage::fromUnicode(cells[c].left(100));
        // A character 1251 lacks, or a zero inside a cell, must not shift or cut the field.
        record.replace(kFieldOffsets[c], qMin<qsizetype>(bytes.size(), 100), bytes.left(100));
    }
    return record;
}

QByteArray ListFile::encode(const Table &table)
{
    QByteArray out;
    out.reserve(kRows * kRecordSize);
    for (int row = 0; row < kRows; ++row)
        out += encodeRecord(row, table[row]);
    return out;
}

ListFile::Table ListFile::decode(const QByteArray &bytes, Table table)
{
    for (int row = 0; row < kRows; ++row) {
        const qsizetype start = qsizetype(row) * kRecordSize;
        if (start + kRecordSize > bytes.size())
            break;
        for (int c = 0; c < 5; ++c) {
            const char *field = bytes.constData() + start + kFieldOffsets[c];
            // A field without its zero (a damaged file) ends at the field's edge, not in the next one.
            qsizetype length = 0;
            while (length < kFieldSize - 1 && field[length] != '\0')
                ++length;
            table[row][c] = CodePage::toUnicode(QByteArray(field, length));
        }
    }
    return table;
}
