// The library's exports. The time of the last activity is the library's own data: the program
// that loaded it reads it through _getatime while the watcher's thread writes it.
#include "parlix1.h"

#include "activitywatcher.h"

#include <atomic>
#include <mutex>

namespace {
std::atomic<std::int32_t> lastActivity{0};
std::mutex watcherMutex;
// Made by the first _RegHook. A plain pointer rather than a static object: C++ static destructors
// of a loaded library run before those of the program's own statics, which may still call
// _UnRegHook; the destructor function below runs after them.
ActivityWatcher *watcher = nullptr;

// Loading the library counts as activity, so that auto-away starts counting from the load.
__attribute__((constructor)) void libraryLoaded()
{
    lastActivity.store(ActivityWatcher::now(), std::memory_order_relaxed);
}

// Unloading, or the process ending, stops a watcher that a caller left running: its thread must
// not outlive the library's code.
__attribute__((destructor)) void libraryUnloading()
{
    std::lock_guard lock(watcherMutex);
    delete watcher;
    watcher = nullptr;
}
} // namespace

extern "C" {

std::uint8_t _RegHook(void *module) noexcept
{
    // The caller passes this library's handle as the interface asks; watching needs nothing from it.
    (void)module;
    try {
        std::lock_guard lock(watcherMutex);
        if (!watcher)
            watcher = new ActivityWatcher(lastActivity);
        return watcher->start() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

void _UnRegHook() noexcept
{
    try {
        std::lock_guard lock(watcherMutex);
        if (watcher)
            watcher->stop();
    } catch (...) {
    }
}

std::int32_t _getatime() noexcept
{
    return lastActivity.load(std::memory_order_relaxed);
}

} // extern "C"
