// Writing and sending from the input editor, driven through its keys and buttons.
#include "support/runningcopy.h"

#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "net/sendjobs.h"
#include "presence/composer.h"
#include "ui/inputeditor.h"
#include "ui/tform2.h"

#include <QDir>
#include <QPushButton>
#include <QTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

const QColor kBlue(0, 0, 255);

QByteArray contactsOf(const QString &name, const QString &address)
{
    return "user_name0001=" + name.toUtf8() + "\r\nuser_addr0001=" + address.toUtf8() + "\r\n";
}

bool connectedAt(RunningCopy &copy, int row)
{
    return copy.app().table().user(row)->connected;
}

} // namespace

class TestComposing : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_temp;

private slots:
    void initTestCase() { qputenv("TEMP", m_temp.path().toUtf8()); }

    void enterSendsToTheSelectedPeer()
    {
        RunningCopy a("127.0.0.101", "usernam=Anna\r\n" + contactsOf("Boris", "127.0.0.102"));
        RunningCopy b("127.0.0.102", "usernam=Boris\r\n" + contactsOf("Anna", "127.0.0.101"));
        QTRY_VERIFY_WITH_TIMEOUT(connectedAt(a, 1) && connectedAt(b, 1), 20000);
        InputEditor *input = a.app().form2()->RxRichEdit1();

        // Nobody selected: Enter leaves the text where it is.
        QTest::keyClicks(input, "hello");
        QTest::keyClick(input, Qt::Key_Return);
        QCOMPARE(input->toPlainText(), QString("hello"));
        // Ctrl+Enter is a line break, never a send.
        QTest::keyClick(input, Qt::Key_Return, Qt::ControlModifier);
        input->insertPlainText(QStringLiteral("мир")); // QTest types ASCII only
        QCOMPARE(input->toPlainText(), QStringLiteral("hello\nмир"));

        a.app().table().user(1)->selected = true;
        QTest::keyClick(input, Qt::Key_Return);
        QVERIFY(input->toPlainText().isEmpty());
        QVERIFY(a.hasLine(QStringLiteral("] Вы для Boris. "), kBlue));
        QVERIFY(a.app().form2()->RichEdit1()->toPlainText().contains(QStringLiteral("hello\nмир")));
        QTRY_COMPARE_WITH_TIMEOUT(b.messages.size(), 1, 20000);
        QVERIFY(!b.messages[0].letter);
        QTRY_VERIFY(b.app().form2()->RichEdit1()->toPlainText().contains(QStringLiteral("мир")));

        // Letter mode: Enter does nothing, the button sends a letter, and the mode ends.
        a.app().form2()->RxSpeedButton5()->setChecked(true);
        QVERIFY(a.app().form2()->Button1()->isVisibleTo(a.app().form2()));
        QTest::keyClicks(input, "dear");
        QTest::keyClick(input, Qt::Key_Return);
        QCOMPARE(input->toPlainText(), QString("dear"));
        QTest::mouseClick(a.app().form2()->Button1(), Qt::LeftButton);
        QVERIFY(a.hasLine(QStringLiteral("] Вы послали письмо для Boris. "), kBlue));
        QVERIFY(!a.app().form2()->RxSpeedButton5()->isChecked());
        QVERIFY(!a.app().composer().letterMode);
        QVERIFY(!a.app().form2()->RichEdit1()->toPlainText().contains("dear")); // a letter is not echoed
        QTRY_COMPARE_WITH_TIMEOUT(b.messages.size(), 2, 20000);
        QVERIFY(b.messages[1].letter);
        QTRY_COMPARE(a.app().jobs().running(), 0);
        QCOMPARE(QDir(m_temp.path()).entryList(QDir::Files), QStringList()); // every job removed its file
    }

    void sendButtonOptionMakesEnterALineBreak()
    {
        RunningCopy a("127.0.0.103", "CheckBoxBt=1\r\n" + contactsOf("Nobody", "127.0.0.104"));
        a.app().table().user(1)->selected = true;
        InputEditor *input = a.app().form2()->RxRichEdit1();
        QVERIFY(a.app().form2()->Button1()->isVisibleTo(a.app().form2()));
        QTest::keyClicks(input, "a");
        QTest::keyClick(input, Qt::Key_Return);
        QTest::keyClicks(input, "b");
        QCOMPARE(input->toPlainText(), QString("a\nb"));
    }

    void eachRecipientGetsItsOwnJob()
    {
        RunningCopy x("127.0.0.106", "usernam=X\r\n"), y("127.0.0.107", "usernam=Y\r\n"); // running before Anna polls
        RunningCopy a("127.0.0.105", "usernam=Anna\r\nuser_name0001=X\r\nuser_addr0001=127.0.0.106\r\n"
                                     "user_name0002=Y\r\nuser_addr0002=127.0.0.107\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(connectedAt(a, 1) && connectedAt(a, 2), 20000);
        a.app().table().user(1)->selected = true;
        a.app().table().user(2)->selected = true;
        QTest::keyClicks(a.app().form2()->RxRichEdit1(), "both");
        QTest::keyClick(a.app().form2()->RxRichEdit1(), Qt::Key_Return);
        QVERIFY(a.hasLine(QStringLiteral("] Вы для X. Y. "), kBlue));
        QTRY_COMPARE_WITH_TIMEOUT(x.messages.size(), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(y.messages.size(), 1, 20000);
        QVERIFY(x.messages[0].content.contains("both"));
        QCOMPARE(x.messages[0].content, y.messages[0].content);
    }
};

QTEST_MAIN(TestComposing)
#include "test_composing.moc"
