#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// "pxusers.ini": one 511-byte record per table row, rows 0 to 100, no header. A record holds the
// row number as "%4.4d" and a zero, then five zero-padded 101-byte fields (the first 100
// characters of each cell in Windows-1251). Records are read by position.
class ListFile
{
public:
    static constexpr int kRows = 101;
    static constexpr int kRecordSize = 511;
    static constexpr int kFieldSize = 101;
    static constexpr int kFieldOffsets[5] = {6, 107, 208, 309, 410};

    using Cells = std::array<QString, 5>;         // columns 1 to 5
    using Table = std::array<Cells, kRows>;

    static QByteArray encodeRecord(int row, const Cells &cells);
    static QByteArray encode(const Table &table);
    // Rows whose record is missing or incomplete keep what `base` holds for them.
    static Table decode(const QByteArray &bytes, Table base = Table());
};
