// Fuzzes the command-line parser and the argument extraction with text of any content.
//
// The first byte picks how the rest becomes text: even reads it as UTF-8 (mutations of the
// readable seeds stay readable), odd as raw UTF-16 units (surrogates, NULs, anything).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "support/command_line.h"

namespace {

String InputText(const uint8_t* data, size_t size) {
  if (size == 0) return String();
  const bool raw_utf16 = data[0] & 1;
  ++data, --size;
  if (!raw_utf16) return Utf8ToString({reinterpret_cast<const char*>(data), size});
  String text(size / 2, u'\0');
  std::memcpy(text.data(), data, text.size() * sizeof(char16_t));
  return text;
}

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const String text = InputText(data, size);

  // Values are stored trimmed and never empty; only free text has a command without a name.
  for (const auto& command : TVYNCommandLineProcessor::Parse(text)) {
    for (const String& value : command->Values) {
      Require(!value.empty() && value == Trim(value));
    }
  }

  String value;
  if (GetSwitch(text, u"AUTO", value)) Require(value == Trim(value));
  HasSwitch(text, u"SILENT");

  const String arguments = GetCommandLineArgs(text);
  Require(arguments == Trim(arguments) && arguments.size() <= text.size());
  return 0;
}
