// "parlix7.ini" and "pxusers.ini" through loadsettings and savesettings.
#include "contacts/contacttable.h"
#include "contacts/inifile.h"
#include "contacts/settingsfile.h"

#include "app/userprompt.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTest>

namespace {

struct RecordingPrompt : UserPrompt
{
    QStringList messages;
    void message(const QString &text) override { messages << text; }
    bool question(const QString &) override { return false; }
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct Folder
{
    QTemporaryDir dir;
    RecordingPrompt prompt;
    QString ini() const { return dir.filePath("parlix7.ini"); }
    QString list() const { return dir.filePath("pxusers.ini"); }
    SettingsFile settings() { return SettingsFile(ini(), list(), &prompt, nullptr); }
};

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
private slots:
    void defaultsWithoutAFile()
    {
        Folder f;
        ContactTable table;
        const OptionValues v = f.settings().loadsettings(table);
        QCOMPARE(v.u_free, 65280);
        QCOMPARE(v.u_busy, 16776960);
        QCOMPARE(v.u_offl, 128);
        QCOMPARE(v.usernam, QString("User"));
        QCOMPARE(v.prefiks, QStringLiteral("Вы"));
        QCOMPARE(v.user_active_str, QString("300"));
        QCOMPARE(v.savedir, QDir::homePath() + "/COMMON/");
        QCOMPARE(v.sliderHeight(), 80);
        QVERIFY(f.prompt.messages.isEmpty());
        for (int row = 1; row <= 100; ++row)
            QCOMPARE(table.cell(row, ContactTable::Address), QString());
    }

    void firstSaveWritesEveryKeyInOrder()
    {
        Folder f;
        ContactTable table;
        OptionValues values;
        values.savedir = "/home/u/COMMON/";
        values.oldstatus = 2;
        f.settings().savesettings(values, table);
        const QByteArray expected =
            "[options]\r\nmenu_on=1\r\nusernam=User\r\nadd_inf=\r\nsavedir=/home/u/COMMON/\r\nallaccs=1\r\n"
            "countsn=1\r\nhidden0=1\r\nautorun=1\r\nprefiks=\xc2\xfb\r\nu_free=65280\r\nu_busy=16776960\r\n"
            "u_offl=128\r\ne-fontname=Arial\r\ne-fontsiz=11\r\ne-color=0\r\ne-fontbld=1\r\ne-fnt_itl=0\r\n"
            "fontname=Arial\r\nfontsiz=11\r\nfontbld=0\r\nfnt_itl=0\r\nrb3=1\r\nrb4=0\r\nrb5=0\r\nrb1=0\r\n"
            "cb4=1\r\ncb2=1\r\ncb3=1\r\nshowcon=1\r\nmyfonts=0\r\nsnd_awi=1\r\nstd_col=0\r\nwnd_max=0\r\n"
            "c__left=1\r\nc___top=1\r\nc_width=630\r\nc_heigh=460\r\nuser_active_str=300\r\nCheckBoxBt=0\r\n"
            "CheckBoxSaveSt=0\r\noldstatus=2\r\nCheckBox6=0\r\nCheckBox8=0\r\nCheckBox_log=0\r\nCheckBox_msg=0\r\n"
            "CheckBox_let=0\r\nCheckBox_usedns=0\r\nCheckBox_iponly=0\r\nuse_list=1\r\n";
        QCOMPARE(readFile(f.ini()), expected);
        QCOMPARE(readFile(f.list()).size(), 51611);
    }

    void badValuesGiveDefaults_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("text in an integer") << QByteArray("fontsiz=big");
        QTest::newRow("text in a boolean") << QByteArray("cb4=yes");
        QTest::newRow("empty integer") << QByteArray("u_free=");
        QTest::newRow("binary junk") << QByteArray("c_width=\x01\xff\x00zz", 12);
    }
    void badValuesGiveDefaults()
    {
        QFETCH(QByteArray, line);
        Folder f;
        writeFile(f.ini(), "[options]\r\n" + line + "\r\n");
        ContactTable table;
        const OptionValues v = f.settings().loadsettings(table);
        const OptionValues d;
        QCOMPARE(v.fontsiz, d.fontsiz);
        QCOMPARE(v.cb4, d.cb4);
        QCOMPARE(v.u_free, d.u_free);
        QCOMPARE(v.c_width, d.c_width);
    }

    void valuesAreRead()
    {
        Folder f;
        writeFile(f.ini(), "[Options]\r\n  USERNAM = \xcf\xe5\xf2\xff \r\ncb4=0\r\nstd_col=7\r\nfontsiz=-3\r\n"
                           "sliderpos=abc\r\nCheckBoxSaveSt=1\r\noldstatus=2\r\n");
        ContactTable table;
        const OptionValues v = f.settings().loadsettings(table);
        QCOMPARE(v.usernam, QStringLiteral("Петя"));
        QVERIFY(!v.cb4);
        QVERIFY(v.std_col); // any non-zero number is true
        QCOMPARE(v.fontsiz, -3);
        QCOMPARE(v.sliderHeight(), 80);
        QCOMPARE(v.oldstatus, 2);
    }

    void handKeysAndForeignLinesSurvive()
    {
        Folder f;
        writeFile(f.ini(), "; my notes\r\n[other]\r\nx=1\r\n[options]\r\nbt_stt=0\r\nmystery=42\r\nusernam=A\r\n"
                           "sliderpos=120\r\n");
        ContactTable table;
        OptionValues v = f.settings().loadsettings(table);
        QCOMPARE(v.bt_stt, QString("0"));
        v.usernam = "B";
        f.settings().savesettings(v, table);
        const IniFile ini = IniFile::load(f.ini());
        QCOMPARE(ini.value("options", "bt_stt").value_or(""), QString("0"));
        QCOMPARE(ini.value("options", "mystery").value_or(""), QString("42"));
        QCOMPARE(ini.value("other", "x").value_or(""), QString("1"));
        QCOMPARE(ini.value("options", "usernam").value_or(""), QString("B"));
        QCOMPARE(ini.value("options", "sliderpos").value_or(""), QString("120"));
        QVERIFY(!ini.value("options", "bt_opt")); // never written by the program
        QVERIFY(readFile(f.ini()).startsWith("; my notes\r\n[other]\r\nx=1\r\n[options]\r\nbt_stt=0\r\n"));
    }

    void keysWrittenAtTheMomentOfUse()
    {
        Folder f;
        f.settings().writeKey("sliderpos", "95");
        f.settings().writeKey("readfiledir", "/home/u/docs");
        QCOMPARE(f.settings().readKey("sliderpos", ""), QString("95"));
        QCOMPARE(f.settings().readKey("soundfiledir", "1"), QString("1"));
        QCOMPARE(readFile(f.ini()), QByteArray("[options]\r\nsliderpos=95\r\nreadfiledir=/home/u/docs\r\n"));
    }

    void handWrittenListLoadsAndSavesIdentically()
    {
        Folder f;
        ListFile::Table cells;
        cells[0] = {QStringLiteral("Клиент"), QStringLiteral("IP или сетевое имя"), QStringLiteral("Порт"),
                    QStringLiteral("Дополнительная инф-я"), QStringLiteral("Заметки о клиенте")};
        cells[1] = {QStringLiteral("Маша"), "192.168.0.7", "", QStringLiteral("бухгалтерия"), QStringLiteral("ваши заметки")};
        cells[2] = {QStringLiteral("Отдел"), "-", "", "", ""};
        cells[5] = {"srv", "fileserver", "7457", "", ""};
        const QByteArray bytes = ListFile::encode(cells);
        writeFile(f.list(), bytes);
        writeFile(f.ini(), "[options]\r\nuse_list=1\r\n");
        ContactTable table;
        const OptionValues v = f.settings().loadsettings(table);
        QCOMPARE(table.cell(1, ContactTable::Name), QStringLiteral("Маша"));
        QCOMPARE(table.cell(5, ContactTable::Port), QString("7457"));
        table.setHeaderTitles();
        f.settings().savesettings(v, table);
        QCOMPARE(readFile(f.list()), bytes);
        QVERIFY(f.prompt.messages.isEmpty());
    }

    void legacyListMovesIntoTheListFile()
    {
        Folder f;
        writeFile(f.ini(), "[options]\r\nusernam=A\r\nuser_name0001=\xc2\xe0\xf1\xff\r\nuser_addr0001=10.1.1.1\r\n"
                           "user_port0001=7000\r\nuser_add20050=note\r\nuser_name0000=title\r\n");
        ContactTable table;
        const OptionValues v = f.settings().loadsettings(table);
        QCOMPARE(table.cell(1, ContactTable::Name), QStringLiteral("Вася"));
        QCOMPARE(table.cell(1, ContactTable::Address), QString("10.1.1.1"));
        QCOMPARE(table.cell(50, ContactTable::Notes), QString("note"));
        f.settings().savesettings(v, table);
        const QByteArray ini = readFile(f.ini());
        QVERIFY(!QString::fromLatin1(ini).contains(QRegularExpression("user_(name|addr|port|add1|add2)")));
        QVERIFY(ini.contains("use_list=1\r\n"));
        QCOMPARE(ListFile::decode(readFile(f.list()))[1][0], QStringLiteral("Вася"));

        ContactTable again;
        f.settings().loadsettings(again);
        QCOMPARE(again.cell(1, ContactTable::Address), QString("10.1.1.1"));
    }

    void listThatCannotBeWrittenKeepsEverything()
    {
        Folder f;
        const QByteArray before = "[options]\r\nuser_name0001=Keep\r\nuser_addr0001=10.1.1.1\r\n";
        writeFile(f.ini(), before);
        QVERIFY(QDir().mkpath(f.list())); // a folder where the list file should go: it cannot be created
        ContactTable table;
        OptionValues v = f.settings().loadsettings(table);
        v.usernam = "Changed";
        f.settings().savesettings(v, table);
        QCOMPARE(f.prompt.messages, QStringList{"Error write settings!"});
        const IniFile ini = IniFile::load(f.ini());
        QCOMPARE(ini.value("options", "user_name0001").value_or(""), QString("Keep")); // the list is not lost
        QVERIFY(!ini.value("options", "use_list"));
    }

    void missingListFileIsReported()
    {
        Folder f;
        writeFile(f.ini(), "[options]\r\nuse_list=1\r\nuser_name0003=legacy\r\n");
        ContactTable table;
        f.settings().loadsettings(table);
        QCOMPARE(f.prompt.messages, QStringList{"Error read userlist!"});
        QCOMPARE(table.cell(3, ContactTable::Name), QString("legacy"));
    }

    void shortListFileLoadsWhatItHas()
    {
        Folder f;
        ListFile::Table cells;
        cells[1] = {"one", "10.0.0.1", "", "", ""};
        cells[2] = {"two", "10.0.0.2", "", "", ""};
        writeFile(f.list(), ListFile::encode(cells).left(2 * 511 + 300));
        writeFile(f.ini(), "[options]\r\nuse_list=1\r\n");
        ContactTable table;
        f.settings().loadsettings(table);
        QCOMPARE(table.cell(1, ContactTable::Name), QString("one"));
        QCOMPARE(table.cell(2, ContactTable::Name), QString());
        QVERIFY(f.prompt.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
