// Telling the shell about changes through SHChangeNotify.
#include <windows.h>
#include <shlobj.h>

#include "platform/shell_notify.h"

namespace platform {

void NotifyAssociationsChanged() {
  // Flushed, so that icons and "open with" lists are fresh by the time the caller goes on.
  ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST | SHCNF_FLUSH, nullptr, nullptr);
}

}  // namespace platform
