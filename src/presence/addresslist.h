#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The contact address lists peers send each other (request kind "5"): the file a sender writes
// and the text a receiver collects. Pure functions: no table, no socket, no file.
class AddressList
{
public:
    // The longest address a row keeps: the list file saves only the first 100 characters of a
    // cell, so a longer line could never be the address it claims to be after the next start.
    static constexpr int kMaxAddress = 100;

    // The list file: every address in Windows-1251, each ended by CR LF, in the given order.
    static QByteArray encode(const QStringList &addresses);

    // The received text without its first line (the sender's file name), split at CR, LF or the
    // pair CR LF. Every other line is one address, empty lines included.
    static QList<QByteArray> parse(const QByteArray &received);

    struct Fill
    {
        int row = 0;
        QString address;
        bool operator==(const Fill &other) const = default;
    };
    // Which free rows take which received lines. `addressCells` holds the address cells of the
    // table indexed by row (index 0, the header, is not looked at). In order, each line goes to
    // the first row whose address is still exactly empty; a line equal to any row's address
    // (the empty line too), or longer than kMaxAddress, is skipped; once no free row is left
    // the rest of the list is dropped.
    static QList<Fill> plan(const QStringList &addressCells, const QList<QByteArray> &lines);
};
