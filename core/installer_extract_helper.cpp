// Writing packaged files to disk.
#include "core/installer_extract_helper.h"

#include <variant>

#include "core/installer.h"
#include "core/installer_errors.h"
#include "core/installer_resources.h"
#include "package/installer_script.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "support/file_stream.h"
#include "support/format_text.h"
#include "support/hashes.h"

namespace {

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

  for (;;) {
    if (auto file = TryCreate(file_name)) return file;
    const int answer =
        Installer->AskUser(FormatCommonText(u"QM2", {file_name}),
                           platform::MessageBoxAbortRetryIgnore | platform::MessageBoxIconWarning |
                               platform::MessageBoxDefaultButton2);
    if (answer == platform::AnswerRetry) continue;
    if (answer == platform::AnswerIgnore) return nullptr;
    throw EInstallerInstallError(FormatCommonText(u"E1", {file_name}));
  }
}

String TInstallerExtractHelper::FormatCommonText(
    StringView key, std::initializer_list<StringView> arguments) const {
  return FormatText(Installer->Resources().GetString(u"Common", key), arguments);
}
