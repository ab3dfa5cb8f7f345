// The activity library on its own, through its three C exports, under an Xvfb of the test's own
// driven by xdotool.
#include "activity/parlix1.h"
#include "rawinputprobe.h"
#include "xvfbserver.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTest>

#include <ctime>
#include <dlfcn.h>
#include <memory>

namespace {

enum class Expect { Counts, Unchanged, Either };

// One xdotool command, what it must do to the time of the last activity, and the raw event that
// shows the server has sent the input out (none for a pointer warp, which sends none).
struct Step
{
    QStringList xdotool;
    Expect expect;
    std::optional<RawInputProbe::Kind> shows;
};

std::int32_t now()
{
    return static_cast<std::int32_t>(std::time(nullptr));
}

QString libraryPath()
{
    return qEnvironmentVariable("PARLIX_BUILD_DIR") + u'/' + QLatin1String(Parlix1::fileName);
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestParlix1 : public QObject
{
    Q_OBJECT

    XvfbServer m_x;
    std::unique_ptr<RawInputProbe> m_probe;
    void *m_library = nullptr;
    Parlix1::RegHookFunction m_regHook = nullptr;
    Parlix1::UnRegHookFunction m_unRegHook = nullptr;
    Parlix1::GetATimeFunction m_getATime = nullptr;

    // Waits until the clock has moved past the stored time, so that any update shows.
    void waitForNewSecond()
    {
        const std::int32_t stored = m_getATime();
        QTRY_VERIFY_WITH_TIMEOUT(now() > stored, 3000);
    }

    void runStep(const Step &step)
    {
        waitForNewSecond();
        if (QTest::currentTestFailed())
            return;
        const std::int32_t before = m_getATime();
        const std::int32_t started = now();
        const int shown = step.shows ? m_probe->count(*step.shows) : 0;
        QVERIFY2(m_x.xdotool(step.xdotool), qPrintable(m_x.errorString()));
        if (step.shows)
            QTRY_VERIFY_WITH_TIMEOUT(m_probe->count(*step.shows) > shown, 5000);
        switch (step.expect) {
        case Expect::Counts:
            QTRY_VERIFY_WITH_TIMEOUT(m_getATime() >= started, 5000);
            QVERIFY(m_getATime() <= now());
            break;
        case Expect::Unchanged: {
            // The server has sent the input to every listener; the library's thread handles it
            // within microseconds. Keep watching until the clock has moved on once more: an
            // update would have stored a time later than before.
            const std::int32_t until = now() + 1;
            while (now() <= until) {
                QCOMPARE(m_getATime(), before);
                QTest::qWait(20);
            }
            QCOMPARE(m_getATime(), before);
            break;
        }
        case Expect::Either:
            break;
        }
    }

private slots:
    void initTestCase()
    {
        if (const QString missing = XvfbServer::missingTool(); !missing.isEmpty())
            QSKIP(qPrintable(missing + QStringLiteral(" is not installed (tools/install-deps.sh installs it)")));
        QVERIFY2(m_x.start(), qPrintable(m_x.errorString()));
        qputenv("DISPLAY", m_x.display().toLocal8Bit());
        m_probe = std::make_unique<RawInputProbe>(m_x.display().toLocal8Bit());
        QVERIFY(m_probe->isOpen());
    }

    void exportsExactlyTheThree()
    {
        QProcess nm;
        nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"), libraryPath()});
        QVERIFY(nm.waitForFinished(15000));
        QCOMPARE(nm.exitCode(), 0);
        QSet<QString> exported;
        for (const QByteArray &line : nm.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() == 3)
                exported.insert(QString::fromLatin1(fields[2]));
        }
        QCOMPARE(exported, (QSet<QString>{QStringLiteral("_RegHook"), QStringLiteral("_UnRegHook"),
                                          QStringLiteral("_getatime")}));

        QProcess readelf;
        readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), libraryPath()});
        QVERIFY(readelf.waitForFinished(15000));
        const QByteArray dynamic = readelf.readAllStandardOutput();
        QVERIFY(dynamic.contains("libX11.so"));
        QVERIFY2(!dynamic.contains("libQt"), "the library must not need Qt");
    }

    void loadingSetsTheTime()
    {
        const std::int32_t second = now();
        QTRY_VERIFY_WITH_TIMEOUT(now() > second, 3000); // load right at the start of a second
        const std::int32_t before = now();
        m_library = dlopen(libraryPath().toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
        const std::int32_t after = now();
        QVERIFY2(m_library, dlerror());
        m_regHook = reinterpret_cast<Parlix1::RegHookFunction>(dlsym(m_library, Parlix1::regHookName));
        m_unRegHook = reinterpret_cast<Parlix1::UnRegHookFunction>(dlsym(m_library, Parlix1::unRegHookName));
        m_getATime = reinterpret_cast<Parlix1::GetATimeFunction>(dlsym(m_library, Parlix1::getATimeName));
        QVERIFY(m_regHook && m_unRegHook && m_getATime);
        const std::int32_t loaded = m_getATime();
        QVERIFY(loaded >= before && loaded <= after);

        // _UnRegHook before any _RegHook does nothing.
        m_unRegHook();
        m_unRegHook();
        QCOMPARE(m_getATime(), loaded);
    }

    void noInputKeepsTheLoadTime()
    {
        const std::int32_t loaded = m_getATime();
        QCOMPARE(m_regHook(m_library), std::uint8_t(1));
        QCOMPARE(m_regHook(m_library), std::uint8_t(1)); // a second call keeps the one watcher
        const std::int32_t second = now();
        QTRY_VERIFY_WITH_TIMEOUT(now() > second + 1, 4000);
        QCOMPARE(m_getATime(), loaded);
    }

    void input_data()
    {
        using Kind = RawInputProbe::Kind;
        const auto move = [](int dx) {
            return Step{{QStringLiteral("mousemove_relative"), QStringLiteral("--"), QString::number(dx),
                         QStringLiteral("0")},
                        Expect::Counts, Kind::Motion};
        };
        QTest::addColumn<QList<Step>>("steps");
        QTest::newRow("a key counts at its release, not its press")
            << QList<Step>{{{QStringLiteral("keydown"), QStringLiteral("a")}, Expect::Unchanged, Kind::KeyDown},
                           {{QStringLiteral("keyup"), QStringLiteral("a")}, Expect::Counts, Kind::KeyUp}};
        QTest::newRow("a pointer move by one pixel counts") << QList<Step>{move(1), move(-1)};
        QTest::newRow("a click without moving does not count")
            << QList<Step>{{{QStringLiteral("click"), QStringLiteral("1")}, Expect::Unchanged, Kind::ButtonUp},
                           {{QStringLiteral("click"), QStringLiteral("3")}, Expect::Unchanged, Kind::ButtonUp},
                           move(1)};
        QTest::newRow("a wheel turn does not count")
            << QList<Step>{{{QStringLiteral("click"), QStringLiteral("4")}, Expect::Unchanged, Kind::ButtonUp},
                           {{QStringLiteral("click"), QStringLiteral("5")}, Expect::Unchanged, Kind::ButtonUp},
                           move(-1)};
        // At the screen's edge the device still reports motion, but the pointer stays put. The
        // warp to the corner sends no raw motion, so the first motion there finds the pointer
        // moved since the last one seen.
        QTest::newRow("motion that leaves the pointer where it was does not count")
            << QList<Step>{{{QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("0")}, Expect::Either, {}},
                           {{QStringLiteral("mousemove_relative"), QStringLiteral("--"), QStringLiteral("-1"),
                             QStringLiteral("0")},
                            Expect::Counts, Kind::Motion},
                           {{QStringLiteral("mousemove_relative"), QStringLiteral("--"), QStringLiteral("-1"),
                             QStringLiteral("0")},
                            Expect::Unchanged, Kind::Motion},
                           move(1)};
    }
    void input()
    {
        QFETCH(QList<Step>, steps);
        for (const Step &step : steps) {
            runStep(step);
            if (QTest::currentTestFailed())
                return;
        }
    }

    void unRegHookStopsWatchingAndCanBeRepeated()
    {
        QElapsedTimer timer;
        timer.start();
        m_unRegHook();
        QVERIFY2(timer.elapsed() < 2000, "the watcher's thread must stop at once");
        m_unRegHook();
        runStep({{QStringLiteral("key"), QStringLiteral("a")}, Expect::Unchanged, RawInputProbe::Kind::KeyUp});
        if (QTest::currentTestFailed())
            return;

        // Watching again after a stop works like the first time.
        QCOMPARE(m_regHook(m_library), std::uint8_t(1));
        runStep({{QStringLiteral("key"), QStringLiteral("a")}, Expect::Counts, RawInputProbe::Kind::KeyUp});
        if (QTest::currentTestFailed())
            return;
        m_unRegHook();
    }

    void regHookWithoutDisplayFails_data()
    {
        QTest::addColumn<QByteArray>("display"); // a null array: DISPLAY unset
        QTest::newRow("DISPLAY unset") << QByteArray();
        QTest::newRow("DISPLAY empty") << QByteArray("");
        QTest::newRow("no server at DISPLAY") << QByteArray(":65000");
    }
    void regHookWithoutDisplayFails()
    {
        QFETCH(QByteArray, display);
        const QByteArray ours = qgetenv("DISPLAY");
        if (display.isNull())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", display);
        const std::uint8_t result = m_regHook(m_library);
        qputenv("DISPLAY", ours);
        QCOMPARE(result, std::uint8_t(0));
        m_unRegHook();
    }

    // Last, since it ends the server: a server that goes away while watched must not take the
    // program with it (Xlib's fatal I/O error handler would end the process).
    void serverGoingAwayIsSurvived()
    {
        QCOMPARE(m_regHook(m_library), std::uint8_t(1));
        m_probe.reset();
        const std::int32_t stored = m_getATime();
        m_x.stop();
        QElapsedTimer timer;
        timer.start();
        m_unRegHook();
        QVERIFY(timer.elapsed() < 2000);
        m_unRegHook();
        QCOMPARE(m_getATime(), stored);
    }

    void cleanupTestCase()
    {
        if (m_library) {
            m_unRegHook();
            QCOMPARE(dlclose(m_library), 0);
        }
        m_probe.reset();
        m_x.stop();
    }
};

QTEST_GUILESS_MAIN(TestParlix1)
#include "test_parlix1.moc"
