// The debug log, the command line and the data folder rule.
#include "app/commandline.h"
#include "app/datapaths.h"
#include "app/debuglog.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

class TestAppFrame : public QObject
{
    Q_OBJECT
private slots:
    void logGate_data()
    {
        QTest::addColumn<bool>("root");
        QTest::addColumn<bool>("settingsWindow");
        QTest::addColumn<bool>("enabled");
        for (int bits = 0; bits < 8; ++bits) {
            QTest::addRow("root=%d settings=%d option=%d", bits & 1, (bits >> 1) & 1, (bits >> 2) & 1)
                << bool(bits & 1) << bool(bits & 2) << bool(bits & 4);
        }
    }
    void logGate()
    {
        QFETCH(bool, root);
        QFETCH(bool, settingsWindow);
        QFETCH(bool, enabled);
        QTemporaryDir dir;
        DebugLog log(dir.filePath("_px_log.log"));
        if (root)
            log.setRootCreated();
        log.setSettingsWindowExists(settingsWindow);
        log.setEnabled(enabled);
        log(QStringLiteral("tform2 begin"));
        const bool open = root && settingsWindow && enabled;
        QCOMPARE(QFile::exists(dir.filePath("_px_log.log")), open);
        if (open) {
            QFile file(dir.filePath("_px_log.log"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QVERIFY2(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d: tform2 begin\r\n$").match(QString::fromLatin1(bytes)).hasMatch(),
                     bytes.constData());
        }
    }

    void logLineLayout()
    {
        QCOMPARE(DebugLog::formatLine("14:03:27", QStringLiteral("проверка")),
                 QByteArray("14:03:27: \xef\xf0\xee\xe2\xe5\xf0\xea\xe0\r\n"));
        // A text with its own line breaks is written as it is.
        QCOMPARE(DebugLog::formatLine("00:00:01", QStringLiteral("a\r\nb")), QByteArray("00:00:01: a\r\nb\r\n"));
    }

    void logAppendsAndFailsSilently()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("log");
        QFile seed(path);
        QVERIFY(seed.open(QIODevice::WriteOnly));
        seed.write("old\r\n");
        seed.close();
        DebugLog::WriteLogLine(path, QStringLiteral("new"));
        QVERIFY(seed.open(QIODevice::ReadOnly));
        const QByteArray bytes = seed.readAll();
        QVERIFY(bytes.startsWith("old\r\n"));
        QVERIFY(bytes.endsWith(": new\r\n"));
        DebugLog::WriteLogLine(dir.filePath("no/such/folder/log"), QStringLiteral("lost")); // no crash, no file
        QVERIFY(!QFile::exists(dir.filePath("no/such/folder/log")));
    }

    void concurrentLinesStayWhole()
    {
        QTemporaryDir dir;
        DebugLog log(dir.filePath("_px_log.log"));
        log.setRootCreated();
        log.setSettingsWindowExists(true);
        log.setEnabled(true);
        constexpr int kThreads = 8, kLines = 300;
        QList<QThread *> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads << QThread::create([&log, t] {
                for (int i = 0; i < kLines; ++i)
                    log(QStringLiteral("thread %1 line %2 ").arg(t).arg(i) + QString(200, QChar(u'ж')));
            });
            threads.last()->start();
        }
        for (QThread *thread : threads) {
            QVERIFY(thread->wait(60000));
            delete thread;
        }
        QFile file(dir.filePath("_px_log.log"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), kThreads * kLines + 1);
        const QRegularExpression whole(QString::fromLatin1("^\\d\\d:\\d\\d:\\d\\d: thread \\d line \\d+ \xe6{200}\r$"));
        QSet<QByteArray> seen;
        for (int i = 0; i < kThreads * kLines; ++i) {
            QVERIFY2(whole.match(QString::fromLatin1(lines[i])).hasMatch(), lines[i].left(60).constData());
            seen.insert(lines[i].mid(10, 20));
        }
        QCOMPARE(seen.size(), kThreads * kLines);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("sendMode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("listen");
        QTest::newRow("none") << QStringList{} << false << "" << "" << "";
        QTest::newRow("lower case switch") << QStringList{"/send", "10.0.0.1", "Bob", "two", "words"} << true
                                           << " two words" << "" << "";
        QTest::newRow("exactly three") << QStringList{"/SEND", "host", "Bob"} << true << "" << "" << "";
        QTest::newRow("two is not enough") << QStringList{"/SEND", "host"} << false << "" << "" << "";
        QTest::newRow("options taken out first")
            << QStringList{"--home", "/h", "/Send", "--listen", "127.0.0.2", "host", "Bob", "x"} << true << " x"
            << "/h" << "127.0.0.2";
        QTest::newRow("options only leave two") << QStringList{"/SEND", "--home=/h", "host"} << false << ""
                                                << "/h" << "";
        QTest::newRow("switch not first") << QStringList{"a", "/SEND", "b", "c"} << false << "" << "" << "";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, sendMode);
        QFETCH(QString, text);
        QFETCH(QString, home);
        QFETCH(QString, listen);
        const CommandLine line = CommandLine::parse(args);
        QCOMPARE(line.error, QString());
        QCOMPARE(line.sendMode(), sendMode);
        QCOMPARE(line.home, home);
        QCOMPARE(line.listen, listen);
        if (sendMode)
            QCOMPARE(line.sendText(), text);
    }

    void commandLineErrors()
    {
        QVERIFY(!CommandLine::parse({"--home"}).error.isEmpty());
        QVERIFY(!CommandLine::parse({"--bogus"}).error.isEmpty());
    }

    void dataFolderRule()
    {
        QTemporaryDir dir;
        const QByteArray env = qgetenv("PARLIX_HOME"), xdg = qgetenv("XDG_CONFIG_HOME");
        qputenv("PARLIX_HOME", dir.filePath("env").toUtf8());
        qputenv("XDG_CONFIG_HOME", dir.filePath("xdg").toUtf8());
        const QString program = dir.filePath("prog");
        QVERIFY(QDir().mkpath(program));
        QCOMPARE(DataPaths::chooseFolder(dir.filePath("opt"), program), dir.filePath("opt"));
        QCOMPARE(DataPaths::chooseFolder(QString(), program), dir.filePath("env"));
        qunsetenv("PARLIX_HOME");
        QCOMPARE(DataPaths::chooseFolder(QString(), program), dir.filePath("xdg/parlix"));
        QFile ini(program + "/parlix7.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.close();
        QCOMPARE(DataPaths::chooseFolder(QString(), program), program); // a portable copy
        if (env.isNull()) qunsetenv("PARLIX_HOME"); else qputenv("PARLIX_HOME", env);
        if (xdg.isNull()) qunsetenv("XDG_CONFIG_HOME"); else qputenv("XDG_CONFIG_HOME", xdg);
    }
};

QTEST_GUILESS_MAIN(TestAppFrame)
#include "test_appframe.moc"
