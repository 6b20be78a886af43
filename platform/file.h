// An open file of the platform, with Windows' access and sharing rules on every build.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/text.h"

namespace platform {

enum class FileAccess { Read, Write, ReadWrite };

// Which other opens the file tolerates while this one is open.
inline constexpr unsigned FileShareNone = 0;
inline constexpr unsigned FileShareRead = 1;
inline constexpr unsigned FileShareWrite = 2;
inline constexpr unsigned FileShareDelete = 4;

enum class FileCreation { CreateNew, CreateAlways, OpenExisting, OpenAlways };

enum class SeekOrigin { Begin, Current, End };

// A move-only owner of an open file. Operations return false and set the last platform error on
// failure, like the system calls beneath them, so callers choose how to report.
class File {
 public:
  File() = default;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  // Opens or creates a file; the result is closed (IsOpen false) when that fails.
  static File Open(StringView path, FileAccess access, unsigned share, FileCreation creation);

  bool IsOpen() const { return handle_ != InvalidHandle; }

  bool Read(void* buffer, size_t count, size_t& bytes_read);
  bool Write(const void* buffer, size_t count, size_t& bytes_written);
  bool Seek(int64_t offset, SeekOrigin origin, int64_t& new_position);
  bool GetSize(int64_t& size);
  // Cuts or extends the file at the current position.
  bool Truncate();
  void Close();

 private:
  static constexpr intptr_t InvalidHandle = -1;
  explicit File(intptr_t handle) : handle_(handle) {}

  intptr_t handle_ = InvalidHandle;
};

}  // namespace platform
