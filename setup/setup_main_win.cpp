// The setup executable: hardens the process, registers the player as the product, and hands
// over to the program entry.
#include <windows.h>

#include "core/installer_user_interface.h"
#include "core/program_entry.h"
#include "platform/shell_execute.h"
#include "product/product_info_zelo.h"
#include "ui/wizard_user_interface_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything can load a library: only System32 is searched, so a DLL planted beside the
  // downloaded setup (the Downloads folder), or beside the uninstaller's copy in the temporary
  // folder, is never picked up. The libraries outside the system's known DLLs are bound on first
  // use for the same reason (setup/CMakeLists.txt), since the imports bound at start are looked
  // for beside the program whatever is called here.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Nor the current directory, for whatever still searches the old way.
  ::SetDllDirectoryW(L"");
  // The shell may hand a verb to a COM handler when the installer opens the player or a page.
  const platform::ShellApartment apartment;
  RegisterProductZELO();
  TWizardUserInterface wizard;
  SetInstallerUserInterface(&wizard);
  const int exit_code = RunProgramEntry();
  SetInstallerUserInterface(nullptr);
  return exit_code;
}
