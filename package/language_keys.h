// Every text of a language file that the installer reads, by section and key: what the maker's
// lint checks a language file against and what the language-file reference lists.
#pragma once

#include <vector>

#include "platform/text.h"

struct TLanguageKeyInfo {
  const char16_t* Section;
  const char16_t* Key;
  // What shows the text, and what the user sees when the key is missing.
  const char16_t* Shows;
  // The arguments the installer fills into the text, in order ("%s", "%s %s"); empty when the
  // text is shown as it is.
  const char16_t* Placeholders;
  // Whether a missing key leaves the user an empty text (a blank caption, an empty message),
  // rather than a text of the system's or an English one the installer has of its own.
  bool EmptyWhenMissing;
};

// In the order a language file holds them: the header "File", "Common", then the pages in the
// order the wizard shows them. The captions of the finish page's post-install choices are not
// here: their keys are whatever "Install.xml" names under Actions.
extern const std::vector<TLanguageKeyInfo> LanguageKeys;
