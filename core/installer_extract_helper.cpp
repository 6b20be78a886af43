// Writing packaged files to disk.
#include "core/installer_extract_helper.h"

#include <algorithm>
#include <memory>
#include <variant>

#include "core/installer.h"
#include "core/installer_errors.h"
#include "core/installer_log.h"
#include "core/installer_resources.h"
#include "package/installer_script.h"
#include "platform/change_observer.h"
#include "platform/clock.h"
#include "platform/exception.h"
#include "platform/file.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/os_error.h"
#include "support/file_stream.h"
#include "support/format_text.h"
#include "support/hashes.h"
#include "support/memory_stream.h"

namespace {

// How often, and how far apart, a file in use is tried when there is nobody to ask.
constexpr int SuppressedAttempts = 5;
constexpr uint32_t SuppressedRetryPause = 1000;
// A file name may hold 255 characters; the temporary name adds six to the target's.
constexpr size_t LongestKeptName = 249;

// The temporary file a new file is written to, beside its target: "~" + the target's name +
// ".tmp". Fixed rather than unique, so that a run cut short (a power cut) leaves one
// recognisable file per target that the next run simply overwrites; never a device's name
// ("CON", "NUL.txt"), which a unique system name could not promise either beside such a target.
String TemporaryNameOf(StringView file_name) {
  const String name = platform::ExtractFileName(file_name);
  return platform::ExtractFilePath(file_name) + u"~" +
         name.substr(0, std::min(name.size(), LongestKeptName)) + u".tmp";
}

// Removes the temporary file when it goes out of scope, unless it took its target's place.
class TemporaryFile {
 public:
  explicit TemporaryFile(String path) : path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    // Clean-up: a file already moved into place is simply not there any more.
    if (!path_.empty() && platform::FileExists(path_)) {
      static_cast<void>(platform::RemoveFile(path_));
    }
  }
  const String& Path() const { return path_; }
  // The file has taken its target's place: nothing is left to clean up, and asking the system
  // would cost a call per installed file.
  void Placed() { path_.clear(); }

 private:
  String path_;
};

// The temporary file as a stream. It keeps the system's reason for a failed operation itself:
// throwing an exception may clear the thread's last error on Windows before anyone catches it.
class TemporaryFileStream final : public TStream {
 public:
  explicit TemporaryFileStream(platform::File file) : file_(std::move(file)) {}

  int64_t Read(void* buffer, int64_t count) override {
    size_t done = 0;
    if (count <= 0) return 0;
    if (!file_.Read(buffer, static_cast<size_t>(count), done)) Failed(platform::GetLastOSError());
    return static_cast<int64_t>(done);
  }
  int64_t Write(const void* buffer, int64_t count) override {
    size_t done = 0;
    if (count <= 0) return 0;
    if (!file_.Write(buffer, static_cast<size_t>(count), done)) {
      Failed(platform::GetLastOSError());
    } else if (static_cast<int64_t>(done) < count) {
      // The system took fewer bytes without saying why: the disk is full.
      Failed(platform::ErrorDiskFull);
    }
    return static_cast<int64_t>(done);
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    const platform::SeekOrigin from =
        origin == TSeekOrigin::soBeginning ? platform::SeekOrigin::Begin
        : origin == TSeekOrigin::soCurrent ? platform::SeekOrigin::Current
                                           : platform::SeekOrigin::End;
    int64_t position = 0;
    if (!file_.Seek(offset, from, position)) RaiseFailure();
    return position;
  }
  int64_t Size() override {
    int64_t size = 0;
    if (!file_.GetSize(size)) RaiseFailure();
    return size;
  }
  void SetSize(int64_t size) override {
    const int64_t position = Position();
    Seek(size, TSeekOrigin::soBeginning);
    if (!file_.Truncate()) RaiseFailure();
    if (position < size) Seek(position, TSeekOrigin::soBeginning);
  }

  // The first failure's system error; ErrorSuccess while nothing failed.
  uint32_t Error() const { return error_; }

 private:
  void Failed(uint32_t error) {
    if (error_ == platform::ErrorSuccess) error_ = error;
  }
  [[noreturn]] void RaiseFailure() {
    Failed(platform::GetLastOSError());
    RaiseOSError(error_);
  }

  platform::File file_;
  uint32_t error_ = platform::ErrorSuccess;
};

String Md5OfStream(TStream& stream) {
  TVYNHashMD5 md5;
  THashState state;
  md5.Initialize(state);
  md5.UpdateStream(state, stream);
  return std::get<String>(md5.Finalize(state));
}

// The digest of a file read with every kind of sharing; empty when it cannot be read.
String Md5OfFile(StringView file_name) {
  auto file = TFileStream::TryOpen(
      file_name, platform::FileAccess::Read,
      platform::FileShareRead | platform::FileShareWrite | platform::FileShareDelete,
      platform::FileCreation::OpenExisting);
  return file ? Md5OfStream(*file) : String();
}

// Creating a file fails so when a folder on its way is missing; Windows says "path not found",
// other systems only "not found".
bool IsMissingFolder(uint32_t error) {
  return error == platform::ErrorPathNotFound || error == platform::ErrorFileNotFound;
}

// Whether a file could not be replaced because another program has it open, as opposed to any
// other reason (no right to write it, a device's name, a broken disk), which no waiting mends.
bool IsInUse(StringView file_name, uint32_t replace_error) {
  if (replace_error == platform::ErrorSharingViolation ||
      replace_error == platform::ErrorLockViolation) {
    return true;
  }
  // Windows refuses to replace an open or running file with "access denied", its answer for a
  // file nobody may write as well; opening the file for writing tells the two apart.
  if (replace_error != platform::ErrorAccessDenied) return false;
  const platform::File probe = platform::File::Open(
      file_name, platform::FileAccess::Write, platform::FileShareRead | platform::FileShareWrite,
      platform::FileCreation::OpenExisting);
  if (probe.IsOpen()) return false;
  const uint32_t error = platform::GetLastOSError();
  return error == platform::ErrorSharingViolation || error == platform::ErrorLockViolation;
}

}  // namespace

void TInstallerExtractHelper::ExtractFile(const TInstallerScriptFile& entry) {
  TInstallerResources& resources = Installer->Resources();
  const String target = resources.ExpandPath(entry.Name);
  // The installer object checks the script before a run; this keeps every other caller from
  // writing relative to whatever folder is current.
  if (!platform::IsAbsolutePath(target)) {
    throw EInstallerInstallError(
        FormatText(u"The installation script places a file at \"%s\", which is not a full path.",
                   {entry.Name}));
  }
  const std::unique_ptr<TMemoryViewStream> source = resources.GetView(entry.SourceName());
  WriteTargetFile(target, [&source](TStream& file) {
    // Straight from the decoded package: a retry starts over at the first byte.
    source->SetPosition(0);
    if (source->Size() > 0) file.WriteBuffer(source->Memory(), source->Size());
  });
}

void TInstallerExtractHelper::MakeDirectory(StringView path) {
  if (path.empty()) return;
  if (!platform::CreateFolderWithParents(path)) {
    throw EInstallerInstallError(FormatCommonText(u"E3", {path}));
  }
}

bool TInstallerExtractHelper::WriteTargetFile(StringView file_name,
                                              const std::function<void(TStream& file)>& write) {
  TemporaryFile temporary(TemporaryNameOf(file_name));
  {
    const auto create = [&temporary] {
      return platform::File::Open(temporary.Path(), platform::FileAccess::ReadWrite,
                                  platform::FileShareRead, platform::FileCreation::CreateAlways);
    };
    platform::File file = create();
    // The folder is made only when it is missing: asking first would cost a call to the system
    // for every file, though all but the first file of each folder find it there.
    if (!file.IsOpen() && IsMissingFolder(platform::GetLastOSError())) {
      MakeDirectory(platform::ExtractFilePath(file_name));
      file = create();
    }
    if (!file.IsOpen()) RaiseWriteFailure(file_name, platform::GetLastOSError());
    TemporaryFileStream stream(std::move(file));
    try {
      write(stream);
    } catch (const Exception&) {
      // A failure of the file itself is told as this file's; any other (a broken package) is
      // the writer's own and goes on as it is.
      if (stream.Error() == platform::ErrorSuccess) throw;
      RaiseWriteFailure(file_name, stream.Error());
    }
  }
  if (platform::MoveFileReplacing(temporary.Path(), file_name)) {
    temporary.Placed();
    // The record of the run names the file that was written, not only the temporary name.
    platform::ReportChange(platform::Change::FileWritten, file_name);
    return true;
  }
  const uint32_t error = platform::GetLastOSError();
  if (!IsInUse(file_name, error)) RaiseWriteFailure(file_name, error);
  return PlaceOverFileInUse(file_name, temporary.Path());
}

void TInstallerExtractHelper::RemoveLeftoverTemporary(StringView file_name) {
  // Missing in all but the rare case: asking the system to remove it is the one call needed.
  static_cast<void>(platform::RemoveFile(TemporaryNameOf(file_name)));
}

bool TInstallerExtractHelper::PlaceOverFileInUse(StringView file_name, const String& temporary) {
  // A file that already holds these bytes is in place; comparing costs a read of both, which is
  // why it is done only now. A file that cannot even be read is treated as different, so the
  // user still gets to retry instead of the whole run failing at once.
  const String wanted = Md5OfFile(temporary);
  if (!wanted.empty() && Md5OfFile(file_name) == wanted) return false;

  // Moving the old file aside usually works even when it is open (a running program). A ".bak"
  // left by an earlier run goes first, or the move would fail; the result does not matter,
  // because the next attempt to replace tells.
  const String backup = String(file_name) + u".bak";
  static_cast<void>(platform::RemoveFile(backup));
  const bool moved_aside = platform::MovePath(file_name, backup);
  // A file that is not replaced after all gets its old content back in its place.
  const auto put_back = [&] {
    if (moved_aside && !platform::FileExists(file_name)) {
      static_cast<void>(platform::MovePath(backup, file_name));
    }
  };

  for (int attempt = 1;; ++attempt) {
    if (platform::MoveFileReplacing(temporary, file_name)) {
      platform::ReportChange(platform::Change::FileWritten, file_name);
      // The old file is of no use any more, but whoever holds it keeps it until the system
      // restarts; then it goes, instead of lying beside the new one for ever.
      if (moved_aside) static_cast<void>(platform::ScheduleDeleteAtRestart(backup));
      return true;
    }
    const uint32_t error = platform::GetLastOSError();
    if (!IsInUse(file_name, error)) {
      put_back();
      RaiseWriteFailure(file_name, error);
    }
    if (Installer->MessageBoxesSuppressed()) {
      // Nobody to ask: the holder gets a few moments to let go, and then the new file waits
      // beside the old one for the next restart to put it in place.
      if (attempt < SuppressedAttempts) {
        platform::Pause(SuppressedRetryPause);
        continue;
      }
      ReplaceAtRestart(file_name, temporary);
      return true;
    }
    const int answer =
        Installer->AskUser(FormatCommonText(u"QM2", {file_name}),
                           platform::MessageBoxAbortRetryIgnore | platform::MessageBoxIconWarning |
                               platform::MessageBoxDefaultButton2);
    if (answer == platform::AnswerRetry) continue;
    put_back();
    if (answer == platform::AnswerIgnore) return false;
    throw EInstallerInstallError(FormatCommonText(u"E1", {file_name}));
  }
}

void TInstallerExtractHelper::ReplaceAtRestart(StringView file_name, const String& temporary) {
  const String replacement = String(file_name) + u".new";
  if (!platform::MoveFileReplacing(temporary, replacement) ||
      !platform::ScheduleReplaceAtRestart(replacement, file_name)) {
    const uint32_t error = platform::GetLastOSError();
    static_cast<void>(platform::RemoveFile(replacement));
    TInstallerLog::WriteSystemError(error, replacement);
    RaiseWriteFailure(file_name, error);
  }
  TInstallerLog::Write(u"In use, replaced at the next restart: " + String(file_name));
  Installer->NoteRestartNeeded();
}

void TInstallerExtractHelper::RaiseWriteFailure(StringView file_name, uint32_t error) const {
  String message = FormatCommonText(u"E1", {file_name});
  // Without a system error there is no reason to add; its text would only say "success".
  if (error != platform::ErrorSuccess) message += u"\r\n" + platform::SysErrorMessage(error);
  throw EInstallerInstallError(message);
}

String TInstallerExtractHelper::FormatCommonText(
    StringView key, std::initializer_list<StringView> arguments) const {
  return FormatText(Installer->Resources().GetString(u"Common", key), arguments);
}
