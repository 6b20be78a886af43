// Converting between program text and the standard library's paths of this system.
#pragma once

#include <filesystem>

#include "platform/text.h"

// std::filesystem::path keeps UTF-16 on Windows and UTF-8 on Linux; both convert losslessly.
inline std::filesystem::path ToNativePath(StringView text) {
  return std::filesystem::path(String(text));
}

inline String FromNativePath(const std::filesystem::path& path) {
  return path.u16string();
}
