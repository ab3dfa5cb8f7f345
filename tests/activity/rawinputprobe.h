#pragma once

#include <QByteArray>

#include <map>

struct _XDisplay;

// The test's own view of the input that reaches the X server: counts the raw events of the master
// devices on a connection of its own. A step whose input must not count for the activity library
// first waits here until the server has really sent that input out, so that "nothing changed"
// never passes merely because the input never happened.
class RawInputProbe
{
public:
    enum class Kind { KeyDown, KeyUp, ButtonDown, ButtonUp, Motion };

    explicit RawInputProbe(const QByteArray &display);
    ~RawInputProbe();
    RawInputProbe(const RawInputProbe &) = delete;
    RawInputProbe &operator=(const RawInputProbe &) = delete;

    bool isOpen() const { return m_display != nullptr; }
    // How many events of this kind have arrived so far (reads what is waiting).
    int count(Kind kind);

private:
    _XDisplay *m_display = nullptr;
    int m_opcode = -1;
    std::map<int, int> m_counts; // by XInput2 event type
};
