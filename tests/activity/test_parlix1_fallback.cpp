// The activity library on an X server without XInput2. Xvfb cannot run without it, so this test
// executable defines XQueryExtension itself: the library's call binds to this definition (the
// executable comes first in the symbol search order), which hides the named extensions and hands
// every other question to libX11. Everything else is the real server.
#include "activity/parlix1.h"
#include "xvfbserver.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTest>

#include <ctime>
#include <dlfcn.h>

namespace {
QSet<QByteArray> hiddenExtensions;

std::int32_t now()
{
    return static_cast<std::int32_t>(std::time(nullptr));
}
} // namespace

extern "C" int XQueryExtension(void *display, const char *name, int *opcode, int *event, int *error)
{
    if (hiddenExtensions.contains(QByteArray(name)))
        return 0;
    using Query = int (*)(void *, const char *, int *, int *, int *);
    static const Query real = [] {
        void *x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
        return x11 ? reinterpret_cast<Query>(dlsym(x11, "XQueryExtension")) : nullptr;
    }();
    return real ? real(display, name, opcode, event, error) : 0;
}

class TestParlix1Fallback : public QObject
{
    Q_OBJECT

    XvfbServer m_x;
    void *m_library = nullptr;
    Parlix1::RegHookFunction m_regHook = nullptr;
    Parlix1::UnRegHookFunction m_unRegHook = nullptr;
    Parlix1::GetATimeFunction m_getATime = nullptr;

private slots:
    void initTestCase()
    {
        if (const QString missing = XvfbServer::missingTool(); !missing.isEmpty())
            QSKIP(qPrintable(missing + QStringLiteral(" is not installed (tools/install-deps.sh installs it)")));
        QVERIFY2(m_x.start(), qPrintable(m_x.errorString()));
        qputenv("DISPLAY", m_x.display().toLocal8Bit());
        // The server's idle time counts from its start; load the library a second later, so that
        // the load time, not the server's, must come out.
        const std::int32_t started = now();
        QTRY_VERIFY_WITH_TIMEOUT(now() > started, 3000);
        const QString path = qEnvironmentVariable("PARLIX_BUILD_DIR") + u'/' + QLatin1String(Parlix1::fileName);
        m_library = dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(m_library, dlerror());
        m_regHook = reinterpret_cast<Parlix1::RegHookFunction>(dlsym(m_library, Parlix1::regHookName));
        m_unRegHook = reinterpret_cast<Parlix1::UnRegHookFunction>(dlsym(m_library, Parlix1::unRegHookName));
        m_getATime = reinterpret_cast<Parlix1::GetATimeFunction>(dlsym(m_library, Parlix1::getATimeName));
        QVERIFY(m_regHook && m_unRegHook && m_getATime);
    }

    void screenSaverIdleTimeStandsIn()
    {
        hiddenExtensions = {"XInputExtension"};
        const std::int32_t loaded = m_getATime();
        QCOMPARE(m_regHook(m_library), std::uint8_t(1));
        const std::int32_t second = now();
        QTRY_VERIFY_WITH_TIMEOUT(now() > second + 1, 4000);
        QCOMPARE(m_getATime(), loaded);

        // The server's idle time knows no kinds of input: a click counts here too.
        for (const QStringList &input : {QStringList{QStringLiteral("key"), QStringLiteral("a")},
                                         QStringList{QStringLiteral("click"), QStringLiteral("1")},
                                         QStringList{QStringLiteral("mousemove_relative"), QStringLiteral("1"),
                                                     QStringLiteral("0")}}) {
            const std::int32_t stored = m_getATime();
            QTRY_VERIFY_WITH_TIMEOUT(now() > stored, 3000);
            const std::int32_t started = now();
            QVERIFY2(m_x.xdotool(input), qPrintable(m_x.errorString()));
            QTRY_VERIFY_WITH_TIMEOUT(m_getATime() >= started, 5000);
            QVERIFY(m_getATime() <= now());
        }

        QElapsedTimer timer;
        timer.start();
        m_unRegHook();
        QVERIFY(timer.elapsed() < 2000);
        m_unRegHook();
    }

    void noWayToWatchFails()
    {
        hiddenExtensions = {"XInputExtension", "MIT-SCREEN-SAVER"};
        QCOMPARE(m_regHook(m_library), std::uint8_t(0));
        m_unRegHook();
    }

    void cleanupTestCase()
    {
        hiddenExtensions.clear();
        if (m_library) {
            m_unRegHook();
            dlclose(m_library);
        }
        m_x.stop();
    }
};

QTEST_GUILESS_MAIN(TestParlix1Fallback)
#include "test_parlix1_fallback.moc"
