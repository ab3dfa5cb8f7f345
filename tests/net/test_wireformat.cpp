#include "net/wireformat.h"

#include <QTest>

class TestWireFormat : public QObject
{
    Q_OBJECT

private slots:
    void requestHeader_data();
    void requestHeader();
    void textRequest();
    void replies();
    void isGo_data();
    void isGo();
    void kinds_data();
    void kinds();
    void portFromCell_data();
    void portFromCell();
    void appendTextChunk_data();
    void appendTextChunk();
    void appendTextChunkStopsAtLimit();
};

void TestWireFormat::requestHeader_data()
{
    QTest::addColumn<char>("kind");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("file") << '0' << "Bob" << "report.doc"
                          << QByteArray("5183chatlink294\r0\rBob\rreport.doc\r");
    QTest::newRow("message") << '1' << "Bob" << "12345678"
                             << QByteArray("5183chatlink294\r1\rBob\r12345678\r");
    QTest::newRow("letter") << '2' << "Bob" << "87654321"
                            << QByteArray("5183chatlink294\r2\rBob\r87654321\r");
    QTest::newRow("system has no file line") << '3' << "Bob" << "ignored"
                                             << QByteArray("5183chatlink294\r3\rBob\r");
    QTest::newRow("notice has no file line") << '4' << "Bob" << QString()
                                             << QByteArray("5183chatlink294\r4\rBob\r");
    QTest::newRow("address list") << '5' << "Bob" << "11112222"
                                  << QByteArray("5183chatlink294\r5\rBob\r11112222\r");
    QTest::newRow("cyrillic in 1251") << '0' << QString::fromUtf8("Вася") << QString::fromUtf8("отчёт.txt")
                                      << QByteArray("5183chatlink294\r0\r\xC2\xE0\xF1\xFF\r\xEE\xF2\xF7\xB8\xF2.txt\r");
    QTest::newRow("directory dropped") << '0' << "Bob" << "/home/bob/COMMON/a b.txt"
                                       << QByteArray("5183chatlink294\r0\rBob\ra b.txt\r");
    QTest::newRow("cr and zero in fields become blanks")
        << '1' << QStringLiteral("Bo\rb") << QString(QStringLiteral("12\r34") + QChar(0) + u'5')
        << QByteArray("5183chatlink294\r1\rBo b\r12 34 5\r");
    QTest::newRow("empty sender") << '4' << QString() << QString()
                                  << QByteArray("5183chatlink294\r4\r\r");
    QTest::newRow("character without 1251 form") << '4' << QString::fromUtf8("a€✓") << QString()
                                                  << QByteArray("5183chatlink294\r4\ra\x88?\r");
}

void TestWireFormat::requestHeader()
{
    QFETCH(char, kind);
    QFETCH(QString, sender);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, expected);
    QCOMPARE(WireFormat::requestHeader(kind, sender, fileName), expected);
}

void TestWireFormat::textRequest()
{
    QCOMPARE(WireFormat::textRequest('4', "Bob", " two words"),
             QByteArray("5183chatlink294\r4\rBob\r two words"));
    QCOMPARE(WireFormat::textRequest('3', QString::fromUtf8("Я"), "[px004]"),
             QByteArray("5183chatlink294\r3\r\xDF\r[px004]"));
    QCOMPARE(WireFormat::preambleLine(), QByteArray("5183chatlink294\r"));
    QCOMPARE(WireFormat::preambleLine().size(), 16);
}

void TestWireFormat::replies()
{
    QCOMPARE(WireFormat::goByte(), QByteArray("1"));
    QCOMPARE(WireFormat::ack(), QByteArray("ok"));
}

void TestWireFormat::isGo_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<bool>("go");
    QTest::newRow("one") << QByteArray("1") << true;
    QTest::newRow("two is refusal") << QByteArray("2") << false;
    QTest::newRow("nothing") << QByteArray() << false;
    QTest::newRow("zero byte") << QByteArray(1, '\0') << false;
    QTest::newRow("other") << QByteArray("o") << false;
}

void TestWireFormat::isGo()
{
    QFETCH(QByteArray, received);
    QFETCH(bool, go);
    QCOMPARE(WireFormat::isGo(received), go);
}

void TestWireFormat::kinds_data()
{
    QTest::addColumn<char>("kind");
    QTest::addColumn<bool>("known");
    QTest::addColumn<bool>("senderFileLine");
    QTest::addColumn<bool>("receiverFileLine");
    QTest::addColumn<bool>("transfer");
    QTest::addColumn<int>("chunk");
    QTest::newRow("0") << '0' << true << true << true << true << 2048;
    QTest::newRow("1") << '1' << true << true << true << true << 2048;
    QTest::newRow("2") << '2' << true << true << true << true << 2048;
    QTest::newRow("3") << '3' << true << false << false << false << 2048;
    QTest::newRow("4") << '4' << true << false << false << false << 2048;
    QTest::newRow("5") << '5' << true << true << false << true << 512;
    QTest::newRow("6") << '6' << false << false << false << false << 2048;
    QTest::newRow("slash") << '/' << false << false << false << false << 2048;
    QTest::newRow("none") << '\0' << false << false << false << false << 2048;
}

void TestWireFormat::kinds()
{
    QFETCH(char, kind);
    QFETCH(bool, known);
    QFETCH(bool, senderFileLine);
    QFETCH(bool, receiverFileLine);
    QFETCH(bool, transfer);
    QFETCH(int, chunk);
    QCOMPARE(WireFormat::isKnownKind(kind), known);
    QCOMPARE(WireFormat::senderWritesFileName(kind), senderFileLine);
    QCOMPARE(WireFormat::receiverReadsFileName(kind), receiverFileLine);
    QCOMPARE(WireFormat::isTransferKind(kind), transfer);
    QCOMPARE(WireFormat::chunkSize(kind), chunk);
}

void TestWireFormat::portFromCell_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("port");
    QTest::newRow("empty") << QString() << 7456;
    QTest::newRow("blanks") << "   " << 7456;
    QTest::newRow("number") << "7457" << 7457;
    QTest::newRow("number with blanks") << " 8000 " << 8000;
    QTest::newRow("letters") << "abc" << 7456;
    QTest::newRow("digits and letters") << "80a" << 7456;
    QTest::newRow("sign") << "+80" << 7456;
    QTest::newRow("negative") << "-1" << 7456;
    QTest::newRow("zero") << "0" << 7456;
    QTest::newRow("highest") << "65535" << 65535;
    QTest::newRow("too big") << "65536" << 7456;
    QTest::newRow("huge") << "99999999999999999999" << 7456;
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("٨٠") << 7456;
}

void TestWireFormat::portFromCell()
{
    QFETCH(QString, cell);
    QFETCH(int, port);
    QCOMPARE(int(WireFormat::portFromCell(cell)), port);
}

void TestWireFormat::appendTextChunk_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("plain") << QByteArray("ab") << QByteArray("cd") << QByteArray("abcd");
    QTest::newRow("ends at zero") << QByteArray("ab") << QByteArray("c\0d", 3) << QByteArray("abc");
    QTest::newRow("zero first") << QByteArray("ab") << QByteArray("\0cd", 3) << QByteArray("ab");
    QTest::newRow("empty") << QByteArray("ab") << QByteArray() << QByteArray("ab");
    QTest::newRow("high bytes kept") << QByteArray() << QByteArray("\xC0\xFF\r\n")
                                     << QByteArray("\xC0\xFF\r\n");
}

void TestWireFormat::appendTextChunk()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, chunk);
    QFETCH(QByteArray, after);
    // the chunk sits in a larger buffer: nothing beyond its size may be read
    const QByteArray buffer = chunk + "CANARY";
    QByteArray text = before;
    QVERIFY(WireFormat::appendTextChunk(text, QByteArrayView(buffer.constData(), chunk.size())));
    QCOMPARE(text, after);
}

void TestWireFormat::appendTextChunkStopsAtLimit()
{
    const QByteArray chunk(WireFormat::kChunkSize, 'x');
    QByteArray text;
    int reads = 0;
    while (WireFormat::appendTextChunk(text, chunk))
        ++reads;
    QCOMPARE(text.size(), WireFormat::kMaxTextPayloadBytes);
    QCOMPARE(reads, int(WireFormat::kMaxTextPayloadBytes / WireFormat::kChunkSize) - 1);
    QVERIFY(!WireFormat::appendTextChunk(text, chunk));
    QCOMPARE(text.size(), WireFormat::kMaxTextPayloadBytes);
}

QTEST_GUILESS_MAIN(TestWireFormat)
#include "test_wireformat.moc"
