// Writes one packaged file to its place on disk, and deals with destination files that are in
// use: an identical file is left alone, a different one is moved aside to ".bak", and when the
// place stays locked the user decides.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "platform/text.h"
#include "support/stream.h"

struct TInstallerScriptFile;

class TInstallerExtractHelper {
 public:
  // Writes a Components entry: its Name, with variables expanded, from its SourceName.
  void ExtractFile(const TInstallerScriptFile& entry);
  // Creates Path with all missing parents; raises the localized Common/E3 text on failure.
  void MakeDirectory(StringView path);

  // Puts FileName in place whole or not at all, making its folder when missing. Write fills a
  // new file beside it under a temporary name, which takes FileName's place only once complete;
  // whatever fails on the way, the temporary file goes and FileName stays as it was. A failure
  // that is not "in use" (a full disk, access denied, a device's name) raises
  // EInstallerInstallError with the localized Common/E1 text and the system's reason on the
  // next line.
  //
  // A FileName in use: one that already holds these bytes is left alone (false); otherwise it
  // is moved aside to "FileName.bak", which the system deletes at the next restart, and the new
  // file takes its place. When the place stays locked the user is asked: Retry, Ignore (false,
  // the file is skipped) or Abort (Common/E1). With message boxes suppressed nobody is asked: a
  // few tries, then the new file waits as "FileName.new" for the restart to replace FileName.
  bool WriteTargetFile(StringView file_name, const std::function<void(TStream& file)>& write);

  // Removes the temporary file that an earlier run, cut short while writing FileName, may have
  // left beside it. A run replaces such a file for everything it writes; this is for the files
  // it does not write (another language's), whose leftovers would otherwise stay for ever.
  void RemoveLeftoverTemporary(StringView file_name);

  // The localized Common text of Key with its placeholders filled.
  String FormatCommonText(StringView key, std::initializer_list<StringView> arguments) const;

 private:
  // The in-use part of WriteTargetFile, for a complete Temporary file that could not replace
  // FileName because FileName is in use.
  bool PlaceOverFileInUse(StringView file_name, const String& temporary);
  // Moves Temporary to "FileName.new" and has the system move that over FileName when it
  // restarts; the run then ends asking for that restart.
  void ReplaceAtRestart(StringView file_name, const String& temporary);
  // EInstallerInstallError: Common/E1 for FileName, then the system's text for Error.
  [[noreturn]] void RaiseWriteFailure(StringView file_name, uint32_t error) const;
};
