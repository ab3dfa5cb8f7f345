#include "dnsreplies.h"
#include "dnsresponder.h"
#include "platform/dnsclient.h"

#include <QElapsedTimer>
#include <QTemporaryFile>
#include <QTest>

#include <thread>
#include <vector>

using namespace DnsReplies;

namespace {

// Addresses of our own on loopback; the ports are whatever the system gives the responder.
const QHostAddress kServer(QStringLiteral("127.0.0.41"));
const QHostAddress kStranger(QStringLiteral("127.0.0.42"));
constexpr int kShortDeadlineMs = 1500;
constexpr int kAnsweredDeadlineMs = 20000;  // never reached by a call that gets its reply

enum class Behaviour { Ptr, NxDomain, CompressionLoop, Truncated, WrongIdThenPtr, WrongQuestionThenPtr, ForgedThenPtr, PtrTwice };

QList<QByteArray> behave(Behaviour b, const QByteArray &q)
{
    QByteArray wrongId = ptrAnswer(q, "wrong.example");
    wrongId[0] = char(wrongId[0] ^ 0x55);
    QByteArray wrongQuestion = ptrAnswer(q, "wrong.example");
    wrongQuestion[13] = wrongQuestion[13] == '9' ? '8' : '9';  // first digit of the reverse name
    switch (b) {
    case Behaviour::Ptr:
    case Behaviour::ForgedThenPtr:
        return {ptrAnswer(q, "pc7.lan")};
    case Behaviour::NxDomain:
        return {answer(q, {}, 3)};
    case Behaviour::CompressionLoop:
        return {answer(q, {record("\xc0\x0c", 12, QByteArray()).chopped(2) + be16(2) + "\xc0" + char(q.size() + 12)})};
    case Behaviour::Truncated:
        return {ptrAnswer(q, "pc7.lan").chopped(3)};
    case Behaviour::WrongIdThenPtr:
        return {wrongId, ptrAnswer(q, "pc7.lan")};
    case Behaviour::WrongQuestionThenPtr:
        return {wrongQuestion, ptrAnswer(q, "pc7.lan")};
    case Behaviour::PtrTwice:
        return {ptrAnswer(q, "pc7.lan"), ptrAnswer(q, "late.example")};
    }
    return {};
}

DnsClient clientFor(const DnsResponder &r, int deadlineMs)
{
    DnsClient c;
    c.setServer(r.address());
    c.setPort(r.port());
    c.setTimeoutMs(deadlineMs);
    return c;
}

} // namespace

Q_DECLARE_METATYPE(Behaviour)

class TestDnsClient : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void firstNameServer_data();
    void firstNameServer();
    void replies_data();
    void replies();
    void serverFromResolvConf();
    void silentServerEndsAtTheDeadline_data();
    void silentServerEndsAtTheDeadline();
    void nothingIsCached();
    void noServerOrNoAddressSendsNothing();
    void callsRunSideBySide();
};

void TestDnsClient::defaults()
{
    const DnsClient c;
    QCOMPARE(c.timeoutMs(), 30000);
    QCOMPARE(int(c.port()), 53);
}

void TestDnsClient::firstNameServer_data()
{
    QTest::addColumn<QByteArray>("conf");
    QTest::addColumn<QString>("server");
    QTest::newRow("one") << QByteArray("nameserver 10.0.0.1\n") << "10.0.0.1";
    QTest::newRow("first of two") << QByteArray("nameserver 10.0.0.1\nnameserver 10.0.0.2\n") << "10.0.0.1";
    QTest::newRow("after comments and options")
        << QByteArray("# nameserver 1.1.1.1\n; nameserver 2.2.2.2\nsearch lan\noptions ndots:1\n"
                      "nameserver 10.0.0.3\n")
        << "10.0.0.3";
    QTest::newRow("tabs and blanks") << QByteArray("  nameserver\t 10.0.0.4  \r\n") << "10.0.0.4";
    QTest::newRow("ipv6") << QByteArray("nameserver fd00::1\n") << "fd00::1";
    QTest::newRow("invalid one skipped") << QByteArray("nameserver bogus\nnameserver 10.0.0.5\n") << "10.0.0.5";
    QTest::newRow("no newline at the end") << QByteArray("nameserver 10.0.0.6") << "10.0.0.6";
    QTest::newRow("none") << QByteArray("search lan\n") << QString();
    QTest::newRow("keyword only") << QByteArray("nameserver\n") << QString();
    QTest::newRow("other keyword") << QByteArray("nameservers 10.0.0.7\n") << QString();
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("binary") << QByteArray("\0\xff\xfe nameserver\0 1.2.3.4", 24) << QString();
}

void TestDnsClient::firstNameServer()
{
    QFETCH(QByteArray, conf);
    QFETCH(QString, server);
    const QHostAddress got = DnsClient::firstNameServer(conf);
    QCOMPARE(got.isNull() ? QString() : got.toString(), server);
}

void TestDnsClient::replies_data()
{
    QTest::addColumn<Behaviour>("behaviour");
    QTest::addColumn<int>("deadlineMs");
    QTest::addColumn<QString>("name");
    QTest::newRow("ptr") << Behaviour::Ptr << kAnsweredDeadlineMs << "pc7.lan";
    QTest::newRow("nxdomain") << Behaviour::NxDomain << kAnsweredDeadlineMs << QString();
    QTest::newRow("compression loop") << Behaviour::CompressionLoop << kAnsweredDeadlineMs << QString();
    QTest::newRow("truncated answer") << Behaviour::Truncated << kAnsweredDeadlineMs << QString();
    QTest::newRow("wrong id ignored") << Behaviour::WrongIdThenPtr << kAnsweredDeadlineMs << "pc7.lan";
    QTest::newRow("wrong question ignored") << Behaviour::WrongQuestionThenPtr << kAnsweredDeadlineMs << "pc7.lan";
    QTest::newRow("forged source ignored") << Behaviour::ForgedThenPtr << kAnsweredDeadlineMs << "pc7.lan";
    QTest::newRow("first reply counts") << Behaviour::PtrTwice << kAnsweredDeadlineMs << "pc7.lan";
}

void TestDnsClient::replies()
{
    QFETCH(Behaviour, behaviour);
    QFETCH(int, deadlineMs);
    QFETCH(QString, name);
    DnsResponder server(kServer, [behaviour](const QByteArray &q) { return behave(behaviour, q); });
    if (behaviour == Behaviour::ForgedThenPtr)
        server.forgeFrom(kStranger);
    QVERIFY(server.startServing());

    QCOMPARE(clientFor(server, deadlineMs).ptrName("192.168.1.5"), name);
    QCOMPARE(server.queries(), 1);
    const QByteArray qname = DnsReplies::name("5.1.168.192.in-addr.arpa");
    QCOMPARE(server.received().constFirst().mid(12, qname.size()), qname);
}

void TestDnsClient::serverFromResolvConf()
{
    DnsResponder server(kServer, [](const QByteArray &q) { return behave(Behaviour::Ptr, q); });
    QVERIFY(server.startServing());
    QTemporaryFile conf;
    QVERIFY(conf.open());
    conf.write("# ours\nnameserver " + server.address().toString().toLatin1() + "\nnameserver 127.0.0.43\n");
    conf.flush();

    DnsClient c;
    c.setResolvConfPath(conf.fileName());
    c.setPort(server.port());
    c.setTimeoutMs(kAnsweredDeadlineMs);
    QCOMPARE(c.server(), server.address());
    QCOMPARE(c.ptrName("10.1.2.3"), QStringLiteral("pc7.lan"));
    QCOMPARE(server.queries(), 1);
}

void TestDnsClient::silentServerEndsAtTheDeadline_data()
{
    QTest::addColumn<Behaviour>("behaviour");
    QTest::addColumn<bool>("silent");
    QTest::newRow("silent") << Behaviour::Ptr << true;
    QTest::newRow("only a wrong id") << Behaviour::WrongIdThenPtr << false;
}

void TestDnsClient::silentServerEndsAtTheDeadline()
{
    QFETCH(Behaviour, behaviour);
    QFETCH(bool, silent);
    DnsResponder server(kServer, [behaviour, silent](const QByteArray &q) {
        return silent ? QList<QByteArray>() : behave(behaviour, q).mid(0, 1);
    });
    QVERIFY(server.startServing());
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(clientFor(server, kShortDeadlineMs).ptrName("10.0.0.9"), QString());
    // it waited for the whole deadline, not less
    QVERIFY2(clock.elapsed() >= kShortDeadlineMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(server.queries(), 1);
}

void TestDnsClient::nothingIsCached()
{
    DnsResponder server(kServer, [](const QByteArray &q) { return behave(Behaviour::Ptr, q); });
    QVERIFY(server.startServing());
    const DnsClient c = clientFor(server, kAnsweredDeadlineMs);
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(c.ptrName("10.0.0.9"), QStringLiteral("pc7.lan"));
        QCOMPARE(server.queries(), i);
    }
    // each query has an id of its own
    const QList<QByteArray> got = server.received();
    QVERIFY(got[0].left(2) != got[1].left(2) || got[1].left(2) != got[2].left(2));
}

void TestDnsClient::noServerOrNoAddressSendsNothing()
{
    DnsResponder server(kServer, [](const QByteArray &q) { return behave(Behaviour::Ptr, q); });
    QVERIFY(server.startServing());
    QTemporaryFile conf;
    QVERIFY(conf.open());
    conf.write("search lan\n");
    conf.flush();

    DnsClient none;
    none.setResolvConfPath(conf.fileName());
    QVERIFY(none.server().isNull());
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(none.ptrName("10.0.0.9"), QString());
    none.setResolvConfPath(conf.fileName() + ".missing");
    QVERIFY(none.server().isNull());
    QCOMPARE(none.ptrName("10.0.0.9"), QString());
    for (const char *notAnAddress : {"pc7", "", "1.2.3", "300.1.1.1", "::1"})
        QCOMPARE(clientFor(server, DnsClient::kDefaultTimeoutMs).ptrName(notAnAddress), QString());
    // none of them waited for a reply (each would have taken the full 30 s)
    QVERIFY(clock.elapsed() < DnsClient::kDefaultTimeoutMs);
    QCOMPARE(server.queries(), 0);
}

// Four calls at once against a server that answers only once all four queries are in: they can
// only get their names if none waited for another.
void TestDnsClient::callsRunSideBySide()
{
    constexpr int kCalls = 4;
    DnsResponder server(kServer, [](const QByteArray &q) {
        // the name tells which query it answers: the address's last number
        const QByteArray lastNumber = q.mid(13, quint8(q[12]));
        return QList<QByteArray>{ptrAnswer(q, "host-" + lastNumber)};
    });
    server.holdUntil(kCalls);
    QVERIFY(server.startServing());

    const DnsClient c = clientFor(server, kAnsweredDeadlineMs);
    std::vector<QString> names(kCalls);
    std::vector<std::thread> threads;
    for (int i = 0; i < kCalls; ++i)
        threads.emplace_back([&c, &names, i] { names[i] = c.ptrName(QStringLiteral("10.0.0.%1").arg(i + 1)); });
    for (std::thread &t : threads)
        t.join();

    for (int i = 0; i < kCalls; ++i)
        QCOMPARE(names[i], QStringLiteral("host-%1").arg(i + 1));
    QCOMPARE(server.queries(), kCalls);
}

QTEST_GUILESS_MAIN(TestDnsClient)
#include "test_dnsclient.moc"
