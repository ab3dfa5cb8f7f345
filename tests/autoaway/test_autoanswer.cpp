// The auto-answer in a running copy: armed by the auto-answer window, sent back to the sender of
// every message and letter and of nothing else, disarmed by a status choice. The senders are a
// second copy's own send jobs on loopback.
#include "onxserver.h"
#include "support/runningcopy.h"

#include "app/activitymonitor.h"
#include "contacts/options.h"
#include "net/sendjobs.h"
#include "presence/autoanswer.h"
#include "ui/tform2.h"
#include "ui/tform7.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
const QString kA = QStringLiteral("127.0.4.100");
const QString kB = QStringLiteral("127.0.4.101");
const QString kOnX = QStringLiteral("127.0.4.102");

struct Sent
{
    char kind;
    bool answered;
};

// What the copy has received so far, whatever the kind.
int receivedCount(const RunningCopy &copy)
{
    return int(copy.messages.size() + copy.systemMessages.size() + copy.notices.size() + copy.lines.size());
}

int answersFrom(const RunningCopy &copy, const QString &sender)
{
    int count = 0;
    for (const RunningCopy::Notice &notice : copy.notices)
        if (notice.code == 22 && notice.sender == sender)
            ++count;
    return count;
}
} // namespace

class TestAutoAnswer : public QObject
{
    Q_OBJECT

    QTemporaryDir m_temp;
    int m_files = 0;

    QString file(const QByteArray &content)
    {
        const QString path = m_temp.filePath(QStringLiteral("f%1.rtf").arg(++m_files));
        QFile out(path);
        if (out.open(QIODevice::WriteOnly))
            out.write(content);
        return path;
    }

    // One request of this kind from b to a, and the wait until a has taken it in.
    void send(RunningCopy &b, RunningCopy &a, char kind)
    {
        const int before = receivedCount(a);
        SendJobs &jobs = b.app().jobs();
        switch (kind) {
        case '3':
            jobs.sendaddr("[px002][0000000025][  busy][          Boris]]", QStringLiteral("Boris"), a.address(), 7456);
            break;
        case '4':
            jobs.sendfileto4(QStringLiteral("a notice"), QStringLiteral("Boris"), a.address());
            break;
        default:
            jobs.sendfileto3(kind, file("{\\rtf1 hello}"), a.address(), 7456, QStringLiteral("a"), QStringLiteral("Boris"));
        }
        QTRY_VERIFY_WITH_TIMEOUT(receivedCount(a) > before, 20000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_temp.isValid());
        qputenv("TEMP", m_temp.path().toUtf8());
    }

    void theWindow()
    {
        RunningCopy a(kA);
        TForm7 *form7 = a.app().form7();
        QVERIFY(form7 && form7->isHidden());
        QCOMPARE(form7->windowTitle(), QStringLiteral("Автоответчик"));
        QCOMPARE(form7->size(), QSize(442, 247));
        QCOMPARE(form7->Label1()->text(), QStringLiteral("При желании Вы можете оставить сообщение\n"
                                                         "для автоответчика (оно будет выведено на экран\n"
                                                         "тому, кто напишет Вам сообщение пока Вы отсуствуете)\n"
                                                         "Если Вы ничего не введете, сообщение отправлено не будет."));
        QCOMPARE(form7->Memo1()->font().family(), QStringLiteral("Arial"));
        QCOMPARE(form7->Memo1()->font().pixelSize(), 13);
        QCOMPARE(form7->Button1()->text(), QStringLiteral("OK"));
        // Offscreen nobody watches the desktop's input.
        QVERIFY(!a.app().activityAvailable());

        AutoAnswer &answer = a.app().autoAnswer();
        struct Use
        {
            QString text;
            bool ok; // "OK", else the close box
            std::optional<QString> armed;
        };
        // Lines end in CR LF, as on the peers' Windows copies.
        const QList<Use> uses = {
            {QStringLiteral("   \n\t "), true, std::nullopt},          // blanks arm nothing
            {QStringLiteral(" Back at three.\nBoris"), true, QStringLiteral(" Back at three.\r\nBoris")}, // as typed
            {QStringLiteral("changed"), false, QStringLiteral(" Back at three.\r\nBoris")}, // close box: as it was
            {QString(), true, std::nullopt},
        };
        for (const Use &use : uses) {
            form7->Memo1()->setPlainText(use.text);
            if (use.ok)
                QTest::mouseClick(form7->Button1(), Qt::LeftButton);
            else
                form7->reject();
            QCOMPARE(answer.text(), use.armed);
            QCOMPARE(form7->Memo1()->toPlainText(), use.text); // kept as typed
        }
    }

    // The window is modal and only a real display shows it: that part runs in a copy of this
    // test on an Xvfb of its own.
    void awayByHandAsksForTheText()
    {
        if (OnXServer::isCopy())
            QSKIP("this is the copy on the X server");
        QString skip;
        const QString failed = OnXServer::run({QStringLiteral("awayByHandOnX")}, &skip);
        if (!skip.isEmpty())
            QSKIP(qPrintable(skip));
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }

    void awayByHandOnX()
    {
        if (!OnXServer::isCopy())
            QSKIP("run by awayByHandAsksForTheText on an X server of its own");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        RunningCopy a(kOnX, "usernam=Anna\r\nCheckBox6=1\r\n");
        TForm7 *form7 = a.app().form7();
        // Chooses away; once the window shows, types into it and leaves it by "OK" or the close box.
        const auto chooseAway = [&](const QString &typed, bool ok) {
            bool shown = false;
            QTimer poll;
            poll.setInterval(50);
            connect(&poll, &QTimer::timeout, this, [&] {
                if (!form7->isVisible())
                    return;
                poll.stop();
                shown = QApplication::activeModalWidget() == form7;
                form7->Memo1()->selectAll();
                QTest::keyClicks(form7->Memo1(), typed);
                if (ok)
                    QTest::mouseClick(form7->Button1(), Qt::LeftButton);
                else
                    form7->close();
            });
            poll.start();
            emit a.app().form2()->statusChosen(2);
            return shown;
        };
        QVERIFY(chooseAway(QStringLiteral("Back soon"), true));
        QCOMPARE(a.app().ownStatus(), 2);
        QCOMPARE(a.app().autoAnswer().text(), QStringLiteral("Back soon"));
        emit a.app().form2()->statusChosen(0);
        QCOMPARE(a.app().autoAnswer().text(), std::nullopt);
        // The close box: the text stays in the field, nothing is armed.
        QVERIFY(chooseAway(QStringLiteral("Out"), false));
        QCOMPARE(form7->Memo1()->toPlainText(), QStringLiteral("Out"));
        QCOMPARE(a.app().ownStatus(), 2);
        QCOMPARE(a.app().autoAnswer().text(), std::nullopt);
        QVERIFY(chooseAway(QStringLiteral("   "), true));
        QCOMPARE(a.app().autoAnswer().text(), std::nullopt);
        // Without the option, away asks for nothing.
        a.app().options().modify([](OptionValues &values) { values.CheckBox6 = false; });
        QVERIFY(!chooseAway(QStringLiteral("never"), true));
        QCOMPARE(a.app().ownStatus(), 2);
        QVERIFY(form7->isHidden());
    }

    void answersMessagesAndLettersOnly()
    {
        RunningCopy a(kA, "usernam= Anna \r\n");
        RunningCopy b(kB, "usernam=Boris\r\n");
        a.app().form7()->Memo1()->setPlainText(QStringLiteral("  Back at three.\nAsk Boris. "));
        QTest::mouseClick(a.app().form7()->Button1(), Qt::LeftButton);
        QVERIFY(a.app().autoAnswer().text());

        // Everything that is never answered first, then a message and a letter: once their two
        // answers are in, any answer to the others would have come before them.
        const QList<Sent> sent = {{'0', false}, {'3', false}, {'4', false}, {'5', false}, {'1', true}, {'2', true}};
        int expected = 0;
        for (const Sent &request : sent) {
            send(b, a, request.kind);
            if (QTest::currentTestFailed())
                return;
            expected += request.answered ? 1 : 0;
        }
        QTRY_COMPARE_WITH_TIMEOUT(answersFrom(b, QStringLiteral("Anna")), expected, 20000);
        for (const RunningCopy::Notice &notice : std::as_const(b.notices)) {
            if (notice.sender != QStringLiteral("Anna"))
                continue;
            QCOMPARE(notice.text, QByteArray("  Back at three.\r\nAsk Boris. "));
            QCOMPARE(notice.peerip, kA);
        }
        // Still armed: the next message is answered too.
        send(b, a, '1');
        QTRY_COMPARE_WITH_TIMEOUT(answersFrom(b, QStringLiteral("Anna")), expected + 1, 20000);

        // Choosing a status disarms it; the next message and letter go unanswered.
        emit a.app().form2()->statusChosen(1);
        QCOMPARE(a.app().autoAnswer().text(), std::nullopt);
        send(b, a, '1');
        send(b, a, '2');
        send(b, a, '4'); // a request after them, so that their answers would be in by its end
        QTest::qWait(2000);
        QCOMPARE(answersFrom(b, QStringLiteral("Anna")), expected + 1);
        QVERIFY(!a.app().activity().autoAwayMark());
    }
};

QTEST_MAIN(TestAutoAnswer)
#include "test_autoanswer.moc"
