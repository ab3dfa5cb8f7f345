// The contact table: rows, records that travel with them, the port rule and the list file.
#include "contacts/contacttable.h"
#include "contacts/listfile.h"

#include <QTest>

namespace {

struct RecordingHooks : ContactTableHooks
{
    QList<QString> calls;
    void keepselection() override { calls << "keepselection"; }
    void rebuildroster() override { calls << "rebuildroster"; }
    void sendOfflineNoticeForDeletedRow(int row) override { calls << QString("offline %1").arg(row); }
};

// Rows named "n<row>" with address "10.0.0.<row>"; each record remembers its row in peeraddr.
void fill(ContactTable &table)
{
    for (int row = 1; row <= 100; ++row) {
        table.setCell(row, ContactTable::Name, QString("n%1").arg(row));
        table.setCell(row, ContactTable::Address, QString("10.0.0.%1").arg(row));
        table.user(row)->peeraddr = QString("rec%1").arg(row);
    }
}

} // namespace

class TestContactTable : public QObject
{
    Q_OBJECT
private slots:
    void rowport_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("port");
        QTest::newRow("blank") << "" << 7456;
        QTest::newRow("spaces") << "   " << 7456;
        QTest::newRow("number") << " 8000 " << 8000;
        QTest::newRow("not a number") << "80a" << 7456;
        QTest::newRow("hex is not decimal") << "0x10" << 7456;
        QTest::newRow("no TCP port") << "70000" << 7456;
        QTest::newRow("zero") << "0" << 7456;
    }
    void rowport()
    {
        QFETCH(QString, cell);
        QFETCH(int, port);
        ContactTable table;
        table.setCell(3, ContactTable::Port, cell);
        QCOMPARE(table.rowport(3), port);
    }

    void freshTableHasRecordsOnlyForContactRows()
    {
        ContactTable table;
        QVERIFY(!table.user(0));
        QVERIFY(!table.user(101));
        for (int row = 1; row <= 100; ++row) {
            QVERIFY(table.user(row));
            QCOMPARE(table.user(row)->listindex, -1);
            QVERIFY(!table.user(row)->connected);
        }
    }

    void deleteMovesRowsUpWithTheirRecords()
    {
        ContactTable table;
        RecordingHooks hooks;
        table.setHooks(&hooks);
        fill(table);
        table.user(6)->connected = true;
        table.deleterow(5);
        QCOMPARE(hooks.calls, (QList<QString>{"keepselection", "rebuildroster"})); // row 5 was not connected
        QCOMPARE(table.cell(5, ContactTable::Name), QString("n6"));
        QCOMPARE(table.user(5)->peeraddr, QString("rec6"));
        QVERIFY(table.user(5)->connected);
        QCOMPARE(table.cell(99, ContactTable::Address), QString("10.0.0.100"));
        QCOMPARE(table.cell(100, ContactTable::Name), QString());
        QCOMPARE(table.user(100)->peeraddr, QString());
        QVERIFY(!table.user(100)->connected);

        hooks.calls.clear();
        table.deleterow(5); // now connected: the peer is told first
        QCOMPARE(hooks.calls, (QList<QString>{"keepselection", "offline 5", "rebuildroster"}));
    }

    void insertDropsRowHundred()
    {
        ContactTable table;
        fill(table);
        table.insertrow(1);
        QCOMPARE(table.cell(1, ContactTable::Name), QString());
        QCOMPARE(table.user(1)->peeraddr, QString());
        QCOMPARE(table.cell(2, ContactTable::Name), QString("n1"));
        QCOMPARE(table.user(2)->peeraddr, QString("rec1"));
        QCOMPARE(table.cell(100, ContactTable::Name), QString("n99"));
        for (int row = 1; row <= 100; ++row)
            QVERIFY(table.user(row)->peeraddr != "rec100");
    }

    void separatorRow()
    {
        ContactTable table;
        fill(table);
        table.insertseparator(3, QStringLiteral("Бухгалтерия"));
        QCOMPARE(table.cell(3, ContactTable::Address), QString("-"));
        QCOMPARE(table.cell(3, ContactTable::Name), QStringLiteral("Бухгалтерия"));
        QCOMPARE(table.cell(4, ContactTable::Name), QString("n3"));
        QVERIFY(ContactTable::isSeparatorForRoster(" -x"));
        QVERIFY(!ContactTable::isSeparatorForRoster("10.0.0.1"));
    }

    void moveKeepsConnectionAndStatus_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("down") << 2 << 7;
        QTest::newRow("up") << 7 << 2;
        QTest::newRow("to the end") << 1 << 100;
    }
    void moveKeepsConnectionAndStatus()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        ContactTable table;
        fill(table);
        table.user(from)->connected = true;
        table.user(from)->status = 2;
        table.moverow(from, to);
        QCOMPARE(table.cell(to, ContactTable::Name), QString("n%1").arg(from));
        QVERIFY(table.user(to)->connected);
        QCOMPARE(table.user(to)->status, 2);
        // The rows between shift by one towards `from`, with their records.
        const int step = from < to ? 1 : -1;
        for (int row = from; row != to; row += step) {
            QCOMPARE(table.cell(row, ContactTable::Name), QString("n%1").arg(row + step));
            QCOMPARE(table.user(row)->peeraddr, QString("rec%1").arg(row + step));
        }
    }

    void listFileRecordLayout()
    {
        ListFile::Cells cells = {QStringLiteral("Иван"), "192.168.1.5", "", "info", "notes"};
        const QByteArray record = ListFile::encodeRecord(7, cells);
        QCOMPARE(record.size(), 511);
        QCOMPARE(record.left(6), QByteArray("0007\0\0", 6));
        QCOMPARE(record.mid(6, 5), QByteArray("\xc8\xe2\xe0\xed\0", 5));
        QCOMPARE(record.mid(107, 12), QByteArray("192.168.1.5\0", 12));
        QCOMPARE(record.mid(309, 5), QByteArray("info\0", 5));
        QCOMPARE(record.mid(410, 6), QByteArray("notes\0", 6));
        QCOMPARE(record.count('\0'), 511 - 4 - 4 - 11 - 4 - 5);
    }

    void listFileRoundTripAndLimits()
    {
        ListFile::Table table;
        table[1] = {QString(150, u'я'), "host", "7000", "", ""};
        table[100] = {"last", "10.0.0.100", "", "", ""};
        const QByteArray bytes = ListFile::encode(table);
        QCOMPARE(bytes.size(), 51611);
        const ListFile::Table back = ListFile::decode(bytes);
        QCOMPARE(back[1][0], QString(100, u'я')); // 100 characters are saved
        QCOMPARE(back[1][2], QString("7000"));
        QCOMPARE(back[100][1], QString("10.0.0.100"));
        QCOMPARE(ListFile::encode(back), bytes);

        // A short file loads what it has; a field without its zero stops at the field's edge.
        QByteArray damaged = bytes.left(2 * 511 + 100);
        damaged.replace(511 + 6, 101, QByteArray(101, 'x'));
        const ListFile::Table partial = ListFile::decode(damaged);
        QCOMPARE(partial[1][0], QString(100, u'x'));
        QCOMPARE(partial[1][1], QString("host"));
        QCOMPARE(partial[2][0], QString());
    }
};

QTEST_GUILESS_MAIN(TestContactTable)
#include "test_contacttable.moc"
