// Faults around the program: killed while it saves, a full file system under the received files
// and the temporary files, a data folder it cannot write to, no TEMP. Copies on 127.0.6.101-105.
#include "settingsversions.h"

#include "support/programprocess.h"
#include "support/runningcopy.h"

#include "app/parlixapp.h"
#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "contacts/settingsfile.h"
#include "net/sendjobs.h"
#include "platform/codepage.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <unistd.h>

namespace {

const QColor kRed(255, 0, 0);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A small tmpfs of the test's own; needs root. Unmounted when it goes.
class SmallFileSystem
{
public:
    explicit SmallFileSystem(const QString &options)
    {
        if (::geteuid() != 0) {
            m_why = QStringLiteral("a file system of our own needs root");
            return;
        }
        const int rc = QProcess::execute("mount", {"-t", "tmpfs", "-o", options, "parlix-test", m_dir.path()});
        if (rc != 0)
            m_why = QStringLiteral("mount -t tmpfs is not permitted here");
        m_mounted = rc == 0;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            QProcess::execute("umount", {"-l", m_dir.path()});
    }
    QString whyNot() const { return m_why; }
    QString path() const { return m_dir.path(); }
    bool remountReadOnly() { return QProcess::execute("mount", {"-o", "remount,ro", m_dir.path()}) == 0; }

private:
    QTemporaryDir m_dir;
    QString m_why;
    bool m_mounted = false;
};

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(bytes);
    return path;
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_temp;

private slots:
    void initTestCase() { qputenv("TEMP", m_temp.path().toUtf8()); }

    void killedWhileSaving()
    {
        // What each version looks like once saved over the other: the writer alternates.
        QTemporaryDir scratch;
        const SettingsFile scratchFile(scratch.filePath("parlix7.ini"), scratch.filePath("pxusers.ini"), nullptr, nullptr);
        QByteArray ini[2], list[2];
        for (int version : {0, 1, 0}) {
            ContactTable table;
            table.setCells(SettingsVersions::list(version));
            scratchFile.savesettings(SettingsVersions::values(version), table);
            ini[version] = readAll(scratch.filePath("parlix7.ini"));
            list[version] = readAll(scratch.filePath("pxusers.ini"));
        }
        QVERIFY(ini[0] != ini[1] && list[0] != list[1]);

        QTemporaryDir home;
        QVERIFY(QFile::copy(scratch.filePath("parlix7.ini"), home.filePath("parlix7.ini")));
        QVERIFY(QFile::copy(scratch.filePath("pxusers.ini"), home.filePath("pxusers.ini")));
        const int loops = qEnvironmentVariableIntValue("PARLIX_KILL_LOOPS") > 0 ? qEnvironmentVariableIntValue("PARLIX_KILL_LOOPS") : 300;
        int seen[2] = {0, 0};
        for (int i = 0; i < loops; ++i) {
            QProcess writer;
            writer.start(qEnvironmentVariable("PARLIX_BUILD_DIR") + "/settingswriter", {home.path()});
            QVERIFY(writer.waitForStarted(10000));
            QThread::usleep(QRandomGenerator::global()->bounded(2000, 60000));
            ::kill(pid_t(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(10000));
            const QByteArray iniNow = readAll(home.filePath("parlix7.ini"));
            const QByteArray listNow = readAll(home.filePath("pxusers.ini"));
            QVERIFY2(iniNow == ini[0] || iniNow == ini[1], qPrintable(QStringLiteral("settings damaged after kill %1").arg(i)));
            QVERIFY2(listNow == list[0] || listNow == list[1], qPrintable(QStringLiteral("list damaged after kill %1").arg(i)));
            ++seen[listNow == list[1]];
        }
        // The kills came at different moments of the loop, not always before its first save.
        QVERIFY2(seen[0] > 0 && seen[1] > 0, qPrintable(QStringLiteral("%1/%2").arg(seen[0]).arg(seen[1])));
        // Nothing but the two files piles up in the data folder.
        const QStringList left = QDir(home.path()).entryList(QDir::Files | QDir::Hidden);
        QVERIFY2(left.size() <= 2 + 1, qPrintable(left.join(u' ')));
    }

    void fullFileSystem()
    {
        SmallFileSystem disk("size=1m");
        if (!disk.whyNot().isEmpty())
            QSKIP(qPrintable(disk.whyNot()));
        RunningCopy target("127.0.6.101");
        RunningCopy sender("127.0.6.102");
        const QString savedir = disk.path() + "/received/";
        target.app().options().modify([&](OptionValues &v) { v.savedir = savedir; });

        const QString early = writeFile(m_temp.filePath("early.txt"), "the earlier file");
        QVERIFY(sender.app().jobs().sendfileto3('0', early, "127.0.6.101", 7456, "Target", "Bob"));
        QTRY_VERIFY_WITH_TIMEOUT(target.hasLine("Пришел файл ( file://" + savedir + "early.txt", kRed), 30000);

        const QString big = writeFile(m_temp.filePath("big.bin"), QByteArray(3 << 20, 'x'));
        QVERIFY(sender.app().jobs().sendfileto3('0', big, "127.0.6.101", 7456, "Target", "Bob"));
        QTRY_VERIFY_WITH_TIMEOUT(target.hasLine("Ошибка/отказ при приеме файла (" + savedir + "big.bin", kRed), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(!sender.notices.isEmpty(), 30000);
        QCOMPARE(CodePage::toUnicode(sender.notices.last().text), QStringLiteral("Ошибка при приеме вашего файла.(big.bin)"));
        QCOMPARE(readAll(savedir + "early.txt"), QByteArray("the earlier file"));
        QVERIFY(!QFile::exists(savedir + "big.bin"));

        // A message into a full temporary folder fails as a reception, with its red line.
        QFile filler(disk.path() + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
        }
        filler.close();
        qputenv("TEMP", disk.path().toUtf8());
        const QString message = writeFile(m_temp.filePath("message.rtf"), "{\\rtf1 hello " + QByteArray(64 << 10, 'h') + "}");
        QVERIFY(sender.app().jobs().sendfileto3('1', message, "127.0.6.101", 7456, "Target", "Bob"));
        QTRY_VERIFY_WITH_TIMEOUT(target.hasLine("Ошибка/отказ при получении сообщения от[Bob]", kRed), 60000);
        qputenv("TEMP", m_temp.path().toUtf8());
        QVERIFY(target.messages.isEmpty());
        QCOMPARE(readAll(savedir + "early.txt"), QByteArray("the earlier file"));
    }

    void unwritableDataFolder()
    {
        SmallFileSystem disk("size=1m");
        if (!disk.whyNot().isEmpty())
            QSKIP(qPrintable(disk.whyNot()));
        const QByteArray settings = "[options]\r\nautorun=0\r\nCheckBox_iponly=1\r\nusernam=Ro\r\nCheckBox_log=1\r\n";
        writeFile(disk.path() + "/parlix7.ini", settings);
        QVERIFY(disk.remountReadOnly());
        ProgramProcess program("127.0.6.103", disk.path());
        program.process().setProcessChannelMode(QProcess::SeparateChannels);
        QVERIFY(program.start());
        QVERIFY(program.terminate() >= 0);
        QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.process().exitCode(), 0);
        // The list could not be written: the one message box the design keeps for it; the
        // settings file stays as it was.
        QVERIFY(program.process().readAllStandardError().contains("Error write settings!"));
        QCOMPARE(readAll(disk.path() + "/parlix7.ini"), settings);
        QVERIFY(!QFile::exists(disk.path() + "/pxusers.ini"));
    }

    void temporaryFolder_data()
    {
        QTest::addColumn<bool>("setTemp");
        QTest::addColumn<bool>("setTmpdir");
        QTest::newRow("TEMP") << true << true;
        QTest::newRow("no TEMP, TMPDIR") << false << true;
        QTest::newRow("neither") << false << false;
    }

    void temporaryFolder()
    {
        QFETCH(bool, setTemp);
        QFETCH(bool, setTmpdir);
        QTemporaryDir temp, tmpdir;
        const QByteArray oldTmpdir = qgetenv("TMPDIR");
        setTemp ? qputenv("TEMP", temp.path().toUtf8()) : qunsetenv("TEMP");
        setTmpdir ? qputenv("TMPDIR", tmpdir.path().toUtf8()) : qunsetenv("TMPDIR");
        RunningCopy target("127.0.6.104");
        RunningCopy sender("127.0.6.105");
        QString path;
        connect(&target.app(), &ParlixApp::messageArrived, this, [&path](const QString &p) { path = p; });
        const QString message = writeFile(m_temp.filePath("temp-message.rtf"), "{\\rtf1 through TEMP}");
        QVERIFY(sender.app().jobs().sendfileto3('1', message, "127.0.6.104", 7456, "Target", "Bob"));
        QTRY_VERIFY_WITH_TIMEOUT(!path.isEmpty(), 45000);
        QCOMPARE(target.messages.last().content, QByteArray("{\\rtf1 through TEMP}"));
        QCOMPARE(QFileInfo(path).absolutePath(), setTemp ? temp.path() : setTmpdir ? tmpdir.path() : QStringLiteral("/tmp"));
        QTRY_VERIFY(!QFile::exists(path)); // shown and removed
        qputenv("TEMP", m_temp.path().toUtf8());
        oldTmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", oldTmpdir);
    }
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
