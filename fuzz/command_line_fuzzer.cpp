// Fuzzes the command-line parser and the argument extraction with text of any content.
//
// The first byte picks how the rest becomes text: even reads it as UTF-8 (mutations of the
// readable seeds stay readable), odd as raw UTF-16 units (surrogates, NULs, anything).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "support/command_line.h"

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
