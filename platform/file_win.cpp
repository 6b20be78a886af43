// File on the Windows API.
#include <windows.h>

#include "platform/change_observer.h"
#include "platform/file.h"
#include "platform/os_error.h"
#include "platform/system_path_win.h"
#include "platform/windows_text.h"

namespace platform {

namespace {

HANDLE AsHandle(intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

DWORD DesiredAccess(FileAccess access) {
  switch (access) {
    case FileAccess::Read: return GENERIC_READ;
    case FileAccess::Write: return GENERIC_WRITE;
    case FileAccess::ReadWrite: return GENERIC_READ | GENERIC_WRITE;
  }
  return GENERIC_READ;
}

DWORD CreationDisposition(FileCreation creation) {
  switch (creation) {
    case FileCreation::CreateNew: return CREATE_NEW;
    case FileCreation::CreateAlways: return CREATE_ALWAYS;
    case FileCreation::OpenExisting: return OPEN_EXISTING;
    case FileCreation::OpenAlways: return OPEN_ALWAYS;
  }
  return OPEN_EXISTING;
}

}  // namespace

File File::Open(StringView path, FileAccess access, unsigned share, FileCreation creation) {
  DWORD share_mode = 0;
  if (share & FileShareRead) share_mode |= FILE_SHARE_READ;
  if (share & FileShareWrite) share_mode |= FILE_SHARE_WRITE;
  if (share & FileShareDelete) share_mode |= FILE_SHARE_DELETE;
  const String system_path = ToSystemPath(path);
  const HANDLE handle =
      ::CreateFileW(ToWide(system_path), DesiredAccess(access), share_mode, nullptr,
                    CreationDisposition(creation), FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return File();
  if (access != FileAccess::Read) ReportChange(Change::FileWritten, path);
  return File(reinterpret_cast<intptr_t>(handle));
}

bool File::Read(void* buffer, size_t count, size_t& bytes_read) {
  bytes_read = 0;
  auto* out = static_cast<char*>(buffer);
  // ReadFile takes 32-bit counts; larger requests go in slices.
  while (count > 0) {
    const DWORD slice = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
    DWORD done = 0;
    if (!::ReadFile(AsHandle(handle_), out, slice, &done, nullptr)) return false;
    bytes_read += done;
    if (done < slice) break;
    out += done;
    count -= done;
  }
  return true;
}

bool File::Write(const void* buffer, size_t count, size_t& bytes_written) {
  bytes_written = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (count > 0) {
    const DWORD slice = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
    DWORD done = 0;
    if (!::WriteFile(AsHandle(handle_), in, slice, &done, nullptr)) return false;
    bytes_written += done;
    if (done < slice) break;
    in += done;
    count -= done;
  }
  return true;
}

bool File::Seek(int64_t offset, SeekOrigin origin, int64_t& new_position) {
  const DWORD method = origin == SeekOrigin::Begin     ? FILE_BEGIN
                       : origin == SeekOrigin::Current ? FILE_CURRENT
                                                       : FILE_END;
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER result;
  if (!::SetFilePointerEx(AsHandle(handle_), distance, &result, method)) return false;
  new_position = result.QuadPart;
  return true;
}

bool File::GetSize(int64_t& size) {
  LARGE_INTEGER result;
  if (!::GetFileSizeEx(AsHandle(handle_), &result)) return false;
  size = result.QuadPart;
  return true;
}

bool File::Truncate() {
  return ::SetEndOfFile(AsHandle(handle_)) != FALSE;
}

void File::Close() {
  if (!IsOpen()) return;
  // Closing must not disturb the error a caller is about to report.
  const DWORD saved_error = ::GetLastError();
  ::CloseHandle(AsHandle(handle_));
  ::SetLastError(saved_error);
  handle_ = InvalidHandle;
}

}  // namespace platform
