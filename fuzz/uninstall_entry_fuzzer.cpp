// Fuzzes the uninstaller's check of the entries of its file list with entries of any content.
//
// The first byte picks how the rest becomes text: even reads it as UTF-8 (mutations of the
// readable seeds stay readable), odd as raw UTF-16 units (surrogates, NULs, anything). An entry
// that is accepted must name a file strictly inside the folder, in a clean form that resolves to
// itself again.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "platform/file_name.h"
#include "product/installer_action_uninstall_files.h"

namespace {

constexpr char16_t Folder[] = u"C:\\Program Files\\ZELO\\";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const String entry = InputText(data, size);
  String path;
  if (!TInstallerActionUninstallFiles::ResolveEntry(Folder, entry, path)) {
    Require(path.empty());
    return 0;
  }
  const StringView folder(Folder);
  Require(path.size() > folder.size() && StringView(path).substr(0, folder.size()) == folder);
  Require(platform::IsPathInFolder(path, folder));
  const StringView relative = StringView(path).substr(folder.size());
  Require(relative.find(u':') == StringView::npos && relative.find(u'/') == StringView::npos);
  Require(relative.find(u"\\\\") == StringView::npos && relative.front() != u'\\' &&
          relative.back() != u'\\');
  for (size_t start = 0; start <= relative.size();) {
    size_t end = relative.find(u'\\', start);
    if (end == StringView::npos) end = relative.size();
    const StringView component = relative.substr(start, end - start);
    Require(component != u"." && component != u"..");
    start = end + 1;
  }
  String again;
  Require(TInstallerActionUninstallFiles::ResolveEntry(Folder, relative, again) && again == path);
  return 0;
}
