// Fuzzes the header of language files, the icon included, with any bytes as a language file.
//
// The language dialog reads every language file of the setup package this way; whatever the
// file holds, the header reads and the icon is either empty or one whose images all lie inside
// its bytes.
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "support/localization.h"
#include "support/memory_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryViewStream input(data, static_cast<int64_t>(size));
  TVYNIniFile language;
  language.LoadFromStream(input);
  TVYNLocalizationInfo info;
  TVYNIcon icon;
  Require(LangGetInfo(language, info, &icon));
  Require(icon.Empty() || TVYNIcon::IsIconImage(icon.Bytes().data(), icon.Bytes().size()));
  return 0;
}
