// The activity library on an X server without XInput2. Xvfb cannot run without it, so this test
// executable defines XQueryExtension itself: the library's call binds to this definition (the
// executable comes first in the symbol search order), which hides the named extensions and hands
// every other question to libX11. Everything else is the real server.
#include "activity/parlix1.h"
#include "xvfbserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QSet>
#include <QTest>

#include <ctime>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

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
        // The library says why clicks now count too: catch its standard error meanwhile.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray errPath = QFile::encodeName(dir.filePath(QStringLiteral("stderr")));
        std::fflush(stderr);
        const int savedErr = ::dup(2);
        const int errFile = ::open(errPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        QVERIFY(savedErr >= 0 && errFile >= 0);
        ::dup2(errFile, 2);
        ::close(errFile);
        const std::uint8_t watching = m_regHook(m_library);
        std::fflush(stderr);
        ::dup2(savedErr, 2);
        ::close(savedErr);
        QCOMPARE(watching, std::uint8_t(1));
        QFile said(QFile::decodeName(errPath));
        QVERIFY(said.open(QIODevice::ReadOnly));
        const QByteArray text = said.readAll();
        QVERIFY2(text.contains("libparlix1: no XInput 2.1 on " + m_x.display().toLocal8Bit()
                               + "; using the screen saver's idle time"),
                 text.constData());
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
