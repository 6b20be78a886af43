// The single door through which the program reaches its data: the two setup packages, the
// installer script, the languages and the texts in force, path variables and system folders.
#pragma once

#include <cstdint>
#include <memory>

#include "package/installer_script.h"
#include "package/setup_package_reader.h"
#include "support/ini_file.h"
#include "support/memory_stream.h"
#include "support/string_list.h"

// The largest language file a setup may carry, in bytes. Real ones hold a few kilobytes of
// texts; a larger one is damaged or hostile, and reading it would cost memory many times over.
inline constexpr int64_t MaximumLanguageFileSize = 4 * 1024 * 1024;

class TInstallerResources {
 public:
  // Opens "SETUP" and "PRODUCT" from the program's resources, or the product package from
  // "<program>.dat" when the program runs as "Uninstall.exe"; reads "Install.xml"; lists the
  // languages; asks the system for its folders. A missing resource, a damaged package, a
  // missing script or a language file larger than MaximumLanguageFileSize raises.
  TInstallerResources();

  // Loads "English.lng", lets the language dialog choose (it decides alone in automatic runs)
  // and merges the chosen language over English, so that every key it lacks keeps its English
  // text. Called once, after the installer object exists.
  void InitializeLanguages();

  // The package the named file is taken from: the product package first, so that a product
  // can bring its own version of a setup file, then the setup package; null when neither has it.
  TSetupPackageReader* PackageHolding(StringView name) const;
  // A copy of the named file from PackageHolding, positioned at 0. Raises "Cannot locate "<name>"
  // file in setup archive" when neither has it.
  std::unique_ptr<TMemoryStream> GetStream(StringView name);
  // The same file's bytes where they lie in the decoded package, without a copy: for files
  // that are only written out, so that a large one does not cost its size once more. Valid as
  // long as this object.
  std::unique_ptr<TMemoryViewStream> GetView(StringView name) const;
  // The named file as lines (byte order mark, else the ANSI code page).
  std::unique_ptr<TVYNStringList> GetStringList(StringView name);
  // The licence of the current language family, else of "EN"; null when the script has none.
  std::unique_ptr<TMemoryStream> GetLicense();
  // "File"/"Family" of the language in force, "EN" by default.
  String GetLanguageFamily() const;
  // The text of Section and Key in the language in force, path variables replaced.
  String GetString(StringView section, StringView key) const;
  // Text with "\n" turned into a line break and the path variables replaced, in their fixed
  // order, case-sensitively.
  String ExpandVariables(StringView text) const;
  // The path variables replaced, but no line breaks: in a path or a command line "\n" is a
  // folder whose name starts with "n" ("$DEST\notes.txt"), never a line break.
  String ExpandPathVariables(StringView text) const;
  // ExpandPathVariables, then the path cleaned up as the destination is (CleanInstallerPath):
  // slashes read as backslashes, the long-path prefix taken off, characters that file names
  // cannot hold removed, blanks and dots trimmed from each part, "." and ".." resolved.
  String ExpandPath(StringView text) const;

  TSetupPackageReader& SetupPackage() { return *setup_package_; }
  TSetupPackageReader& ProductPackage() { return *product_package_; }
  const TInstallerScript& Script() const { return script_; }
  // The names of the ".lng" files of the setup package, in natural order.
  const TVYNStringList& Languages() const { return languages_; }
  const TVYNIniFile& Language() const { return language_; }
  // The chosen language file's name without folder and extension ("English").
  const String& LanguageName() const { return language_name_; }
  // Each with a trailing backslash.
  const String& DesktopFolder() const { return desktop_folder_; }
  const String& StartMenuFolder() const { return start_menu_folder_; }
  const String& ProgramFilesFolder() const { return program_files_folder_; }
  const String& ProgramFilesX86Folder() const { return program_files_x86_folder_; }

 private:
  String ReplaceVariables(StringView text, bool line_breaks) const;

  std::unique_ptr<TSetupPackageReader> setup_package_;
  std::unique_ptr<TSetupPackageReader> product_package_;
  TInstallerScript script_;
  TVYNStringList languages_;
  TVYNIniFile language_;
  String language_name_;
  String desktop_folder_;
  String start_menu_folder_;
  String program_files_folder_;
  String program_files_x86_folder_;
};
