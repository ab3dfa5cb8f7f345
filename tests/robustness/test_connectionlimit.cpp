// How many connections the listener serves at once for a given descriptor limit: a reserve of 128
// for everything else, two descriptors per connection, never more than 1,024 nor fewer than one.
#include "net/connectionpool.h"

#include <QTest>

class TestConnectionLimit : public QObject
{
    Q_OBJECT
private slots:
    void limit_data()
    {
        QTest::addColumn<quint64>("descriptors");
        QTest::addColumn<int>("connections");
        QTest::newRow("tiny") << quint64(64) << 1;
        QTest::newRow("reserve only") << quint64(128) << 1;
        QTest::newRow("256") << quint64(256) << 64;
        QTest::newRow("usual soft limit") << quint64(1024) << 448;
        QTest::newRow("just enough") << quint64(128 + 2 * 1024) << 1024;
        QTest::newRow("usual hard limit") << quint64(524288) << 1024;
    }
    void limit()
    {
        QFETCH(quint64, descriptors);
        QFETCH(int, connections);
        QCOMPARE(ConnectionPool::connectionLimit(descriptors), connections);
    }
};

QTEST_MAIN(TestConnectionLimit)
#include "test_connectionlimit.moc"
