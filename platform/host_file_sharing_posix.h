// Windows' file-sharing rules, kept by the host double for the opens of this process
// (host builds only). Used by the file and file-system services, which check every open,
// rename and delete against the opens that are still in place.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace platform {

struct FileIdentity {
  dev_t Device;
  ino_t Inode;
  auto operator<=>(const FileIdentity&) const = default;
};

// Access rights of an open, in the same bits as the FileShare* flags they must be shared with.
inline constexpr unsigned SharingRead = 1;
inline constexpr unsigned SharingWrite = 2;
inline constexpr unsigned SharingDelete = 4;

// False when no such file exists.
bool IdentifyFile(const std::string& host_path, FileIdentity& identity);

// Whether a new open with these rights and share flags is compatible with the opens in place:
// every existing open must share what the new one asks for, and the new one must share what
// each existing one holds.
bool SharingAllows(const FileIdentity& identity, unsigned access_rights, unsigned share);
void RegisterSharing(const FileIdentity& identity, unsigned access_rights, unsigned share);
void UnregisterSharing(const FileIdentity& identity, unsigned access_rights, unsigned share);

// The Windows error code closest to an errno value.
uint32_t ErrnoToOSError(int error_number);

}  // namespace platform
