// The strict reading of an installer script for the maker: everything the installer would
// silently ignore or misread (a misspelled group or setting, a path variable in the wrong
// letter case, a file no package holds) is a finding with its line and what to do about it.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "platform/text.h"

enum class TLintSeverity { Error, Warning };

struct TLintFinding {
  TLintSeverity Severity = TLintSeverity::Error;
  // The file and, when known, the line the finding is about (0: none).
  String File;
  int Line = 0;
  // A sentence that says what is wrong and what to do.
  String Message;
};

struct TScriptLintInput {
  // The bytes of "Install.xml".
  std::string_view Script;
  // Whether a file of that name is in either package, compared as the installer looks it up.
  std::function<bool(StringView name)> Holds;
  // The product package's file names, each of which something in the script should use.
  std::vector<String> ProductFiles;
};

// The settings the installer reads, each with what it is for; the lint's list and the
// reference documentation's come from here.
struct TScriptSettingInfo {
  const char16_t* Name;
  const char16_t* Use;
};
extern const std::vector<TScriptSettingInfo> ScriptSettings;

// The path variables the installer replaces, with what each expands to.
struct TPathVariableInfo {
  const char16_t* Name;  // with its "$"
  const char16_t* Meaning;
  // Whether it names a folder a file can be installed below.
  bool Folder;
};
extern const std::vector<TPathVariableInfo> PathVariables;

std::vector<TLintFinding> LintScript(const TScriptLintInput& input);

// The known name closest to Name when it is a likely slip (letter case, a letter or two
// wrong, missing or swapped); empty when none is.
String NearestName(StringView name, const std::vector<String>& known);

// The tables of settings and path variables as Markdown, exactly as docs/install-xml.md holds
// them, so that the reference is generated from what the lint checks.
String ScriptReferenceTables();
