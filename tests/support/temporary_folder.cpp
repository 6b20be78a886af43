// Reading and writing a test's own files.
#include "tests/support/temporary_folder.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/file_attributes.h"
#include "platform/file_system.h"

void TemporaryFolder::WriteFile(StringView relative_name, std::string_view bytes) const {
  const std::filesystem::path file = NativePath(relative_name);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string TemporaryFolder::ReadFile(StringView relative_name) const {
  std::ifstream in(NativePath(relative_name), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + NativePath(relative_name).string());
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::filesystem::path TemporaryFolder::NativePath(StringView relative_name) const {
  String relative(relative_name);
  for (char16_t& c : relative) {
    if (c == u'\\') c = u'/';
  }
  return relative.empty() ? native_path_ : native_path_ / std::filesystem::path(relative);
}

namespace {

// Through the platform layer rather than the standard library, which on Windows gives up on
// paths of 260 characters or more; read-only files, which Windows refuses to delete, are made
// writable first.
void RemoveTree(const String& folder) {
  std::vector<platform::FolderEntry> entries;
  if (platform::ListFolder(folder, entries)) {
    for (const platform::FolderEntry& entry : entries) {
      const String path = folder + u"\\" + entry.Name;
      if (entry.IsFolder) {
        RemoveTree(path);
      } else {
        // Clean-up is best effort: a file a test left open stays behind in the temporary
        // folder, where leftovers harm nobody, and the test itself reports what it checks.
        static_cast<void>(platform::SetFileAttributeFlags(path, platform::FileAttributeNormal));
        static_cast<void>(platform::RemoveFile(path));
      }
    }
  }
  static_cast<void>(platform::RemoveEmptyFolder(folder));
}

}  // namespace

TemporaryFolder::~TemporaryFolder() {
  RemoveTree(path_.substr(0, path_.size() - 1));
}
