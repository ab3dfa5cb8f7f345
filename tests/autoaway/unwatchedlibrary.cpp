// A stand-in for libparlix1.so that loads but cannot watch anything: _RegHook fails, and the time
// of the last activity stays at the load time, as with a display whose input cannot be watched.
#include <cstdint>
#include <ctime>

namespace {
std::int32_t loaded = 0;
__attribute__((constructor)) void libraryLoaded()
{
    loaded = static_cast<std::int32_t>(std::time(nullptr));
}
} // namespace

extern "C" {
__attribute__((visibility("default"))) std::uint8_t _RegHook(void *) noexcept { return 0; }
__attribute__((visibility("default"))) void _UnRegHook() noexcept {}
__attribute__((visibility("default"))) std::int32_t _getatime() noexcept { return loaded; }
}
