// Presence between real copies on loopback, the bytes of every system message, and hostile input.
#include "support/fakepeer.h"
#include "support/programprocess.h"
#include "support/runningcopy.h"

#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "net/sendjobs.h"
#include "net/systemmessage.h"
#include "presence/presence.h"
#include "presence/roster.h"
#include "ui/tform2.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTcpSocket>
#include <QTest>

namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

// Legacy list keys: a contact table written into the settings file.
QByteArray contacts(const QList<QPair<QString, QString>> &rows)
{
    QByteArray lines;
    for (int i = 0; i < rows.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1).rightJustified(4, '0');
        lines += "user_name" + n + "=" + rows[i].first.toUtf8() + "\r\nuser_addr" + n + "=" + rows[i].second.toUtf8() + "\r\n";
    }
    return lines;
}

int rowOf(ContactTable &table, const QString &address)
{
    for (int row = 1; row <= 100; ++row)
        if (table.cell(row, ContactTable::Address) == address)
            return row;
    return -1;
}

bool connected(RunningCopy &copy, const QString &address)
{
    const int row = rowOf(copy.app().table(), address);
    return row > 0 && copy.app().table().user(row)->connected;
}

// A system message as a peer at `from` sends it.
void sendSystem(const QString &from, const QString &to, const QByteArray &message)
{
    QTcpSocket socket;
    socket.bind(QHostAddress(from), 0);
    socket.connectToHost(to, 7456);
    QVERIFY(socket.waitForConnected(5000));
    socket.write("5183chatlink294\r3\rPeer\r" + message);
    QVERIFY(socket.waitForBytesWritten(5000));
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.waitForDisconnected(5000);
}

} // namespace

class TestPresence : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_temp;

private slots:
    void initTestCase() { qputenv("TEMP", m_temp.path().toUtf8()); }

    void threeCopiesSeeEachOther()
    {
        RunningCopy a("127.0.0.71", "usernam=Anna\r\n" + contacts({{"b", "127.0.0.72"}, {"c", "127.0.0.73"}}));
        RunningCopy b("127.0.0.72", "usernam=Boris\r\n" + contacts({{"a", "127.0.0.71"}, {"c", "127.0.0.73"}}));
        RunningCopy c("127.0.0.73", "usernam=Clara\r\n" + contacts({{"a", "127.0.0.71"}, {"b", "127.0.0.72"}}));
        for (RunningCopy *copy : {&a, &b, &c})
            for (const char *peer : {"127.0.0.71", "127.0.0.72", "127.0.0.73"})
                if (copy->address() != peer)
                    QTRY_VERIFY_WITH_TIMEOUT(connected(*copy, peer), 20000);
        // The rows carry the names the peers announce, and the roster lists them.
        QCOMPARE(b.app().table().cell(rowOf(b.app().table(), "127.0.0.71"), ContactTable::Name), QString("Anna"));
        QTRY_COMPARE(b.app().roster().items().size(), 2);
        QVERIFY(b.hasLine(" Подключился Anna.", kBlue));

        a.app().presence().ComboBox1Change(1, false);
        for (RunningCopy *copy : {&b, &c})
            QTRY_COMPARE_WITH_TIMEOUT(copy->app().table().user(rowOf(copy->app().table(), "127.0.0.71"))->status, 1, 20000);

        a.app().options().modify([](OptionValues &v) { v.usernam = "Annette"; v.add_inf = "room 5"; });
        a.app().presence().setNamefield(SystemMessage::namefield("Annette"));
        a.app().presence().sendNameNotice();
        QTRY_VERIFY_WITH_TIMEOUT(b.hasLine("] Anna теперь Annette.", kBlue), 20000);
        QTRY_COMPARE(c.app().table().cell(rowOf(c.app().table(), "127.0.0.71"), ContactTable::Extra), QString("room 5"));

        a.shutDown();
        for (RunningCopy *copy : {&b, &c})
            QTRY_VERIFY_WITH_TIMEOUT(copy->hasLine(" Отключился Annette.", kBlue), 20000);
        QVERIFY(!connected(b, "127.0.0.71"));
    }

    void unknownSenderIsAddedAndAnswered()
    {
        RunningCopy d("127.0.0.74");
        RunningCopy a("127.0.0.76", "usernam=Anna\r\n" + contacts({{"d", "127.0.0.74"}}));
        QTRY_VERIFY_WITH_TIMEOUT(connected(d, "127.0.0.76"), 20000);
        const int row = rowOf(d.app().table(), "127.0.0.76");
        QCOMPARE(d.app().table().cell(row, ContactTable::Name), QString("Anna"));
        QCOMPARE(d.app().table().cell(row, ContactTable::Notes), QStringLiteral("ваши заметки"));
        QTRY_VERIFY_WITH_TIMEOUT(connected(a, "127.0.0.74"), 20000); // the answer came back
    }

    void systemMessagesByteForByte()
    {
        FakePeer peer("127.0.0.77", false);
        RunningCopy a("127.0.0.78", contacts({{"peer", "127.0.0.77"}}));
        QTRY_COMPARE_WITH_TIMEOUT(peer.received.size(), 1, 20000);
        QTRY_VERIFY(peer.closed[0]);
        QCOMPARE(peer.received[0], QByteArray("5183chatlink294\r3\rUser\r[px001][0000000025][online][           User][online][\r]"));
        QCOMPARE(peer.received[0].size() - 23, 55);

        // The peer answers: now it is connected and hears every announcement, each closed by "]".
        sendSystem("127.0.0.77", "127.0.0.78", "[px001][0000000025][onlin2][           Peer][  busy][desk 3\r]");
        QTRY_VERIFY(connected(a, "127.0.0.77"));
        QCOMPARE(a.app().table().user(rowOf(a.app().table(), "127.0.0.77"))->status, 1);
        QCOMPARE(a.app().table().cell(rowOf(a.app().table(), "127.0.0.77"), ContactTable::Extra), QString("desk 3"));
        a.app().presence().ComboBox1Change(2, false);
        a.app().presence().sendNameNotice();
        QTRY_COMPARE_WITH_TIMEOUT(peer.received.size(), 5, 20000); // probe + notice, twice
        QStringList payloads;
        for (const QByteArray &bytes : peer.received.mid(1))
            if (!bytes.isEmpty())
                payloads << QString::fromLatin1(bytes);
        QVERIFY(payloads.contains("5183chatlink294\r3\rUser\r[px002][0000000025][offlin][           User]]")); // 45 bytes with the "]" of the broadcast
        QVERIFY(payloads.contains("5183chatlink294\r3\rUser\r[px003][0000000025][chname][           User]\r]"));
        a.shutDown();
        QTRY_VERIFY(peer.received.last() == "5183chatlink294\r3\rUser\r[px004]");
    }

    void analyze1SurvivesAnyInput()
    {
        RunningCopy a("127.0.0.79", contacts({{"x", "127.0.0.80"}}));
        Presence &presence = a.app().presence();
        QList<QByteArray> inputs = {QByteArray(), "[px001]", "[px001][0000000025][online]", "[px002]",
                                    "[px003][0000000025][chname][", "[px004]", QByteArray(10240, 'x'),
                                    "[px001][0000000025][online][" + QByteArray(10000, '\0')};
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        inputs << all << "[px001][0000000025][online]" + all << "[px003][0000000025][chname]" + all;
        for (int i = 0; i < 200; ++i) {
            QByteArray random(QRandomGenerator::global()->bounded(600), Qt::Uninitialized);
            for (char &c : random)
                c = char(QRandomGenerator::global()->bounded(256));
            inputs << "[px00" + QByteArray::number(i % 5) + "]" + random;
        }
        for (const QByteArray &input : inputs)
            presence.analyze1(input, "127.0.0.80", QString());
        // Extra information stops at position 499 without a CR.
        presence.analyze1("[px001][0000000025][onlin2][              X][online][" + QByteArray(1000, 'e'), "127.0.0.80", "");
        QCOMPARE(a.app().table().cell(rowOf(a.app().table(), "127.0.0.80"), ContactTable::Extra).size(), 446);
        // The full table never loses a row: a newcomer only gets the red notice.
        for (int row = 1; row <= 100; ++row)
            if (a.app().table().cell(row, ContactTable::Address).isEmpty())
                a.app().table().setCell(row, ContactTable::Address, QString("10.9.9.%1").arg(row));
        presence.analyze1("[px001][0000000025][online][            New][online][\r]", "127.0.0.81", "");
        QVERIFY(a.hasLine("В таблице кончились пустые ячейки", kRed));
        QCOMPARE(rowOf(a.app().table(), "127.0.0.81"), -1);
    }

    void unresolvedNewcomerKeepsItsAddress()
    {
        RunningCopy a("127.0.0.82", "CheckBox_iponly=0\r\n");
        a.app().presence().checkpeer(false, true, "Nameless", true, QString(), true, 0, "127.0.0.83", QString());
        const int row = rowOf(a.app().table(), "127.0.0.83");
        QVERIFY(row > 0);
        QVERIFY(a.app().table().user(row)->connected);
    }

    void separatorsOnlyPollEndsAtOnce()
    {
        RunningCopy a("127.0.0.84", contacts({{"Group", "-"}, {"Other", " -x"}}));
        QTRY_COMPARE_WITH_TIMEOUT(a.app().presenceJobsRunning(), 0, 3000);
        QCOMPARE(a.app().roster().items(), (QStringList{"1", "2"}));
    }

    void rosterKeepsSelectionsOverRebuilds()
    {
        RunningCopy a("127.0.0.85", contacts({{"g", "-"}, {"p", "10.0.0.1"}, {"q", "10.0.0.2"}}));
        ContactTable &table = a.app().table();
        table.user(2)->connected = true;
        table.user(3)->connected = true;
        a.app().roster().rebuildroster();
        QCOMPARE(a.app().roster().items(), (QStringList{"1", "2", "3"}));
        a.app().roster().setSelectedItems({0, 2}); // the separator and q
        a.app().roster().keepselection();
        QVERIFY(!table.user(1)->selected);
        QVERIFY(table.user(3)->selected);
        a.app().roster().rebuildroster();
        QCOMPARE(a.app().roster().selectedItems(), QSet<int>{2});
        // A connected row turned into a separator is listed as one and no longer connected.
        table.setCell(2, ContactTable::Address, "-");
        a.app().roster().rebuildroster();
        QVERIFY(!table.user(2)->connected);
    }

    void messagesAndLettersAreShown()
    {
        QTemporaryDir files;
        RunningCopy a("127.0.0.88", "usernam=Anna\r\n" + contacts({{"b", "127.0.0.89"}}));
        RunningCopy b("127.0.0.89", "usernam=Boris\r\nCheckBox_let=1\r\nmyfonts=1\r\nfontsiz=13\r\n"
                                        + contacts({{"a", "127.0.0.88"}}));
        QTRY_VERIFY_WITH_TIMEOUT(connected(b, "127.0.0.88"), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(connected(a, "127.0.0.89"), 20000);
        const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}}"
                               "{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\cf1\\fs48 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\par}";
        QFile message(files.filePath("12345678"));
        QVERIFY(message.open(QIODevice::WriteOnly));
        message.write(rtf);
        message.close();
        QVERIFY(a.app().jobs().sendfileto3('1', message.fileName(), "127.0.0.89", 7456, "b", "Anna"));
        QTRY_VERIFY_WITH_TIMEOUT(b.app().form2()->RichEdit1()->toPlainText().contains(QStringLiteral("Привет")), 20000);
        QVERIFY(b.hasLine("] [Anna]", kRed));
        // Shown in the conversation font and the window-text colour, whatever the sender chose.
        QTextCursor found = b.app().form2()->RichEdit1()->document()->find(QStringLiteral("Привет"));
        QVERIFY(!found.isNull());
        QCOMPARE(found.charFormat().fontPointSize(), 13.0);
        QVERIFY(found.charFormat().foreground().color() != QColor(255, 0, 0));
        // Nothing was selected and nothing typed: the sender is now the recipient.
        const int row = rowOf(b.app().table(), "127.0.0.88");
        QVERIFY(b.app().table().user(row)->selected);

        QFile letter(files.filePath("87654321"));
        QVERIFY(letter.open(QIODevice::WriteOnly));
        letter.write("{\\rtf1\\ansi Dear Boris\\par}");
        letter.close();
        QVERIFY(a.app().jobs().sendfileto3('2', letter.fileName(), "127.0.0.89", 7456, "b", "Anna"));
        QTRY_COMPARE_WITH_TIMEOUT(b.app().letters().size(), 1, 20000);
        QCOMPARE(b.app().letters()[0]->windowTitle(), QStringLiteral("Вам письмо от Anna"));
        QVERIFY(b.hasLine("] Пришло письмо от [Anna]", kRed));
        const QStringList filed = QDir(b.home() + "/INCOME").entryList({"*.rtf"}, QDir::Files);
        QCOMPARE(filed.size(), 1);
        QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d--\\d\\d-\\d\\d-\\d\\d\\[Anna\\]\\.rtf$").match(filed[0]).hasMatch());
        // The sender's temporary files and the receiver's received files are all gone.
        QTRY_VERIFY(!QFile::exists(message.fileName()) && !QFile::exists(letter.fileName()));
        QTRY_COMPARE(QDir(m_temp.path()).entryList(QDir::Files), QStringList());
    }

    void killedPeerIsDroppedAtTheFirstFailedDelivery()
    {
        ProgramProcess b("127.0.0.86");
        QVERIFY(b.start());
        RunningCopy a("127.0.0.87", contacts({{"b", "127.0.0.86"}}));
        QTRY_VERIFY_WITH_TIMEOUT(connected(a, "127.0.0.86"), 20000);
        b.process().kill();
        b.process().waitForFinished(5000);
        QVERIFY(connected(a, "127.0.0.86"));
        a.app().presence().ComboBox1Change(1, false);
        QTRY_VERIFY_WITH_TIMEOUT(!connected(a, "127.0.0.86"), 20000);
        QVERIFY(a.hasLine(" Отключился ", kBlue));
    }
};

QTEST_MAIN(TestPresence)
#include "test_presence.moc"
