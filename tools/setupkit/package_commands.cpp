// The maker's package commands.
#include "tools/setupkit/package_commands.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <system_error>

#include "package/setup_package_builder.h"
#include "package/setup_package_reader.h"
#include "support/file_stream.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/safe_entry_name.h"

namespace {

String Number(int64_t value) {
  return Utf8ToString(std::to_string(value));
}

String Megabytes(int64_t bytes) {
  const int64_t tenths = (bytes * 10 + (1 << 19)) >> 20;
  return Number(tenths / 10) + u"." + Number(tenths % 10) + u" MB";
}

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

int PackFolder(StringView folder, StringView package, int level, TToolConsole& console) {
  const std::filesystem::path root = ToNativePath(folder);
  std::error_code error;
  if (!std::filesystem::is_directory(root, error)) {
    console.Error(u"setupkit: \"" + String(folder) + u"\" is not a folder\n");
    return 1;
  }
  std::vector<std::pair<String, std::filesystem::path>> files;
  for (auto entry = std::filesystem::recursive_directory_iterator(root, error);
       !error && entry != std::filesystem::recursive_directory_iterator(); entry.increment(error)) {
    if (!entry->is_regular_file(error)) continue;
    String name = FromNativePath(std::filesystem::relative(entry->path(), root));
    std::replace(name.begin(), name.end(), u'/', u'\\');
    files.emplace_back(std::move(name), entry->path());
  }
  if (error) {
    console.Error(u"setupkit: cannot read the folder \"" + String(folder) + u"\": " +
                  Utf8ToString(error.message()) + u"\n");
    return 1;
  }
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
    const String key_a = SortKey(a.first), key_b = SortKey(b.first);
    return key_a != key_b ? key_a < key_b : a.first < b.first;
  });

  TSetupPackageBuilder builder;
  ProgressThrottle progress(console);
  int64_t total = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    TFileStream file(FromNativePath(files[i].second), fmOpenRead | fmShareDenyWrite);
    total += file.Size();
    builder.AddFile(file, files[i].first);
    progress.Report(u"reading " + Number(static_cast<int64_t>(i + 1)) + u"/" +
                    Number(static_cast<int64_t>(files.size())) + u" files, " + Megabytes(total));
  }
  builder.OnProgress = [&](int64_t done, int64_t size) {
    progress.Report(u"compressing " + Megabytes(done) + u" of " + Megabytes(size));
  };

  // Written beside the target and renamed at the end, so a failed run never leaves a truncated
  // package where a good one is expected.
  const std::filesystem::path target = ToNativePath(package);
  std::filesystem::path partial = target;
  partial += ".partial";
  try {
    builder.SaveToFile(FromNativePath(partial), level);
  } catch (...) {
    std::filesystem::remove(partial, error);
    throw;
  }
  std::filesystem::rename(partial, target, error);
  console.EndProgress();
  if (error) {
    std::filesystem::remove(partial, error);
    console.Error(u"setupkit: cannot write \"" + String(package) + u"\"\n");
    return 1;
  }
  console.Out(u"packed " + Number(static_cast<int64_t>(files.size())) + u" files, " +
              Megabytes(total) + u", into " + String(package) + u" (" +
              Megabytes(static_cast<int64_t>(std::filesystem::file_size(target, error))) + u")\n");
  return 0;
}

int ListPackage(StringView package, TToolConsole& console) {
  TSetupPackageReader reader(package);
  String listing;
  for (int i = 0; i < reader.FileTable().Count(); ++i) {
    const TSetupPackageFileTableItem& item = reader.FileTable().Items(i);
    listing += Number(item.Size) + u"\t" + item.Name + u"\n";
  }
  console.Out(listing);
  return 0;
}

int ExtractPackage(StringView package, StringView folder, const std::vector<String>& names,
                   TToolConsole& console) {
  TSetupPackageReader reader(package);
  std::vector<String> selected = names;
  if (selected.empty()) {
    for (int i = 0; i < reader.FileTable().Count(); ++i) {
      selected.push_back(reader.FileTable().Items(i).Name);
    }
  }
  bool refused = false;
  for (const String& name : selected) {
    String reason;
    if (!reader.Contains(name)) {
      console.Error(u"setupkit: \"" + name + u"\" is not in the package\n");
      refused = true;
    } else if (!IsSafeEntryName(name, reason)) {
      console.Error(u"setupkit: refusing to extract \"" + name + u"\": " + reason + u"\n");
      refused = true;
    }
  }
  if (refused) return 1;

  const std::filesystem::path root = ToNativePath(folder);
  for (const String& name : selected) {
    // Lookups ignore case, so the stored spelling is what lands on disk.
    const String stored = reader.FileTable().Find(name)->Name;
    String relative = stored;
    std::replace(relative.begin(), relative.end(), u'\\', u'/');
    const std::filesystem::path target = root / ToNativePath(relative);
    std::filesystem::create_directories(target.parent_path());
    const auto content = reader.Extract(stored);
    TFileStream file(FromNativePath(target), fmCreate);
    file.WriteBuffer(content->Memory(), content->Size());
  }
  console.Out(u"extracted " + Number(static_cast<int64_t>(selected.size())) + u" files into " +
              String(folder) + u"\n");
  return 0;
}

int VerifyPackage(StringView package, TToolConsole& console) {
  // Opening reads, deciphers, decodes and checks size, checksum and table.
  TSetupPackageReader reader(package);
  int64_t total = 0;
  for (int i = 0; i < reader.FileTable().Count(); ++i) {
    total += reader.FileTable().Items(i).Size;
  }
  console.Out(u"OK: " + Number(reader.FileTable().Count()) + u" files, " + Megabytes(total) +
              u"\n");
  return 0;
}
