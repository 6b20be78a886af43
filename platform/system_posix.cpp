// Facts about the system and the user as the host double pretends them to be: an administrator
// on Windows 10 in US English, unless a test says otherwise.
#include <mutex>

#include "platform/host_double.h"
#include "platform/system.h"

namespace platform {

namespace {

struct SystemFacts {
  WindowsVersion Version{10, 0, 19045};
  bool Administrator = true;
  uint16_t InterfaceLanguage = 0x0409;  // English (United States)
};

std::mutex system_mutex;
SystemFacts system_facts;

}  // namespace

WindowsVersion GetWindowsVersion() {
  std::lock_guard lock(system_mutex);
  return system_facts.Version;
}

bool IsUserAdministrator() {
  std::lock_guard lock(system_mutex);
  return system_facts.Administrator;
}

uint16_t GetUserInterfaceLanguage() {
  std::lock_guard lock(system_mutex);
  return system_facts.InterfaceLanguage;
}

void HostDouble::SetWindowsVersion(WindowsVersion version) {
  std::lock_guard lock(system_mutex);
  system_facts.Version = version;
}

void HostDouble::SetUserAdministrator(bool administrator) {
  std::lock_guard lock(system_mutex);
  system_facts.Administrator = administrator;
}

void HostDouble::SetUserInterfaceLanguage(uint16_t language) {
  std::lock_guard lock(system_mutex);
  system_facts.InterfaceLanguage = language;
}

void HostDouble::ResetSystem() {
  std::lock_guard lock(system_mutex);
  system_facts = SystemFacts();
}

}  // namespace platform
