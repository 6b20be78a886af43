// The calling thread's last platform error and the system's text for an error code.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace platform {

// Error codes are Windows system error codes on every build: the host implementation of the
// platform layer translates its own failures into them, so callers test for one set of values.
inline constexpr uint32_t ErrorSuccess = 0;
inline constexpr uint32_t ErrorFileNotFound = 2;
inline constexpr uint32_t ErrorPathNotFound = 3;
inline constexpr uint32_t ErrorAccessDenied = 5;
inline constexpr uint32_t ErrorInvalidHandle = 6;
inline constexpr uint32_t ErrorNotEnoughMemory = 8;
inline constexpr uint32_t ErrorNotSameDevice = 17;
inline constexpr uint32_t ErrorSharingViolation = 32;
inline constexpr uint32_t ErrorLockViolation = 33;
inline constexpr uint32_t ErrorHandleEof = 38;
inline constexpr uint32_t ErrorNotSupported = 50;
inline constexpr uint32_t ErrorFileExists = 80;
inline constexpr uint32_t ErrorInvalidParameter = 87;
inline constexpr uint32_t ErrorDiskFull = 112;
inline constexpr uint32_t ErrorInsufficientBuffer = 122;
inline constexpr uint32_t ErrorInvalidName = 123;
inline constexpr uint32_t ErrorModNotFound = 126;
inline constexpr uint32_t ErrorProcNotFound = 127;
inline constexpr uint32_t ErrorDirNotEmpty = 145;
inline constexpr uint32_t ErrorBadPathName = 161;
inline constexpr uint32_t ErrorAlreadyExists = 183;
inline constexpr uint32_t ErrorMoreData = 234;
inline constexpr uint32_t ErrorNoMoreItems = 259;
inline constexpr uint32_t ErrorDirectory = 267;
inline constexpr uint32_t ErrorKeyDeleted = 1018;
inline constexpr uint32_t ErrorCancelled = 1223;
inline constexpr uint32_t ErrorInvalidWindowHandle = 1400;
inline constexpr uint32_t ErrorUnsupportedType = 1630;

uint32_t GetLastOSError();
void SetLastOSError(uint32_t error_code);

// The system's message for an error code, without trailing line breaks.
String SysErrorMessage(uint32_t error_code);

}  // namespace platform
