// The strict reading of a setup's language files for the maker: a text the installer reads but
// "English.lng" lacks, a key it never reads, a header the language dialog cannot use, bytes the
// installer would decode wrongly and a template whose placeholders do not match are findings,
// each with its line and what to do about it.
#pragma once

#include <string_view>
#include <vector>

#include "platform/text.h"
#include "tools/setupkit/script_lint.h"

struct TLanguageFileBytes {
  // The file's name in the package, such as "German.lng".
  String Name;
  std::string_view Bytes;
};

struct TLanguageLintInput {
  // The bytes of "English.lng", the base every other language falls back to.
  std::string_view English;
  // The other language files of the setup package, in package order.
  std::vector<TLanguageFileBytes> Translations;
  // The keys in section "PageFinish" that caption the post-install choices the script lists
  // under Actions (each entry's text, or its name's last part).
  std::vector<String> ActionCaptionKeys;
};

// The header keys the installer does not read but translators keep in their files: no findings.
struct TTranslatorHeaderKey {
  const char16_t* Name;
  const char16_t* Use;
};
extern const std::vector<TTranslatorHeaderKey> TranslatorHeaderKeys;

std::vector<TLintFinding> LintLanguages(const TLanguageLintInput& input);

// The sections and keys the installer reads, as Markdown tables, exactly as
// docs/language-files.md holds them, so that the reference is generated from what lint checks.
String LanguageReferenceTables();
