// Fuzzes the reading of the add-ons list "addons.ini" with any bytes as the file: as the add-ons
// action reads it (where the add-ons installer is written, the switches of every choice, its
// command line) and as the add-ons page reads it (the picture's name, the texts it shows).
//
// Whatever the list holds, the installer file lands directly in the temporary folder or the
// action refuses the list, and a value goes into a text unchanged, its "%s" and "%%" included.
#include <cstdint>
#include <cstdlib>
#include <initializer_list>

#include "fuzz/fuzz_input.h"
#include "platform/file_name.h"
#include "product/installer_action_addons_install.h"
#include "support/format_text.h"
#include "support/memory_stream.h"
#include "support/string_list.h"

namespace {

constexpr char16_t TemporaryFolder[] = u"C:\\Users\\Ann\\AppData\\Local\\Temp\\";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryViewStream input(data, static_cast<int64_t>(size));
  TVYNStringList addons;
  addons.LoadFromStream(input);

  const String path = TInstallerActionAddonsInstall::InstallerPath(addons, TemporaryFolder);
  if (!path.empty()) {
    const StringView folder(TemporaryFolder);
    Require(path.size() > folder.size() && StringView(path).substr(0, folder.size()) == folder);
    const StringView name = StringView(path).substr(folder.size());
    Require(name != u"." && name != u"..");
    Require(platform::ExtractFilePath(path) == folder);
    Require(platform::IsPathInFolder(path, folder));
  }

  for (int choice = 0; choice < 8; ++choice) {
    const String switches = TInstallerActionAddonsInstall::BuildSwitches(
        addons, (choice & 1) != 0, (choice & 2) != 0, (choice & 4) != 0);
    FormatText(addons.GetValue(u"CL"), {switches});
    Require(FormatText(u"%s", {switches}) == switches);
  }

  addons.GetValue(u"I0");
  for (const StringView key : {u"L0", u"L1", u"L2"}) {
    const String value = addons.GetValue(key);
    Require(FormatText(u"%s", {value}) == value);
  }
  return 0;
}
