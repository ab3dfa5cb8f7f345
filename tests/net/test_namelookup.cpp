#include "dnsreplies.h"
#include "dnsresponder.h"
#include "net/namelookup.h"

#include <QTest>

#include <memory>

namespace {

const QHostAddress kServer(QStringLiteral("127.0.0.44"));

// The only reverse lookups the system makes in these tests are for names of /etc/hosts.
const QString kLoopback = QStringLiteral("127.0.0.1");
const QString kLoopbackName = QStringLiteral("localhost");

} // namespace

class TestNameLookup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void isname_data();
    void isname();
    void sysname_data();
    void sysname();
    void peername_data();
    void peername();
    void ownAddressLine_data();
    void ownAddressLine();
    void showownaddress_data();
    void showownaddress();

private:
    std::unique_ptr<DnsResponder> m_dns;
    NameLookup lookupWithOurServer() const;
};

void TestNameLookup::initTestCase()
{
    m_dns = std::make_unique<DnsResponder>(kServer, [](const QByteArray &q) {
        return QList<QByteArray>{DnsReplies::ptrAnswer(q, "pc7.lan")};
    });
    QVERIFY(m_dns->startServing());
}

NameLookup TestNameLookup::lookupWithOurServer() const
{
    DnsClient dns;
    dns.setServer(m_dns->address());
    dns.setPort(m_dns->port());
    dns.setTimeoutMs(20000);
    return NameLookup(dns);
}

void TestNameLookup::isname_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("name");
    QTest::newRow("address") << "192.168.1.5" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("name") << "pc7" << true;
    QTest::newRow("address and blank") << "192.168.1.5 " << true;
    QTest::newRow("digits only") << "12345" << false;
    QTest::newRow("dots only") << "..." << false;
    QTest::newRow("not checked for shape") << "1.2.3.4.5.6" << false;
    QTest::newRow("minus") << "-" << true;
    QTest::newRow("ipv6") << "::1" << true;
    QTest::newRow("cyrillic") << QString::fromUtf8("сервер") << true;
    QTest::newRow("arabic-indic digit") << QString::fromUtf8("١") << true;
    QTest::newRow("fqdn") << "pc7.lan" << true;
}

void TestNameLookup::isname()
{
    QFETCH(QString, text);
    QFETCH(bool, name);
    QCOMPARE(NameLookup::isname(text), name);
}

void TestNameLookup::sysname_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("name");
    QTest::newRow("from /etc/hosts") << kLoopback << kLoopbackName;
    // not an address: no forward lookup is made, the answer is empty at once
    QTest::newRow("name") << "localhost" << QString();
    QTest::newRow("empty") << "" << QString();
    QTest::newRow("short form") << "127.1" << QString();
    QTest::newRow("ipv6") << "::1" << QString();
}

void TestNameLookup::sysname()
{
    QFETCH(QString, address);
    QFETCH(QString, name);
    QCOMPARE(NameLookup::sysname(address), name);
}

void TestNameLookup::peername_data()
{
    QTest::addColumn<bool>("iponly");
    QTest::addColumn<bool>("usedns");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("queries");
    QTest::newRow("iponly") << true << false << QString() << 0;
    QTest::newRow("iponly wins over usedns") << true << true << QString() << 0;
    QTest::newRow("usedns asks the server") << false << true << "pc7.lan" << 1;
    QTest::newRow("system lookup") << false << false << kLoopbackName << 0;
}

void TestNameLookup::peername()
{
    QFETCH(bool, iponly);
    QFETCH(bool, usedns);
    QFETCH(QString, name);
    QFETCH(int, queries);
    const int before = m_dns->queries();
    QCOMPARE(lookupWithOurServer().peername(kLoopback, iponly, usedns), name);
    QCOMPARE(m_dns->queries() - before, queries);
}

void TestNameLookup::ownAddressLine_data()
{
    QTest::addColumn<bool>("usedns");
    QTest::addColumn<QString>("dnsName");
    QTest::addColumn<QString>("sysName");
    QTest::addColumn<QString>("line");
    QTest::newRow("usedns") << true << "pc7.lan" << "unused" << "ip=10.0.0.7 , name=pc7.lan";
    QTest::newRow("usedns, no name") << true << QString() << QString() << "ip=10.0.0.7 , name=";
    QTest::newRow("system") << false << "unused" << "pc7.lan" << "10.0.0.7 , pc7 , pc7.lan";
    QTest::newRow("system, no name") << false << QString() << QString() << "10.0.0.7 , pc7 , ";
}

void TestNameLookup::ownAddressLine()
{
    QFETCH(bool, usedns);
    QFETCH(QString, dnsName);
    QFETCH(QString, sysName);
    QFETCH(QString, line);
    QCOMPARE(NameLookup::ownAddressLine(usedns, "10.0.0.7", "pc7", dnsName, sysName), line);
}

// The own host name is given as "localhost", which /etc/hosts resolves both ways.
void TestNameLookup::showownaddress_data()
{
    QTest::addColumn<bool>("usedns");
    QTest::addColumn<bool>("iponly");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("queries");
    QTest::newRow("both off") << false << false << "127.0.0.1 , localhost , localhost" << 0;
    QTest::newRow("usedns") << true << false << "ip=127.0.0.1 , name=pc7.lan" << 1;
    QTest::newRow("usedns and iponly") << true << true << "ip=127.0.0.1 , name=" << 0;
}

void TestNameLookup::showownaddress()
{
    QFETCH(bool, usedns);
    QFETCH(bool, iponly);
    QFETCH(QString, line);
    QFETCH(int, queries);
    const int before = m_dns->queries();
    QCOMPARE(lookupWithOurServer().showownaddress(usedns, iponly, kLoopbackName), line);
    QCOMPARE(m_dns->queries() - before, queries);
}

QTEST_GUILESS_MAIN(TestNameLookup)
#include "test_namelookup.moc"
