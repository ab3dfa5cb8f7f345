#pragma once

// The activity library's whole interface: three C functions found by name after loading
// libparlix1.so. Only a one-byte flag and a 32-bit time cross the boundary, so nothing is
// allocated on one side and freed on the other.

#include <cstdint>

#define PARLIX1_EXPORT __attribute__((visibility("default")))

extern "C" {
// Starts watching the desktop's keyboard and pointer. module: the handle the caller got from
// dlopen for this library. Returns 1 when both key releases and pointer moves are watched, else 0.
PARLIX1_EXPORT std::uint8_t _RegHook(void *module) noexcept;
// Stops watching. Harmless when not watching.
PARLIX1_EXPORT void _UnRegHook() noexcept;
// Seconds since 1970-01-01 00:00 UTC of the last counted input, or of loading the library.
PARLIX1_EXPORT std::int32_t _getatime() noexcept;
}

namespace Parlix1 {
using RegHookFunction = std::uint8_t (*)(void *);
using UnRegHookFunction = void (*)();
using GetATimeFunction = std::int32_t (*)();

inline constexpr char fileName[] = "libparlix1.so";
inline constexpr char regHookName[] = "_RegHook";
inline constexpr char unRegHookName[] = "_UnRegHook";
inline constexpr char getATimeName[] = "_getatime";
} // namespace Parlix1
