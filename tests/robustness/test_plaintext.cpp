// Text from peers is text: names, file names, extra information and notices go into the
// conversation, the roster, letter captions and dialogs as the characters they are, never as
// markup. A raw peer on 127.0.6.111 talks to a copy on 127.0.6.110.
#include "support/fakepeer.h"
#include "support/runningcopy.h"

#include "app/parlixapp.h"
#include "ui/dialogs.h"
#include "ui/tform2.h"

#include <QLabel>
#include <QListWidget>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace {

const QByteArray kName = "<img src=x>";   // fits the 15-character name field
const QByteArray kMarkup = "<b>bold</b> <img src=\"y\"> <a href=\"http://z\">z</a>";

// One request from the raw peer; transfer kinds get their payload after the go byte.
void send(const QByteArray &header, const QByteArray &payload = QByteArray(), bool transfer = false)
{
    QTcpSocket socket;
    socket.bind(QHostAddress("127.0.6.111"), 0);
    socket.connectToHost("127.0.6.110", 7456);
    QVERIFY(socket.waitForConnected(5000));
    socket.write(header);
    if (transfer) {
        QVERIFY(socket.waitForReadyRead(10000));
        QCOMPARE(socket.read(1), QByteArray("1"));
    }
    socket.write(payload);
    QVERIFY(socket.waitForBytesWritten(5000));
    if (transfer)
        socket.waitForReadyRead(5000);
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.waitForDisconnected(5000);
}

bool hasImages(const QTextDocument *document)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                return true;
    return false;
}

} // namespace

class TestPlainText : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_temp;

private slots:
    void initTestCase() { qputenv("TEMP", m_temp.path().toUtf8()); }

    void peerTextStaysText()
    {
        FakePeer peer("127.0.6.111", false); // takes the copy's answers, so that the peer stays connected
        RunningCopy copy("127.0.6.110");
        QTextEdit *conversation = copy.app().form2()->RichEdit1();
        send("5183chatlink294\r3\r" + kName + "\r", "[px001][0000000025][online][" + kName.rightJustified(15, ' ')
                 + "][online][" + kMarkup + "\r]");
        QTRY_VERIFY_WITH_TIMEOUT(conversation->toPlainText().contains(" Подключился " + kName + "."), 20000);
        send("5183chatlink294\r4\r" + kMarkup + "\r", kMarkup);
        QTRY_VERIFY_WITH_TIMEOUT(conversation->toPlainText().contains("[" + kMarkup + "] (автоответчик)"), 20000);
        QVERIFY(conversation->toPlainText().contains("\n" + kMarkup));
        send("5183chatlink294\r0\r" + kName + "\r<u>f<u>.txt\r", "file", true);
        QTRY_VERIFY_WITH_TIMEOUT(conversation->toPlainText().contains("<u>f<u>.txt ) от[" + kName + "]"), 20000);
        send("5183chatlink294\r2\r" + kName + "\r12345678\r", "{\\rtf1 letter}", true);
        QTRY_VERIFY_WITH_TIMEOUT(!copy.app().letters().isEmpty(), 20000);
        QVERIFY2(copy.app().letters().first()->windowTitle().contains(kName),
                 qPrintable(copy.app().letters().first()->windowTitle()));
        QVERIFY(!hasImages(conversation->document()));

        // The roster lists the peer under the name it sent.
        QListWidget *roster = copy.app().form2()->ListBox1();
        QTRY_COMPARE(roster->count(), 1);
        QVERIFY2(roster->item(0)->text().contains(kName), qPrintable(roster->item(0)->text()));
    }

    void dialogsShowPlainText()
    {
        const QString text = "Принять файл <b>f</b>.txt от " + kName + " ?";
        const auto box = Dialogs::box(text, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        auto *label = box->findChild<QLabel *>("qt_msgbox_label");
        QVERIFY(label);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->text(), text);
    }
};

QTEST_MAIN(TestPlainText)
#include "test_plaintext.moc"
