// Shell links in the host double: a small text file that only the double reads back. What
// matters to tests is where a link is, which target it names, and that saving and loading it
// follow the file system's rules (sharing, failures) and COM's need for an apartment.
#include <string>
#include <string_view>

#include "platform/file.h"
#include "platform/host_com_posix.h"
#include "platform/os_error.h"
#include "platform/shell_link.h"

namespace platform {

namespace {

constexpr std::string_view Header = "[host shell link]\nTarget=";

bool InApartment() {
  if (HostThreadInApartment()) return true;
  SetLastOSError(HostErrorComNotInitialized);
  return false;
}

}  // namespace

bool WriteShellLink(StringView link_path, StringView target) {
  if (!InApartment()) return false;
  File file = File::Open(link_path, FileAccess::Write, FileShareRead, FileCreation::CreateAlways);
  if (!file.IsOpen()) return false;
  const std::string content = std::string(Header) + StringToUtf8(target) + "\n";
  size_t written = 0;
  return file.Write(content.data(), content.size(), written);
}

bool ReadShellLinkTarget(StringView link_path, String& target) {
  if (!InApartment()) return false;
  File file = File::Open(link_path, FileAccess::Read, FileShareRead | FileShareWrite,
                         FileCreation::OpenExisting);
  if (!file.IsOpen()) return false;
  std::string content;
  char buffer[4096];
  for (;;) {
    size_t read = 0;
    if (!file.Read(buffer, sizeof(buffer), read)) return false;
    if (read == 0) break;
    content.append(buffer, read);
  }
  // Anything else is no link: the shell's loader refuses it (E_FAIL).
  if (!content.starts_with(Header) || !content.ends_with('\n')) {
    SetLastOSError(0x80004005);
    return false;
  }
  target = Utf8ToString(
      std::string_view(content).substr(Header.size(), content.size() - Header.size() - 1));
  return true;
}

}  // namespace platform
