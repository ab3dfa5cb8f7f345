// A running copy in this process, driven through its windows on the offscreen platform.
#include "app/parlixapp.h"
#include "contacts/contacttable.h"
#include "contacts/inifile.h"
#include "contacts/options.h"
#include "net/receivingserver.h"
#include "ui/tform1.h"
#include "ui/tform2.h"
#include "ui/tform5.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextBlock>
#include <QTextEdit>

namespace {

std::unique_ptr<ParlixApp> startCopy(const QString &home, const QString &listen)
{
    CommandLine line = CommandLine::parse({"--home", home, "--listen", listen});
    auto app = std::make_unique<ParlixApp>(line, QString());
    app->start();
    return app;
}

void shutDown(ParlixApp &app)
{
    QSignalSpy finished(&app, &ParlixApp::finished);
    app.requestShutdown();
    QVERIFY(finished.count() == 1 || finished.wait(15000));
}

QAction *menuItem(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_xdg;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_xdg.path().toUtf8()); }

    void startsHiddenWithItsWindows()
    {
        QTemporaryDir home;
        auto app = startCopy(home.path(), "127.0.0.21");
        QVERIFY(app->server().isActive());
        QVERIFY(app->initialised());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        QCOMPARE(app->form1()->windowTitle(), QString("parlix-form"));
        QVERIFY(app->form2()->windowTitle().startsWith("Parlix v"));
        QCOMPARE(app->form2()->windowTitle().count('.'), 3);
        QCOMPARE(app->namefield(), QString("[           User]"));
        QCOMPARE(app->table().cell(0, ContactTable::Name), QStringLiteral("Клиент"));
        shutDown(*app);
        QVERIFY(app->shuttingdown());
        QVERIFY(!app->server().isActive());
    }

    void debugMenuAndInformationWindow()
    {
        QTemporaryDir home;
        auto app = startCopy(home.path(), "127.0.0.22");
        TForm2 *form2 = app->form2();
        QMenu *menu = form2->debugMenu();
        QAction *on = menuItem(menu, QStringLiteral("отладка вкл."));
        QAction *off = menuItem(menu, QStringLiteral("отладка выкл."));
        QAction *window = menuItem(menu, QStringLiteral("окно отладки"));
        QVERIFY(on && off && window);
        QVERIFY(off->isChecked() && !on->isChecked());
        window->trigger();
        QVERIFY(form2->debugMode());
        QVERIFY(on->isChecked() && !off->isChecked());
        QVERIFY(app->form5()->isVisible());
        QCOMPARE(app->form5()->geometry().size(), QSize(300, 400));
        QCOMPARE(app->form5()->windowTitle(), QStringLiteral("Информация"));
        off->trigger();
        QVERIFY(!form2->debugMode());
        QVERIFY(!QFile::exists(app->paths().logFile())); // logging is off: nothing written

        // The counters and the receive indicator follow the open connections.
        QTRY_COMPARE(app->form5()->statusText(), QStringLiteral("входящие=0, исходящие=0"));
        const QColor face = QApplication::palette().color(QPalette::Button);
        QTcpSocket peer;
        peer.connectToHost("127.0.0.22", 7456);
        QVERIFY(peer.waitForConnected(5000));
        QTRY_COMPARE(app->form5()->statusText(), QStringLiteral("входящие=1, исходящие=0"));
        QTRY_COMPARE(form2->receiveIndicator()->palette().color(QPalette::Window), QColor(0, 255, 0));
        peer.disconnectFromHost();
        QTRY_COMPARE(form2->receiveIndicator()->palette().color(QPalette::Window), face);
        shutDown(*app);
        QTRY_COMPARE(app->form5()->statusText(), QStringLiteral(" исходящие=0"));
    }

    void conversationClearAndLinks()
    {
        QTemporaryDir home;
        auto app = startCopy(home.path(), "127.0.0.25");
        QTextEdit *conversation = app->form2()->RichEdit1();
        conversation->setPlainText("first line\nsecond http://example.org/page line");
        QTextCursor select(conversation->document());
        select.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
        conversation->setTextCursor(select);
        app->form2()->clearConversation(); // with a selection: only the selection goes
        QCOMPARE(conversation->toPlainText(), QString("line\nsecond http://example.org/page line"));

        app->form2()->show();
        QSignalSpy links(app->form2(), &TForm2::linkClicked);
        QTextCursor on(conversation->document()->findBlockByNumber(1));
        on.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 12);
        conversation->setTextCursor(QTextCursor(conversation->document()));
        QTest::mouseClick(conversation->viewport(), Qt::LeftButton, {}, conversation->cursorRect(on).center());
        QCOMPARE(links.count(), 1);
        QCOMPARE(links[0][0].toString(), QString("http://example.org/page"));

        conversation->setTextCursor(QTextCursor(conversation->document()));
        app->form2()->clearConversation(); // nothing selected: everything goes
        QVERIFY(conversation->document()->isEmpty());
        shutDown(*app);
    }

    void counterTexts()
    {
        QCOMPARE(TForm5::counterText({false, 0, 0}), QStringLiteral(" исходящие=0"));
        QCOMPARE(TForm5::counterText({true, 3, 12}), QStringLiteral("входящие=3, исходящие=12"));
    }

    void placementIsRemembered()
    {
        QTemporaryDir home;
        {
            auto app = startCopy(home.path(), "127.0.0.23");
            app->form2()->show();
            app->form2()->setGeometry(40, 50, 700, 500);
            app->form2()->showMaximized();
            QTRY_VERIFY(app->form2()->isMaximized());
            shutDown(*app);
        }
        IniFile ini = IniFile::load(home.filePath("parlix7.ini"));
        QCOMPARE(ini.value("options", "wnd_max").value_or(""), QString("1"));
        QCOMPARE(ini.value("options", "c_width").value_or(""), QString("700"));
        {
            auto app = startCopy(home.path(), "127.0.0.23");
            QVERIFY(app->form2()->windowState() & Qt::WindowMaximized);
            app->form2()->show();
            app->form2()->showMinimized();
            shutDown(*app);
        }
        ini = IniFile::load(home.filePath("parlix7.ini"));
        QCOMPARE(ini.value("options", "wnd_max").value_or(""), QString("1")); // minimised keeps it
        {
            auto app = startCopy(home.path(), "127.0.0.23");
            app->form2()->show();
            app->form2()->showNormal();
            QTRY_VERIFY(!app->form2()->isMaximized());
            app->form2()->setGeometry(60, 70, 640, 480);
            shutDown(*app);
        }
        ini = IniFile::load(home.filePath("parlix7.ini"));
        QCOMPARE(ini.value("options", "wnd_max").value_or(""), QString("0"));
        QCOMPARE(ini.value("options", "c_heigh").value_or(""), QString("480"));
    }

    void savedStatusComesBack()
    {
        QTemporaryDir home;
        QFile file(home.filePath("parlix7.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[options]\r\nCheckBoxSaveSt=1\r\noldstatus=2\r\n");
        file.close();
        auto app = startCopy(home.path(), "127.0.0.24");
        QCOMPARE(app->ownStatus(), 2);
        QCOMPARE(app->form2()->ComboBox1()->currentIndex(), 2);
        shutDown(*app);
        QCOMPARE(IniFile::load(home.filePath("parlix7.ini")).value("options", "oldstatus").value_or(""), QString("2"));
    }
};

QTEST_MAIN(TestWindows)
#include "test_windows.moc"
