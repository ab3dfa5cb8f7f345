// Address lists between real copies on loopback: the chooser, the list file, the question, the
// filling of free rows and the poll of the new addresses.
#include "support/fakepeer.h"
#include "support/runningcopy.h"

#include "app/addressexchange.h"
#include "app/settingscontroller.h"
#include "contacts/contacttable.h"
#include "net/sendjobs.h"
#include "net/wireformat.h"
#include "presence/addresslist.h"
#include "ui/dialogs.h"
#include "ui/tform2.h"
#include "ui/tform9.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray row(int row, const QString &name, const QString &address)
{
    const QByteArray n = QByteArray::number(row).rightJustified(4, '0');
    return "user_name" + n + "=" + name.toUtf8() + "\r\nuser_addr" + n + "=" + address.toUtf8() + "\r\n";
}

// Rows from..to as group separators: taken, but never polled.
QByteArray separators(int from, int to)
{
    QByteArray lines;
    for (int r = from; r <= to; ++r)
        lines += row(r, "g", "-");
    return lines;
}

bool connectedAt(RunningCopy &copy, int r)
{
    return copy.app().table().user(r)->connected;
}

void answerYes(RunningCopy &copy)
{
    static_cast<Dialogs &>(copy.app().prompt()).setHeadlessAnswer(true);
}

// An online query from the copy named `sender` reached the fake peer.
bool polledBy(const FakePeer &peer, const QByteArray &sender)
{
    for (const QByteArray &bytes : peer.received)
        if (bytes.contains("\r3\r" + sender + "\r[px001][0000000025][online]"))
            return true;
    return false;
}

} // namespace

class TestAddressExchange : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_temp;

private slots:
    void initTestCase() { qputenv("TEMP", m_temp.path().toUtf8()); }

    void listFromOneCopyFillsTheFreeRowsOfAnother()
    {
        FakePeer p1("127.0.3.22"), p2("127.0.3.23"), p3("127.0.3.24");
        // Boris and Clara have two free rows each, 99 and 100.
        RunningCopy b("127.0.3.21", "usernam=Boris\r\n" + row(1, "Anna", "127.0.3.20") + separators(2, 98));
        RunningCopy c("127.0.3.25", "usernam=Clara\r\n" + row(1, "Anna", "127.0.3.20") + row(2, "P1", "127.0.3.22")
                                        + separators(3, 98));
        RunningCopy a("127.0.3.20", "usernam=Anna\r\n" + row(1, "Boris", "127.0.3.21") + row(2, "-", "-")
                                        + row(3, "P1", "127.0.3.22") + row(4, "P2", "127.0.3.23")
                                        + row(5, "P3", "127.0.3.24") + row(6, "Clara", "127.0.3.25"));
        answerYes(b);
        answerYes(c);
        QTRY_VERIFY_WITH_TIMEOUT(connectedAt(a, 1) && connectedAt(a, 6), 20000);
        a.app().table().user(1)->selected = true;
        a.app().table().user(6)->selected = true;

        emit a.app().form2()->addressListRequested();
        TForm9 *chooser = a.app().addressExchange().chooser();
        QVERIFY(chooser && chooser->isVisible());
        QCOMPARE(chooser->windowTitle(), QStringLiteral("Список пользователей"));
        QStringList items;
        for (int i = 0; i < chooser->ListBox1->count(); ++i)
            items << chooser->ListBox1->item(i)->text();
        QCOMPARE(items, (QStringList{"001  Boris (127.0.3.21)", "003  P1 (127.0.3.22)", "004  P2 (127.0.3.23)",
                                     "005  P3 (127.0.3.24)", "006  Clara (127.0.3.25)"}));
        for (int i = 1; i <= 3; ++i)
            chooser->ListBox1->item(i)->setSelected(true);
        QSignalSpy handledB(&b.app().addressExchange(), &AddressExchange::listHandled);
        QSignalSpy handledC(&c.app().addressExchange(), &AddressExchange::listHandled);
        QSignalSpy restartedB(&b.app().settingsController(), &SettingsController::restarted);
        QTest::mouseClick(chooser->Button1, Qt::LeftButton);
        QTRY_VERIFY(!a.app().addressExchange().chooser());

        QTRY_COMPARE_WITH_TIMEOUT(handledB.size(), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(handledC.size(), 1, 20000);
        // Both got the whole list: each recipient's job sent a file of its own.
        const QByteArray list = AddressList::encode({"127.0.3.22", "127.0.3.23", "127.0.3.24"});
        for (RunningCopy *copy : {&b, &c}) {
            QCOMPARE(copy->notices.size(), 1);
            QCOMPARE(copy->notices[0].code, 25);
            QCOMPARE(copy->notices[0].sender, QString("Anna"));
            const QByteArray text = copy->notices[0].text;
            QCOMPARE(text.indexOf('\r'), 8);
            QCOMPARE(text.mid(9), list);
        }
        QTRY_COMPARE(a.app().jobs().running(), 0);
        QCOMPARE(QDir(m_temp.path()).entryList(QDir::Files), QStringList());

        // Boris: two new addresses into the two free rows, the third dropped.
        QCOMPARE(handledB[0][0].toInt(), 2);
        QCOMPARE(b.app().table().cell(99, ContactTable::Address), QString("127.0.3.22"));
        QCOMPARE(b.app().table().cell(100, ContactTable::Address), QString("127.0.3.23"));
        // Clara knew P1 already: P2 and P3 fill her free rows.
        QCOMPARE(handledC[0][0].toInt(), 2);
        QCOMPARE(c.app().table().cell(99, ContactTable::Address), QString("127.0.3.23"));
        QCOMPARE(c.app().table().cell(100, ContactTable::Address), QString("127.0.3.24"));
        // The table was saved, and the restart polls the new rows.
        QFile saved(b.home() + "/pxusers.ini");
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("127.0.3.23"));
        QTRY_COMPARE_WITH_TIMEOUT(restartedB.size(), 1, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(polledBy(p1, "Boris") && polledBy(p2, "Boris"), 20000);
        QVERIFY(!polledBy(p3, "Boris"));
        QTRY_VERIFY_WITH_TIMEOUT(polledBy(p3, "Clara"), 20000);
    }

    // Through a real connection, lists of any size and content: only the free rows take
    // addresses, and a list with nothing new changes nothing and restarts nothing.
    void hostileListsOverTheWire_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QStringList>("filled");
        QByteArray tenThousand;
        for (int i = 0; i < 10000; ++i)
            tenThousand += "127.0.3." + QByteArray::number(40 + i % 10) + "\r\n";
        QByteArray binary;
        for (int i = 0; i < 200000; ++i)
            binary += char((i * 37 + 11) % 255 + 1);
        const QByteArray longLine(300000, 'x');
        QTest::newRow("10,000 lines") << tenThousand << QStringList{"127.0.3.40", "127.0.3.41"};
        QTest::newRow("binary after two addresses")
            << "127.0.3.42\r\n127.0.3.43\r\n" + binary << QStringList{"127.0.3.42", "127.0.3.43"};
        QTest::newRow("very long lines first") << longLine + "\r\n" + longLine + "\r\n127.0.3.44\r\n"
                                              << QStringList{"127.0.3.44"};
        QTest::newRow("only known and empty lines") << QByteArray("\r\n-\r\n\r\n127.0.3.30\r\n") << QStringList{};
    }
    void hostileListsOverTheWire()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QStringList, filled);
        static int n = 0;
        const QString address = QString("127.0.3.%1").arg(31 + n++);
        RunningCopy r(address, "usernam=Rita\r\n" + row(1, "X", "127.0.3.30") + separators(2, 98));
        answerYes(r);
        QSignalSpy handled(&r.app().addressExchange(), &AddressExchange::listHandled);
        QSignalSpy restarted(&r.app().settingsController(), &SettingsController::restarted);

        QTcpSocket peer;
        peer.bind(QHostAddress("127.0.3.30"));
        peer.connectToHost(address, 7456);
        QVERIFY(peer.waitForConnected(10000));
        peer.write(WireFormat::requestHeader('5', "Mallory", "66666666"));
        QVERIFY(peer.waitForReadyRead(10000));
        QCOMPARE(peer.read(1), QByteArray("1"));
        peer.write(payload);
        while (peer.bytesToWrite() > 0) {
            QVERIFY(peer.waitForBytesWritten(10000));
            peer.readAll();
        }
        // The receiver answers every read with "ok". Closing with some of them unread would reset
        // the connection and cut the list short, so we close once it has stopped answering.
        while (peer.waitForReadyRead(500))
            peer.readAll();
        peer.disconnectFromHost();

        QTRY_COMPARE_WITH_TIMEOUT(handled.size(), 1, 60000);
        QCOMPARE(r.notices.size(), 1);
        QCOMPARE(r.notices[0].text, "66666666\r" + payload);
        QCOMPARE(handled[0][0].toInt(), int(filled.size()));
        QCOMPARE(r.app().table().cell(1, ContactTable::Address), QString("127.0.3.30"));
        for (int i = 0; i < 2; ++i)
            QCOMPARE(r.app().table().cell(99 + i, ContactTable::Address), filled.value(i));
        // Only a changed table restarts presence (the restart begins with the offline notice).
        if (filled.isEmpty())
            QVERIFY(!r.app().offlinerunning());
        else
            QTRY_COMPARE_WITH_TIMEOUT(restarted.size(), 1, 20000);
    }
};

QTEST_MAIN(TestAddressExchange)
#include "test_addressexchange.moc"
