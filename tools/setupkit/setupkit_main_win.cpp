// The maker's tool on Windows: arguments arrive as UTF-16.
#include <windows.h>

#include "platform/windows_text.h"
#include "tools/setupkit/setupkit.h"

int wmain(int argc, wchar_t** argv) {
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  std::vector<String> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(FromWide(argv[i]));
  TStandardConsole console;
  return RunSetupKit(arguments, console);
}
