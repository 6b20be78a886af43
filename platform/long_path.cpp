// The long-path form of file names.
#include "platform/long_path.h"

namespace platform {

namespace {
constexpr size_t MaxPath = 260;
}  // namespace

String ToLongPathForm(StringView path) {
  return path.size() < MaxPath ? String(path) : WithLongPathPrefix(path);
}

String WithLongPathPrefix(StringView full_path) {
  if (full_path.starts_with(u"\\\\?\\")) return String(full_path);
  if (full_path.starts_with(u"\\\\")) return u"\\\\?\\UNC\\" + String(full_path.substr(2));
  return u"\\\\?\\" + String(full_path);
}

}  // namespace platform
