// Marking a program executable on Linux: the execute bits follow the read bits.
#include "tools/setupkit/executable_mark.h"

#include <system_error>

#include "tools/setupkit/native_path.h"

void MarkExecutable(StringView path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::perms current = fs::status(ToNativePath(path), error).permissions();
  if (error) return;
  fs::perms execute = fs::perms::none;
  if ((current & fs::perms::owner_read) != fs::perms::none) execute |= fs::perms::owner_exec;
  if ((current & fs::perms::group_read) != fs::perms::none) execute |= fs::perms::group_exec;
  if ((current & fs::perms::others_read) != fs::perms::none) execute |= fs::perms::others_exec;
  fs::permissions(ToNativePath(path), execute, fs::perm_options::add, error);
}
