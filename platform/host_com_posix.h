// The host double's record of COM apartments (host builds only).
#pragma once

#include <cstdint>

namespace platform {

// Whether the calling thread holds a ShellApartment: shell objects refuse to work without one
// on Windows (CO_E_NOTINITIALIZED), and the double refuses the same way.
bool HostThreadInApartment();

// CO_E_NOTINITIALIZED, the error COM gives a thread that never joined an apartment.
inline constexpr uint32_t HostErrorComNotInitialized = 0x800401F0;

}  // namespace platform
