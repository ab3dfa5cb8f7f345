#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

struct _XDisplay;

// Watches the keyboard and pointer of the whole X desktop on a display connection and a thread of
// its own, and stores the time of the last counted input: a key release, or a pointer motion that
// changed the pointer's position. Key presses, clicks and wheel turns do not count.
//
// Input comes from XInput2 raw events selected on the root window, which the server sends whatever
// window has the focus or a grab. Where XInput2 is missing but the MIT-SCREEN-SAVER extension is
// there, the server's idle time is polled instead (that one also counts clicks and wheel turns).
//
// start() and stop() are called from one thread at a time; the stored time may be read anywhere.
class ActivityWatcher
{
public:
    explicit ActivityWatcher(std::atomic<std::int32_t> &lastActivity);
    ~ActivityWatcher();
    ActivityWatcher(const ActivityWatcher &) = delete;
    ActivityWatcher &operator=(const ActivityWatcher &) = delete;

    // Opens the display named by DISPLAY and starts watching. True when both kinds of input are
    // watched (also when already watching); false when there is no display or no way to watch it.
    bool start();
    // Stops the thread and closes the display connection. Harmless when not watching.
    void stop();

    static std::int32_t now();

private:
    enum class Source { RawEvents, ScreenSaverIdle };

    bool selectRawEvents();
    bool useScreenSaver();
    void run();
    void readEvents();
    void checkPointer();
    void readIdleTime();
    void closeDisplay();

    std::atomic<std::int32_t> &m_lastActivity;
    _XDisplay *m_display = nullptr;
    Source m_source = Source::RawEvents;
    int m_xiOpcode = -1;
    int m_wakeFd = -1;
    std::thread m_thread;
    // Set by the thread when the server has gone away; read after join().
    bool m_connectionLost = false;
    // Last pointer position seen, in root coordinates; only the watching thread touches these
    // once it runs.
    unsigned long m_lastRoot = 0;
    int m_lastX = 0;
    int m_lastY = 0;
};
