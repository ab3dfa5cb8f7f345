// A stand-in for libparlix1.so that lacks one of its three exports (the one named by the LACKS_
// definition it is built with): the loader must refuse it.
#include <cstdint>

extern "C" {
#ifndef LACKS_RegHook
__attribute__((visibility("default"))) std::uint8_t _RegHook(void *) noexcept { return 1; }
#endif
#ifndef LACKS_UnRegHook
__attribute__((visibility("default"))) void _UnRegHook() noexcept {}
#endif
#ifndef LACKS_getatime
__attribute__((visibility("default"))) std::int32_t _getatime() noexcept { return 1; }
#endif
}
