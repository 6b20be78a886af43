// The maker's package commands.
#include "tools/setupkit/package_commands.h"

#include <algorithm>
#include <system_error>

#include "package/setup_package_reader.h"
#include "support/file_stream.h"
#include "tools/setupkit/folder_package.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/safe_entry_name.h"

int PackFolder(StringView folder, StringView package, int level, TToolConsole& console) {
  const std::vector<TFolderFile> files = ListFolderFiles(folder);
  // Written beside the target and renamed at the end, so a failed run never leaves a truncated
  // package where a good one is expected.
  const std::filesystem::path target = ToNativePath(package);
  std::filesystem::path partial = target;
  partial += ".partial";
  std::error_code error;
  int64_t total = 0;
  try {
    TFileStream file(FromNativePath(partial), fmCreate);
    total = PackFolderFiles(files, file, level, console);
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
  console.Out(u"packed " + FormatNumber(static_cast<int64_t>(files.size())) + u" files, " +
              FormatMegabytes(total) + u", into " + String(package) + u" (" +
              FormatMegabytes(static_cast<int64_t>(std::filesystem::file_size(target, error))) +
              u")\n");
  return 0;
}

int ListPackage(StringView package, TToolConsole& console) {
  TSetupPackageReader reader(package);
  String listing;
  for (int i = 0; i < reader.FileTable().Count(); ++i) {
    const TSetupPackageFileTableItem& item = reader.FileTable().Items(i);
    listing += FormatNumber(item.Size) + u"\t" + item.Name + u"\n";
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
  console.Out(u"extracted " + FormatNumber(static_cast<int64_t>(selected.size())) +
              u" files into " + String(folder) + u"\n");
  return 0;
}

int VerifyPackage(StringView package, TToolConsole& console) {
  // Opening reads, deciphers, decodes and checks size, checksum and table.
  TSetupPackageReader reader(package);
  int64_t total = 0;
  for (int i = 0; i < reader.FileTable().Count(); ++i) {
    total += reader.FileTable().Items(i).Size;
  }
  console.Out(u"OK: " + FormatNumber(reader.FileTable().Count()) + u" files, " +
              FormatMegabytes(total) + u"\n");
  return 0;
}
