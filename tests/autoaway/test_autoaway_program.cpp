// Auto-away in real copies of the program: each runs on an Xvfb of the test's own (or offscreen),
// with an idle threshold of 2 seconds, next to a fake peer that records what it is told. xdotool
// is the user at the desk.
#include "activity/xvfbserver.h"
#include "support/fakepeer.h"
#include "support/programprocess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpSocket>
#include <QTest>

namespace {

enum class Desktop { X, Offscreen, Wayland };

QByteArray settings(int status, const QString &peer)
{
    return "[options]\r\nautorun=0\r\nCheckBox_iponly=1\r\nCheckBox_log=1\r\nusernam=Away\r\nuser_active_str=2\r\n"
           "CheckBox6=1\r\nCheckBoxSaveSt=1\r\noldstatus="
        + QByteArray::number(status) + "\r\nuser_name0001=peer\r\nuser_addr0001=" + peer.toLatin1() + "\r\n";
}

// A system message from the fake peer's address.
bool sendSystem(const QString &from, const QString &to, const QByteArray &message)
{
    QTcpSocket socket;
    socket.bind(QHostAddress(from), 0);
    socket.connectToHost(to, 7456);
    if (!socket.waitForConnected(5000))
        return false;
    socket.write("5183chatlink294\r3\rPeer\r" + message);
    const bool written = socket.waitForBytesWritten(5000);
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.waitForDisconnected(5000);
    return written;
}

// The first connection from `from` on whose bytes contain `part`, or an empty array.
QByteArray find(const FakePeer &peer, qsizetype from, const QByteArray &part)
{
    for (qsizetype i = from; i < peer.received.size(); ++i)
        if (peer.received[i].contains(part))
            return peer.received[i];
    return {};
}

QByteArray statusNotice(const QByteArray &tag)
{
    return "5183chatlink294\r3\rAway\r[px002][0000000025][" + tag + "][           Away]]";
}

} // namespace

Q_DECLARE_METATYPE(Desktop)

class TestAutoAwayProgram : public QObject
{
    Q_OBJECT

    XvfbServer m_x;
    int m_dx = 1;

    bool wiggle()
    {
        m_dx = -m_dx; // back and forth, never into the screen's edge
        return m_x.xdotool({QStringLiteral("mousemove_relative"), QStringLiteral("--"), QString::number(m_dx),
                            QStringLiteral("0")});
    }

private slots:
    void initTestCase()
    {
        if (const QString missing = XvfbServer::missingTool(); !missing.isEmpty())
            QSKIP(qPrintable(missing + QStringLiteral(" is not installed (tools/install-deps.sh installs it)")));
        QVERIFY2(m_x.start(), qPrintable(m_x.errorString()));
        QVERIFY2(m_x.xdotool({QStringLiteral("mousemove"), QStringLiteral("320"), QStringLiteral("240")}),
                 qPrintable(m_x.errorString()));
    }

    void statusFollowsInput_data()
    {
        QTest::addColumn<Desktop>("desktop");
        QTest::addColumn<int>("status");     // the status the copy starts with
        QTest::addColumn<QByteArray>("back"); // the tag announced at the return; empty: no auto-away
        QTest::addColumn<QString>("whyOff");  // in the debug log when auto-away is off
        QTest::addColumn<QString>("address");
        QTest::newRow("free: away when idle, free again at input") << Desktop::X << 0 << QByteArray("online")
                                                                  << QString() << "127.0.4.10";
        QTest::newRow("busy: away when idle, busy again at input") << Desktop::X << 1 << QByteArray("  busy")
                                                                  << QString() << "127.0.4.12";
        QTest::newRow("away by hand: left alone") << Desktop::X << 2 << QByteArray() << QString() << "127.0.4.14";
        QTest::newRow("offscreen: no auto-away")
            << Desktop::Offscreen << 0 << QByteArray()
            << "auto-away off: the Qt platform is offscreen: there is no desktop input to watch" << "127.0.4.16";
        QTest::newRow("Wayland session: no auto-away")
            << Desktop::Wayland << 0 << QByteArray()
            << "auto-away off: Wayland session: an X server there sees only the input of its own windows"
            << "127.0.4.18";
    }
    void statusFollowsInput()
    {
        QFETCH(Desktop, desktop);
        QFETCH(int, status);
        QFETCH(QByteArray, back);
        QFETCH(QString, whyOff);
        QFETCH(QString, address);
        const QString peerAddress = address.section(u'.', 0, 2) + u'.' + QString::number(address.section(u'.', 3).toInt() + 1);

        FakePeer peer(peerAddress, false);
        QVERIFY(peer.isListening());
        ProgramProcess program(address);
        QFile ini(program.home() + QStringLiteral("/parlix7.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(settings(status, peerAddress));
        ini.close();
        if (desktop != Desktop::Offscreen)
            program.setDisplay(m_x.display());
        if (desktop == Desktop::Wayland)
            program.setEnvironment(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
        QVERIFY(program.start());

        // The peer asks; the answer marks it connected in the copy, so that status notices reach
        // it. Meanwhile the user is busy at the desk.
        QVERIFY(sendSystem(peerAddress, address, "[px001][0000000025][online][           Peer][online][\r]"));
        QDeadlineTimer deadline(20000);
        QByteArray answer;
        while (answer.isEmpty() && !deadline.hasExpired()) {
            QVERIFY2(wiggle(), qPrintable(m_x.errorString()));
            QTest::qWait(200);
            answer = find(peer, 0, "[px001][0000000025][onlin2]");
        }
        QVERIFY2(!answer.isEmpty(), "the copy did not answer the peer");
        const QByteArray statusTags[] = {"[online]", "[  busy]", "[offlin]"};
        QVERIFY2(answer.contains("[           Away]" + statusTags[status]), answer.constData());

        const qsizetype idleFrom = peer.received.size();
        if (!back.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(!find(peer, idleFrom, "[px002]").isEmpty(), 15000);
            QCOMPARE(find(peer, idleFrom, "[px002]"), statusNotice("offlin"));
            const qsizetype awayFrom = peer.received.size();
            QVERIFY2(wiggle(), qPrintable(m_x.errorString()));
            QTRY_VERIFY_WITH_TIMEOUT(!find(peer, awayFrom, "[px002]").isEmpty(), 15000);
            QCOMPARE(find(peer, awayFrom, "[px002]"), statusNotice(back));
        } else {
            // Three thresholds and more without input, then input: nothing is announced.
            QTest::qWait(8000);
            QVERIFY2(wiggle(), qPrintable(m_x.errorString()));
            QTest::qWait(4000);
            QCOMPARE(find(peer, idleFrom, "[px002]"), QByteArray());
        }

        QVERIFY(program.terminate() >= 0);
        QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.process().exitCode(), 0);
        QFile log(program.home() + QStringLiteral("/_px_log.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray lines = log.readAll();
        if (whyOff.isEmpty())
            QVERIFY(!lines.contains("auto-away off"));
        else
            QVERIFY2(lines.contains(whyOff.toLatin1()), lines.constData());
    }

    void cleanupTestCase() { m_x.stop(); }
};

QTEST_GUILESS_MAIN(TestAutoAwayProgram)
#include "test_autoaway_program.moc"
