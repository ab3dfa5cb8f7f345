// The autostart entry as a login session reads it: which command it starts, and the arguments a
// desktop-entry reader hands that command.
#include "platform/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool makeProgram(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\n");
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

// The Exec value as a launcher splits it: the value's own escapes (\\ and %%) undone first, then
// the quoted arguments split by the shell, whose double-quote rules are the ones the format uses.
QStringList execArguments(const QByteArray &entry)
{
    QString exec;
    for (const QByteArray &line : entry.split('\n'))
        if (line.startsWith("Exec="))
            exec = QString::fromUtf8(line.mid(5));
    QString value;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        if (exec.at(i) == u'\\' && i + 1 < exec.size() && exec.at(i + 1) == u'\\')
            ++i;
        else if (exec.at(i) == u'%' && i + 1 < exec.size() && exec.at(i + 1) == u'%')
            ++i;
        value += exec.at(i);
    }
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("printf '%s\\n' ") + value});
    if (!shell.waitForFinished(10000))
        return {};
    QStringList arguments = QString::fromUtf8(shell.readAllStandardOutput()).split(u'\n');
    arguments.removeLast();
    return arguments;
}

} // namespace

class TestAutostart : public QObject
{
    Q_OBJECT
private slots:
    void installedProgramStartsThroughItsLinkOnPath()
    {
        QTemporaryDir root;
        const QString program = root.filePath(QStringLiteral("usr/lib/parlix/parlix"));
        QVERIFY(makeProgram(program));
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("usr/bin"))));
        QVERIFY(QFile::link(QStringLiteral("../lib/parlix/parlix"), root.filePath(QStringLiteral("usr/bin/parlix"))));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", root.filePath(QStringLiteral("usr/bin")).toUtf8() + ":" + path);
        const QString launcher = Autostart::launcher(program);
        qputenv("PATH", path);
        QCOMPARE(launcher, root.filePath(QStringLiteral("usr/bin/parlix")));
    }

    void anotherParlixOnPathIsNotTaken()
    {
        QTemporaryDir root;
        const QString program = root.filePath(QStringLiteral("build/parlix"));
        QVERIFY(makeProgram(program));
        QVERIFY(makeProgram(root.filePath(QStringLiteral("usr/bin/parlix"))));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", root.filePath(QStringLiteral("usr/bin")).toUtf8() + ":" + path);
        const QString launcher = Autostart::launcher(program);
        qputenv("PATH", path);
        QCOMPARE(launcher, program);
    }

    void execLineGivesBackEveryArgument_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("home");
        QTest::newRow("plain") << QStringLiteral("/usr/bin/parlix") << QStringLiteral("/home/anna/.parlix");
        QTest::newRow("blanks") << QStringLiteral("/opt/my apps/parlix") << QStringLiteral("/home/anna/мои данные");
        QTest::newRow("shell characters") << QStringLiteral("/opt/a$b`c/parlix")
                                          << QStringLiteral("/home/anna/\"q\" \\back\\ $HOME");
        QTest::newRow("percent") << QStringLiteral("/usr/bin/parlix") << QStringLiteral("/home/anna/100%u %%");
    }

    void execLineGivesBackEveryArgument()
    {
        QFETCH(QString, program);
        QFETCH(QString, home);
        const QStringList options{QStringLiteral("--home"), home, QStringLiteral("--listen"), QStringLiteral("127.0.10.9")};
        const QByteArray entry = Autostart::entryText(program, options);
        QCOMPARE(execArguments(entry), QStringList{program} + options);
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "test_autostart.moc"
