// The attributes of files and folders: read-only, hidden and the like.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace platform {

// The Windows attribute bits; the host double reports and keeps the same ones.
inline constexpr uint32_t FileAttributeReadOnly = 0x01;
inline constexpr uint32_t FileAttributeHidden = 0x02;
inline constexpr uint32_t FileAttributeDirectory = 0x10;
inline constexpr uint32_t FileAttributeArchive = 0x20;
inline constexpr uint32_t FileAttributeNormal = 0x80;
inline constexpr uint32_t InvalidFileAttributes = 0xFFFFFFFF;

// The attributes of a file or folder, or InvalidFileAttributes with the last platform error set
// when there is no such file or it cannot be examined.
[[nodiscard]] uint32_t GetFileAttributeFlags(StringView path);

// Replaces the attributes that can be changed (read-only, hidden, archive). FileAttributeNormal
// alone clears them all. Returns false and sets the last platform error on failure.
[[nodiscard]] bool SetFileAttributeFlags(StringView path, uint32_t attributes);

}  // namespace platform
