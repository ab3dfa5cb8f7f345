// The code page, temporary files and the hand-over to the main thread.
#include "platform/codepage.h"
#include "platform/linkfinder.h"
#include "platform/mainthreadcall.h"
#include "platform/tempfiles.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <unistd.h>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void codePageMatchesQtDecoder()
    {
        QStringDecoder qt("windows-1251");
        QVERIFY(qt.isValid());
        for (int b = 0; b < 256; ++b) {
            if (b == 0x98)
                continue; // unassigned in 1251: we keep it as U+0098, Qt's decoder varies
            const QByteArray byte(1, char(b));
            const QString ours = CodePage::toUnicode(byte);
            QCOMPARE(ours, QString(qt(byte)));
            QCOMPARE(CodePage::fromUnicode(ours), byte);
        }
    }

    void codePageReplacesWhatItLacks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("cyrillic") << QStringLiteral("Привет, Ёж") << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2, \xa8\xe6");
        QTest::newRow("greek") << QStringLiteral("αβ") << QByteArray("??");
        QTest::newRow("emoji is one ?") << QStringLiteral("a😀b") << QByteArray("a?b");
        QTest::newRow("euro and numero") << QStringLiteral("€№") << QByteArray("\x88\xb9");
    }
    void codePageReplacesWhatItLacks()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(CodePage::fromUnicode(text), bytes);
    }

    void linksInConversationLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("link");
        const QString notice = QStringLiteral("[10:00:00] Пришел файл ( file:///home/u/COMMON/a b.doc ) от[Ann]");
        QTest::newRow("file notice") << notice << int(notice.indexOf("file://") + 3) << "file:///home/u/COMMON/a";
        QTest::newRow("web with a full stop") << "see http://example.org/x." << 10 << "http://example.org/x";
        QTest::newRow("www") << "go www.example.org now" << 5 << "www.example.org";
        QTest::newRow("beside a link") << "see http://example.org" << 1 << "";
        QTest::newRow("no link") << "plain words" << 3 << "";
    }
    void linksInConversationLines()
    {
        QFETCH(QString, line);
        QFETCH(int, position);
        QFETCH(QString, link);
        QCOMPARE(LinkFinder::linkAt(line, position), link);
    }

    void tempFolderRule()
    {
        const QByteArray temp = qgetenv("TEMP"), tmpdir = qgetenv("TMPDIR");
        qputenv("TEMP", "/a");
        qputenv("TMPDIR", "/b");
        QCOMPARE(TempFiles::folder(), QStringLiteral("/a"));
        qunsetenv("TEMP");
        QCOMPARE(TempFiles::folder(), QStringLiteral("/b"));
        qunsetenv("TMPDIR");
        QCOMPARE(TempFiles::folder(), QStringLiteral("/tmp"));
        if (!temp.isNull()) qputenv("TEMP", temp);
        if (!tmpdir.isNull()) qputenv("TMPDIR", tmpdir);
    }

    void tempFilesAreNewAndExclusive()
    {
        QTemporaryDir dir;
        QSet<QString> names;
        for (int i = 0; i < 50; ++i) {
            QFile file;
            const QString path = TempFiles::create(file, dir.path());
            QVERIFY(!path.isEmpty());
            QVERIFY(file.isOpen());
            const QString name = QFileInfo(path).fileName();
            QCOMPARE(name.size(), 8);
            for (const QChar c : name)
                QVERIFY(c.isDigit());
            names.insert(name);
        }
        QCOMPARE(names.size(), 50);

        QFile file;
        QVERIFY(TempFiles::create(file, dir.filePath("missing-folder")).isEmpty());
        QVERIFY(!file.isOpen());
    }

    void mainThreadCallRunsStepsOnTheMainThread()
    {
        MainThreadCall call;
        std::atomic<QThread *> ranOn{nullptr};
        bool result = false;
        QThread *worker = QThread::create([&] {
            result = call.run([&] { ranOn = QThread::currentThread(); });
        });
        worker->start();
        QTRY_VERIFY(worker->isFinished());
        delete worker;
        QVERIFY(result);
        QCOMPARE(ranOn.load(), QThread::currentThread());

        bool direct = false;
        QVERIFY(call.run([&] { direct = true; }));
        QVERIFY(direct); // on the main thread: at once, no event loop needed
    }

    void mainThreadCallShutdownReleasesWorkers()
    {
        auto call = std::make_unique<MainThreadCall>();
        std::atomic_bool returned{false};
        std::atomic_bool result{true};
        auto stepRan = std::make_shared<std::atomic_bool>(false);
        QThread *worker = QThread::create([&, stepRan] {
            result = call->run([stepRan] { *stepRan = true; });
            returned = true;
        });
        worker->start();
        // The main thread does not serve events here, so the worker waits until shutdown.
        QThread::msleep(100);
        QVERIFY(!returned);
        call->shutdown();
        QVERIFY(worker->wait(5000));
        delete worker;
        QVERIFY(returned);
        QVERIFY(!result);
        call.reset();
        QCoreApplication::processEvents();
        QVERIFY(!*stepRan); // dropped, not run after the fact
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
