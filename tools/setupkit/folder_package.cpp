// Packing a folder into a setup package.
#include "tools/setupkit/folder_package.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <system_error>

#include "package/setup_package_builder.h"
#include "support/file_stream.h"
#include "tools/setupkit/native_path.h"

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
    if (!entry->is_regular_file(error)) continue;
    String name = FromNativePath(std::filesystem::relative(entry->path(), root));
    std::replace(name.begin(), name.end(), u'/', u'\\');
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
