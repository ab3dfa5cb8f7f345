// The tray icon on a desktop whose tray is a StatusNotifier host (KDE Plasma, Xfce, LXQt, GNOME with
// the AppIndicator extension): the real program on an X server of its own, with a session bus of
// its own on which this test plays the desktop's StatusNotifierWatcher.
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

namespace {

// The watcher: items register with it, and it says that a host (the tray) is there. It answers on a
// thread of its own, so that the program's questions never wait on the test's own blocking calls.
class Watcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    QStringList items() const { return m_items; }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public slots:
    void RegisterStatusNotifierItem(const QString &service, const QDBusMessage &message)
    {
        m_items << service;
        emit registered(message.service(), service);
    }
    void RegisterStatusNotifierHost(const QString &) {}

signals:
    // The bus name of the process that registered, and the item's own name or path.
    void registered(const QString &sender, const QString &item);

private:
    QStringList m_items;
};

void dieWithTest(QProcess &process)
{
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

} // namespace

class TestStatusNotifier : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const char *tool : {"Xvfb", "xdotool", "dbus-daemon"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QFAIL(qPrintable(QStringLiteral("%1 is missing (tools/install-deps.sh)").arg(QLatin1String(tool))));
        QVERIFY(m_dir.isValid());

        // A session bus of our own, with no rules beyond letting everyone talk.
        const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<busconfig><type>session</type><listen>unix:dir=" + m_dir.path().toUtf8() + "</listen>"
                   "<policy context=\"default\"><allow send_destination=\"*\"/><allow own=\"*\"/>"
                   "<allow receive_sender=\"*\"/></policy></busconfig>\n");
        file.close();
        dieWithTest(m_bus);
        m_bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--nofork"), QStringLiteral("--config-file=") + config,
                                                    QStringLiteral("--print-address=1")});
        QVERIFY(m_bus.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(m_bus.canReadLine(), 20000);
        m_busAddress = QString::fromUtf8(m_bus.readLine().trimmed());

        // An X server without any tray of its own, on one of the displays :160 to :169.
        for (int number = 160; number < 170 && m_display.isEmpty(); ++number) {
            dieWithTest(m_x);
            m_x.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(number), QStringLiteral("-displayfd"),
                                               QStringLiteral("1"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                               QStringLiteral("-screen"), QStringLiteral("0"),
                                               QStringLiteral("800x600x24")});
            if (!m_x.waitForStarted(10000))
                continue;
            // It writes its number once it accepts connections, or ends when the number is taken.
            QTRY_VERIFY_WITH_TIMEOUT(m_x.canReadLine() || m_x.state() == QProcess::NotRunning, 20000);
            if (m_x.state() == QProcess::Running && m_x.readLine().trimmed().toInt() == number)
                m_display = QStringLiteral(":%1").arg(number);
            else
                m_x.waitForFinished(10000);
        }
        QVERIFY2(!m_display.isEmpty(), "no free display in :160-:169");
    }

    void cleanupTestCase()
    {
        for (QProcess *process : {&m_x, &m_bus}) {
            process->terminate();
            process->waitForFinished(10000);
        }
    }

    void trayIconIsAStatusNotifierItem()
    {
        QDBusConnection bus = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("desktop"));
        QVERIFY(bus.isConnected());
        QThread watcherThread;
        watcherThread.start();
        auto *watcher = new Watcher;
        watcher->moveToThread(&watcherThread);
        QString sender;
        QString registeredItem;
        connect(watcher, &Watcher::registered, this, [&](const QString &from, const QString &item) {
            sender = from;
            registeredItem = item;
        });
        QVERIFY(bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
        QVERIFY(bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), watcher,
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
        const auto stopWatcher = qScopeGuard([&] {
            bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
            QMetaObject::invokeMethod(watcher, &QObject::deleteLater);
            watcherThread.quit();
            watcherThread.wait();
        });

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        dieWithTest(program);
        program.start(qEnvironmentVariable("PARLIX_BUILD_DIR") + QStringLiteral("/parlix"),
                      {QStringLiteral("--home"), m_dir.filePath(QStringLiteral("home")), QStringLiteral("--listen"),
                       QStringLiteral("127.0.10.3")});
        QVERIFY(program.waitForStarted(10000));

        // Qt finds the watcher and registers the tray icon as an item with it.
        QTRY_VERIFY_WITH_TIMEOUT(!sender.isEmpty(), 30000);
        const QString path = registeredItem.startsWith(u'/') ? registeredItem : QStringLiteral("/StatusNotifierItem");
        QDBusInterface item(sender, path, QStringLiteral("org.kde.StatusNotifierItem"), bus);
        QDBusMessage getAll = QDBusMessage::createMethodCall(sender, path,
                                                             QStringLiteral("org.freedesktop.DBus.Properties"),
                                                             QStringLiteral("GetAll"));
        getAll << QStringLiteral("org.kde.StatusNotifierItem");
        // Answered from the program's event loop: its start-up, window decision included, is done.
        const QDBusReply<QVariantMap> properties = bus.call(getAll, QDBus::Block, 30000);
        QVERIFY2(properties.isValid(), qPrintable(properties.error().message()));
        QCOMPARE(properties.value().value(QStringLiteral("Status")).toString(), QStringLiteral("Active"));
        // The status icon goes over as pixels (ARGB32, one entry per size), or as a file name.
        int pixmaps = 0;
        const auto iconPixmap = properties.value().value(QStringLiteral("IconPixmap")).value<QDBusArgument>();
        iconPixmap.beginArray();
        while (!iconPixmap.atEnd()) {
            int width = 0;
            int height = 0;
            QByteArray pixels;
            iconPixmap.beginStructure();
            iconPixmap >> width >> height >> pixels;
            iconPixmap.endStructure();
            if (width > 0 && pixels.size() == qsizetype(width) * height * 4)
                ++pixmaps;
        }
        iconPixmap.endArray();
        QVERIFY(pixmaps > 0 || !properties.value().value(QStringLiteral("IconName")).toString().isEmpty());

        // With a tray the program starts without a window; a click on the item (Activate) shows it.
        auto visibleMainWindow = [this] {
            QProcess xdotool;
            QProcessEnvironment xenv = QProcessEnvironment::systemEnvironment();
            xenv.insert(QStringLiteral("DISPLAY"), m_display);
            xdotool.setProcessEnvironment(xenv);
            xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                       QStringLiteral("--name"), QStringLiteral("^Parlix v")});
            xdotool.waitForFinished(10000);
            return !xdotool.readAllStandardOutput().trimmed().isEmpty();
        };
        QVERIFY(!visibleMainWindow());
        const QDBusMessage activated = item.call(QStringLiteral("Activate"), 0, 0);
        QVERIFY2(activated.type() == QDBusMessage::ReplyMessage, qPrintable(activated.errorMessage()));
        QTRY_VERIFY_WITH_TIMEOUT(visibleMainWindow(), 20000);

        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }

private:
    QTemporaryDir m_dir;
    QProcess m_bus;
    QProcess m_x;
    QString m_busAddress;
    QString m_display;
};

QTEST_GUILESS_MAIN(TestStatusNotifier)
#include "test_statusnotifier.moc"
