// The run's log.
#include "core/installer_log.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "platform/change_observer.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/os_error.h"
#include "platform/shell_folders.h"

namespace {

// Enough for every run of a day; a folder holding more logs than that gets none.
constexpr int MaxLogNumber = 999;

std::mutex log_lock;
platform::File log_file;
String log_file_name;

String Date(const platform::LocalTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u", time.Year, time.Month, time.Day);
  return Utf8ToString(text);
}

std::string Stamp() {
  const platform::LocalTime time = platform::GetCurrentLocalTime();
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u  ", time.Year, time.Month,
                time.Day, time.Hour, time.Minute, time.Second, time.Milliseconds);
  return text;
}

// Opened for appending by several processes in turn: each write goes to the end as it is then.
platform::File OpenShared(StringView name, platform::FileCreation creation) {
  return platform::File::Open(name, platform::FileAccess::Write,
                              platform::FileShareRead | platform::FileShareWrite, creation);
}

void WriteBytes(const std::string& bytes) {
  int64_t end = 0;
  size_t written = 0;
  if (!log_file.Seek(0, platform::SeekOrigin::End, end)) return;
  static_cast<void>(log_file.Write(bytes.data(), bytes.size(), written));
}

String ChangeText(platform::Change change, StringView subject, StringView detail) {
  const String what(subject);
  const String other(detail);
  switch (change) {
    case platform::Change::FileWritten: return u"File written: " + what;
    case platform::Change::FileCopied: return u"File copied: " + other + u" -> " + what;
    case platform::Change::FileMoved: return u"File moved: " + other + u" -> " + what;
    case platform::Change::FileDeleted: return u"File deleted: " + what;
    case platform::Change::FolderCreated: return u"Folder created: " + what;
    case platform::Change::FolderRemoved: return u"Folder removed: " + what;
    case platform::Change::DeleteAtRestart: return u"Scheduled for deletion at restart: " + what;
    case platform::Change::ReplaceAtRestart:
      return u"Scheduled for replacement at restart: " + what + u" <- " + other;
    case platform::Change::RegistryKeyCreated: return u"Registry key created: " + what;
    case platform::Change::RegistryValueWritten:
      return u"Registry value written: " + what + u": " + other;
    case platform::Change::RegistryValueDeleted:
      return u"Registry value deleted: " + what + u": " + other;
    case platform::Change::RegistryKeyDeleted: return u"Registry key deleted: " + what;
    case platform::Change::ProcessStarted:
      // Without arguments apart, Subject is the whole command line, quoted as it was given.
      if (other.empty()) return u"Process started: " + what;
      return u"Process started: \"" + what + u"\" " + other;
  }
  return what;
}

void ObserveChange(platform::Change change, StringView subject, StringView detail) {
  TInstallerLog::Write(ChangeText(change, subject, detail));
}

}  // namespace

bool TInstallerLog::Open(StringView file) {
  Close();
  String name(file);
  platform::File opened;
  if (!name.empty()) {
    // A full name, so that copies started in another folder write on into the same file.
    String full_name;
    if (platform::GetFullPath(name, full_name)) name = full_name;
    opened = OpenShared(name, platform::FileCreation::OpenAlways);
    // A folder of logs that does not exist yet is made, as an administrator would expect.
    if (!opened.IsOpen() && platform::CreateFolderWithParents(platform::ExtractFilePath(name))) {
      opened = OpenShared(name, platform::FileCreation::OpenAlways);
    }
  } else {
    const String prefix =
        platform::TemporaryFolder() + u"Setup Log " + Date(platform::GetCurrentLocalTime()) + u" #";
    for (int number = 1; number <= MaxLogNumber && !opened.IsOpen(); ++number) {
      char digits[16];
      std::snprintf(digits, sizeof digits, "%03d", number);
      name = prefix + Utf8ToString(digits) + u".txt";
      // Created only when new, so that two runs started at once never share a name.
      opened = OpenShared(name, platform::FileCreation::CreateNew);
      if (!opened.IsOpen() && platform::GetLastOSError() != platform::ErrorFileExists) break;
    }
  }
  if (!opened.IsOpen()) return false;
  {
    std::lock_guard lock(log_lock);
    log_file = std::move(opened);
    log_file_name = name;
    int64_t size = 0;
    // A byte order mark tells every editor the encoding of a log that starts with non-ASCII.
    if (log_file.GetSize(size) && size == 0) WriteBytes("\xEF\xBB\xBF");
  }
  platform::SetChangeObserver(ObserveChange);
  return true;
}

void TInstallerLog::Close() {
  platform::SetChangeObserver(nullptr);
  std::lock_guard lock(log_lock);
  log_file.Close();
  log_file_name.clear();
}

bool TInstallerLog::IsOpen() {
  std::lock_guard lock(log_lock);
  return log_file.IsOpen();
}

String TInstallerLog::FileName() {
  std::lock_guard lock(log_lock);
  return log_file_name;
}

void TInstallerLog::Write(StringView text) {
  std::lock_guard lock(log_lock);
  if (!log_file.IsOpen()) return;
  const uint32_t error = platform::GetLastOSError();
  std::string line = Stamp();
  const std::string body = StringToUtf8(text);
  for (size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (c == '\r') continue;
    if (c == '\n') {
      // The entry's next line, indented under its text.
      if (i + 1 < body.size()) line += "\r\n                         ";
      continue;
    }
    line.push_back(c);
  }
  line += "\r\n";
  WriteBytes(line);
  platform::SetLastOSError(error);
}

void TInstallerLog::WriteError(StringView text) {
  Write(u"Error: " + String(text));
}

void TInstallerLog::WriteSystemError(uint32_t error_code, StringView what_failed) {
  String text = u"Error " + Utf8ToString(std::to_string(error_code)) + u": " +
                platform::SysErrorMessage(error_code);
  if (!what_failed.empty()) text += u": " + String(what_failed);
  Write(text);
}
