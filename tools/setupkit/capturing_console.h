// A console for tests of the maker's tool: keeps what the tool writes.
#pragma once

#include "tools/setupkit/tool_console.h"

class CapturingConsole : public TToolConsole {
 public:
  void Out(StringView text) override { out += text; }
  void Error(StringView text) override { error += text; }
  void Progress(StringView) override {}
  void EndProgress() override {}

  String out;
  String error;
};
