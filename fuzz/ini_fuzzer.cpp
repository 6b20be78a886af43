// Fuzzes INI loading with any bytes: the saved form of whatever loads is a fixed point.
//
// Any bytes load, as marked UTF-8 or UTF-16 or as ANSI text. Saved as UTF-16LE and loaded again,
// the object must save to the same bytes, or saving and loading would drift a file a little
// further with every run of the program. The typed reads run over the first keys on the way.
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "support/ini_file.h"
#include "support/memory_stream.h"

namespace {

void ReadTypedValues(const TVYNIniFile& ini) {
  int budget = 32;
  for (int s = 0; s < ini.SectionCount() && budget > 0; ++s) {
    const String section = ini.SectionName(s);
    TVYNStringList keys;
    ini.ReadKeys(section, keys);
    for (int k = 0; k < keys.Count() && budget > 0; ++k, --budget) {
      const String& key = keys.Items(k);
      ini.ReadInteger(section, key, 0);
      ini.ReadBool(section, key, true);
      ini.ReadRect(section, key, TRect{});
      TMemoryStream bytes;
      if (ini.ReadStream(section, key, bytes)) {
        Require(bytes.Position() == 0 &&
                bytes.Size() * 2 == static_cast<int64_t>(ini.ReadString(section, key, u"").size()));
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryViewStream input(data, static_cast<int64_t>(size));
  TVYNIniFile first;
  first.LoadFromStream(input);
  ReadTypedValues(first);

  TMemoryStream saved;
  first.SaveToStream(saved, &TEncoding::Unicode());
  saved.SetPosition(0);
  TVYNIniFile second;
  second.LoadFromStream(saved);
  Require(&second.Encoding() == &TEncoding::Unicode());

  TMemoryStream saved_again;
  second.SaveToStream(saved_again, &TEncoding::Unicode());
  Require(saved.Bytes() == saved_again.Bytes());
  Require(second.Equals(first));
  return 0;
}
