// Writes one packaged file to its place on disk, and deals with destination files that are in
// use: an identical file is left alone, a different one is moved aside to ".bak", and when the
// place stays locked the user decides.
#pragma once

#include <initializer_list>
#include <map>
#include <memory>

#include "platform/text.h"
#include "support/stream.h"

struct TInstallerScriptFile;

class TInstallerExtractHelper {
 public:
  // Writes a Components entry: its Name, with variables expanded, from its SourceName.
  void ExtractFile(const TInstallerScriptFile& entry);
  // Creates Path with all missing parents; raises the localized Common/E3 text on failure.
  void MakeDirectory(StringView path);
  // Opens FileName for writing, shared with readers and writers, or returns null when the
  // file is skipped: it is already in place (same MD5 as Source from its position), or the
  // user chose Ignore. Abort raises the localized Common/E1 text. When message boxes are
  // suppressed nobody is asked: a file still in use after a few tries is replaced at the next
  // restart (CreateReplacementAtRestart).
  std::unique_ptr<TStream> CreateTargetStream(StringView file_name, TStream& source);
  // Creates "FileName.new" for the new bytes and has the system move it over FileName when it
  // restarts; the run then ends asking for that restart. Raises Common/E1 when neither works.
  std::unique_ptr<TStream> CreateReplacementAtRestart(StringView file_name);
  // The file that replaces FileName at the next restart, as CreateReplacementAtRestart made it;
  // FileName itself when nothing waits. What will be installed is measured there.
  String FileInPlaceAfterRestart(StringView file_name) const;
  // The localized Common text of Key with its placeholders filled.
  String FormatCommonText(StringView key, std::initializer_list<StringView> arguments) const;

 private:
  // Target and replacement of each file left for the next restart in this run.
  std::map<String, String> replaced_at_restart_;
};
