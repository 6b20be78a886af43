// Files and folders by name in the host double: POSIX calls on the Linux folders that hold the
// Windows drives, with Windows' error codes, the sharing rules of the files this process holds
// open, the protection of running programs and a current directory of its own.
//
// Relative Windows paths resolve against the double's current directory ("C:\" until a test
// sets another); Linux paths ("/tmp/...") pass through as they are. platform::File keeps taking
// relative paths from the Linux working directory.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>

#include "platform/change_observer.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host_double.h"
#include "platform/host_file_failures_posix.h"
#include "platform/host_file_sharing_posix.h"
#include "platform/host_paths_posix.h"
#include "platform/locale.h"
#include "platform/os_error.h"

namespace platform {

namespace {

std::mutex file_system_mutex;
String current_folder = u"C:\\";
std::set<FileIdentity> running_programs;
std::vector<String> restart_deletes;
std::vector<std::pair<String, String>> restart_replacements;

bool IsDelimiter(char16_t c) {
  return c == u'\\' || c == u'/';
}

bool IsDriveLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool HasDrive(StringView path) {
  return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == u':';
}

size_t SkipName(StringView path, size_t start) {
  while (start < path.size() && !IsDelimiter(path[start])) ++start;
  return start;
}

// GetFullPathNameW's rules: the path is placed under the current directory (a path that starts
// with a backslash under its drive, "X:name" under the current directory when that lies on
// drive X), slashes become backslashes, empty names and "." drop out, ".." goes up but never
// above the root, the last name loses trailing dots and blanks, a trailing backslash stays.
String FullPathOf(StringView path, StringView current) {
  String prefix;
  if (path.starts_with(u"\\\\?\\")) {
    prefix = u"\\\\?\\";
    path.remove_prefix(4);
  }
  String root;
  String rest;
  const size_t current_root_length =
      current.starts_with(u"\\\\") ? SkipName(current, SkipName(current, 2) + 1) : 3;
  const StringView current_root = current.substr(0, std::min(current_root_length, current.size()));
  const StringView current_rest =
      current.size() > current_root.size() ? current.substr(current_root.size()) : StringView();
  if (HasDrive(path)) {
    const bool same_drive =
        HasDrive(current) && CompareTextIgnoringCase(current.substr(0, 1), path.substr(0, 1)) == 0;
    root = String(path.substr(0, 2)) + u"\\";
    if (path.size() > 2 && IsDelimiter(path[2])) {
      rest = String(path.substr(3));
    } else if (same_drive) {
      rest = String(current_rest) + u"\\" + String(path.substr(2));
    } else {
      rest = String(path.substr(2));
    }
  } else if (path.size() >= 2 && IsDelimiter(path[0]) && IsDelimiter(path[1])) {
    const size_t server_end = SkipName(path, 2);
    const size_t share_end = server_end < path.size() ? SkipName(path, server_end + 1) : server_end;
    root = u"\\\\" + String(path.substr(2, share_end - 2)) + u"\\";
    rest = share_end < path.size() ? String(path.substr(share_end + 1)) : String();
  } else if (!path.empty() && IsDelimiter(path[0])) {
    root = String(current_root);
    rest = String(path.substr(1));
  } else {
    root = String(current_root);
    rest = String(current_rest) + u"\\" + String(path);
  }
  for (char16_t& c : root) {
    if (c == u'/') c = u'\\';
  }
  const bool trailing_delimiter = !path.empty() && IsDelimiter(path.back());
  std::vector<String> names;
  StringView remaining(rest);
  while (!remaining.empty()) {
    const size_t end = SkipName(remaining, 0);
    const StringView name = remaining.substr(0, end);
    if (name == u"..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != u".") {
      names.emplace_back(name);
    }
    remaining.remove_prefix(end < remaining.size() ? end + 1 : end);
  }
  if (!names.empty() && !trailing_delimiter) {
    String& last = names.back();
    while (!last.empty() && (last.back() == u'.' || last.back() == u' ')) last.pop_back();
    if (last.empty()) names.pop_back();
  }
  String full = prefix + root;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) full += u'\\';
    full += names[i];
  }
  if (trailing_delimiter && !names.empty()) full += u'\\';
  return full;
}

// Where a path lives in the Linux file system.
bool HostPathOf(StringView path, std::string& host_path) {
  // Windows names nothing with an empty path, not even the current directory.
  if (path.empty()) {
    SetLastOSError(ErrorPathNotFound);
    return false;
  }
  if (path.starts_with(u'/')) return ToHostPath(path, host_path);
  String full;
  {
    std::lock_guard lock(file_system_mutex);
    full = FullPathOf(path, current_folder);
  }
  return ToHostPath(full, host_path);
}

bool Status(const std::string& host_path, struct stat& status) {
  return ::stat(host_path.c_str(), &status) == 0;
}

std::string ParentOf(const std::string& host_path) {
  std::string parent = host_path;
  while (parent.size() > 1 && parent.back() == '/') parent.pop_back();
  const size_t slash = parent.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : parent.substr(0, slash);
}

// Windows tells a missing file (2) from a missing folder on the way to it (3).
uint32_t MissingError(const std::string& host_path) {
  struct stat status {};
  return Status(ParentOf(host_path), status) && S_ISDIR(status.st_mode) ? ErrorFileNotFound
                                                                        : ErrorPathNotFound;
}

bool Fail(uint32_t error) {
  SetLastOSError(error);
  return false;
}

bool IsRunningProgram(const FileIdentity& identity) {
  std::lock_guard lock(file_system_mutex);
  return running_programs.contains(identity);
}

// Deleting or renaming opens the file for deletion with every kind of sharing: it succeeds only
// when every open in place shares deletion.
bool SharingAllowsDeletion(const FileIdentity& identity) {
  return SharingAllows(identity, SharingDelete, SharingRead | SharingWrite | SharingDelete);
}

// An open that asks for every right and shares none is refused while any open is in place.
bool IsOpen(const FileIdentity& identity) {
  return !SharingAllows(identity, SharingRead | SharingWrite | SharingDelete, FileShareNone);
}

bool IsCurrentFolder(const std::string& host_path) {
  String current;
  // With no current folder known, the empty path below matches no folder.
  static_cast<void>(GetCurrentFolder(current));
  std::string current_host;
  FileIdentity current_identity{};
  FileIdentity identity{};
  return ToHostPath(current, current_host) && IdentifyFile(current_host, current_identity) &&
         IdentifyFile(host_path, identity) && identity == current_identity;
}

bool CompareNames(const FolderEntry& a, const FolderEntry& b) {
  const int order = CompareTextIgnoringCase(a.Name, b.Name);
  return order != 0 ? order < 0 : a.Name < b.Name;
}

}  // namespace

bool FileExists(StringView path) {
  std::string host_path;
  struct stat status {};
  return HostPathOf(path, host_path) && Status(host_path, status) && !S_ISDIR(status.st_mode);
}

bool FolderExists(StringView path) {
  std::string host_path;
  struct stat status {};
  return HostPathOf(path, host_path) && Status(host_path, status) && S_ISDIR(status.st_mode);
}

bool CreateFolder(StringView path) {
  std::string host_path;
  if (!HostPathOf(path, host_path)) return false;
  if (::mkdir(host_path.c_str(), 0755) == 0) return Reported(true, Change::FolderCreated, path);
  switch (errno) {
    case EEXIST: return Fail(ErrorAlreadyExists);
    case ENOENT:
    case ENOTDIR: return Fail(ErrorPathNotFound);
    default: return Fail(ErrnoToOSError(errno));
  }
}

bool RemoveFile(StringView path) {
  if (HostFileOperationFails(HostDouble::FileOperation::Delete)) return false;
  std::string host_path;
  if (!HostPathOf(path, host_path)) return false;
  struct stat status {};
  if (::lstat(host_path.c_str(), &status) != 0) return Fail(MissingError(host_path));
  if (S_ISDIR(status.st_mode)) return Fail(ErrorAccessDenied);
  // TODO: a read-only file can be neither deleted nor replaced (ErrorAccessDenied), here and in
  // MoveFileReplacing, once the double keeps file attributes.
  const FileIdentity identity{status.st_dev, status.st_ino};
  // The system maps a running program's file into memory and refuses to delete it, although
  // it lets it be renamed.
  if (IsRunningProgram(identity)) return Fail(ErrorAccessDenied);
  if (!SharingAllowsDeletion(identity)) return Fail(ErrorSharingViolation);
  if (::unlink(host_path.c_str()) != 0) return Fail(ErrnoToOSError(errno));
  return Reported(true, Change::FileDeleted, path);
}

bool RemoveEmptyFolder(StringView path) {
  std::string host_path;
  if (!HostPathOf(path, host_path)) return false;
  struct stat status {};
  if (::stat(host_path.c_str(), &status) != 0) return Fail(MissingError(host_path));
  if (!S_ISDIR(status.st_mode)) return Fail(ErrorDirectory);
  // The process holds its current directory open without sharing deletion.
  if (IsCurrentFolder(host_path)) return Fail(ErrorSharingViolation);
  if (::rmdir(host_path.c_str()) == 0) return Reported(true, Change::FolderRemoved, path);
  return Fail(errno == ENOTEMPTY || errno == EEXIST ? ErrorDirNotEmpty : ErrnoToOSError(errno));
}

bool MovePath(StringView source, StringView target) {
  if (HostFileOperationFails(HostDouble::FileOperation::Move)) return false;
  std::string host_source;
  std::string host_target;
  if (!HostPathOf(source, host_source) || !HostPathOf(target, host_target)) return false;
  struct stat status {};
  if (::lstat(host_source.c_str(), &status) != 0) return Fail(MissingError(host_source));
  struct stat target_status {};
  if (::lstat(host_target.c_str(), &target_status) == 0) return Fail(ErrorAlreadyExists);
  const FileIdentity identity{status.st_dev, status.st_ino};
  if (S_ISDIR(status.st_mode) ? IsCurrentFolder(host_source) : !SharingAllowsDeletion(identity)) {
    return Fail(ErrorSharingViolation);
  }
  if (::renameat2(AT_FDCWD, host_source.c_str(), AT_FDCWD, host_target.c_str(), RENAME_NOREPLACE) ==
      0) {
    return Reported(true, Change::FileMoved, target, source);
  }
  switch (errno) {
    case EEXIST: return Fail(ErrorAlreadyExists);
    case ENOENT:
    case ENOTDIR: return Fail(ErrorPathNotFound);
    case EXDEV: return Fail(ErrorNotSameDevice);
    default: return Fail(ErrnoToOSError(errno));
  }
}

bool MoveFileReplacing(StringView source, StringView target) {
  if (HostFileOperationFails(HostDouble::FileOperation::Move)) return false;
  std::string host_source;
  std::string host_target;
  if (!HostPathOf(source, host_source) || !HostPathOf(target, host_target)) return false;
  struct stat status {};
  if (::lstat(host_source.c_str(), &status) != 0) return Fail(MissingError(host_source));
  const FileIdentity identity{status.st_dev, status.st_ino};
  if (S_ISDIR(status.st_mode) ? IsCurrentFolder(host_source) : !SharingAllowsDeletion(identity)) {
    return Fail(ErrorSharingViolation);
  }
  struct stat target_status {};
  if (::lstat(host_target.c_str(), &target_status) == 0) {
    // The replaced file must be free: not a folder, not open by anyone (whatever it shares),
    // not a running program.
    const FileIdentity target_identity{target_status.st_dev, target_status.st_ino};
    if (S_ISDIR(target_status.st_mode) || S_ISDIR(status.st_mode) || IsOpen(target_identity) ||
        IsRunningProgram(target_identity)) {
      return Fail(ErrorAccessDenied);
    }
  }
  if (::rename(host_source.c_str(), host_target.c_str()) == 0) {
    return Reported(true, Change::FileMoved, target, source);
  }
  switch (errno) {
    case ENOENT:
    case ENOTDIR: return Fail(ErrorPathNotFound);
    case EXDEV: return Fail(ErrorNotSameDevice);
    default: return Fail(ErrnoToOSError(errno));
  }
}

bool CopyFileTo(StringView source, StringView target, bool fail_if_exists) {
  std::string host_source;
  std::string host_target;
  if (!HostPathOf(source, host_source) || !HostPathOf(target, host_target)) return false;
  // The same opens CopyFileW makes, so that the sharing rules decide as they do on Windows: the
  // source for reading and the target for writing, each shared with readers and writers.
  File input = File::Open(Utf8ToString(host_source), FileAccess::Read,
                          FileShareRead | FileShareWrite, FileCreation::OpenExisting);
  if (!input.IsOpen()) return false;
  // Windows refuses to copy a file onto itself rather than truncate it first.
  FileIdentity source_identity{};
  FileIdentity target_identity{};
  if (IdentifyFile(host_source, source_identity) && IdentifyFile(host_target, target_identity) &&
      source_identity == target_identity) {
    return Fail(ErrorSharingViolation);
  }
  File output =
      File::Open(Utf8ToString(host_target), FileAccess::Write, FileShareRead | FileShareWrite,
                 fail_if_exists ? FileCreation::CreateNew : FileCreation::CreateAlways);
  if (!output.IsOpen()) return false;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    size_t read = 0;
    size_t written = 0;
    if (!input.Read(buffer.data(), buffer.size(), read)) return false;
    if (read == 0) break;
    if (!output.Write(buffer.data(), read, written)) return false;
  }
  output.Close();
  struct stat status {};
  if (Status(host_source, status)) {
    const timespec times[2] = {status.st_atim, status.st_mtim};
    ::utimensat(AT_FDCWD, host_target.c_str(), times, 0);
  }
  return Reported(true, Change::FileCopied, target, source);
}

bool ScheduleDeleteAtRestart(StringView path) {
  String full;
  if (!GetFullPath(path, full)) return false;
  std::lock_guard lock(file_system_mutex);
  restart_deletes.push_back(full);
  return Reported(true, Change::DeleteAtRestart, path);
}

bool ScheduleReplaceAtRestart(StringView source, StringView target) {
  String full_source;
  String full_target;
  if (!GetFullPath(source, full_source) || !GetFullPath(target, full_target)) return false;
  // As Windows would drop a replacement that is not there at the restart: refused now instead.
  if (!FileExists(full_source)) return Fail(ErrorFileNotFound);
  std::lock_guard lock(file_system_mutex);
  restart_replacements.emplace_back(full_source, full_target);
  return Reported(true, Change::ReplaceAtRestart, target, source);
}

bool GetFullPath(StringView path, String& full_path) {
  if (path.empty()) return Fail(ErrorInvalidName);
  std::lock_guard lock(file_system_mutex);
  full_path = FullPathOf(path, current_folder);
  return true;
}

bool GetLongPath(StringView path, String& long_path) {
  std::string host_path;
  struct stat status {};
  if (!HostPathOf(path, host_path)) return false;
  // Linux has no short names: a path that exists is already in its long form.
  if (!Status(host_path, status)) return Fail(ErrorFileNotFound);
  long_path = String(path);
  return true;
}

bool ListFolder(StringView folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  std::string host_path;
  if (!HostPathOf(folder, host_path)) return false;
  struct stat status {};
  if (!Status(host_path, status)) return Fail(ErrorPathNotFound);
  if (!S_ISDIR(status.st_mode)) return Fail(ErrorInvalidName);
  const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(host_path.c_str()), ::closedir);
  if (!directory) return Fail(ErrnoToOSError(errno));
  while (const dirent* entry = ::readdir(directory.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat entry_status {};
    if (!Status(host_path + "/" + name, entry_status)) continue;
    const bool is_folder = S_ISDIR(entry_status.st_mode);
    entries.push_back({Utf8ToString(name), is_folder,
                       is_folder ? 0 : static_cast<uint64_t>(entry_status.st_size)});
  }
  // NTFS lists a folder in the order of its names ignoring case; readdir's order is arbitrary.
  std::sort(entries.begin(), entries.end(), CompareNames);
  SetLastOSError(ErrorSuccess);
  return true;
}

bool GetCurrentFolder(String& folder) {
  std::lock_guard lock(file_system_mutex);
  folder = current_folder;
  return true;
}

bool SetCurrentFolder(StringView folder) {
  String full;
  if (!GetFullPath(folder, full)) return false;
  std::string host_path;
  struct stat status {};
  if (!ToHostPath(full, host_path)) return false;
  if (!Status(host_path, status)) return Fail(ErrorFileNotFound);
  if (!S_ISDIR(status.st_mode)) return Fail(ErrorDirectory);
  // Kept without a trailing backslash, except at a drive's root.
  while (full.size() > 3 && full.back() == u'\\') full.pop_back();
  std::lock_guard lock(file_system_mutex);
  current_folder = full;
  return true;
}

void HostDouble::SetProgramRunning(StringView path, bool running) {
  std::string host_path;
  FileIdentity identity{};
  if (!HostPathOf(path, host_path) || !IdentifyFile(host_path, identity)) return;
  std::lock_guard lock(file_system_mutex);
  // While it runs, the system holds the program's file for reading and executing, sharing
  // reading and deletion only: writers are refused (32), renames are not.
  if (running && running_programs.insert(identity).second) {
    RegisterSharing(identity, SharingRead, SharingRead | SharingDelete);
  } else if (!running && running_programs.erase(identity) > 0) {
    UnregisterSharing(identity, SharingRead, SharingRead | SharingDelete);
  }
}

std::vector<String> HostDouble::TakeRestartDeletes() {
  std::lock_guard lock(file_system_mutex);
  return std::exchange(restart_deletes, {});
}

std::vector<std::pair<String, String>> HostDouble::TakeRestartReplacements() {
  std::lock_guard lock(file_system_mutex);
  return std::exchange(restart_replacements, {});
}

}  // namespace platform
