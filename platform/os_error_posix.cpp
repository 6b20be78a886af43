// The host double's last error, holding Windows error codes, and their English messages.
#include <string>

#include "platform/os_error.h"

namespace platform {

namespace {
thread_local uint32_t last_error = ErrorSuccess;
}  // namespace

uint32_t GetLastOSError() {
  return last_error;
}

void SetLastOSError(uint32_t error_code) {
  last_error = error_code;
}

String SysErrorMessage(uint32_t error_code) {
  // The texts Windows gives in English, for the codes the host double produces.
  switch (error_code) {
    case ErrorSuccess: return u"The operation completed successfully.";
    case ErrorFileNotFound: return u"The system cannot find the file specified.";
    case ErrorPathNotFound: return u"The system cannot find the path specified.";
    case ErrorAccessDenied: return u"Access is denied.";
    case ErrorInvalidHandle: return u"The handle is invalid.";
    case ErrorNotEnoughMemory:
      return u"Not enough memory resources are available to process this command.";
    case ErrorSharingViolation:
      return u"The process cannot access the file because it is being used by another process.";
    case ErrorHandleEof: return u"Reached the end of the file.";
    case ErrorNotSupported: return u"The request is not supported.";
    case ErrorFileExists: return u"The file exists.";
    case ErrorInvalidParameter: return u"The parameter is incorrect.";
    case ErrorDiskFull: return u"There is not enough space on the disk.";
    case ErrorDirNotEmpty: return u"The directory is not empty.";
    case ErrorAlreadyExists: return u"Cannot create a file when that file already exists.";
    case ErrorCancelled: return u"The operation was canceled by the user.";
    default: return u"System error " + Utf8ToString(std::to_string(error_code));
  }
}

}  // namespace platform
