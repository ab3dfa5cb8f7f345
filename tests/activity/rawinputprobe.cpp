#include "rawinputprobe.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace {
int eventType(RawInputProbe::Kind kind)
{
    switch (kind) {
    case RawInputProbe::Kind::KeyDown: return XI_RawKeyPress;
    case RawInputProbe::Kind::KeyUp: return XI_RawKeyRelease;
    case RawInputProbe::Kind::ButtonDown: return XI_RawButtonPress;
    case RawInputProbe::Kind::ButtonUp: return XI_RawButtonRelease;
    case RawInputProbe::Kind::Motion: return XI_RawMotion;
    }
    return -1;
}
} // namespace

RawInputProbe::RawInputProbe(const QByteArray &display)
{
    m_display = XOpenDisplay(display.constData());
    if (!m_display)
        return;
    int event = 0, error = 0, major = 2, minor = 2;
    if (!XQueryExtension(m_display, "XInputExtension", &m_opcode, &event, &error)
        || XIQueryVersion(m_display, &major, &minor) != Success) {
        XCloseDisplay(m_display);
        m_display = nullptr;
        return;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    for (int type : {XI_RawKeyPress, XI_RawKeyRelease, XI_RawButtonPress, XI_RawButtonRelease, XI_RawMotion})
        XISetMask(bits, type);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(m_display, DefaultRootWindow(m_display), &mask, 1);
    XSync(m_display, False);
}

RawInputProbe::~RawInputProbe()
{
    if (m_display)
        XCloseDisplay(m_display);
}

int RawInputProbe::count(Kind kind)
{
    if (!m_display)
        return 0;
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.xcookie.type == GenericEvent && event.xcookie.extension == m_opcode)
            ++m_counts[event.xcookie.evtype];
    }
    return m_counts[eventType(kind)];
}
