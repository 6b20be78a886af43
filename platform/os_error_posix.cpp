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
    case ErrorNotSameDevice: return u"The system cannot move the file to a different disk drive.";
    case ErrorSharingViolation:
      return u"The process cannot access the file because it is being used by another process.";
    case ErrorLockViolation:
      return u"The process cannot access the file because another process has locked a portion "
             u"of the file.";
    case ErrorHandleEof: return u"Reached the end of the file.";
    case ErrorNotSupported: return u"The request is not supported.";
    case ErrorFileExists: return u"The file exists.";
    case ErrorInvalidParameter: return u"The parameter is incorrect.";
    case ErrorDiskFull: return u"There is not enough space on the disk.";
    case ErrorInsufficientBuffer: return u"The data area passed to a system call is too small.";
    case ErrorInvalidName:
      return u"The filename, directory name, or volume label syntax is incorrect.";
    case ErrorModNotFound: return u"The specified module could not be found.";
    case ErrorProcNotFound: return u"The specified procedure could not be found.";
    case ErrorDirNotEmpty: return u"The directory is not empty.";
    case ErrorBadPathName: return u"The specified path is invalid.";
    case ErrorAlreadyExists: return u"Cannot create a file when that file already exists.";
    case ErrorMoreData: return u"More data is available.";
    case ErrorNoMoreItems: return u"No more data is available.";
    case ErrorDirectory: return u"The directory name is invalid.";
    case ErrorKeyDeleted:
      return u"Illegal operation attempted on a registry key that has been marked for deletion.";
    case ErrorCancelled: return u"The operation was canceled by the user.";
    case ErrorInvalidWindowHandle: return u"Invalid window handle.";
    case ErrorUnsupportedType: return u"Data of this type is not supported.";
    default: return u"System error " + Utf8ToString(std::to_string(error_code));
  }
}

}  // namespace platform
