#include "activitywatcher.h"

#include <X11/Xlib.h>
#include <X11/Xlibint.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/scrnsaver.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {
bool serverGone(short revents)
{
    return revents & (POLLHUP | POLLRDHUP | POLLERR | POLLNVAL);
}

// How often the fallback asks the server for its idle time. The program reads the time once a
// second, so this keeps the delay of a return from away well under two seconds.
constexpr int idlePollMs = 500;
} // namespace

ActivityWatcher::ActivityWatcher(std::atomic<std::int32_t> &lastActivity)
    : m_lastActivity(lastActivity)
{
}

ActivityWatcher::~ActivityWatcher()
{
    stop();
}

std::int32_t ActivityWatcher::now()
{
    return static_cast<std::int32_t>(std::time(nullptr));
}

bool ActivityWatcher::start()
{
    if (m_thread.joinable())
        return true;
    m_display = XOpenDisplay(nullptr);
    if (!m_display)
        return false;
    if (selectRawEvents()) {
        m_source = Source::RawEvents;
    } else if (useScreenSaver()) {
        m_source = Source::ScreenSaverIdle;
        // Nobody else can tell the user why clicks now count as activity.
        std::fprintf(stderr, "libparlix1: no XInput 2.1 on %s; using the screen saver's idle time\n",
                     DisplayString(m_display));
    } else {
        closeDisplay();
        return false;
    }
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) {
        closeDisplay();
        return false;
    }
    try {
        m_thread = std::thread(&ActivityWatcher::run, this);
    } catch (...) {
        ::close(m_wakeFd);
        m_wakeFd = -1;
        closeDisplay();
        return false;
    }
    return true;
}

void ActivityWatcher::stop()
{
    if (!m_thread.joinable())
        return;
    if (m_thread.get_id() == std::this_thread::get_id()) {
        // Only reached when Xlib's fatal I/O error handler calls exit() on our own thread and the
        // library's unload function runs there: the process is ending, nothing to close.
        m_thread.detach();
        return;
    }
    const std::uint64_t one = 1;
    while (::write(m_wakeFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
    m_thread.join();
    ::close(m_wakeFd);
    m_wakeFd = -1;
    closeDisplay();
}

bool ActivityWatcher::selectRawEvents()
{
    int event = 0, error = 0;
    if (!XQueryExtension(m_display, "XInputExtension", &m_xiOpcode, &event, &error))
        return false;
    // Raw events reach the root window whatever grab is active only from XInput 2.1 on.
    int major = 2, minor = 2;
    if (XIQueryVersion(m_display, &major, &minor) != Success || major < 2 || (major == 2 && minor < 1))
        return false;

    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyRelease);
    XISetMask(bits, XI_RawMotion);
    XIEventMask mask{XIAllDevices, static_cast<int>(sizeof bits), bits};
    const Window root = DefaultRootWindow(m_display);
    if (XISelectEvents(m_display, root, &mask, 1) != Success)
        return false;

    // The position to compare the first motion with.
    Window rootReturn = 0, child = 0;
    int winX = 0, winY = 0;
    unsigned int buttons = 0;
    XQueryPointer(m_display, root, &rootReturn, &child, &m_lastX, &m_lastY, &winX, &winY, &buttons);
    m_lastRoot = rootReturn;
    // The selection is in force at the server once start() returns.
    XSync(m_display, False);
    return true;
}

bool ActivityWatcher::useScreenSaver()
{
    int event = 0, error = 0;
    return XScreenSaverQueryExtension(m_display, &event, &error);
}

void ActivityWatcher::run()
{
    pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {ConnectionNumber(m_display), POLLIN | POLLRDHUP, 0}};
    // The first round only looks: start() may have left events in the client's buffers.
    int wait = 0;
    for (;;) {
        // poll() comes before every read: once the server is gone, a read runs Xlib's fatal I/O
        // error handler, which ends the whole program by default.
        if (::poll(fds, 2, wait) < 0 && errno != EINTR)
            return;
        if (fds[0].revents != 0)
            return;
        if (serverGone(fds[1].revents)) {
            m_connectionLost = true; // closeDisplay() must not touch the connection either
            return;
        }
        if (m_source == Source::ScreenSaverIdle)
            readIdleTime();
        readEvents();
        wait = m_source == Source::ScreenSaverIdle ? idlePollMs : -1;
    }
}

void ActivityWatcher::readEvents()
{
    for (;;) {
        bool moved = false;
        while (XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            // The event's type is all we need, so its data is never fetched; Xlib frees it with
            // the next XNextEvent. Everything else (MappingNotify and the like) is dropped.
            const XGenericEventCookie &cookie = event.xcookie;
            if (cookie.type != GenericEvent || cookie.extension != m_xiOpcode)
                continue;
            if (cookie.evtype == XI_RawKeyRelease)
                m_lastActivity.store(now(), std::memory_order_relaxed);
            else if (cookie.evtype == XI_RawMotion)
                moved = true;
        }
        // XPending found nothing buffered, so poll() sees whatever comes next.
        if (!moved)
            return;
        // One query for a whole batch: every motion arrives twice (master and slave device), and
        // a fast mouse sends hundreds a second. Its reply may bring later events into the
        // client's buffers, where poll() cannot see them: look again.
        checkPointer();
    }
}

void ActivityWatcher::checkPointer()
{
    // A raw motion carries the device's deltas, not the pointer's position, and it also arrives
    // when the pointer is pinned at the screen's edge: only a changed position counts.
    Window root = 0, child = 0;
    int x = 0, y = 0, winX = 0, winY = 0;
    unsigned int buttons = 0;
    XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &x, &y, &winX, &winY, &buttons);
    if (x != m_lastX || y != m_lastY || root != m_lastRoot)
        m_lastActivity.store(now(), std::memory_order_relaxed);
    m_lastRoot = root;
    m_lastX = x;
    m_lastY = y;
}

void ActivityWatcher::readIdleTime()
{
    XScreenSaverInfo info{};
    if (!XScreenSaverQueryInfo(m_display, DefaultRootWindow(m_display), &info))
        return;
    // The server's idle time goes back to before we were loaded; the load time stays the floor.
    const std::int32_t last = now() - static_cast<std::int32_t>(info.idle / 1000);
    if (last > m_lastActivity.load(std::memory_order_relaxed))
        m_lastActivity.store(last, std::memory_order_relaxed);
}

void ActivityWatcher::closeDisplay()
{
    if (!m_display)
        return;
    if (!m_connectionLost) {
        // The server may have gone while the thread was being told to stop.
        pollfd fd{ConnectionNumber(m_display), POLLRDHUP, 0};
        m_connectionLost = ::poll(&fd, 1, 0) > 0 && serverGone(fd.revents);
    }
    if (m_connectionLost) {
        // Tell Xlib the connection is dead so that closing it frees everything without the
        // round trip that would run the fatal I/O error handler.
        m_display->flags = m_display->flags | XlibDisplayIOError; // flags is volatile
    }
    XCloseDisplay(m_display);
    m_display = nullptr;
    m_connectionLost = false;
}
