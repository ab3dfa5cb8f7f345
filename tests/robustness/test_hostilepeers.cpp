// Careless and hostile peers on loopback against a copy of the program on 127.0.6.1. While each of
// them does its worst, a well-behaved copy on 127.0.6.2 sends a real message that must still be
// shown, the process's threads and memory stay within generous bounds, and nothing lands outside
// the folder chosen for received files. "CheckBox_iponly" is on in every copy (RunningCopy), so
// no name lookup leaves the machine.
#include "processfigures.h"

#include "support/fakepeer.h"
#include "support/programprocess.h"
#include "support/runningcopy.h"

#include "app/parlixapp.h"
#include "contacts/contacttable.h"
#include "net/receivingserver.h"
#include "net/sendjobs.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

#include <sys/resource.h>

namespace {

const QString kTarget = QStringLiteral("127.0.6.1");
const QString kSender = QStringLiteral("127.0.6.2");
const QColor kRed(255, 0, 0);
constexpr int kMaxThreads = 1100;       // 1,024 connections and a few jobs at the very most
constexpr qint64 kMaxGrowthKb = 400 * 1024;

using Sockets = std::vector<std::unique_ptr<QTcpSocket>>;

// Opens `count` connections to the target, spread over the given source addresses; each socket
// writes `bytes` once connected (nothing when empty).
Sockets openConnections(int count, const QStringList &from, const QByteArray &bytes = QByteArray(),
                        const QString &to = kTarget)
{
    Sockets sockets;
    for (int i = 0; i < count; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(QHostAddress(from[i % from.size()]), 0);
        socket->connectToHost(to, 7456);
        if (!bytes.isEmpty())
            QObject::connect(socket.get(), &QTcpSocket::connected, socket.get(),
                             [s = socket.get(), bytes] { s->write(bytes); });
        sockets.push_back(std::move(socket));
        if (i % 50 == 49)
            QTest::qWait(20); // let the listener keep up, as a real burst over a LAN would
    }
    return sockets;
}

int closedByPeer(const Sockets &sockets)
{
    int closed = 0;
    for (const auto &socket : sockets)
        closed += socket->state() == QAbstractSocket::UnconnectedState;
    return closed;
}

QStringList addresses(const QString &prefix, int first, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << prefix + QString::number(first + i);
    return list;
}

// Every file under `root`, relative to it.
QSet<QString> filesUnder(const QString &root)
{
    QSet<QString> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.insert(QDir(root).relativeFilePath(it.next()));
    return files;
}

} // namespace

class TestHostilePeers : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_temp;
    std::unique_ptr<RunningCopy> m_target;
    std::unique_ptr<RunningCopy> m_sender;
    qint64 m_baseKb = 0;
    int m_sent = 0;

    // A real message from the well-behaved copy, shown by the target within the time.
    bool messageGetsThrough()
    {
        const QByteArray text = "well-behaved " + QByteArray::number(++m_sent);
        QFile file(m_temp.filePath(QStringLiteral("message-%1.rtf").arg(m_sent)));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write("{\\rtf1\\ansi " + text + "}");
        file.close();
        if (!m_sender->app().jobs().sendfileto3('1', file.fileName(), kTarget, 7456, "Target", "Bob"))
            return false;
        QDeadlineTimer deadline(45000);
        while (!deadline.hasExpired()) {
            for (const RunningCopy::Message &message : m_target->messages)
                if (message.content.contains(text) && message.peerip == kSender)
                    return true;
            QTest::qWait(50);
        }
        return false;
    }

    void checkBounds()
    {
        QVERIFY2(ProcessFigures::threads() < kMaxThreads, qPrintable(QString::number(ProcessFigures::threads())));
        const qint64 growth = ProcessFigures::residentKb() - m_baseKb;
        QVERIFY2(growth < kMaxGrowthKb, qPrintable(QStringLiteral("%1 kB more").arg(growth)));
    }

private slots:
    void initTestCase()
    {
        // 500 connections need 1,000 descriptors in this one process (both ends).
        rlimit limit{};
        getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
        qputenv("TEMP", m_temp.path().toUtf8());
        m_target = std::make_unique<RunningCopy>(kTarget);
        m_sender = std::make_unique<RunningCopy>(kSender);
        QVERIFY(m_target->app().server().isActive());
        QVERIFY(messageGetsThrough());
        m_baseKb = ProcessFigures::residentKb();
    }

    void cleanupTestCase()
    {
        m_sender.reset();
        m_target.reset();
    }

    void silentConnections_data()
    {
        QTest::addColumn<int>("sources");
        QTest::addColumn<int>("mostLeftOpen");
        QTest::newRow("500 from one address") << 1 << 64;
        QTest::newRow("500 from 50 addresses") << 50 << 500;
    }

    void silentConnections()
    {
        QFETCH(int, sources);
        QFETCH(int, mostLeftOpen);
        const Sockets sockets = openConnections(500, addresses("127.0.6.", 10, sources));
        // Those beyond the limit per address are closed at once, not after a time-out.
        QTRY_VERIFY_WITH_TIMEOUT(closedByPeer(sockets) >= 500 - mostLeftOpen, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(m_target->app().server().activeConnections() >= std::min(mostLeftOpen, 500) - 5, 15000);
        QVERIFY(m_target->app().server().activeConnections() <= mostLeftOpen);
        QVERIFY(messageGetsThrough());
        checkBounds();
    }

    void connectionThreadsComeBack()
    {
        // After the floods the connections end and at most 16 idle threads stay.
        QTRY_VERIFY_WITH_TIMEOUT(m_target->app().server().activeConnections() == 0, 40000);
        QTRY_VERIFY_WITH_TIMEOUT(m_target->app().server().connectionThreads() <= 16, 10000);
    }

    void trickle()
    {
        // After a whole preamble (a first read must hold it), the rest of a message's header and
        // its payload arrive one byte a second: such peers are served as long as bytes keep
        // coming, and never hold up anybody else.
        const QByteArray rest = "1\rSlow\r00000001\r{\\rtf1 slow}";
        Sockets sockets = openConnections(20, addresses("127.0.6.", 80, 20), "5183chatlink294\r");
        QVERIFY(QTest::qWaitFor([&] { return std::all_of(sockets.cbegin(), sockets.cend(), [](const auto &s) {
            return s->state() == QAbstractSocket::ConnectedState && s->bytesToWrite() == 0; }); }, 5000));
        bool delivered = false;
        for (int i = 0; i < 8; ++i) {
            for (auto &socket : sockets)
                socket->write(rest.mid(i, 1));
            if (i == 3)
                delivered = messageGetsThrough();
            QTest::qWait(1000);
        }
        QVERIFY(delivered);
        QCOMPARE(closedByPeer(sockets), 0); // a slow peer is still served
        checkBounds();
    }

    void badRequestsAreClosed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("preamble with line feed") << QByteArray("5183chatlink294\n1\rX\r1\r");
        QTest::newRow("short preamble") << QByteArray("5183chatlink29\r1\rX\r1\r");
        QTest::newRow("http") << QByteArray("GET / HTTP/1.0\r\n\r\n");
        QTest::newRow("zero bytes") << QByteArray(64, '\0');
        QTest::newRow("10 MB sender line") << "5183chatlink294\r1\r" + QByteArray(10 << 20, 'n') + "\r1\r";
        QTest::newRow("10 MB file-name line") << "5183chatlink294\r0\rX\r" + QByteArray(10 << 20, 'f') + "\rdata";
        QTest::newRow("10 MB kind line") << "5183chatlink294\r" + QByteArray(10 << 20, '1') + "\rX\r";
    }

    void badRequestsAreClosed()
    {
        QFETCH(QByteArray, bytes);
        const qsizetype linesBefore = m_target->lines.size();
        const qsizetype messagesBefore = m_target->messages.size();
        QTcpSocket socket;
        socket.bind(QHostAddress("127.0.6.90"), 0);
        socket.connectToHost(kTarget, 7456);
        QVERIFY(socket.waitForConnected(5000));
        socket.write(bytes);
        // The program drops the connection (well before its 30-second time-out) and shows nothing.
        QTRY_VERIFY_WITH_TIMEOUT(socket.state() == QAbstractSocket::UnconnectedState, 20000);
        QVERIFY(messageGetsThrough());
        QCOMPARE(m_target->messages.size(), messagesBefore + 1);
        for (qsizetype i = linesBefore; i < m_target->lines.size(); ++i)
            QVERIFY2(!m_target->lines[i].first.contains("от[X]"), qPrintable(m_target->lines[i].first));
        checkBounds();
    }

    void fileNamesStayInSavedir_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("stored");
        QTest::newRow("../../x") << QByteArray("../../x") << "x";
        QTest::newRow("/etc/passwd") << QByteArray("/etc/passwd") << "passwd";
        QTest::newRow("empty") << QByteArray() << "received-file";
        QTest::newRow(".") << QByteArray(".") << "received-file";
        QTest::newRow("..") << QByteArray("..") << "received-file";
        QTest::newRow("backslashes") << QByteArray("..\\..\\win.ini") << "win.ini";
        QTest::newRow("control characters") << QByteArray("a\x01\x1b[2Jb") << "received-file";
        QTest::newRow("dots at the end") << QByteArray("sub/../../") << "received-file";
    }

    void fileNamesStayInSavedir()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, stored);
        const QString home = QDir(m_target->home()).absolutePath();
        const QString savedir = QDir(m_target->savedir()).absolutePath();
        const QSet<QString> before = filesUnder(home);
        const QByteArray payload = "payload of " + name.toHex();
        const qsizetype linesBefore = m_target->lines.size();
        QTcpSocket socket;
        socket.bind(QHostAddress("127.0.6.91"), 0);
        socket.connectToHost(kTarget, 7456);
        QVERIFY(socket.waitForConnected(5000));
        socket.write("5183chatlink294\r0\rMallory\r" + name + '\r');
        QVERIFY(socket.waitForReadyRead(10000));
        QCOMPARE(socket.read(1), QByteArray("1"));
        socket.write(payload);
        QVERIFY(socket.waitForReadyRead(10000)); // "ok"
        socket.disconnectFromHost();
        const QString target = QDir(savedir).filePath(stored);
        const QString arrived = QStringLiteral("Пришел файл ( file://") + target + QStringLiteral(" ) от[Mallory]");
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(m_target->lines.cbegin() + linesBefore, m_target->lines.cend(),
                                             [&](const auto &line) { return line.first.endsWith(arrived); }),
                                 20000);
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), payload);
        file.close();
        QVERIFY(file.remove());
        // Nothing new in the data folder but in savedir and the program's own files; nothing
        // beside it.
        for (const QString &path : filesUnder(home) - before) {
            const QString absolute = QDir(home).absoluteFilePath(path);
            QVERIFY2(absolute.startsWith(savedir + u'/') || QFileInfo(absolute).absolutePath() == home
                         || absolute.startsWith(home + QStringLiteral("/INCOME/")),
                     qPrintable(absolute));
        }
        QVERIFY(!QFileInfo::exists(QDir(savedir).filePath("../../x")));
    }

    void bigSystemMessage()
    {
        const qsizetype before = m_target->systemMessages.size();
        QTcpSocket socket;
        socket.bind(QHostAddress("127.0.6.92"), 0);
        socket.connectToHost(kTarget, 7456);
        QVERIFY(socket.waitForConnected(5000));
        socket.write("5183chatlink294\r3\rBig\r[px001][0000000025][online][            Big][online][" + QByteArray(1 << 20, 'e'));
        socket.disconnectFromHost();
        QTRY_VERIFY_WITH_TIMEOUT(m_target->systemMessages.size() == before + 1, 30000);
        QVERIFY(m_target->systemMessages.last().size() <= 1 << 20);
        QVERIFY(messageGetsThrough());
        checkBounds();
    }

    void onlineQueryFlood()
    {
        // 2,000 online queries from 200 addresses: the table fills up, the rest get the notice
        // that it is full, and every query is answered by a job of its own.
        const QStringList from = addresses("127.0.7.", 1, 100) + addresses("127.0.8.", 1, 100);
        int peakThreads = 0;
        for (int round = 0; round < 10; ++round) {
            Sockets sockets;
            for (int i = 0; i < from.size(); ++i) {
                const QByteArray name = QByteArray::number(round * 1000 + i).rightJustified(15, ' ');
                sockets.push_back(std::make_unique<QTcpSocket>());
                QTcpSocket *socket = sockets.back().get();
                socket->bind(QHostAddress(from[i]), 0);
                socket->connectToHost(kTarget, 7456);
                QObject::connect(socket, &QTcpSocket::connected, socket, [socket, name] {
                    socket->write("5183chatlink294\r3\rFlood\r[px001][0000000025][online][" + name + "][online][\r]");
                    socket->disconnectFromHost();
                });
            }
            QVERIFY(QTest::qWaitFor([&] { peakThreads = std::max(peakThreads, ProcessFigures::threads());
                                          return closedByPeer(sockets) == int(sockets.size()); }, 30000));
        }
        QVERIFY2(peakThreads < kMaxThreads, qPrintable(QString::number(peakThreads)));
        QVERIFY(messageGetsThrough());
        int rows = 0;
        for (int row = 1; row <= 100; ++row)
            rows += !m_target->app().table().cell(row, ContactTable::Address).isEmpty();
        QCOMPARE(rows, 100);
        QTRY_VERIFY_WITH_TIMEOUT(m_target->hasLine("В таблице кончились пустые ячейки", kRed), 30000);
        checkBounds();
    }

    void peerThatNeverReads()
    {
        // A peer that accepts and then neither reads nor answers: the job sending to it gives up
        // after its time-out, and meanwhile everything else goes on.
        QTcpServer deaf;
        QVERIFY(deaf.listen(QHostAddress("127.0.6.5"), 7456));
        QFile file(m_temp.filePath("big.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8 << 20, 'b'));
        file.close();
        QVERIFY(m_target->app().jobs().sendfileto3('0', file.fileName(), "127.0.6.5", 7456, "Deaf", "Target"));
        QVERIFY(messageGetsThrough());
        QTRY_VERIFY_WITH_TIMEOUT(m_target->hasLine(" Ошибка при передаче.", kRed), 45000);
        QVERIFY(file.exists()); // a file the user sent is never deleted
        checkBounds();
    }

    void descriptorsRunOut()
    {
        // A program process that may hold only 256 descriptors: a flood of 300 connections
        // must neither end it nor leave it deaf once the flood is gone.
        ProgramProcess program("127.0.6.120");
        program.process().setChildProcessModifier([] {
            rlimit limit{256, 256};
            setrlimit(RLIMIT_NOFILE, &limit);
        });
        QVERIFY(program.start());
        {
            const Sockets sockets = openConnections(300, addresses("127.0.6.", 130, 30), QByteArray(), "127.0.6.120");
            QTest::qWait(3000);
            QVERIFY(program.process().state() == QProcess::Running);
        }
        QTest::qWait(1000);
        FakePeer peer("127.0.6.121", false);
        QVERIFY(peer.isListening());
        QTcpSocket socket;
        socket.bind(QHostAddress("127.0.6.121"), 0);
        socket.connectToHost("127.0.6.120", 7456);
        QVERIFY(socket.waitForConnected(5000));
        socket.write("5183chatlink294\r3\rPeer\r[px001][0000000025][online][           Peer][online][\r]");
        QVERIFY(socket.waitForBytesWritten(5000));
        socket.disconnectFromHost();
        // The answer comes back on a connection of its own (after the job's empty probe).
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(peer.received.cbegin(), peer.received.cend(),
                                             [](const QByteArray &bytes) { return bytes.contains("[onlin2]"); }),
                                 20000);
    }
};

QTEST_MAIN(TestHostilePeers)
#include "test_hostilepeers.moc"
