#include "dnsreplies.h"
#include "platform/dnsmessage.h"

#include <QTest>

#include <cstring>
#include <memory>

using namespace DnsReplies;

namespace {

constexpr quint16 kId = 0x1234;
const QString kAddress = QStringLiteral("1.2.3.4");

QByteArray query()
{
    return DnsMessage::ptrQuery(kId, kAddress);
}

QByteArray qname()
{
    return name("4.3.2.1.in-addr.arpa");
}

// header and question of the reply to query(), with rcode and answer count as given
QByteArray head(int an, int rcode = 0)
{
    return header(kId, quint16(0x8180 | rcode), 1, quint16(an)) + question(qname());
}

QByteArray ptr(const QByteArray &rdata)
{
    return record("\xc0\x0c", 12, rdata);
}

enum Outcome { NotOurs, NoName, Name };

} // namespace

class TestDnsMessage : public QObject
{
    Q_OBJECT

private slots:
    void reverseName_data();
    void reverseName();
    void ptrQueryBytes();
    void encodeName_data();
    void encodeName();
    void readReply_data();
    void readReply();
    void everyTruncationIsSafe();
};

void TestDnsMessage::reverseName_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("reverse");
    QTest::newRow("plain") << "1.2.3.4" << QByteArray("4.3.2.1.in-addr.arpa");
    QTest::newRow("bounds") << "255.0.0.10" << QByteArray("10.0.0.255.in-addr.arpa");
    QTest::newRow("leading zeros") << "010.001.0.7" << QByteArray("7.0.1.10.in-addr.arpa");
    QTest::newRow("empty") << "" << QByteArray();
    QTest::newRow("three parts") << "1.2.3" << QByteArray();
    QTest::newRow("five parts") << "1.2.3.4.5" << QByteArray();
    QTest::newRow("256") << "256.1.1.1" << QByteArray();
    QTest::newRow("four digits") << "0001.2.3.4" << QByteArray();
    QTest::newRow("empty part") << "1..2.3" << QByteArray();
    QTest::newRow("blank") << "1.2.3.4 " << QByteArray();
    QTest::newRow("name") << "pc7" << QByteArray();
    QTest::newRow("ipv6") << "::1" << QByteArray();
    QTest::newRow("sign") << "+1.2.3.4" << QByteArray();
}

void TestDnsMessage::reverseName()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, reverse);
    QCOMPARE(DnsMessage::reverseName(address), reverse);
    QCOMPARE(DnsMessage::ptrQuery(7, address).isEmpty(), reverse.isEmpty());
}

void TestDnsMessage::ptrQueryBytes()
{
    const QByteArray expected = QByteArray("\x12\x34\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00", 12)
        + QByteArray("\x01" "4" "\x01" "3" "\x01" "2" "\x01" "1" "\x07" "in-addr" "\x04" "arpa")
        + QByteArray("\x00\x00\x0c\x00\x01", 5);
    QCOMPARE(query(), expected);
}

void TestDnsMessage::encodeName_data()
{
    QTest::addColumn<QByteArray>("dotted");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("two labels") << QByteArray("a.bc") << QByteArray("\x01" "a" "\x02" "bc" "\x00", 6);
    QTest::newRow("63 label") << QByteArray(63, 'x') << QByteArray(1, 63) + QByteArray(63, 'x') + QByteArray(1, 0);
    QTest::newRow("64 label") << QByteArray(64, 'x') << QByteArray();
    QTest::newRow("empty label") << QByteArray("a..b") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("255 bytes") << (QByteArray(63, 'a') + '.' + QByteArray(63, 'b') + '.' + QByteArray(63, 'c') + '.' + QByteArray(61, 'd'))
                               << QByteArray(1, 63) + QByteArray(63, 'a') + QByteArray(1, 63) + QByteArray(63, 'b')
                                      + QByteArray(1, 63) + QByteArray(63, 'c') + QByteArray(1, 61) + QByteArray(61, 'd') + QByteArray(1, 0);
    QTest::newRow("256 bytes") << (QByteArray(63, 'a') + '.' + QByteArray(63, 'b') + '.' + QByteArray(63, 'c') + '.' + QByteArray(62, 'd'))
                               << QByteArray();
}

void TestDnsMessage::encodeName()
{
    QFETCH(QByteArray, dotted);
    QFETCH(QByteArray, wire);
    QCOMPARE(DnsMessage::encodeName(dotted), wire);
}

void TestDnsMessage::readReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("hostName");

    const QByteArray q = query();
    const QByteArray cname = record("\xc0\x0c", 5, name("4.0/25.3.2.1.in-addr.arpa"));
    QByteArray longName;
    for (int i = 0; i < 5; ++i)
        longName += QByteArray(1, 50) + QByteArray(50, 'a' + i);
    longName += '\0';

    QTest::newRow("ptr") << ptrAnswer(q, "pc7.lan") << int(Name) << "pc7.lan";
    QTest::newRow("ptr compressed onto the question") << head(1) + ptr(QByteArray("\x03pc7\xc0\x0c", 6))
                                                      << int(Name) << "pc7.4.3.2.1.in-addr.arpa";
    QTest::newRow("second answer is not used") << head(2) + ptr(name("first")) + ptr(name("second"))
                                               << int(Name) << "first";
    QTest::newRow("cname before ptr") << head(2) + cname + ptr(name("pc7")) << int(Name) << "pc7";
    QTest::newRow("question in capitals") << header(kId, 0x8180, 1, 1) + question(name("4.3.2.1.IN-ADDR.ARPA"))
                                                 + ptr(name("pc7"))
                                          << int(Name) << "pc7";
    QTest::newRow("trailing bytes ignored") << ptrAnswer(q, "pc7") + "junk" << int(Name) << "pc7";
    QTest::newRow("answer count above the records found first") << head(65535) + ptr(name("pc7"))
                                                                << int(Name) << "pc7";
    QTest::newRow("63-byte label") << head(1) + ptr(name(QByteArray(63, 'h'))) << int(Name)
                                   << QString(63, u'h');

    QTest::newRow("nxdomain") << answer(q, {}, 3) << int(NoName) << QString();
    QTest::newRow("nxdomain with a record anyway") << answer(q, {ptr(name("pc7"))}, 3) << int(NoName) << QString();
    QTest::newRow("servfail") << answer(q, {}, 2) << int(NoName) << QString();
    QTest::newRow("no answer") << answer(q, {}) << int(NoName) << QString();
    QTest::newRow("cname only") << head(1) + cname << int(NoName) << QString();
    QTest::newRow("a record only") << head(1) + record("\xc0\x0c", 1, "\x01\x02\x03\x04") << int(NoName) << QString();
    QTest::newRow("ptr of class chaos") << head(1) + record("\xc0\x0c", 12, name("pc7"), 3) << int(NoName) << QString();
    QTest::newRow("root name") << head(1) + ptr(QByteArray(1, '\0')) << int(NoName) << QString();
    QTest::newRow("answers announced, none there") << head(3) << int(NoName) << QString();
    QTest::newRow("record cut in its fixed part") << head(1) + ptr(name("pc7")).left(6) << int(NoName) << QString();
    QTest::newRow("rdlength beyond the end") << head(1) + ptr(name("pc7")).chopped(1) << int(NoName) << QString();
    QTest::newRow("name shorter than rdlength") << head(1) + ptr(name("pc7") + "xx") << int(NoName) << QString();
    QTest::newRow("name longer than rdlength")
        << head(1) + record("\xc0\x0c", 12, name("pc7")).replace(11, 1, "\x02") << int(NoName) << QString();
    QTest::newRow("pointer to itself") << head(1) + record("\xc0\x0c", 12, QByteArray()).chopped(2)
                                              + be16(2) + "\xc0" + char(head(1).size() + 12)
                                       << int(NoName) << QString();
    QTest::newRow("pointer forward") << head(1) + ptr(QByteArray("\xc0\x60", 2)) + QByteArray(100, '\0')
                                     << int(NoName) << QString();
    QTest::newRow("pointer past the end") << head(1) + ptr(QByteArray("\xff\xff", 2)) << int(NoName) << QString();
    QTest::newRow("pointer cut") << head(1) + ptr(QByteArray("\xc0", 1)) << int(NoName) << QString();
    // a label followed by a pointer back to itself: the name would grow for ever
    QTest::newRow("loop through a label") << head(1) + record("\xc0\x0c", 12, QByteArray("\x01z\xc0", 3)).chopped(5)
                                                     + be16(4) + "\x01z\xc0" + char(head(1).size() + 12)
                                          << int(NoName) << QString();
    QTest::newRow("owner name loops") << head(1) + QByteArray("\xc0") + char(head(1).size())
                                      << int(NoName) << QString();
    QTest::newRow("label 64 flag") << head(1) + ptr(QByteArray(1, 64) + QByteArray(64, 'x') + QByteArray(1, 0))
                                   << int(NoName) << QString();
    QTest::newRow("label 0x80 flag") << head(1) + ptr(QByteArray("\x80x\0", 3)) << int(NoName) << QString();
    QTest::newRow("name over 255 bytes") << head(1) + ptr(longName) << int(NoName) << QString();
    QTest::newRow("control character") << head(1) + ptr(QByteArray("\x04pc\r7\0", 6)) << int(NoName) << QString();
    QTest::newRow("dot inside a label") << head(1) + ptr(QByteArray("\x05" "ev.il\0", 7)) << int(NoName) << QString();
    QTest::newRow("zero byte in a label") << head(1) + ptr(QByteArray("\x03" "a\0b\0", 5)) << int(NoName) << QString();
    QTest::newRow("eight-bit byte") << head(1) + ptr(QByteArray("\x03" "a\xe9" "b\0", 5)) << int(NoName) << QString();

    QTest::newRow("empty") << QByteArray() << int(NotOurs) << QString();
    QTest::newRow("header cut") << ptrAnswer(q, "pc7").left(11) << int(NotOurs) << QString();
    QTest::newRow("question cut") << ptrAnswer(q, "pc7").left(20) << int(NotOurs) << QString();
    QTest::newRow("question type cut") << ptrAnswer(q, "pc7").left(q.size() - 1) << int(NotOurs) << QString();
    QTest::newRow("wrong id") << ptrAnswer(q, "pc7").replace(1, 1, "\x35") << int(NotOurs) << QString();
    QTest::newRow("not a response") << ptrAnswer(q, "pc7").replace(2, 1, "\x01") << int(NotOurs) << QString();
    QTest::newRow("other opcode") << ptrAnswer(q, "pc7").replace(2, 1, "\x90") << int(NotOurs) << QString();
    QTest::newRow("no question") << header(kId, 0x8180, 0, 1) + ptr(name("pc7")) << int(NotOurs) << QString();
    QTest::newRow("two questions") << header(kId, 0x8180, 2, 1) + question(qname()) + question(qname())
                                          + ptr(name("pc7"))
                                   << int(NotOurs) << QString();
    QTest::newRow("other question") << header(kId, 0x8180, 1, 1) + question(name("5.3.2.1.in-addr.arpa"))
                                           + ptr(name("pc7"))
                                    << int(NotOurs) << QString();
    QTest::newRow("question one label longer") << header(kId, 0x8180, 1, 1) + question(name("4.3.2.1.in-addr.arpa.x"))
                                                      + ptr(name("pc7"))
                                               << int(NotOurs) << QString();
    QTest::newRow("question type a") << header(kId, 0x8180, 1, 1) + question(qname(), 1) + ptr(name("pc7"))
                                     << int(NotOurs) << QString();
    QTest::newRow("question class chaos") << header(kId, 0x8180, 1, 1) + question(qname(), 12, 3)
                                                 + ptr(name("pc7"))
                                          << int(NotOurs) << QString();
    QTest::newRow("question name pointer loop") << header(kId, 0x8180, 1, 1) + QByteArray("\xc0\x0c\x00\x0c\x00\x01", 6)
                                                << int(NotOurs) << QString();
    QTest::newRow("the query itself") << q << int(NotOurs) << QString();
}

void TestDnsMessage::readReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, outcome);
    QFETCH(QString, hostName);
    // a canary after the reply: nothing past its size may be read (ASan checks the rest)
    const QByteArray buffer = reply + "\x03pc8\0";
    const std::optional<QString> got =
        DnsMessage::readPtrReply(QByteArrayView(buffer.constData(), reply.size()), kId, qname());
    QCOMPARE(got.has_value(), outcome != NotOurs);
    if (got)
        QCOMPARE(*got, hostName);
    QCOMPARE(got && !got->isEmpty(), outcome == Name);
}

void TestDnsMessage::everyTruncationIsSafe()
{
    const QByteArray full = head(2) + record("\xc0\x0c", 5, name("a.b")) + ptr(QByteArray("\x03pc7\xc0\x0c", 6));
    QCOMPARE(DnsMessage::readPtrReply(full, kId, qname()), std::optional<QString>(QStringLiteral("pc7.4.3.2.1.in-addr.arpa")));
    for (qsizetype n = 0; n < full.size(); ++n) {
        // a copy of exactly n bytes, so that ASan sees any read beyond it
        const std::unique_ptr<char[]> exact(new char[size_t(qMax<qsizetype>(n, 1))]);
        memcpy(exact.get(), full.constData(), size_t(n));
        const auto got = DnsMessage::readPtrReply(QByteArrayView(exact.get(), n), kId, qname());
        QVERIFY2(!got || got->isEmpty(), qPrintable(QString::number(n)));
    }
}

QTEST_GUILESS_MAIN(TestDnsMessage)
#include "test_dnsmessage.moc"
