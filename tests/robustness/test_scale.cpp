// Twenty copies on 127.0.9.2-21, each with all the others in its table, started together: every
// roster fills, 200 messages between random pairs are each shown once by their addressee, and as
// the copies end one at a time every copy still running shows each of them leave.
#include "scalerun.h"

#include <QTemporaryDir>
#include <QTest>

class TestScale : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_temp;

private slots:
    void initTestCase() { qputenv("TEMP", m_temp.path().toUtf8()); }

    void twentyCopies()
    {
        ScaleRun run("127.0.9.", 2, 20, false);
        QVERIFY2(run.start(), qPrintable(run.failure()));
        QVERIFY2(run.waitForFullRosters(120000) >= 0, qPrintable(run.failure()));
        QCOMPARE(run.sendMessages(200, 180000), 200);
        QCOMPARE(run.endOneByOne(30000), 20);
    }
};

QTEST_MAIN(TestScale)
#include "test_scale.moc"
