// libFuzzer target: the contact list file "pxusers.ini" as a damaged or hostile file may hold it.
// Reading never reaches past a field; whatever was read writes back as 101 whole records, and
// reading that again is stable.
#include "contacts/listfile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ListFile::Table table = ListFile::decode(bytes);
    for (const ListFile::Cells &row : table)
        for (const QString &cell : row)
            if (cell.size() > ListFile::kFieldSize - 1)
                __builtin_trap();
    const QByteArray written = ListFile::encode(table);
    if (written.size() != qsizetype(ListFile::kRows) * ListFile::kRecordSize)
        __builtin_trap();
    const ListFile::Table again = ListFile::decode(written);
    if (ListFile::decode(ListFile::encode(again)) != again)
        __builtin_trap();
    // A short file keeps what the base held for the rows it lacks.
    ListFile::Table base;
    base[100][0] = QStringLiteral("kept");
    if (size < std::size_t(ListFile::kRows) * ListFile::kRecordSize
        && ListFile::decode(bytes, base)[100][0] != QLatin1String("kept"))
        __builtin_trap();
    return 0;
}
