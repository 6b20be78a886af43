// Telling the shell that something it caches has changed.
#pragma once

namespace platform {

// File associations changed (SHChangeNotify with SHCNE_ASSOCCHANGED, flushed before it returns).
void NotifyAssociationsChanged();

}  // namespace platform
