// Two real copies on loopback addresses exchanging every kind of request, a fake peer checking
// the bytes both ways, and the receiver's limits.
#include "support/fakepeer.h"
#include "support/programprocess.h"
#include "support/runningcopy.h"

#include "contacts/contacttable.h"
#include "net/receivedfile.h"
#include "platform/codepage.h"
#include "net/receivingserver.h"
#include "net/sendjobs.h"
#include "net/tmyserverthread.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTest>

#include <sys/socket.h>

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

// Writes raw bytes as a peer would and collects what the copy answers until it closes.
QByteArray exchange(const QString &address, const QByteArray &request, bool closeAfterWrite, int waitMs = 5000)
{
    QTcpSocket socket;
    socket.connectToHost(address, 7456);
    if (!socket.waitForConnected(5000))
        return "<no connection>";
    socket.write(request);
    socket.waitForBytesWritten(5000);
    if (closeAfterWrite)
        socket.disconnectFromHost();
    QByteArray answer;
    QElapsedTimer timer;
    timer.start();
    while (socket.state() == QAbstractSocket::ConnectedState && timer.elapsed() < waitMs) {
        socket.waitForReadyRead(100);
        answer += socket.readAll();
    }
    return answer + socket.readAll();
}

// A transfer as a sending copy makes it: the header, the go byte, the payload and its "ok", then
// the close; returns everything the copy wrote back.
QByteArray transfer(const QString &address, const QByteArray &header, const QByteArray &payload)
{
    QTcpSocket socket;
    socket.connectToHost(address, 7456);
    if (!socket.waitForConnected(5000))
        return "<no connection>";
    socket.write(header);
    QByteArray answer;
    while (answer.size() < 1 && socket.waitForReadyRead(5000))
        answer += socket.readAll();
    socket.write(payload);
    while (answer.size() < 3 && socket.waitForReadyRead(5000))
        answer += socket.readAll();
    socket.disconnectFromHost();
    return answer;
}

} // namespace

class TestTransport : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_files;

private slots:
    void initTestCase() { qputenv("TEMP", m_files.filePath("temp").toUtf8()); QDir().mkpath(m_files.filePath("temp")); }

    void fileArrivesWithProgress()
    {
        RunningCopy a("127.0.0.31"), b("127.0.0.32");
        const QByteArray bytes = randomBytes(5000);
        const QString path = writeFile(m_files.filePath("report.doc"), bytes);
        QVERIFY(a.app().jobs().sendfileto3('0', path, "127.0.0.32", 7456, "Bob", "Alice"));
        QTRY_VERIFY_WITH_TIMEOUT(a.hasLine(" послали report.doc для Bob", kBlue), 20000);
        QTRY_VERIFY(b.hasLine("Пришел файл ( file://" + b.savedir() + "/report.doc ) от[Alice]", kRed));
        QCOMPARE(readFile(b.savedir() + "/report.doc"), bytes);
        const QStringList progress = a.statusTexts.filter(QRegularExpression("%$"));
        QCOMPARE(progress.mid(0, 3), (QStringList{"40%", "81%", "100%"}));
        QTRY_COMPARE(a.app().jobs().running(), 0);
        QVERIFY(QFile::exists(path)); // a file the user chose is never deleted

        // The same name again: the first copy moves aside under its dated name.
        const QByteArray second = randomBytes(3000);
        writeFile(path, second);
        QVERIFY(a.app().jobs().sendfileto3('0', path, "127.0.0.32", 7456, "Bob", "Alice"));
        QTRY_COMPARE_WITH_TIMEOUT(QDir(b.savedir()).entryList(QDir::Files).size(), 2, 20000);
        QTRY_COMPARE(readFile(b.savedir() + "/report.doc"), second);
        const QStringList aside = QDir(b.savedir()).entryList({"report.*.doc"}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QVERIFY(QRegularExpression("^report\\.\\d{4}-\\d\\d-\\d\\d--\\d\\d-\\d\\d-\\d\\d\\.doc$").match(aside[0]).hasMatch());
        QCOMPARE(readFile(b.savedir() + "/" + aside[0]), bytes);
    }

    void messagesLettersNoticesAndLists()
    {
        RunningCopy a("127.0.0.33"), b("127.0.0.34");
        const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\par}";
        const QString message = writeFile(m_files.filePath("temp/11112222"), rtf);
        QVERIFY(a.app().jobs().sendfileto3('1', message, "127.0.0.34", 7456, "Bob", "Alice"));
        const QString letter = writeFile(m_files.filePath("temp/33334444"), "letter body");
        QVERIFY(a.app().jobs().sendfileto3('2', letter, "127.0.0.34", 7456, "Bob", "Alice"));
        QTRY_COMPARE_WITH_TIMEOUT(b.messages.size(), 2, 20000);
        for (const auto &m : b.messages) {
            QCOMPARE(m.peerip, QString("127.0.0.33"));
            QCOMPARE(m.content, m.letter ? QByteArray("letter body") : rtf);
        }
        QVERIFY(b.messages[0].letter != b.messages[1].letter);
        QTRY_COMPARE(a.app().jobs().running(), 0);
        QVERIFY(!QFile::exists(message)); // the jobs delete their temporary files
        QVERIFY(!QFile::exists(letter));

        QVERIFY(a.app().jobs().sendaddr("[px004]", "Alice", "127.0.0.34", 7456));
        QVERIFY(a.app().jobs().sendfileto4(QStringLiteral("занят, позже"), "Alice", "127.0.0.34"));
        const QString list = writeFile(m_files.filePath("temp/55556666"), "10.0.0.1\r\n10.0.0.2\r\n");
        QVERIFY(a.app().jobs().sendfileto3('5', list, "127.0.0.34", 7456, "Bob", "Alice"));
        QTRY_COMPARE_WITH_TIMEOUT(b.notices.size(), 2, 20000);
        QTRY_COMPARE(b.systemMessages, QList<QByteArray>{"[px004]"});
        for (const auto &n : b.notices) {
            QCOMPARE(n.sender, QString("Alice"));
            if (n.code == 22)
                QCOMPARE(n.text, QByteArray("\xe7\xe0\xed\xff\xf2, \xef\xee\xe7\xe6\xe5"));
            else
                QCOMPARE(n.text, QByteArray("55556666\r10.0.0.1\r\n10.0.0.2\r\n")); // the file name comes first
        }
        QVERIFY(b.hasLine("] [Alice] (автоответчик)", kRed)); // the notice is shown
        QVERIFY(b.hasLine(QStringLiteral("занят, позже"), QColor(Qt::black)));
    }

    void emptyAndRefusedFilesFail()
    {
        RunningCopy a("127.0.0.35"), b("127.0.0.36"), asking("127.0.0.37", "CheckBox8=1\r\n");
        const QString empty = writeFile(m_files.filePath("empty.bin"), QByteArray());
        QVERIFY(a.app().jobs().sendfileto3('0', empty, "127.0.0.36", 7456, "Bob", "Alice"));
        QTRY_VERIFY_WITH_TIMEOUT(b.hasLine("Ошибка/отказ при приеме файла (" + b.savedir() + "/empty.bin) от[Alice]", kRed), 20000);
        QVERIFY(a.hasLine(" послали empty.bin для Bob", kBlue));
        QTRY_VERIFY_WITH_TIMEOUT(!a.notices.isEmpty(), 20000);
        QCOMPARE(a.notices[0].code, 22);
        QCOMPARE(a.notices[0].text, CodePage::fromUnicode(QStringLiteral("Ошибка при приеме вашего файла.(empty.bin)")));
        QVERIFY(QDir(b.savedir()).entryList(QDir::Files).isEmpty());

        // Offscreen nobody can answer the question: the file is refused.
        const QString file = writeFile(m_files.filePath("data.bin"), "12345");
        a.notices.clear();
        QVERIFY(a.app().jobs().sendfileto3('0', file, "127.0.0.37", 7456, "Bob", "Alice"));
        QTRY_VERIFY_WITH_TIMEOUT(a.hasLine("  Ошибка при передаче.", kRed), 40000);
        QTRY_VERIFY_WITH_TIMEOUT(!a.notices.isEmpty(), 20000);
        QCOMPARE(a.notices[0].text, CodePage::fromUnicode(QStringLiteral("Ваш файл не принят.")));
        QVERIFY(!QDir(asking.savedir()).exists() || QDir(asking.savedir()).entryList(QDir::Files).isEmpty());
        QVERIFY(asking.lines.isEmpty());
    }

    void peerSwitchedOff()
    {
        RunningCopy a("127.0.0.38");
        const QString message = writeFile(m_files.filePath("temp/77778888"), "hello");
        QVERIFY(a.app().jobs().sendfileto3('1', message, "127.0.0.39", 7456, "Bob", "Alice"));
        QTRY_VERIFY_WITH_TIMEOUT(a.hasLine("] сообщение не отправлено.", kRed), 20000);
        QTRY_VERIFY(a.hasLine("]  Сообщение не доставлено.", kRed));
        QCOMPARE(a.unreachable, QStringList{"127.0.0.39"});
        QTRY_COMPARE(a.app().jobs().running(), 0);
        QVERIFY(!QFile::exists(message));
    }

    void receiverRejectsBadPreambles_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("line feed instead of CR") << QByteArray("5183chatlink294\n4\rBob\rhello");
        QTest::newRow("wrong token") << QByteArray("5183chatlink295\r4\rBob\rhello");
        QTest::newRow("short token") << QByteArray("5183chatlink29\r4\rBob\rhello");
        QTest::newRow("nothing at all") << QByteArray();
    }
    void receiverRejectsBadPreambles()
    {
        QFETCH(QByteArray, request);
        RunningCopy b("127.0.0.40");
        QCOMPARE(exchange("127.0.0.40", request, false), QByteArray()); // closed by the copy, no reply
        QTest::qWait(200);
        QVERIFY(b.notices.isEmpty());
    }

    void receiverReadsTheHeaderByItsRules()
    {
        RunningCopy b("127.0.0.43", "CheckBox_log=1\r\n");
        // "12" is kind 2: the last byte before CR counts.
        QCOMPARE(transfer("127.0.0.43", "5183chatlink294\r12\rBob\r00001111\r", "body"), QByteArray("1ok"));
        QTRY_COMPARE(b.messages.size(), 1);
        QVERIFY(b.messages[0].letter);
        QCOMPARE(b.messages[0].content, QByteArray("body"));
        // A sender line over 999 bytes keeps its first 999.
        exchange("127.0.0.43", "5183chatlink294\r4\r" + QByteArray(1500, 'S') + "\rnotice", true);
        QTRY_COMPARE(b.notices.size(), 1);
        QCOMPARE(b.notices[0].sender, QString(999, 'S'));
        QCOMPARE(b.notices[0].text, QByteArray("notice"));
        // A file name with folders lands in the received-files folder under its last part.
        QCOMPARE(transfer("127.0.0.43", "5183chatlink294\r0\rBob\r../../outside.txt\r", "data"), QByteArray("1ok"));
        QTRY_COMPARE(readFile(b.savedir() + "/outside.txt"), QByteArray("data"));
        QVERIFY(!QFile::exists(QFileInfo(b.savedir()).dir().filePath("outside.txt")));
        QVERIFY(!QFile::exists(b.home() + "/../outside.txt"));
        const QByteArray log = readFile(b.home() + "/_px_log.log");
        QVERIFY(log.contains("[srv] index=2\r\n"));
        QVERIFY(log.contains("[srv] MySocket->Read init ok\r\n"));
    }

    void receivedFileNames_data()
    {
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("stored");
        QTest::newRow("plain") << "a.txt" << "a.txt";
        QTest::newRow("unix path") << "/etc/passwd" << "passwd";
        QTest::newRow("windows path") << "C:\\x\\..\\b.doc" << "b.doc";
        QTest::newRow("dot dot") << ".." << "received-file";
        QTest::newRow("empty") << "" << "received-file";
        QTest::newRow("ends in a slash") << "dir/" << "received-file";
        QTest::newRow("control character") << "a\x01b" << "received-file";
    }
    void receivedFileNames()
    {
        QFETCH(QString, sent);
        QFETCH(QString, stored);
        QCOMPARE(ReceivedFile::safeName(sent), stored);
    }

    void datedNames()
    {
        const QDateTime when(QDate(2004, 4, 27), QTime(15, 21, 51));
        QCOMPARE(ReceivedFile::datedName("report.doc", when), QString("report.2004-04-27--15-21-51.doc"));
        QCOMPARE(ReceivedFile::datedName("README", when), QString("README.2004-04-27--15-21-51"));
        QCOMPARE(ReceivedFile::datedName("a.tar.gz", when, 2), QString("a.tar.2004-04-27--15-21-51(2).gz"));
    }

    void renameThatCannotHappenKeepsBothFiles()
    {
        QTemporaryDir dir;
        const QDateTime when(QDate(2004, 4, 27), QTime(15, 21, 51));
        writeFile(dir.filePath("x.txt"), "first");
        // Every dated name is taken by a folder: the old file cannot move aside.
        for (int i = 0; i < 100; ++i)
            QDir().mkpath(dir.filePath(ReceivedFile::datedName("x.txt", when, i)) + "/keep");
        QFile file;
        const QString path = ReceivedFile::create(dir.path(), "x.txt", when, file);
        QCOMPARE(path, dir.filePath("x(1).txt"));
        file.write("second");
        file.close();
        QCOMPARE(readFile(dir.filePath("x.txt")), QByteArray("first"));
        QCOMPARE(readFile(path), QByteArray("second"));
    }

    void accessCheckRows_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("iponly");
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<int>("lookups");
        QTest::newRow("address with a blank") << QStringList{"", "-", "192.168.1.5 "} << false << true << 0;
        QTest::newRow("other address") << QStringList{"192.168.1.6"} << false << false << 0;
        QTest::newRow("name matches") << QStringList{"pc7"} << false << true << 1;
        QTest::newRow("name with iponly") << QStringList{"pc7", "PC7"} << true << false << 0;
        QTest::newRow("name looked up once") << QStringList{"x", "y", "PC7 "} << false << true << 1;
    }
    void accessCheckRows()
    {
        QFETCH(QStringList, rows);
        QFETCH(bool, iponly);
        QFETCH(bool, allowed);
        QFETCH(int, lookups);
        int asked = 0;
        QCOMPARE(TMyServerThread::allowedByRows(rows, "192.168.1.5", iponly, [&] { ++asked; return QString(" Pc7 "); }),
                 allowed);
        QCOMPARE(asked, lookups);
    }

    void deniedPeerIsClosedUnread()
    {
        RunningCopy b("127.0.0.44", "allaccs=0\r\n"), a("127.0.0.45");
        b.app().table().setCell(1, 2, "127.0.0.45 ");
        QCOMPARE(exchange("127.0.0.44", "5183chatlink294\r4\rEve\rhi", true), QByteArray()); // from 127.0.0.1
        QVERIFY(a.app().jobs().sendfileto4("ok from a", "Alice", "127.0.0.44"));
        QTRY_COMPARE_WITH_TIMEOUT(b.notices.size(), 1, 20000);
        QCOMPARE(b.notices[0].peerip, QString("127.0.0.45"));
    }

    void sendJobWritesTheProtocol()
    {
        FakePeer peer("127.0.0.46");
        QVERIFY(peer.isListening());
        RunningCopy a("127.0.0.47");
        QVERIFY(a.app().jobs().sendfileto4(QStringLiteral("привет"), "Bob", "127.0.0.46"));
        QTRY_COMPARE_WITH_TIMEOUT(peer.closed, (QList<bool>{true, true}), 20000);
        QCOMPARE(peer.received[0], QByteArray()); // the probe writes nothing
        QCOMPARE(peer.received[1], QByteArray("5183chatlink294\r4\rBob\r\xef\xf0\xe8\xe2\xe5\xf2"));

        const QByteArray bytes = randomBytes(5000);
        const QString path = writeFile(m_files.filePath("f.bin"), bytes);
        QVERIFY(a.app().jobs().sendfileto3('0', path, "127.0.0.46", 7456, "Bob", "Alice"));
        QTRY_COMPARE_WITH_TIMEOUT(peer.closed.size(), 4, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(peer.closed[3], 20000);
        QCOMPARE(peer.received[2], QByteArray());
        QCOMPARE(peer.received[3], "5183chatlink294\r0\rAlice\rf.bin\r" + bytes);
        QTRY_VERIFY(a.hasLine(" послали f.bin для Bob", kBlue));
    }

    void sendModeDeliversOneNoticeAndEnds()
    {
        FakePeer peer("127.0.0.48");
        ProgramProcess program("127.0.0.49");
        QVERIFY(program.runToEnd({"--home", program.home(), "--listen", "127.0.0.49", "/send", "127.0.0.48", "Bob",
                                  "two", "words"}, 30000));
        QCOMPARE(program.process().exitCode(), 0);
        QTRY_COMPARE(peer.closed, (QList<bool>{true, true}));
        QCOMPARE(peer.received[1], QByteArray("5183chatlink294\r4\rBob\r two words"));

        // Nobody there: it still ends by itself, within the probe's ten seconds and a little.
        ProgramProcess lonely("127.0.0.49");
        QElapsedTimer timer;
        timer.start();
        QVERIFY(lonely.runToEnd({"--home", lonely.home(), "--listen", "127.0.0.49", "/SEND", "127.0.0.50", "Bob"}, 30000));
        QVERIFY(timer.elapsed() < 25000);
    }

    void idleConnectionsDoNotBlockAndLimitsHold()
    {
        RunningCopy b("127.0.0.51"), a("127.0.0.52");
        QList<QTcpSocket *> idle;
        for (int i = 0; i < 200; ++i) {
            auto *socket = new QTcpSocket(this);
            socket->bind(QHostAddress(QString("127.0.1.%1").arg(1 + i / 50)), 0);
            socket->connectToHost("127.0.0.51", 7456);
            idle << socket;
        }
        for (QTcpSocket *socket : idle)
            QVERIFY(socket->waitForConnected(5000));
        QTRY_COMPARE_WITH_TIMEOUT(b.app().server().activeConnections(), 200, 10000);
        QVERIFY(a.app().jobs().sendfileto4("still served", "Alice", "127.0.0.51"));
        QTRY_COMPARE_WITH_TIMEOUT(b.notices.size(), 1, 20000);
        QCOMPARE(b.notices[0].text, QByteArray("still served"));

        // 64 from one address at most: the next one from 127.0.1.1 is closed at once.
        QList<QTcpSocket *> more;
        for (int i = 0; i < 15; ++i) {
            auto *socket = new QTcpSocket(this);
            socket->bind(QHostAddress("127.0.1.1"), 0);
            socket->connectToHost("127.0.0.51", 7456);
            QVERIFY(socket->waitForConnected(5000));
            more << socket;
        }
        QTRY_VERIFY_WITH_TIMEOUT(more.last()->state() == QAbstractSocket::UnconnectedState
                                     || !more.last()->waitForReadyRead(100), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(b.app().server().activeConnections(), 214, 5000);
        qDeleteAll(idle);
        qDeleteAll(more);
    }
};

QTEST_MAIN(TestTransport)
#include "test_transport.moc"
