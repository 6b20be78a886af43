// Writing packaged files to disk.
#include "core/installer_extract_helper.h"

#include <variant>

#include "core/installer.h"
#include "core/installer_errors.h"
#include "core/installer_log.h"
#include "core/installer_resources.h"
#include "package/installer_script.h"
#include "platform/clock.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/os_error.h"
#include "support/file_stream.h"
#include "support/format_text.h"
#include "support/hashes.h"

namespace {

// How often, and how far apart, a file in use is tried when there is nobody to ask.
constexpr int SuppressedAttempts = 5;
constexpr uint32_t SuppressedRetryPause = 1000;

std::unique_ptr<TStream> TryCreate(StringView file_name) {
  return TFileStream::TryOpen(file_name, platform::FileAccess::Write,
                              platform::FileShareRead | platform::FileShareWrite,
                              platform::FileCreation::CreateAlways);
}

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
  MakeDirectory(platform::ExtractFilePath(target));
  const std::unique_ptr<TMemoryStream> source = resources.GetStream(entry.SourceName());
  if (std::unique_ptr<TStream> file = CreateTargetStream(target, *source)) {
    source->SetPosition(0);
    if (source->Size() > 0) file->CopyFrom(*source, source->Size());
  }
}

void TInstallerExtractHelper::MakeDirectory(StringView path) {
  if (path.empty()) return;
  if (!platform::CreateFolderWithParents(path)) {
    throw EInstallerInstallError(FormatCommonText(u"E3", {path}));
  }
}

std::unique_ptr<TStream> TInstallerExtractHelper::CreateTargetStream(StringView file_name,
                                                                     TStream& source) {
  if (auto file = TryCreate(file_name)) return file;

  // In use. A file that already holds these bytes is in place; comparing costs a read of both,
  // which is why it is done only now. A file that cannot even be read is treated as different,
  // so the user still gets to retry instead of the whole run failing at once.
  const int64_t position = source.Position();
  const String packaged = Md5OfStream(source);
  source.SetPosition(position);
  if (Md5OfFile(file_name) == packaged) return nullptr;

  // Moving the old file aside usually works even when it is open (a running program); the
  // result does not matter, because the next attempt to create tells.
  const String backup = String(file_name) + u".bak";
  static_cast<void>(platform::MovePath(file_name, backup));

  for (int attempt = 1;; ++attempt) {
    if (auto file = TryCreate(file_name)) return file;
    if (Installer->MessageBoxesSuppressed()) {
      // Nobody to ask: the holder gets a few moments to let go, and then the new file waits
      // beside the old one for the next restart to put it in place.
      if (attempt < SuppressedAttempts) {
        platform::Pause(SuppressedRetryPause);
        continue;
      }
      return CreateReplacementAtRestart(file_name);
    }
    const int answer =
        Installer->AskUser(FormatCommonText(u"QM2", {file_name}),
                           platform::MessageBoxAbortRetryIgnore | platform::MessageBoxIconWarning |
                               platform::MessageBoxDefaultButton2);
    if (answer == platform::AnswerRetry) continue;
    if (answer == platform::AnswerIgnore) return nullptr;
    throw EInstallerInstallError(FormatCommonText(u"E1", {file_name}));
  }
}

std::unique_ptr<TStream> TInstallerExtractHelper::CreateReplacementAtRestart(StringView file_name) {
  const String replacement = String(file_name) + u".new";
  std::unique_ptr<TStream> file = TryCreate(replacement);
  if (!file || !platform::ScheduleReplaceAtRestart(replacement, file_name)) {
    const uint32_t error = platform::GetLastOSError();
    file.reset();
    static_cast<void>(platform::RemoveFile(replacement));
    TInstallerLog::WriteSystemError(error, replacement);
    throw EInstallerInstallError(FormatCommonText(u"E1", {file_name}));
  }
  TInstallerLog::Write(u"In use, replaced at the next restart: " + String(file_name));
  Installer->NoteRestartNeeded();
  replaced_at_restart_[String(file_name)] = replacement;
  return file;
}

String TInstallerExtractHelper::FileInPlaceAfterRestart(StringView file_name) const {
  const auto found = replaced_at_restart_.find(String(file_name));
  return found == replaced_at_restart_.end() ? String(file_name) : found->second;
}

String TInstallerExtractHelper::FormatCommonText(
    StringView key, std::initializer_list<StringView> arguments) const {
  return FormatText(Installer->Resources().GetString(u"Common", key), arguments);
}
