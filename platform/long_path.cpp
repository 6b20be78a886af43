// The long-path form of file names.
#include "platform/long_path.h"

namespace platform {

namespace {
constexpr size_t MaxPath = 260;
}  // namespace

String ToLongPathForm(StringView path) {
  if (path.size() < MaxPath || path.starts_with(u"\\\\?\\")) return String(path);
  if (path.starts_with(u"\\\\")) return u"\\\\?\\UNC\\" + String(path.substr(2));
  return u"\\\\?\\" + String(path);
}

}  // namespace platform
