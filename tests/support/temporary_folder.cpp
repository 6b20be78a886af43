// Reading and writing a test's own files.
#include "tests/support/temporary_folder.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

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

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(native_path_, ignored);
}
