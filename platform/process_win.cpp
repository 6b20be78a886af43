// Facts about the running process, from the Windows API.
#include <windows.h>

#include "platform/process.h"
#include "platform/windows_text.h"

namespace platform {

String GetProcessCommandLine() {
  return FromWide(::GetCommandLineW());
}

}  // namespace platform
