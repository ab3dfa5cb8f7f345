// The program's use of the activity library, in a copy of the program running in this process on
// an Xvfb of its own: loaded from the program's folder while the main window is built, auto-away
// on its tick, unloaded with the auto-answer window; a library that cannot watch the display.
#include "onxserver.h"

#include "app/activitymonitor.h"
#include "app/commandline.h"
#include "app/parlixapp.h"
#include "presence/autoanswer.h"
#include "ui/tform2.h"
#include "ui/tform7.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <dlfcn.h>
#include <memory>

namespace {

bool mapped(const QString &path)
{
    void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

// A copy of the program with a two-second idle threshold (with one, a return would need the input
// and the tick within the same second of the clock), its library taken from `folder`. Any
// message box shown while it starts is answered, and its text kept in `boxes`.
std::unique_ptr<ParlixApp> startCopy(const QTemporaryDir &home, const QString &address, const QString &folder,
                                     QStringList &boxes)
{
    QFile ini(home.filePath(QStringLiteral("parlix7.ini")));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[options]\r\nautorun=0\r\nCheckBox_iponly=1\r\nCheckBox6=1\r\nuser_active_str=2\r\n");
    ini.close();
    QTimer answer;
    answer.setInterval(50);
    QObject::connect(&answer, &QTimer::timeout, [&boxes] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->accept();
        }
    });
    answer.start();
    auto app = std::make_unique<ParlixApp>(
        CommandLine::parse({QStringLiteral("--home"), home.path(), QStringLiteral("--listen"), address}), folder);
    app->start();
    return app;
}

void shutDown(std::unique_ptr<ParlixApp> &app)
{
    QSignalSpy finished(app.get(), &ParlixApp::finished);
    app->requestShutdown();
    if (finished.isEmpty())
        QVERIFY(finished.wait(15000));
    app.reset();
}

bool moveThePointer()
{
    return QProcess::execute(QStringLiteral("xdotool"),
                             {QStringLiteral("mousemove_relative"), QStringLiteral("--"), QStringLiteral("1"),
                              QStringLiteral("0")})
        == 0;
}

} // namespace

class TestActivityMonitor : public QObject
{
    Q_OBJECT
private slots:
    void onTheXServer()
    {
        if (OnXServer::isCopy())
            QSKIP("this is the copy on the X server");
        QString skip;
        const QString failed =
            OnXServer::run({QStringLiteral("realLibrary"), QStringLiteral("libraryThatCannotWatch")}, &skip);
        if (!skip.isEmpty())
            QSKIP(qPrintable(skip));
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }

    void realLibrary()
    {
        if (!OnXServer::isCopy())
            QSKIP("run by onTheXServer on an X server of its own");
        const QString folder = qEnvironmentVariable("PARLIX_BUILD_DIR");
        const QString library = folder + QStringLiteral("/libparlix1.so");
        QVERIFY(!mapped(library));
        QTemporaryDir home;
        QStringList boxes;
        std::unique_ptr<ParlixApp> app = startCopy(home, QStringLiteral("127.0.4.105"), folder, boxes);
        QVERIFY(boxes.isEmpty());
        QVERIFY(app->activityAvailable());
        QVERIFY(mapped(library));

        // Nobody at the desk: away, without asking for an auto-answer text, and back at input.
        QTRY_COMPARE_WITH_TIMEOUT(app->ownStatus(), 2, 10000);
        QVERIFY(app->activity().autoAwayMark());
        QVERIFY(!app->activity().userActive());
        QVERIFY(app->form7()->isHidden());
        QCOMPARE(app->autoAnswer().text(), std::nullopt);
        // Away chosen by hand while auto-away holds asks for no text either.
        bool asked = false;
        QTimer guard;
        guard.setInterval(50);
        connect(&guard, &QTimer::timeout, this, [&] {
            if (app->form7()->isVisible()) {
                asked = true;
                app->form7()->close();
            }
        });
        guard.start();
        emit app->form2()->statusChosen(2);
        guard.stop();
        QVERIFY(!asked);
        QVERIFY(app->activity().autoAwayMark());
        app->autoAnswer().arm(QStringLiteral("gone")); // as if armed meanwhile
        QVERIFY(moveThePointer());
        QTRY_COMPARE_WITH_TIMEOUT(app->ownStatus(), 0, 10000);
        QVERIFY(!app->activity().autoAwayMark());
        QVERIFY(app->activity().userActive());
        QCOMPARE(app->autoAnswer().text(), std::nullopt); // the return disarms it

        shutDown(app);
        QVERIFY(!mapped(library)); // unloaded with the auto-answer window
    }

    void libraryThatCannotWatch()
    {
        if (!OnXServer::isCopy())
            QSKIP("run by onTheXServer on an X server of its own");
        const QString folder = QStringLiteral(UNWATCHED_LIBRARY_DIR);
        const QString library = folder + QStringLiteral("/libparlix1.so");
        QTemporaryDir home;
        QStringList boxes;
        std::unique_ptr<ParlixApp> app = startCopy(home, QStringLiteral("127.0.4.106"), folder, boxes);
        QCOMPARE(boxes, QStringList{QStringLiteral("error1")});
        QVERIFY(mapped(library)); // it stays loaded
        // Its time never moves: auto-away would hold the status at away for good. It stays off.
        QVERIFY(!app->activityAvailable());
        QTest::qWait(3500);
        QCOMPARE(app->ownStatus(), 0);
        QVERIFY(!app->activity().autoAwayMark());
        shutDown(app);
        QVERIFY(!mapped(library));
    }
};

QTEST_MAIN(TestActivityMonitor)
#include "test_activitymonitor.moc"
