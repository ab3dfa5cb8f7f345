// The auto-away state on its own: ticks given the time, the last input, the threshold text and
// the own status.
#include "presence/autoaway.h"

#include <QTest>

namespace {
using Change = AutoAway::Change;

// One tick: seconds since the last input, the threshold text, the own status before the tick and
// what must happen.
struct Tick
{
    qint64 idle;
    QString threshold;
    int status;
    Change expect;
};
} // namespace

Q_DECLARE_METATYPE(QList<Tick>)

class TestAutoAway : public QObject
{
    Q_OBJECT
private slots:
    void threshold_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("seconds"); // 0: auto-away off
        QTest::newRow("default") << "300" << qint64(300);
        QTest::newRow("one second") << "1" << qint64(1);
        QTest::newRow("blanks around") << " 20 " << qint64(20);
        QTest::newRow("leading zeros") << "007" << qint64(7);
        QTest::newRow("largest 32-bit") << "2147483647" << qint64(2147483647);
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("blank") << "   " << qint64(0);
        QTest::newRow("zero") << "0" << qint64(0);
        QTest::newRow("negative") << "-5" << qint64(0);
        QTest::newRow("letters") << "abc" << qint64(0);
        QTest::newRow("digits then letters") << "30s" << qint64(0);
        QTest::newRow("hexadecimal") << "0x10" << qint64(0);
        QTest::newRow("fraction") << "2.5" << qint64(0);
        QTest::newRow("beyond 32 bits") << "2147483648" << qint64(0);
    }
    void threshold()
    {
        QFETCH(QString, text);
        QFETCH(qint64, seconds);
        QCOMPARE(AutoAway::threshold(text).value_or(0), seconds);
    }

    void ticks_data()
    {
        QTest::addColumn<QList<Tick>>("ticks");
        QTest::addColumn<int>("restored"); // the saved status at the end
        const QString t = QStringLiteral("5");
        QTest::newRow("free: away at the threshold, not a second before")
            << QList<Tick>{{0, t, 0, Change::None}, {4, t, 0, Change::None}, {5, t, 0, Change::GoAway}} << 0;
        QTest::newRow("free: away, stays away while idle, back at input")
            << QList<Tick>{{5, t, 0, Change::GoAway}, {6, t, 2, Change::None}, {500, t, 2, Change::None},
                           {0, t, 2, Change::ComeBack}, {1, t, 0, Change::None}}
            << 0;
        QTest::newRow("busy comes back busy")
            << QList<Tick>{{7, t, 1, Change::GoAway}, {4, t, 2, Change::ComeBack}} << 1;
        QTest::newRow("input just under the threshold brings it back")
            << QList<Tick>{{9, t, 0, Change::GoAway}, {4, t, 2, Change::ComeBack}} << 0;
        QTest::newRow("away by hand: never touched")
            << QList<Tick>{{0, t, 2, Change::None}, {5, t, 2, Change::None}, {1000, t, 2, Change::None},
                           {0, t, 2, Change::None}}
            << 0;
        QTest::newRow("no threshold: never")
            << QList<Tick>{{1000, "", 0, Change::None}, {1000, "0", 1, Change::None}, {1000, "x", 0, Change::None}}
            << 0;
        QTest::newRow("threshold gone while away: away until it is valid again and input comes")
            << QList<Tick>{{5, t, 1, Change::GoAway}, {0, "", 2, Change::None}, {0, "0", 2, Change::None},
                           {0, t, 2, Change::ComeBack}}
            << 1;
        QTest::newRow("a status chosen by hand while auto-away holds is replaced by the saved one")
            << QList<Tick>{{5, t, 1, Change::GoAway}, {0, t, 0, Change::ComeBack}} << 1;
        QTest::newRow("the threshold is read afresh on every tick")
            << QList<Tick>{{10, "20", 0, Change::None}, {10, "10", 0, Change::GoAway}, {10, "20", 2, Change::ComeBack}}
            << 0;
        QTest::newRow("a clock set back counts as input")
            << QList<Tick>{{5, t, 0, Change::GoAway}, {-100, t, 2, Change::ComeBack}} << 0;
    }
    void ticks()
    {
        QFETCH(QList<Tick>, ticks);
        QFETCH(int, restored);
        AutoAway state;
        QVERIFY(state.userActive());
        QVERIFY(!state.mark());
        const qint64 now = 2'147'483'600; // near the end of 32-bit time: the sums must not overflow
        int i = 0;
        for (const Tick &tick : ticks) {
            const Change change = state.tick(now + 100, now + 100 - tick.idle, tick.threshold, tick.status);
            QVERIFY2(change == tick.expect, qPrintable(QStringLiteral("tick %1").arg(i)));
            if (change == Change::GoAway)
                QVERIFY(!state.userActive() && state.mark());
            if (change == Change::ComeBack)
                QVERIFY(state.userActive() && !state.mark());
            ++i;
        }
        QCOMPARE(state.savedStatus(), restored);
    }
};

QTEST_GUILESS_MAIN(TestAutoAway)
#include "test_autoaway.moc"
