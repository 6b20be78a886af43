// The exception classes of the installer core.
#pragma once

#include "platform/exception.h"

// Configuration faults of the program itself ("ProductInfoClass is nil").
class EInstallerGeneralError : public Exception {
 public:
  using Exception::Exception;
};

// A failed run: "DestPath is empty", the collected errors of a silent run, file errors.
class EInstallerInstallError : public EInstallerGeneralError {
 public:
  using EInstallerGeneralError::EInstallerGeneralError;
};

// An update refused on the command line ("Cannot install update on v%s").
class EInstallerUpdateError : public EInstallerInstallError {
 public:
  using EInstallerInstallError::EInstallerInstallError;
};

class EInstallerBackupError : public EInstallerGeneralError {
 public:
  using EInstallerGeneralError::EInstallerGeneralError;
};

// States that should not happen: "Cannot Start the Uninstaller", "Invalid Arguments".
class EInstallerMysteryError : public EInstallerGeneralError {
 public:
  using EInstallerGeneralError::EInstallerGeneralError;
};

class EInstallerNoAdminRightsError : public EInstallerGeneralError {
 public:
  EInstallerNoAdminRightsError()
      : EInstallerGeneralError(u"Administrator rights are required to process this operation.") {}
};
