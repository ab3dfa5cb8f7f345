// The program's loader of the activity library: when the library is to be used at all, loading it
// by path, refusing an incomplete one, and calling through it.
#include "platform/activitylibrary.h"
#include "xvfbserver.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <dlfcn.h>

namespace {
qint32 now()
{
    return static_cast<qint32>(std::time(nullptr));
}

QString buildDir()
{
    return qEnvironmentVariable("PARLIX_BUILD_DIR");
}

// Whether the library at this path is still mapped into the process.
bool mapped(const QString &path)
{
    void *handle = dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

const QString offscreen = QStringLiteral("the Qt platform is offscreen: there is no desktop input to watch");
const QString wayland = QStringLiteral("Wayland session: an X server there sees only the input of its own windows");
const QString noDisplay = QStringLiteral("no X display: DISPLAY is not set");
} // namespace

class TestActivityLibrary : public QObject
{
    Q_OBJECT
private slots:
    void availability_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("reason");
        const QString x = QStringLiteral("DISPLAY=:0");
        QTest::newRow("X session") << "xcb" << QStringList{x} << QString();
        QTest::newRow("X session, x11 session type") << "xcb" << QStringList{x, "XDG_SESSION_TYPE=x11"} << QString();
        QTest::newRow("empty WAYLAND_DISPLAY") << "xcb" << QStringList{x, "WAYLAND_DISPLAY="} << QString();
        QTest::newRow("offscreen with a display") << "offscreen" << QStringList{x} << offscreen;
        QTest::newRow("offscreen on Wayland") << "offscreen" << QStringList{"WAYLAND_DISPLAY=wayland-0"} << offscreen;
        QTest::newRow("wayland platform") << "wayland" << QStringList{x, "WAYLAND_DISPLAY=wayland-0"} << wayland;
        QTest::newRow("wayland-egl platform") << "wayland-egl" << QStringList{x} << wayland;
        QTest::newRow("xcb through Xwayland") << "xcb" << QStringList{x, "WAYLAND_DISPLAY=wayland-0"} << wayland;
        QTest::newRow("wayland session type") << "xcb" << QStringList{x, "XDG_SESSION_TYPE=wayland"} << wayland;
        QTest::newRow("no DISPLAY") << "xcb" << QStringList{} << noDisplay;
        QTest::newRow("empty DISPLAY") << "xcb" << QStringList{"DISPLAY="} << noDisplay;
    }
    void availability()
    {
        QFETCH(QString, platform);
        QFETCH(QStringList, environment);
        QFETCH(QString, reason);
        QProcessEnvironment env;
        for (const QString &entry : environment)
            env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
        QCOMPARE(ActivityLibrary::availability(platform, env), reason);
    }

    void availabilityOfThisProcess()
    {
        // ctest runs the tests on the offscreen platform.
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
        QCOMPARE(ActivityLibrary::availability(), offscreen);
    }

    void folderWithoutTheLibrary()
    {
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        ActivityLibrary library;
        QVERIFY(!library.load(empty.path()));
        QVERIFY(!library.isLoaded());
        QVERIFY(library.errorString().contains(empty.path()));
        QVERIFY(!library.regHook());
        QCOMPARE(library.getatime(), std::nullopt);
        library.unload();
        library.unload();
    }

    void libraryLackingAnExport_data()
    {
        QTest::addColumn<QString>("missing");
        for (const char *name : {"_RegHook", "_UnRegHook", "_getatime"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void libraryLackingAnExport()
    {
        QFETCH(QString, missing);
        const QString folder = QStringLiteral(LACKING_LIBRARIES_DIR "/lacks") + missing;
        QVERIFY(QFile::exists(folder + QStringLiteral("/libparlix1.so")));
        ActivityLibrary library;
        QVERIFY(!library.load(folder));
        QVERIFY(!library.isLoaded());
        QVERIFY2(library.errorString().endsWith(QStringLiteral("lacks the export ") + missing),
                 qPrintable(library.errorString()));
        QVERIFY(!mapped(folder + QStringLiteral("/libparlix1.so")));
        QVERIFY(!library.regHook());
        QCOMPARE(library.getatime(), std::nullopt);
    }

    void realLibraryWithoutDisplay()
    {
        const QString path = buildDir() + QStringLiteral("/libparlix1.so");
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        {
            const qint32 before = now();
            ActivityLibrary library;
            QVERIFY2(library.load(buildDir()), qPrintable(library.errorString()));
            const qint32 after = now();
            QVERIFY(library.isLoaded());
            QVERIFY(library.load(buildDir())); // already loaded
            QVERIFY(mapped(path));
            const std::optional<qint32> loaded = library.getatime();
            QVERIFY(loaded && *loaded >= before && *loaded <= after);
            QVERIFY(!library.regHook());
            library.unload();
            QVERIFY(!library.isLoaded());
            QVERIFY(!mapped(path));

            QVERIFY(library.load(buildDir()));
        } // the destructor unloads
        if (!display.isNull())
            qputenv("DISPLAY", display);
        QVERIFY(!mapped(path));
    }

    void callsThroughToTheLibrary()
    {
        if (const QString missing = XvfbServer::missingTool(); !missing.isEmpty())
            QSKIP(qPrintable(missing + QStringLiteral(" is not installed (tools/install-deps.sh installs it)")));
        XvfbServer x;
        QVERIFY2(x.start(), qPrintable(x.errorString()));
        const QByteArray display = qgetenv("DISPLAY");
        qputenv("DISPLAY", x.display().toLocal8Bit());
        ActivityLibrary library;
        QVERIFY2(library.load(buildDir()), qPrintable(library.errorString()));
        const bool watching = library.regHook();
        qputenv("DISPLAY", display);
        QVERIFY(watching);

        const qint32 loaded = *library.getatime();
        QTRY_VERIFY_WITH_TIMEOUT(now() > loaded, 3000);
        const qint32 started = now();
        QVERIFY2(x.xdotool({QStringLiteral("key"), QStringLiteral("a")}), qPrintable(x.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(*library.getatime() >= started, 5000);
        library.unload(); // before the server goes
    }
};

QTEST_MAIN(TestActivityLibrary)
#include "test_activitylibrary.moc"
