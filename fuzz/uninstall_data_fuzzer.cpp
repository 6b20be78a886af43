// Fuzzes the uninstaller's reading of its uninstall data: "Uninstall.dat" as a package, the
// "Uninstall.ini" in it, and the list of files to delete that comes out.
//
// The first byte picks what the rest is: even, a whole "Uninstall.dat" as it lies on disk, read
// the way the uninstaller reads it (a package that holds "Uninstall.ini" means uninstall mode);
// odd, the "Uninstall.ini" that such a package hands out, so that most inputs reach the list
// behind the package's checksum. Anybody who may write to the installation folder can edit the
// file, so whatever it holds, the list names only files strictly inside the installation, each
// once, and reading it costs time in proportion to the file and never to its "Count".
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <unordered_set>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "package/setup_package_reader.h"
#include "platform/file_name.h"
#include "product/installer_action_uninstall_files.h"
#include "support/ini_file.h"
#include "support/memory_stream.h"

namespace {

constexpr char16_t Folder[] = u"C:\\Program Files\\ZELO\\";

String Folded(StringView path) {
  String key(path);
  for (char16_t& c : key) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return key;
}

// The list as the entries define it: every index from 0 to Count - 1 looked up by key. Only
// affordable for a small Count, where the quick reading must give exactly this.
std::vector<String> ListByIndex(const TVYNIniFile& data, int32_t count) {
  std::vector<String> list;
  std::unordered_set<String> listed;
  for (int32_t i = 0; i < count; ++i) {
    const String entry = data.ReadString(u"Uninstall", Utf8ToString(std::to_string(i)), u"");
    String path;
    if (!TInstallerActionUninstallFiles::ResolveEntry(Folder, entry, path)) continue;
    if (listed.insert(Folded(path)).second) list.push_back(path);
  }
  return list;
}

void CheckFileList(TStream& stream) {
  TVYNIniFile data;
  data.LoadFromStream(stream);
  const std::vector<String> files = TInstallerActionUninstallFiles::ReadFileList(data, Folder);

  const TVYNIniFileSection* section = data.FindSection(u"Uninstall");
  Require(files.size() <= static_cast<size_t>(section == nullptr ? 0 : section->Count()));
  std::unordered_set<String> seen;
  for (const String& file : files) {
    Require(platform::IsPathInFolder(file, Folder) && file.size() > StringView(Folder).size());
    Require(seen.insert(Folded(file)).second);
  }
  const int32_t count = data.ReadInteger(u"Uninstall", u"Count", 0);
  if (count <= 4096) Require(files == ListByIndex(data, count));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  TMemoryViewStream rest(data + 1, static_cast<int64_t>(size - 1));
  if (data[0] & 1) {
    CheckFileList(rest);
    return 0;
  }
  std::unique_ptr<TMemoryStream> file;
  try {
    TSetupPackageReader package(rest);
    if (!package.Contains(u"Uninstall.ini")) return 0;
    file = package.Extract(u"Uninstall.ini");
  } catch (const Exception&) {
    // A damaged "Uninstall.dat" stops the uninstaller before it deletes anything.
    return 0;
  }
  Require(file != nullptr);
  CheckFileList(*file);
  return 0;
}
