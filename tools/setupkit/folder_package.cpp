// Packing a folder into a setup package.
#include "tools/setupkit/folder_package.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <system_error>

#include "package/setup_package_builder.h"
#include "support/file_stream.h"
#include "support/names.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/safe_entry_name.h"

namespace {

// A name that sorts alike on every system: ASCII letters folded, then the name itself.
String SortKey(const String& name) {
  String key = name;
  for (char16_t& c : key) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return key;
}

// Reports progress at most a few times a second, and only once the work has run a while, so
// short runs stay silent.
class ProgressThrottle {
 public:
  explicit ProgressThrottle(TToolConsole& console) : console_(console) {}
  void Report(StringView text) {
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(250)) {
      return;
    }
    last_ = now;
    console_.Progress(text);
  }

 private:
  TToolConsole& console_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace

String FormatNumber(int64_t value) {
  return Utf8ToString(std::to_string(value));
}

String FormatMegabytes(int64_t bytes) {
  const int64_t tenths = (bytes * 10 + (1 << 19)) >> 20;
  return FormatNumber(tenths / 10) + u"." + FormatNumber(tenths % 10) + u" MB";
}

std::vector<TFolderFile> ListFolderFiles(StringView folder) {
  const std::filesystem::path root = ToNativePath(folder);
  std::error_code error;
  if (!std::filesystem::is_directory(root, error)) {
    throw Exception(u"\"" + String(folder) + u"\" is not a folder");
  }
  std::vector<TFolderFile> files;
  for (auto entry = std::filesystem::recursive_directory_iterator(root, error);
       !error && entry != std::filesystem::recursive_directory_iterator(); entry.increment(error)) {
    // Named by where it sits, not by where a link points: relative() would resolve links and
    // could name a file outside the folder.
    String name = FromNativePath(entry->path().lexically_relative(root));
    std::replace(name.begin(), name.end(), u'/', u'\\');
    std::error_code status_error;
    const std::filesystem::file_status status = entry->status(status_error);
    if (status_error) {
      throw Exception(u"cannot read \"" + name + u"\" in \"" + String(folder) + u"\": " +
                      Utf8ToString(status_error.message()));
    }
    if (std::filesystem::is_directory(status)) {
      // The iterator does not enter linked folders; their files would silently be missing.
      if (entry->is_symlink(status_error)) {
        throw Exception(u"\"" + name + u"\" is a link to a folder, which is not packed: " +
                        u"copy the folder in instead");
      }
      continue;
    }
    if (!std::filesystem::is_regular_file(status)) continue;
    // What the installer or setupkit extract would refuse to write must not get in.
    String reason;
    if (!IsSafeEntryName(name, reason)) {
      throw Exception(u"cannot pack \"" + name + u"\": " + reason);
    }
    files.push_back({std::move(name), entry->path()});
  }
  if (error) {
    throw Exception(u"cannot read the folder \"" + String(folder) + u"\": " +
                    Utf8ToString(error.message()));
  }
  std::sort(files.begin(), files.end(), [](const TFolderFile& a, const TFolderFile& b) {
    const String key_a = SortKey(a.Name), key_b = SortKey(b.Name);
    return key_a != key_b ? key_a < key_b : a.Name < b.Name;
  });
  // Lookups in a package ignore letter case, so the second of two such names could never be
  // read back.
  for (size_t i = 1; i < files.size(); ++i) {
    if (SameName(files[i - 1].Name, files[i].Name)) {
      throw Exception(u"cannot pack both \"" + files[i - 1].Name + u"\" and \"" + files[i].Name +
                      u"\": names that differ only in letter case are one file in a package");
    }
  }
  return files;
}

int64_t PackFolderFiles(const std::vector<TFolderFile>& files, TStream& dest, int level,
                        TToolConsole& console) {
  TSetupPackageBuilder builder;
  ProgressThrottle progress(console);
  int64_t total = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    TFileStream file(FromNativePath(files[i].Path), fmOpenRead | fmShareDenyWrite);
    total += file.Size();
    builder.AddFile(file, files[i].Name);
    progress.Report(u"reading " + FormatNumber(static_cast<int64_t>(i + 1)) + u"/" +
                    FormatNumber(static_cast<int64_t>(files.size())) + u" files, " +
                    FormatMegabytes(total));
  }
  builder.OnProgress = [&](int64_t done, int64_t size) {
    progress.Report(u"compressing " + FormatMegabytes(done) + u" of " + FormatMegabytes(size));
  };
  builder.Commit(dest, level);
  return total;
}
