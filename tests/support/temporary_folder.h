// A folder for one test's files, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/text.h"

class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // The folder as the program names it, with a trailing backslash ("C:\...\"). On the host the
  // drive is placed in a Linux temporary folder through the platform double.
  const String& Path() const { return path_; }
  // Path() followed by a relative name.
  String PathOf(StringView relative_name) const { return path_ + String(relative_name); }

  // The same place as the test itself reaches it through the standard library.
  std::filesystem::path NativePath(StringView relative_name = {}) const;

  void WriteFile(StringView relative_name, std::string_view bytes) const;
  std::string ReadFile(StringView relative_name) const;

 private:
  String path_;
  std::filesystem::path native_path_;
};
