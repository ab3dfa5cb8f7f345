#include "app/commandline.h"
#include "app/parlixapp.h"
#include "app/shutdownsignals.h"
#include "appicon.h"

#include <QApplication>
#include <QSessionManager>
#include <QTimer>

#include <cstdio>

#include <sys/resource.h>

namespace {

// The listener serves up to 1,024 connections at once, and every one of them, every send job and
// every received file takes a descriptor: the usual soft limit of 1,024 would run out first.
void raiseDescriptorLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    raiseDescriptorLimit();
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("parlix"));
    // The menu entry parlix.desktop: desktops match the windows to it (and to its icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("parlix"));
    QApplication::setWindowIcon(AppIcon::icon());

    const CommandLine commandLine = CommandLine::parse(application.arguments().mid(1));
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "parlix: %s\n", qPrintable(commandLine.error));
        std::fprintf(stderr, "usage: parlix [--home DIR] [--listen ADDRESS] [/SEND address sender words...]\n");
        return 2;
    }

    ParlixApp app(commandLine, QCoreApplication::applicationDirPath());
    ShutdownSignals signals_;
    QObject::connect(&signals_, &ShutdownSignals::requested, &app, &ParlixApp::requestShutdown);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &app,
                     [&app](QSessionManager &) { QTimer::singleShot(0, &app, &ParlixApp::requestShutdown); });
    // exit(), not quit(): a GUI application's quit() first asks every shown window to close, and
    // the main window refuses (it goes to the tray), which would keep the program running.
    QObject::connect(&app, &ParlixApp::finished, &application, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    app.start();
    return application.exec();
}
