// The settings window driven through its controls, with copies of the program on loopback.
#include "net/dnsreplies.h"
#include "net/dnsresponder.h"
#include "support/runningcopy.h"

#include "app/settingscontroller.h"
#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "net/namelookup.h"
#include "platform/codepage.h"
#include "presence/presence.h"
#include "ui/contactgridmodel.h"
#include "ui/tform11.h"
#include "ui/tform2.h"
#include "ui/tform3.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QHostInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <QToolButton>

namespace {

QByteArray contact(int row, const QString &name, const QString &address)
{
    const QByteArray n = QByteArray::number(row).rightJustified(4, '0');
    return "user_name" + n + "=" + name.toUtf8() + "\r\nuser_addr" + n + "=" + address.toUtf8() + "\r\n";
}

bool connectedAt(RunningCopy &copy, int row)
{
    return copy.app().table().user(row)->connected;
}

// The system messages a copy received that begin with `prefix`.
int countOf(const RunningCopy &copy, const QByteArray &prefix)
{
    int n = 0;
    for (const QByteArray &m : copy.systemMessages)
        n += m.startsWith(prefix) ? 1 : 0;
    return n;
}

TForm3 &openSettings(RunningCopy &copy)
{
    copy.app().settingsController().open();
    return *copy.app().form3();
}

// Types `text` into the grid cell as the user does: the first key opens the editor, Enter commits.
void typeIntoCell(TForm3 &form, int row, int column, const QString &text)
{
    QTableView *grid = form.StringGrid1;
    grid->setCurrentIndex(grid->model()->index(row - 1, column - 1));
    QTest::keyClicks(grid, text.left(1));
    QLineEdit *editor = nullptr;
    for (QLineEdit *edit : grid->findChildren<QLineEdit *>())
        if (edit->isVisible())
            editor = edit;
    QVERIFY(editor);
    QTest::keyClicks(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
}

bool editorOpen(QTableView *grid)
{
    for (const QLineEdit *edit : grid->findChildren<QLineEdit *>())
        if (edit->isVisible())
            return true;
    return false;
}

// Answers the group label prompt, which the settings window shows modally, by its button.
void answerPromptSoon(RunningCopy &copy)
{
    QTimer::singleShot(0, [&copy] {
        TForm11 *prompt = copy.app().form11();
        QTRY_VERIFY(prompt->isVisible());
        QTest::mouseClick(prompt->findChild<QPushButton *>(), Qt::LeftButton);
    });
}

} // namespace

class TestSettingsWindow : public QObject
{
    Q_OBJECT
private slots:
    void ownNameRules()
    {
        RunningCopy a("127.0.3.1");
        TForm3 &form = openSettings(a);
        QVERIFY(form.isVisible());
        QLineEdit *name = form.Edit1;
        QCOMPARE(name->text(), QString("User"));
        QVERIFY(!form.RxSpeedButton1->isEnabled());

        // A 16th typed character replaces the whole name.
        name->setFocus();
        name->setText("abcdefghijklmno");
        QTest::keyClick(name, Qt::Key_X);
        QCOMPARE(name->text(), QString("x"));
        QCOMPARE(a.app().namefield(), QString("[              x]"));
        QVERIFY(form.RxSpeedButton1->isEnabled());

        // Brackets cannot be typed.
        QTest::keyClicks(name, "[y]");
        QCOMPARE(name->text(), QString("xy"));

        // Deleting every character leaves "User", selected, so that the next key replaces it.
        QTest::keyClick(name, Qt::Key_Backspace);
        QTest::keyClick(name, Qt::Key_Backspace);
        QCOMPARE(name->text(), QString("User"));
        QCOMPARE(name->selectedText(), QString("User"));
        QCOMPARE(a.app().namefield(), QString("[           User]"));
        QCOMPARE(a.app().options().values().usernam, QString("User"));
        QTest::keyClick(name, Qt::Key_Z);
        QCOMPARE(name->text(), QString("z"));

        // A pasted name loses its brackets and is cut to 15 characters, like a typed one.
        QApplication::clipboard()->setText("[Pasted]NameThatIsFarTooLong");
        QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(name->text(), QString("zPastedNameThat"));
        QCOMPARE(a.app().namefield(), QString("[zPastedNameThat]"));
        QCOMPARE(a.app().options().values().usernam, QString("zPastedNameThat"));

        // The name is saved when the window closes.
        form.close();
        QFile ini(a.home() + "/parlix7.ini");
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("usernam=zPastedNameThat\r\n"));
    }

    void optionFields()
    {
        RunningCopy a("127.0.3.2", "countsn=0\r\n");
        TForm3 &form = openSettings(a);
        QCOMPARE(form.Edit3->text(), QString("0"));
        QTest::mouseClick(form.RxSpinButton1Bottom, Qt::LeftButton);
        QCOMPARE(a.app().options().values().countsn, QString("0"));
        QTest::mouseClick(form.RxSpinButton1Top, Qt::LeftButton);
        QTest::mouseClick(form.RxSpinButton1Top, Qt::LeftButton);
        QCOMPARE(a.app().options().values().countsn, QString("2"));

        // The received-files folder: left empty, it is the default folder; a folder gets its "/".
        QLineEdit *savedir = form.Edit_savedir;
        form.PageControl1->setCurrentIndex(1);
        savedir->clear();
        QFocusEvent in(QEvent::FocusIn), out(QEvent::FocusOut);
        QApplication::sendEvent(savedir, &in);
        QApplication::sendEvent(savedir, &out);
        QCOMPARE(a.app().options().values().savedir, OptionValues::defaultSavedir());
        savedir->setText(a.home() + "/in");
        QApplication::sendEvent(savedir, &out);
        QCOMPARE(a.app().options().values().savedir, a.home() + "/in/");

        // The colour switch off (its state at start) does nothing; on and off again paints.
        QVERIFY(!form.RxSwitch2->isChecked());
        form.RxSwitch2->setChecked(true);
        QVERIFY(a.app().options().values().std_col);
        form.RxSwitch2->setChecked(false);
        QCOMPARE(a.app().form2()->ListBox1()->palette().color(QPalette::Base), QColor(0, 128, 128));
        QCOMPARE(a.app().form2()->ListBox1()->palette().color(QPalette::Text), QColor(255, 255, 0));
        QCOMPARE(a.app().form2()->RichEdit1()->palette().color(QPalette::Base), QColor(192, 192, 192));

        // A colour picker changes the option at once.
        TForm3::setPickerColour(form.ColorComboBox2, 0x0000FF);
        QCOMPARE(a.app().options().values().u_busy, 0x0000FF);

        // "переслать список" only explains where the list is sent from.
        form.PageControl1->setCurrentIndex(2);
        QTest::mouseClick(form.CheckBox_log, Qt::LeftButton);
        form.PageControl1->setCurrentIndex(0);
        QTest::mouseClick(form.Button7, Qt::LeftButton);
        QFile log(a.app().paths().logFile());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(CodePage::toUnicode(log.readAll())
                    .contains(QStringLiteral("мыши выбрать пункт 'передать список'")));

        // Without the activity library nobody measures idleness.
        QVERIFY(!form.user_active_str->isEnabled());
        form.setIdleFieldAvailable(true);
        QVERIFY(form.user_active_str->isEnabled());
    }

    void ownAddressLine()
    {
        RunningCopy a("127.0.3.3");
        TForm3 &form = openSettings(a);
        QSignalSpy shown(&a.app().settingsController(), &SettingsController::ownAddressShown);
        // With the numeric-only option on, the DNS line asks nobody for a name.
        form.PageControl1->setCurrentIndex(2);
        QTest::mouseClick(form.CheckBox_usedns, Qt::LeftButton);
        QVERIFY(a.app().options().values().CheckBox_usedns);
        QTRY_VERIFY(!shown.isEmpty());
        const QString own = NameLookup::ownAddress(QHostInfo::localHostName());
        QTRY_COMPARE(form.Edit_ip->text(), "ip=" + own + " , name=");
    }

    // A DNS server that takes its time holds up the own-data line, never the window.
    void ownAddressLookupRunsBesideTheWindow()
    {
        RunningCopy a("127.0.3.12");
        std::atomic_bool release = false;
        DnsResponder dns(QHostAddress("127.0.3.13"), [&release](const QByteArray &query) {
            while (!release)
                QThread::msleep(10);
            return QList<QByteArray>{DnsReplies::ptrAnswer(query, "own.example")};
        });
        QVERIFY(dns.startServing());
        a.app().transport().dns.setServer(dns.address());
        a.app().transport().dns.setPort(dns.port());
        TForm3 &form = openSettings(a);
        form.PageControl1->setCurrentIndex(2);
        QTest::mouseClick(form.CheckBox_usedns, Qt::LeftButton);
        QTest::mouseClick(form.CheckBox_iponly, Qt::LeftButton);
        QVERIFY(!a.app().options().values().CheckBox_iponly);
        QSignalSpy shown(&a.app().settingsController(), &SettingsController::ownAddressShown);
        QTest::keyClick(form.CheckBox_usedns, Qt::Key_A); // a key press on the box looks up again
        QTRY_COMPARE(dns.queries(), 1);
        // While the server sits on the query, the window takes input.
        form.PageControl1->setCurrentIndex(1);
        form.Edit4->selectAll();
        QTest::keyClicks(form.Edit4, "Me");
        QCOMPARE(a.app().options().values().prefiks, QString("Me"));
        QVERIFY(!form.Edit_ip->text().endsWith("own.example"));
        release = true;
        const QString own = NameLookup::ownAddress(QHostInfo::localHostName());
        QTRY_COMPARE_WITH_TIMEOUT(form.Edit_ip->text(), "ip=" + own + " , name=own.example", 20000);
        QCOMPARE(shown.last().at(0).toString(), form.Edit_ip->text());
    }

    void gridHeadersAndMoves()
    {
        RunningCopy a("127.0.3.4", contact(1, "One", "127.0.3.250") + contact(2, "Two", "127.0.3.251"));
        TForm3 &form = openSettings(a);
        QTableView *grid = form.StringGrid1;
        QCOMPARE(grid->model()->rowCount(), 100);
        QCOMPARE(grid->model()->columnCount(), 5);
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("IP или сетевое имя"));
        QCOMPARE(grid->verticalHeader()->width(), 10);
        QCOMPARE(grid->columnWidth(0), 120);
        QCOMPARE(grid->columnWidth(4), 284);
        QCOMPARE(grid->rowHeight(0), 18);

        // The header row opens no editor, and the current cell never leaves the contact rows.
        const QPoint title(grid->horizontalHeader()->sectionViewportPosition(1) + 5, 5);
        QTest::mouseDClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, title);
        QVERIFY(!editorOpen(grid));
        QTest::mouseDClick(grid->verticalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!editorOpen(grid));
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QTest::keyClick(grid, Qt::Key_Up);
        QTest::keyClick(grid, Qt::Key_Left);
        QCOMPARE(form.currentRow(), 1);
        QCOMPARE(a.app().table().cell(0, ContactTable::Address), QStringLiteral("IP или сетевое имя"));

        // Dragging a row by its fixed cell moves the row with its record; the view keeps its order.
        a.app().table().user(1)->status = 2;
        grid->verticalHeader()->moveSection(0, 1);
        QCOMPARE(a.app().table().cell(2, ContactTable::Name), QString("One"));
        QCOMPARE(a.app().table().cell(1, ContactTable::Name), QString("Two"));
        QCOMPARE(a.app().table().user(2)->status, 2);
        QCOMPARE(grid->verticalHeader()->visualIndex(0), 0);
        QCOMPARE(grid->model()->index(1, 0).data().toString(), QString("One"));
        QVERIFY(!form.restartPanelVisible());
    }

    void separatorReusesTheLabel()
    {
        RunningCopy a("127.0.3.5");
        TForm3 &form = openSettings(a);
        a.app().form11()->Edit1()->setText("Group");
        form.StringGrid1->setCurrentIndex(form.StringGrid1->model()->index(2, 0));
        answerPromptSoon(a);
        QTest::mouseClick(form.Button5, Qt::LeftButton);
        QCOMPARE(a.app().table().cell(3, ContactTable::Address), QString("-"));
        QCOMPARE(a.app().table().cell(3, ContactTable::Name), QString("Group"));
        // Left as it was, the prompt gives the same label again.
        answerPromptSoon(a);
        QTest::mouseClick(form.Button5, Qt::LeftButton);
        QCOMPARE(a.app().table().cell(3, ContactTable::Name), QString("Group"));
        QCOMPARE(a.app().table().cell(4, ContactTable::Name), QString("Group"));
        // The prompt stood centred on the settings window.
        const QRect settings = form.frameGeometry();
        const TForm11 *prompt = a.app().form11();
        QCOMPARE(prompt->pos(), QPoint(settings.left() + settings.width() / 2 - prompt->width() / 2,
                                       settings.top() + settings.height() / 2 - prompt->height() / 2));
    }

    void deletingAConnectedRowSaysGoodbye()
    {
        RunningCopy b("127.0.3.7", "usernam=Boris\r\n" + contact(1, "Anna", "127.0.3.6"));
        RunningCopy a("127.0.3.6", "usernam=Anna\r\n" + contact(1, "Boris", "127.0.3.7"));
        QTRY_VERIFY_WITH_TIMEOUT(connectedAt(a, 1) && connectedAt(b, 1), 20000);
        TForm3 &form = openSettings(a);
        form.StringGrid1->setCurrentIndex(form.StringGrid1->model()->index(0, 1));
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        QCOMPARE(a.app().table().cell(1, ContactTable::Address), QString());
        QTRY_COMPARE_WITH_TIMEOUT(countOf(b, "[px004]"), 1, 20000);
        QTRY_VERIFY(!connectedAt(b, 1));
    }

    void editingAnAddressNeedsARestart()
    {
        RunningCopy b("127.0.3.9", "usernam=Boris\r\n" + contact(1, "Anna", "127.0.3.8"));
        RunningCopy a("127.0.3.8", "usernam=Anna\r\n" + contact(1, "Boris", "127.0.3.9"));
        QTRY_VERIFY_WITH_TIMEOUT(connectedAt(a, 1) && connectedAt(b, 1), 20000);
        TForm3 &form = openSettings(a);

        // "OK" sends the name notice to the connected peers.
        form.Edit1->selectAll();
        QTest::keyClicks(form.Edit1, "Annette");
        QVERIFY(form.RxSpeedButton1->isEnabled());
        QTest::mouseClick(form.RxSpeedButton1, Qt::LeftButton);
        QVERIFY(!form.RxSpeedButton1->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(countOf(b, "[px003]"), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(b.app().table().cell(1, ContactTable::Name), QString("Annette"), 20000);

        QVERIFY(!form.restartPanelVisible());
        typeIntoCell(form, 2, ContactTable::Address, "127.0.3.10");
        QTRY_COMPARE(a.app().table().cell(2, ContactTable::Address), QString("127.0.3.10")); // the editor commits later
        QVERIFY(form.restartPanelVisible());
        QVERIFY(form.Button2->isVisible());

        const int queries = countOf(b, "[px001][0000000025][online]");
        QSignalSpy restarted(&a.app().settingsController(), &SettingsController::restarted);
        QTest::mouseClick(form.Button2, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QVERIFY(!form.restartPanelVisible());
        QFile list(a.home() + "/pxusers.ini");
        QVERIFY(list.open(QIODevice::ReadOnly));
        QVERIFY(list.readAll().contains("127.0.3.10"));
        // The peer hears the goodbye, then the poll of every row, and sees this copy again.
        QTRY_COMPARE_WITH_TIMEOUT(countOf(b, "[px004]"), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(countOf(b, "[px001][0000000025][online]"), queries + 1, 20000);
        QCOMPARE(restarted.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(connectedAt(b, 1), 20000);
        QVERIFY(connectedAt(a, 1));
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "test_settingswindow.moc"
