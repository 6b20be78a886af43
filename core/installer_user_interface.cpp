#include "core/installer_user_interface.h"

namespace {

IInstallerUserInterface* registered_user_interface = nullptr;

}  // namespace

void SetInstallerUserInterface(IInstallerUserInterface* user_interface) {
  registered_user_interface = user_interface;
}

IInstallerUserInterface* InstallerUserInterface() {
  return registered_user_interface;
}

platform::NativeWindow InstallerOwnerWindow() {
  return registered_user_interface != nullptr ? registered_user_interface->OwnerWindow() : nullptr;
}
