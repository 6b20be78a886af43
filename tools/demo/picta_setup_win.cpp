// PictaSetup.exe, the installer of the demo's optional add-on, the picture viewer offered on
// Russian setups. It installs nothing: it records the command line Setup started it with, so
// that a test can tell which of the user's add-on choices reached it. Its log
// "PictaSetup.log" (demo_log_win.h) gets one line per run: the command line after the
// program's name, exactly as received.
#include <windows.h>

#include "tools/demo/demo_log_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  demo::AppendLog(nullptr, demo::ArgumentsOf(::GetCommandLineW()));
  return 0;
}
