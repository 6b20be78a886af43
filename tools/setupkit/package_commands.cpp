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
  const TSetupPackageFileTable& table = reader.FileTable();
  // The entries to write: the named ones as the installer would find them, or all of them.
  std::vector<const TSetupPackageFileTableItem*> selected;
  bool refused = false;
  if (names.empty()) {
    for (int i = 0; i < table.Count(); ++i) {
      const TSetupPackageFileTableItem& entry = table.Items(i);
      // Lookups ignore case and take the first match, so a later entry of the same name is
      // one that the installer could never read.
      const TSetupPackageFileTableItem* found = table.Find(entry.Name);
      if (found != &entry) {
        console.Error(u"setupkit: refusing to extract entry " + FormatNumber(i) + u" \"" +
                      entry.Name + u"\": an earlier entry \"" + found->Name +
                      u"\" has the same name, letter case aside\n");
        refused = true;
      }
      selected.push_back(&entry);
    }
  } else {
    for (const String& name : names) {
      const TSetupPackageFileTableItem* found = table.Find(name);
      if (found == nullptr) {
        console.Error(u"setupkit: \"" + name + u"\" is not in the package\n");
        refused = true;
      }
      selected.push_back(found);
    }
  }
  for (const TSetupPackageFileTableItem* entry : selected) {
    String reason;
    // The stored spelling is what lands on disk, so that is the one to check.
    if (entry != nullptr && !IsSafeEntryName(entry->Name, reason)) {
      console.Error(u"setupkit: refusing to extract \"" + entry->Name + u"\": " + reason + u"\n");
      refused = true;
    }
  }
  if (refused) return 1;

  std::filesystem::create_directories(ToNativePath(folder));
  const std::filesystem::path root = std::filesystem::canonical(ToNativePath(folder));
  for (const TSetupPackageFileTableItem* entry : selected) {
    const String& stored = entry->Name;
    String relative = stored;
    std::replace(relative.begin(), relative.end(), u'\\', u'/');
    const std::filesystem::path target = root / ToNativePath(relative);
    // The name stays inside; a link already in the folder could still lead out of it.
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target);
    const std::filesystem::path inside = resolved.lexically_relative(root);
    if (inside.empty() || *inside.begin() == "..") {
      console.Error(u"setupkit: refusing to extract \"" + stored +
                    u"\": a link in the output folder leads out of it\n");
      return 1;
    }
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
  const TSetupPackageFileTable& table = reader.FileTable();
  int64_t total = 0;
  // A package that reads back but holds entries extract refuses is not sound: the same names
  // would be unsafe or unreachable wherever the package is unpacked, so each is reported.
  bool sound = true;
  for (int i = 0; i < table.Count(); ++i) {
    const TSetupPackageFileTableItem& entry = table.Items(i);
    total += entry.Size;
    const TSetupPackageFileTableItem* found = table.Find(entry.Name);
    if (found != &entry) {
      console.Error(u"setupkit: entry " + FormatNumber(i) + u" \"" + entry.Name +
                    u"\": an earlier entry \"" + found->Name +
                    u"\" has the same name, letter case aside; nothing can read it\n");
      sound = false;
    }
    String reason;
    if (!IsSafeEntryName(entry.Name, reason)) {
      console.Error(u"setupkit: entry " + FormatNumber(i) + u" \"" + entry.Name + u"\": " + reason +
                    u"; extract refuses it\n");
      sound = false;
    }
  }
  if (!sound) return 1;
  console.Out(u"OK: " + FormatNumber(table.Count()) + u" files, " + FormatMegabytes(total) + u"\n");
  return 0;
}
