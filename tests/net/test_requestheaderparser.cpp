#include "net/requestheaderparser.h"

#include <QTest>

using State = RequestHeaderParser::State;

namespace {

const QByteArray kPreamble = "5183chatlink294\r";

// Feeds the way a connection does: the first read as one piece (at most 16 bytes), then single
// bytes while the parser wants them. Returns the bytes left over for the payload.
QByteArray feedLikeConnection(RequestHeaderParser &p, const QByteArray &input)
{
    QByteArrayView rest(input);
    while (!rest.isEmpty() && p.wanted() > 0) {
        const qsizetype n = qMin(p.wanted(), rest.size());
        // a canary after the piece: the parser must not look past what it was given
        const QByteArray piece = rest.first(n).toByteArray() + '\r';
        const qsizetype used = p.feed(QByteArrayView(piece.constData(), n));
        if (used < 1 || used > n)
            qFatal("feed used %lld of %lld", qlonglong(used), qlonglong(n));
        rest = rest.sliced(used);
    }
    return rest.toByteArray();
}

// Feeds everything in one call, the way a caller that reads big buffers would.
QByteArray feedAtOnce(RequestHeaderParser &p, const QByteArray &input)
{
    const QByteArray buffer = input + "\rCANARY";
    const qsizetype used = p.feed(QByteArrayView(buffer.constData(), input.size()));
    return input.mid(used);
}

} // namespace

class TestRequestHeaderParser : public QObject
{
    Q_OBJECT

private slots:
    void header_data();
    void header();
    void preambleVariants_data();
    void preambleVariants();
    void truncated_data();
    void truncated();
    void longLines_data();
    void longLines();
    void runawayLineIsDropped();
    void resetForNextRequest();
    void shortFirstReadIsRejected();
};

void TestRequestHeaderParser::header_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<char>("kind");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("payload");

    QTest::newRow("file") << kPreamble + "0\rBob\rreport.doc\rDATA" << '0' << "Bob" << "report.doc"
                          << QByteArray("DATA");
    QTest::newRow("message") << kPreamble + "1\rBob\r12345678\r{\\rtf1}" << '1' << "Bob" << "12345678"
                             << QByteArray("{\\rtf1}");
    QTest::newRow("letter") << kPreamble + "2\rBob\r12345678\r" << '2' << "Bob" << "12345678"
                            << QByteArray();
    QTest::newRow("system: no file line") << kPreamble + "3\rBob\r[px004]" << '3' << "Bob" << QString()
                                          << QByteArray("[px004]");
    QTest::newRow("notice") << kPreamble + "4\rBob\r two words" << '4' << "Bob" << QString()
                            << QByteArray(" two words");
    QTest::newRow("address list: file line opens the payload")
        << kPreamble + "5\rBob\r11112222\r192.168.0.1\r\n" << '5' << "Bob" << QString()
        << QByteArray("11112222\r192.168.0.1\r\n");
    QTest::newRow("kind line 12 is kind 2") << kPreamble + "12\rBob\rf\rX" << '2' << "Bob" << "f"
                                            << QByteArray("X");
    QTest::newRow("kind line 0004 is kind 4") << kPreamble + "0004\rBob\rX" << '4' << "Bob" << QString()
                                              << QByteArray("X");
    QTest::newRow("unknown kind reads the sender only") << kPreamble + "9\rBob\rmore" << '9' << "Bob"
                                                        << QString() << QByteArray("more");
    QTest::newRow("empty kind line") << kPreamble + "\rBob\rmore" << '\0' << "Bob" << QString()
                                     << QByteArray("more");
    QTest::newRow("empty sender and file") << kPreamble + "0\r\r\r" << '0' << QString() << QString()
                                           << QByteArray();
    QTest::newRow("cyrillic sender") << kPreamble + "4\r\xC2\xE0\xF1\xFF\rhi" << '4'
                                     << QString::fromUtf8("Вася") << QString() << QByteArray("hi");
    QTest::newRow("line feed stays in the line") << kPreamble + "4\rBob\n\rhi" << '4' << "Bob\n"
                                                 << QString() << QByteArray("hi");
    QTest::newRow("zero byte ends the field text") << kPreamble + QByteArray("0\rBo\0b\ra\0b\rZ", 12)
                                                   << '0' << "Bo" << "a" << QByteArray("Z");
}

void TestRequestHeaderParser::header()
{
    QFETCH(QByteArray, input);
    QFETCH(char, kind);
    QFETCH(QString, sender);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, payload);

    for (int atOnce = 0; atOnce < 2; ++atOnce) {
        RequestHeaderParser p;
        const QByteArray rest = atOnce ? feedAtOnce(p, input) : feedLikeConnection(p, input);
        QCOMPARE(p.state(), State::Done);
        QVERIFY(p.preambleAccepted());
        QCOMPARE(p.kind(), kind);
        QCOMPARE(p.sender(), sender);
        QCOMPARE(p.fileName(), fileName);
        QCOMPARE(rest, payload);
        QCOMPARE(p.wanted(), 0);
        QVERIFY(!p.lineCut());
        // finished: more bytes are not taken
        QCOMPARE(p.feed("more\r"), 0);
    }
}

void TestRequestHeaderParser::preambleVariants_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("logText");
    QTest::newRow("line feed instead of cr") << QByteArray("5183chatlink294\n0\rBob\r")
                                             << QByteArray("5183chatlink294\n");
    QTest::newRow("zero instead of cr") << QByteArray("5183chatlink294\0" "0\r", 18)
                                        << QByteArray("5183chatlink294");
    QTest::newRow("token only, then close") << QByteArray("5183chatlink294")
                                            << QByteArray("5183chatlink294");
    QTest::newRow("wrong digit") << QByteArray("5183chatlink295\r0\r") << QByteArray("5183chatlink295");
    QTest::newRow("capitals") << QByteArray("5183CHATLINK294\r") << QByteArray("5183CHATLINK294");
    QTest::newRow("leading blank") << QByteArray(" 5183chatlink294\r") << QByteArray(" 5183chatlink294");
    QTest::newRow("cr early") << QByteArray("5183chat\rlink294\r") << QByteArray("5183chat\rlink294");
    QTest::newRow("zero inside") << QByteArray("5183\0chatlink294\r", 17) << QByteArray("5183");
    QTest::newRow("http") << QByteArray("GET / HTTP/1.1\r\n") << QByteArray("GET / HTTP/1.1\r\n");
    QTest::newRow("one byte") << QByteArray("5") << QByteArray("5");
    QTest::newRow("cr only") << QByteArray("\r") << QByteArray("\r");
}

void TestRequestHeaderParser::preambleVariants()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, logText);
    RequestHeaderParser p;
    const QByteArray rest = feedLikeConnection(p, input);
    QCOMPARE(p.state(), State::BadPreamble);
    QVERIFY(p.hasFailed());
    QVERIFY(!p.preambleAccepted());
    QCOMPARE(p.badPreambleText(), logText);
    QCOMPARE(p.wanted(), 0);
    // the first read took at most 16 bytes, the rest stays unread
    QCOMPARE(rest, input.mid(16));
}

// The connection ends (or times out) part way: the header is not complete and nothing is final.
void TestRequestHeaderParser::truncated_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("state");
    QTest::newRow("nothing") << QByteArray() << int(State::Preamble);
    QTest::newRow("preamble only") << kPreamble << int(State::KindLine);
    QTest::newRow("kind without cr") << kPreamble + "0" << int(State::KindLine);
    QTest::newRow("sender without cr") << kPreamble + "0\rBo" << int(State::SenderLine);
    QTest::newRow("file name missing") << kPreamble + "0\rBob\r" << int(State::FileNameLine);
    QTest::newRow("file name without cr") << kPreamble + "1\rBob\r1234" << int(State::FileNameLine);
    QTest::newRow("notice sender without cr") << kPreamble + "4\rBob" << int(State::SenderLine);
}

void TestRequestHeaderParser::truncated()
{
    QFETCH(QByteArray, input);
    QFETCH(int, state);
    RequestHeaderParser p;
    QCOMPARE(feedLikeConnection(p, input), QByteArray());
    QCOMPARE(int(p.state()), state);
    QVERIFY(!p.isDone());
    QVERIFY(!p.hasFailed());
    QVERIFY(p.wanted() > 0);
    QCOMPARE(p.feed({}), 0);
    QCOMPARE(int(p.state()), state);
}

void TestRequestHeaderParser::longLines_data()
{
    QTest::addColumn<int>("senderLength");
    QTest::addColumn<int>("fileLength");
    QTest::addColumn<bool>("cut");
    QTest::newRow("998") << 998 << 998 << false;
    QTest::newRow("999 kept whole") << 999 << 999 << false;
    QTest::newRow("sender 1000 cut") << 1000 << 10 << true;
    QTest::newRow("file name 1000 cut") << 10 << 1000 << true;
    QTest::newRow("both 5000 cut") << 5000 << 5000 << true;
}

void TestRequestHeaderParser::longLines()
{
    QFETCH(int, senderLength);
    QFETCH(int, fileLength);
    QFETCH(bool, cut);
    QByteArray sender;
    for (int i = 0; i < senderLength; ++i)
        sender += char('a' + i % 26);
    const QByteArray file(fileLength, 'f');
    const QByteArray input = kPreamble + "0\r" + sender + "\r" + file + "\rPAYLOAD";
    for (int atOnce = 0; atOnce < 2; ++atOnce) {
        RequestHeaderParser p;
        const QByteArray rest = atOnce ? feedAtOnce(p, input) : feedLikeConnection(p, input);
        QCOMPARE(p.state(), State::Done);
        QCOMPARE(p.senderLine(), sender.left(999));
        QCOMPARE(p.fileNameLine(), file.left(999));
        QCOMPARE(p.lineCut(), cut);
        // the dropped tail of a long line does not spill into the next line or the payload
        QCOMPARE(rest, QByteArray("PAYLOAD"));
    }
}

void TestRequestHeaderParser::runawayLineIsDropped()
{
    // a kind line that never ends; and a sender line that never ends
    const QByteArray endless(RequestHeaderParser::kMaxLineRun + 10, '7');
    for (const QByteArray &prefix : {kPreamble, kPreamble + "4\r"}) {
        RequestHeaderParser p;
        const QByteArray input = prefix + endless;
        const QByteArray rest = feedAtOnce(p, input);
        QCOMPARE(p.state(), State::LineTooLong);
        QVERIFY(p.hasFailed());
        QCOMPARE(p.wanted(), 0);
        QVERIFY(p.senderLine().size() <= 999);
        QCOMPARE(rest.size(), 9);
    }
}

void TestRequestHeaderParser::resetForNextRequest()
{
    RequestHeaderParser p;
    QCOMPARE(feedLikeConnection(p, kPreamble + "3\rBob\r"), QByteArray());
    QVERIFY(p.isDone());
    p.reset();
    QCOMPARE(p.state(), State::Preamble);
    QCOMPARE(p.wanted(), 16);
    QCOMPARE(p.kind(), '\0');
    QVERIFY(p.senderLine().isEmpty());
    QCOMPARE(feedLikeConnection(p, kPreamble + "4\rAl\r"), QByteArray());
    QCOMPARE(p.kind(), '4');
    QCOMPARE(p.sender(), QStringLiteral("Al"));
}

// The preamble is judged on the first read alone: a first read that brought only part of it is
// refused even if the rest would follow.
void TestRequestHeaderParser::shortFirstReadIsRejected()
{
    RequestHeaderParser p;
    QCOMPARE(p.feed("5183chat"), 8);
    QCOMPARE(p.state(), State::BadPreamble);
    QCOMPARE(p.badPreambleText(), QByteArray("5183chat"));
    QCOMPARE(p.feed("link294\r"), 0);
}

QTEST_GUILESS_MAIN(TestRequestHeaderParser)
#include "test_requestheaderparser.moc"
