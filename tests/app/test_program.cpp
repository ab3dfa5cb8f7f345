// Real copies of the program: start, listen, end on SIGTERM, and what they leave behind.
#include "support/programprocess.h"

#include "contacts/inifile.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeSettings(const QString &home, const QByteArray &lines)
{
    QFile file(home + "/parlix7.ini");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[options]\r\n" + lines);
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void startsListensAndEndsOnSigterm()
    {
        ProgramProcess program("127.0.0.11");
        writeSettings(program.home(), "CheckBox_log=1\r\n");
        QVERIFY(program.start());
        const qint64 elapsed = program.terminate();
        QVERIFY2(elapsed >= 0 && elapsed < 10000, QByteArray::number(elapsed));
        QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.process().exitCode(), 0);

        QCOMPARE(QFileInfo(program.home() + "/pxusers.ini").size(), 51611);
        const IniFile ini = IniFile::load(program.home() + "/parlix7.ini");
        for (const char *key : {"menu_on", "usernam", "savedir", "u_free", "e-fontname", "fnt_itl", "rb1", "std_col",
                                "wnd_max", "c_heigh", "user_active_str", "oldstatus", "CheckBox_iponly", "use_list"})
            QVERIFY2(ini.value("options", key).has_value(), key);
        QVERIFY(!ini.value("options", "bt_opt").has_value());

        const QByteArray log = readFile(program.home() + "/_px_log.log");
        QVERIFY(log.contains(": TForm1::FormCloseQuery b\r\n"));
        QVERIFY(log.contains(": TForm1::FormCloseQuery terminated=FALSE\r\n"));
        QVERIFY(log.contains(": TForm1::writehistory Form3->CheckBox_msg->Checked=false\r\n"));
        QVERIFY(log.trimmed().endsWith(": TForm1::FormCloseQuery e"));
        QVERIFY(!log.contains("tform1 begin"));
        QVERIFY(!log.contains("tform2 begin"));

        // The autostart entry repeats the copy's own options.
        const QByteArray entry = readFile(program.xdgConfig() + "/autostart/parlix.desktop");
        QVERIFY(entry.contains("[Desktop Entry]"));
        QVERIFY(entry.contains("\"--home\" \"" + program.home().toUtf8() + "\" \"--listen\" \"127.0.0.11\""));
    }

    void autorunOffRemovesTheEntry()
    {
        ProgramProcess program("127.0.0.15");
        QVERIFY(program.start());
        QVERIFY(program.terminate() >= 0);
        QVERIFY(QFile::exists(program.xdgConfig() + "/autostart/parlix.desktop"));
        writeSettings(program.home(), "autorun=0\r\n");
        QVERIFY(program.start());
        // The port accepts as soon as it is open; the settings are applied a little later.
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(program.xdgConfig() + "/autostart/parlix.desktop"), 10000);
        QVERIFY(program.terminate() >= 0);
    }

    void secondCopyOnTheSameAddressEndsQuietly()
    {
        ProgramProcess first("127.0.0.12");
        QVERIFY(first.start());
        ProgramProcess second("127.0.0.12");
        second.process().setProcessChannelMode(QProcess::SeparateChannels);
        QVERIFY(second.runToEnd({"--home", second.home(), "--listen", "127.0.0.12"}, 15000));
        QCOMPARE(second.process().exitCode(), 0);
        QVERIFY(!second.process().readAllStandardError().contains("parlix:"));
        QVERIFY(!QFile::exists(second.home() + "/parlix7.ini")); // no shutdown sequence ran
        QVERIFY(first.acceptsConnections(2000));
        QVERIFY(first.terminate() >= 0);
    }

    void sendModeEndsWithoutSavingAnything()
    {
        ProgramProcess program("127.0.0.13");
        writeSettings(program.home(), "CheckBox_msg=1\r\n");
        const QByteArray before = readFile(program.home() + "/parlix7.ini");
        QVERIFY(program.runToEnd({"--home", program.home(), "--listen", "127.0.0.13", "/send", "127.0.0.14", "Bob",
                                  "two", "words"}, 20000));
        QCOMPARE(program.process().exitCode(), 0);
        QCOMPARE(readFile(program.home() + "/parlix7.ini"), before);
        QVERIFY(!QFile::exists(program.home() + "/pxusers.ini"));
        QVERIFY(!QDir(program.home() + "/INCOME").exists());
    }

    void tooFewArgumentsStartNormallyAndHistoryIsWritten()
    {
        ProgramProcess program("127.0.0.16");
        writeSettings(program.home(), "CheckBox_msg=1\r\n");
        QVERIFY(program.start({"/SEND", "127.0.0.14"}));
        QVERIFY(program.terminate() >= 0);
        const QStringList history = QDir(program.home() + "/INCOME").entryList({"log*.rtf"}, QDir::Files);
        QCOMPARE(history.size(), 1);
        QVERIFY(QRegularExpression("^log\\d{4}-\\d\\d-\\d\\d--\\d\\d-\\d\\d-\\d\\d\\.rtf$").match(history[0]).hasMatch());
        QVERIFY(readFile(program.home() + "/INCOME/" + history[0]).startsWith("{\\rtf1"));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"
