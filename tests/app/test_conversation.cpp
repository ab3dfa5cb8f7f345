// Two real copies talking: a formatted Cyrillic message with a smiley, the reply, a letter filed
// in INCOME, and the conversation saved at exit.
#include "support/runningcopy.h"

#include "contacts/contacttable.h"
#include "net/sendjobs.h"
#include "platform/rtf/rtfdocument.h"
#include "presence/arrival.h"
#include "presence/composer.h"
#include "presence/slicedinsert.h"
#include "ui/formattoolbar.h"
#include "ui/inputeditor.h"
#include "ui/tform2.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace {

const QColor kRed(255, 0, 0);

QByteArray contact(const QString &name, const QString &address, int row = 1)
{
    const QByteArray n = QByteArray::number(row).rightJustified(4, '0');
    return "user_name" + n + "=" + name.toUtf8() + "\r\nuser_addr" + n + "=" + address.toUtf8() + "\r\n";
}

int picturesIn(const QTextDocument &document, QSize *size = nullptr)
{
    int count = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                ++count;
                const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
                if (size)
                    *size = QSize(qRound(image.width()), qRound(image.height()));
            }
    return count;
}

// The format of the first character of `text` in the document.
QTextCharFormat formatOf(const QTextDocument &document, const QString &text)
{
    QTextCursor found = document.find(text);
    if (found.isNull())
        return {};
    QTextCursor at(found);
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

void clickRosterItem(TForm2 *form, int index)
{
    QListWidget *list = form->ListBox1();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(index)).center());
}

} // namespace

class TestConversation : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_temp;

private slots:
    void initTestCase() { qputenv("TEMP", m_temp.path().toUtf8()); }

    void messageReplyLetterAndHistory()
    {
        RunningCopy a("127.0.0.2", "usernam=Anna\r\n" + contact("Boris", "127.0.0.3"));
        auto b = std::make_unique<RunningCopy>("127.0.0.3", "usernam=Boris\r\nCheckBox_let=1\r\nCheckBox_msg=1\r\n"
                                                                + contact("Anna", "127.0.0.2"));
        QTRY_VERIFY_WITH_TIMEOUT(a.app().table().user(1)->connected && b->app().table().user(1)->connected, 20000);
        TForm2 *formA = a.app().form2();
        TForm2 *formB = b->app().form2();
        formA->arest();
        QTRY_COMPARE(formA->ListBox1()->count(), 1);
        clickRosterItem(formA, 0);
        QVERIFY(a.app().table().user(1)->selected);

        // Boris is typing, with part of his text selected, when Anna's message arrives.
        InputEditor *inputB = formB->RxRichEdit1();
        inputB->setPlainText(QStringLiteral("черновик ответа"));
        QTextCursor draft = inputB->textCursor();
        draft.setPosition(0);
        draft.setPosition(8, QTextCursor::KeepAnchor);
        inputB->setTextCursor(draft);

        // Anna writes in bold (her input font) italic red, with a smiley, and presses Enter.
        InputEditor *inputA = formA->RxRichEdit1();
        QTest::mouseClick(formA->toolbar()->btn_itl(), Qt::LeftButton);
        QComboBox *colours = formA->toolbar()->colourChooser();
        const int red = colours->findData(QColor(255, 0, 0));
        colours->setCurrentIndex(red);
        emit colours->activated(red);
        inputA->insertPlainText(QStringLiteral("Привет, Борис "));
        QTest::mouseClick(formA->toolbar()->pictureButton(1), Qt::LeftButton);
        QTest::keyClick(inputA, Qt::Key_Return);
        QVERIFY(inputA->toPlainText().isEmpty());

        QTRY_COMPARE_WITH_TIMEOUT(b->messages.size(), 1, 20000);
        QTRY_VERIFY(b->hasLine(QStringLiteral("] [Anna]"), kRed));
        QTextDocument *conversationB = formB->RichEdit1()->document();
        QTRY_VERIFY(conversationB->toPlainText().contains(QStringLiteral("Привет, Борис")));
        const QTextCharFormat shown = formatOf(*conversationB, QStringLiteral("Привет"));
        QCOMPARE(shown.foreground().color(), QColor(255, 0, 0));
        QCOMPARE(shown.fontWeight(), int(QFont::Bold));
        QVERIFY(shown.fontItalic());
        QCOMPARE(shown.fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
        QSize picture;
        QCOMPARE(picturesIn(*conversationB, &picture), 1);
        QCOMPARE(picture, QSize(20, 20));
        // Boris's draft and its selection are untouched.
        QCOMPARE(inputB->toPlainText(), QStringLiteral("черновик ответа"));
        QCOMPARE(inputB->textCursor().selectedText(), QStringLiteral("черновик"));

        // He was typing, so the sender was not selected for him: he picks Anna and answers with Enter.
        QVERIFY(!b->app().table().user(1)->selected);
        inputB->clear();
        formB->arest();
        QTRY_COMPARE(formB->ListBox1()->count(), 1);
        clickRosterItem(formB, 0);
        QVERIFY(b->app().table().user(1)->selected);
        inputB->insertPlainText(QStringLiteral("Привет, Анна"));
        QTest::keyClick(inputB, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(a.messages.size(), 1, 20000);
        QTRY_VERIFY(formA->RichEdit1()->toPlainText().contains(QStringLiteral("Привет, Анна")));

        // A letter opens a window of its own and is filed in INCOME.
        formA->RxSpeedButton5()->setChecked(true);
        inputA->insertPlainText(QStringLiteral("Письмо"));
        QTest::mouseClick(formA->Button1(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(b->app().letters().size(), 1, 20000);
        QWidget *letter = b->app().letters().first();
        QCOMPARE(letter->windowTitle(), QStringLiteral("Вам письмо от Anna"));
        QVERIFY(letter->isVisible());
        const QStringList filed = QDir(b->home() + "/INCOME").entryList({"*Anna*.rtf"}, QDir::Files);
        QCOMPARE(filed.size(), 1);
        QVERIFY(QRegularExpression(R"(^\d{4}-\d\d-\d\d--\d\d-\d\d-\d\d\[Anna\]\.rtf$)").match(filed[0]).hasMatch());
        QTextDocument letterText;
        QVERIFY(RtfDocument::loadFile(letterText, b->home() + "/INCOME/" + filed[0]));
        QCOMPARE(letterText.toPlainText().trimmed(), QStringLiteral("Письмо"));

        // At exit the conversation is saved and reads back with the same content.
        const QString before = conversationB->toPlainText();
        const QString home = b->home();
        b->shutDown();
        const QStringList history = QDir(home + "/INCOME").entryList({"log*.rtf"}, QDir::Files);
        QCOMPARE(history.size(), 1);
        QTextDocument saved;
        QVERIFY(RtfDocument::loadFile(saved, home + "/INCOME/" + history[0]));
        QCOMPARE(saved.toPlainText(), before);
        QCOMPARE(picturesIn(saved), 1);
        QCOMPARE(formatOf(saved, QStringLiteral("Привет")).foreground().color(), QColor(255, 0, 0));
    }

    void damagedMessageShowsWhatCouldBeRead()
    {
        RunningCopy a("127.0.0.10", "usernam=Anna\r\n");
        RunningCopy b("127.0.0.7", "usernam=Boris\r\n");
        QFile cut(m_temp.filePath("cut.rtf"));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 first part\\par {\\b second part"); // cut short
        cut.close();
        QVERIFY(a.app().jobs().sendfileto3('1', cut.fileName(), "127.0.0.7", 7456, "Boris", "Anna"));
        QTRY_COMPARE_WITH_TIMEOUT(b.messages.size(), 1, 20000);
        QTRY_VERIFY(b.hasLine(QStringLiteral("показано то, что удалось прочитать"), kRed));
        const QString shown = b.app().form2()->RichEdit1()->toPlainText();
        QVERIFY(shown.contains(QStringLiteral("first part")) && shown.contains(QStringLiteral("second part")));
    }

    void largeMessageIsCopiedInSlicesAheadOfLaterLines()
    {
        auto source = std::make_unique<QTextDocument>();
        QTextCursor fill(source.get());
        QStringList paragraphs;
        for (int i = 0; paragraphs.size() < 20000; ++i)
            paragraphs << QStringLiteral("строка %1 ").arg(i).repeated(4);
        fill.insertText(paragraphs.join(u'\n'));
        const QString expected = source->toPlainText();
        QVERIFY(expected.size() > 3 * SlicedInsert::kSliceChars);

        QTextDocument conversation;
        QTextCursor end(&conversation);
        end.insertText(QStringLiteral("before"));
        end.insertBlock(); // the message's own paragraph
        bool done = false;
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        auto *copy = new SlicedInsert(std::move(source), &conversation, end.position(), bold, [&done] { done = true; });
        copy->start();
        QVERIFY(!done); // one slice now, the rest on later turns of the event loop
        QTextCursor line(&conversation);
        line.movePosition(QTextCursor::End);
        line.insertText(QStringLiteral("\nlater line"), QTextCharFormat()); // a notice arriving meanwhile
        QTRY_VERIFY(done);
        QCOMPARE(conversation.toPlainText(), QStringLiteral("before\n") + expected + QStringLiteral("\nlater line"));
        QCOMPARE(formatOf(conversation, QStringLiteral("строка 19999")).fontWeight(), int(QFont::Bold));
        QVERIFY(formatOf(conversation, QStringLiteral("later line")).fontWeight() != int(QFont::Bold));
    }

    void letterFileNamesStayInTheirFolder_data()
    {
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("inName");
        QTest::newRow("plain") << "Anna" << "[Anna]";
        QTest::newRow("slash") << "../../etc/x" << "[.._.._etc_x]";
        QTest::newRow("forbidden elsewhere") << "a\\b:c*d?e\"f<g>h|i" << "[a_b_c_d_e_f_g_h_i]";
        QTest::newRow("control") << QString("a") + QChar(1) + "b\n" << "[a_b_]";
    }
    void letterFileNamesStayInTheirFolder()
    {
        QFETCH(QString, sender);
        QFETCH(QString, inName);
        const QDateTime when(QDate(2026, 12, 11), QTime(9, 8, 7));
        QCOMPARE(Arrival::letterFileName(when, sender), "2026-12-11--09-08-07" + inName + ".rtf");
    }

    void threeFilesToTwoRecipientsMakeSixJobs()
    {
        RunningCopy x("127.0.0.4", "usernam=X\r\n"), y("127.0.0.5", "usernam=Y\r\n");
        RunningCopy a("127.0.0.6", "usernam=Anna\r\n" + contact("X", "127.0.0.4", 1) + contact("Y", "127.0.0.5", 2));
        QTRY_VERIFY_WITH_TIMEOUT(a.app().table().user(1)->connected && a.app().table().user(2)->connected, 20000);
        a.app().table().user(1)->selected = true;
        a.app().table().user(2)->selected = true;
        QStringList files;
        for (const char *name : {"one.txt", "two.txt", "three.txt"}) {
            QFile file(m_temp.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(name);
            files << file.fileName();
        }
        a.app().composer().sendFiles(files);
        for (RunningCopy *peer : {&x, &y})
            QTRY_COMPARE_WITH_TIMEOUT(QDir(peer->savedir()).entryList(QDir::Files).size(), 3, 20000);
        QCOMPARE(QDir(x.savedir()).entryList(QDir::Files), QDir(y.savedir()).entryList(QDir::Files));
        for (const QString &file : files)
            QVERIFY(QFile::exists(file)); // sent from where they are, never moved
    }
};

QTEST_MAIN(TestConversation)
#include "test_conversation.moc"
