// The address list's bytes and the filling of free rows, and the settings fields' small rules.
#include "contacts/optionrules.h"
#include "contacts/optionvalues.h"
#include "presence/addresslist.h"

#include <QTest>

namespace {

using Lines = QList<QByteArray>;
using Fills = QList<AddressList::Fill>;

// Address cells indexed by row, 0 to 100: the given rows hold these addresses, the rest are free.
QStringList table(const QMap<int, QString> &used)
{
    QStringList cells;
    for (int row = 0; row <= 100; ++row)
        cells << used.value(row);
    return cells;
}

QMap<int, QString> allUsedBut(QList<int> freeRows)
{
    QMap<int, QString> used;
    for (int row = 1; row <= 100; ++row)
        if (!freeRows.contains(row))
            used[row] = QStringLiteral("-");
    return used;
}

} // namespace

class TestAddressList : public QObject
{
    Q_OBJECT
private slots:
    void encode_data()
    {
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("none") << QStringList() << QByteArray();
        QTest::newRow("two") << QStringList{"192.168.1.5", "pc7"} << QByteArray("192.168.1.5\r\npc7\r\n");
        QTest::newRow("cyrillic name in 1251") << QStringList{QStringLiteral("пк")} << QByteArray("\xef\xea\r\n");
        QTest::newRow("empty cell kept") << QStringList{"a", "", "b"} << QByteArray("a\r\n\r\nb\r\n");
    }
    void encode()
    {
        QFETCH(QStringList, addresses);
        QFETCH(QByteArray, bytes);
        QCOMPARE(AddressList::encode(addresses), bytes);
    }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<Lines>("lines");
        QTest::newRow("nothing") << QByteArray() << Lines();
        QTest::newRow("only the file name") << QByteArray("12345678\r") << Lines();
        QTest::newRow("file name and list") << QByteArray("12345678\r10.0.0.1\r\npc2\r\n") << Lines{"10.0.0.1", "pc2"};
        QTest::newRow("lone CR and LF") << QByteArray("n\ra\rb\nc") << Lines{"a", "b", "c"};
        QTest::newRow("LF CR is two breaks") << QByteArray("n\ra\n\rb") << Lines{"a", "", "b"};
        QTest::newRow("empty lines kept") << QByteArray("n\r\r\na\r\n\r\n") << Lines{"", "a", ""};
        QTest::newRow("binary bytes") << QByteArray("n\r\x01\xff\x7f\r\n") << Lines{"\x01\xff\x7f"};
    }
    void parse()
    {
        QFETCH(QByteArray, received);
        QFETCH(Lines, lines);
        QCOMPARE(AddressList::parse(received), lines);
    }

    void roundTrip()
    {
        const QStringList addresses{"127.0.0.1", "host-a", QStringLiteral("пк-3")};
        const Lines lines = AddressList::parse("87654321\r" + AddressList::encode(addresses));
        QCOMPARE(lines.size(), 3);
        const Fills fills = AddressList::plan(table({}), lines);
        QCOMPARE(fills, (Fills{{1, "127.0.0.1"}, {2, "host-a"}, {3, QStringLiteral("пк-3")}}));
    }

    void plan_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<Fills>("fills");
        const QByteArray longLine(101, 'a');
        QTest::newRow("three new into two free rows") << table(allUsedBut({7, 50})) << Lines{"a", "b", "c"}
                                                      << Fills{{7, "a"}, {50, "b"}};
        QTest::newRow("all known") << table({{1, "a"}, {2, "b"}}) << Lines{"b", "a"} << Fills();
        QTest::newRow("no free row") << table(allUsedBut({})) << Lines{"a"} << Fills();
        QTest::newRow("letter case counts") << table({{1, "PC1"}}) << Lines{"pc1"} << Fills{{2, "pc1"}};
        QTest::newRow("blanks count") << table({{1, "pc1"}}) << Lines{" pc1"} << Fills{{2, " pc1"}};
        QTest::newRow("empty lines skipped") << table({{1, "a"}}) << Lines{"", "b", ""} << Fills{{2, "b"}};
        QTest::newRow("repeated line once") << table({}) << Lines{"a", "a", "b"} << Fills{{1, "a"}, {2, "b"}};
        QTest::newRow("separator cell is no free row") << table({{1, "-"}, {2, " "}}) << Lines{"a"} << Fills{{3, "a"}};
        QTest::newRow("100 characters kept") << table({}) << Lines{QByteArray(100, 'a')}
                                             << Fills{{1, QString(100, u'a')}};
        QTest::newRow("longer dropped") << table({}) << Lines{longLine, "b"} << Fills{{1, "b"}};
        QTest::newRow("binary bytes decoded") << table({}) << Lines{"\xc0\x01"}
                                              << Fills{{1, QStringLiteral("А\u0001")}};
    }
    void plan()
    {
        QFETCH(QStringList, cells);
        QFETCH(Lines, lines);
        QFETCH(Fills, fills);
        QCOMPARE(AddressList::plan(cells, lines), fills);
    }

    // A list of any size fills at most the free rows, each with a line of its own.
    void hugeListFillsOnlyFreeRows_data()
    {
        QTest::addColumn<QByteArray>("received");
        QByteArray tenThousand = "00000001\r\n";
        for (int i = 0; i < 10000; ++i)
            tenThousand += "10.1." + QByteArray::number(i / 256) + '.' + QByteArray::number(i % 256) + "\r\n";
        QByteArray binary = "00000002\r";
        for (int i = 0; i < (1 << 20); ++i)
            binary += char((i * 131 + 7) % 255 + 1); // every byte but zero, CR and LF among them
        QByteArray longLines = "00000003\r";
        for (int i = 0; i < 8; ++i)
            longLines += QByteArray(100000, char('a' + i)) + "\r\n";
        QByteArray breaks = "00000004\r" + QByteArray(1 << 20, '\n');
        QTest::newRow("10,000 lines") << tenThousand;
        QTest::newRow("binary bytes") << binary;
        QTest::newRow("very long lines") << longLines;
        QTest::newRow("a megabyte of line breaks") << breaks;
    }
    void hugeListFillsOnlyFreeRows()
    {
        QFETCH(QByteArray, received);
        for (const QList<int> &freeRows : {QList<int>{}, QList<int>{3}, QList<int>{20, 99, 100}}) {
            const QStringList cells = table(allUsedBut(freeRows));
            const Fills fills = AddressList::plan(cells, AddressList::parse(received));
            QVERIFY(fills.size() <= freeRows.size());
            QSet<QString> addresses;
            for (int i = 0; i < fills.size(); ++i) {
                QCOMPARE(fills[i].row, freeRows[i]);
                QVERIFY(!fills[i].address.isEmpty());
                QVERIFY(fills[i].address.size() <= AddressList::kMaxAddress);
                QVERIFY(!fills[i].address.contains(u'\r') && !fills[i].address.contains(u'\n'));
                addresses.insert(fills[i].address);
            }
            QCOMPARE(addresses.size(), fills.size());
        }
    }

    void savedir_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << QString() << OptionValues::defaultSavedir();
        QTest::newRow("no final slash") << "/srv/in" << "/srv/in/";
        QTest::newRow("final slash") << "/srv/in/" << "/srv/in/";
        QTest::newRow("root") << "/" << "/";
    }
    void savedir()
    {
        QFETCH(QString, field);
        QFETCH(QString, shown);
        QCOMPARE(OptionRules::savedir(field), shown);
    }

    void count_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("up");
        QTest::addColumn<QString>("down");
        QTest::newRow("zero stays") << "0" << "1" << "0";
        QTest::newRow("three") << "3" << "4" << "2";
        QTest::newRow("no number counts as 1") << "x" << "2" << "0";
        QTest::newRow("empty counts as 1") << "" << "2" << "0";
        QTest::newRow("negative") << "-2" << "-1" << "-2";
    }
    void count()
    {
        QFETCH(QString, field);
        QFETCH(QString, up);
        QFETCH(QString, down);
        QCOMPARE(OptionRules::countUp(field), up);
        QCOMPARE(OptionRules::countDown(field), down);
    }

    void pastedName_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("name");
        QTest::newRow("short") << "Anna" << "Anna";
        QTest::newRow("brackets dropped") << "[Anna]" << "Anna";
        QTest::newRow("cut to 15") << "abcdefghijklmnopqrstu" << "abcdefghijklmno";
        QTest::newRow("brackets before the cut") << "[[[[abcdefghijklmnop]" << "abcdefghijklmno";
    }
    void pastedName()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, name);
        QCOMPARE(OptionRules::pastedName(pasted), name);
    }
};

QTEST_GUILESS_MAIN(TestAddressList)
#include "test_addresslist.moc"
