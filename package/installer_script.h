// The installer script, "Install.xml": what to install and how, read once into five plain
// collections so that nothing else in the program touches XML.
#pragma once

#include <memory>
#include <vector>

#include "platform/exception.h"
#include "platform/text.h"
#include "support/stream.h"
#include "support/string_list.h"

class TVYNXMLNode;

// An "Install.xml" that cannot be read as its maker wrote it. Raised while the script is read,
// before anything is installed: a forgiving reading of a damaged script would install part of
// the product and fail later for a file or setting it had dropped.
class EInstallerScriptError : public Exception {
 public:
  using Exception::Exception;
};

// One entry of a group: a file to install, a program to offer, a shortcut, a licence.
struct TInstallerScriptFile {
  // Attribute "name" (a destination, a program, a shortcut path or a licence file).
  String Name;
  // The element's text (the file in the packages, a caption key, a shortcut target).
  String Text;
  // Attribute "lang-family": empty for every language.
  String LangFamily;

  // Empty LangFamily, or equal to Family ignoring case.
  bool MatchesLanguage(StringView family) const;
  // Text, or when it is empty the last component of Name (after the last ":", "\" or "/").
  String SourceName() const;
};

class TInstallerScriptGroup {
 public:
  virtual ~TInstallerScriptGroup() = default;

  int Count() const { return static_cast<int>(items_.size()); }
  const TInstallerScriptFile& Items(int index) const { return *items_[static_cast<size_t>(index)]; }

  // Adds an entry per "File" child; an element with no child elements at all and a value is a
  // group of one entry named by that value.
  virtual void Load(const TVYNXMLNode& element);
  virtual void LoadItem(const TVYNXMLNode& element);

  // The first entry, in order, that matches Family; null when none does.
  const TInstallerScriptFile* Find(StringView family) const;

 private:
  std::vector<std::unique_ptr<TInstallerScriptFile>> items_;
};

// How deep a script may nest its elements. A script needs four levels (root, product,
// Components, File); far deeper nesting is damage or an attack, and is refused plainly.
inline constexpr int MaximumScriptDepth = 64;

class TInstallerScript {
 public:
  // Fills the collections from an "Install.xml" stream (text XML, in the system's ANSI code
  // page unless a byte order mark or its declaration names an encoding, or a compact form).
  // Raises EInstallerScriptError, naming the script and the problem with its line and column,
  // when the stream is empty, holds no element, its text breaks the rules of XML, or its
  // elements nest deeper than MaximumScriptDepth; and what
  // the XML document raises ("Only one Root available", a read error of a compact form).
  void Load(TStream& stream);

  // The value of the setting's last line, or empty.
  String GetSetting(StringView name) const;

  TInstallerScriptGroup Components;
  TInstallerScriptGroup Actions;
  TInstallerScriptGroup Shortcuts;
  TInstallerScriptGroup License;
  // Lines "name=value" in document order.
  TVYNStringList Settings;
};
