// Finding other programs' top-level windows, and the process and executable behind one.
#pragma once

#include <cstdint>

#include "platform/message_box.h"
#include "platform/text.h"

namespace platform {

// The first top-level window of a window class (names ignore case), or null (FindWindowW).
[[nodiscard]] NativeWindow FindTopLevelWindow(StringView class_name);

// The id of the process that created a window.
[[nodiscard]] bool GetWindowProcessId(NativeWindow window, uint32_t& process_id);

// The full path of a process's executable file. The process is opened with the rights to query
// it and read its memory, which a process of another user or a protected one refuses.
[[nodiscard]] bool GetProcessExecutablePath(uint32_t process_id, String& path);

// Asks a window to close (WM_CLOSE, sent and waited for). A window whose thread does not answer
// within Timeout milliseconds is left (SMTO_ABORTIFHUNG): false, and the caller may ask again.
[[nodiscard]] bool RequestWindowClose(NativeWindow window, uint32_t timeout_milliseconds);

}  // namespace platform
