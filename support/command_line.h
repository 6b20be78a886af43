// The command line: the argument text of the process, and switches with their values.
//
// The syntax is the library's own, not the platform's argument splitting: a switch starts with
// "/" or "-", a value follows "=", several values are separated by ";", double quotes group text
// and are removed, and there are no escape characters.
#pragma once

#include <memory>
#include <vector>

#include "platform/text.h"
#include "support/parser.h"

class TVYNCommandLineProcessor {
 public:
  // A switch and its values in order; a command with an empty name collects free values that
  // belong to no switch.
  struct TCommand {
    String Name;
    std::vector<String> Values;
  };
  using TCommands = std::vector<std::unique_ptr<TCommand>>;

  static TCommands Parse(StringView text);
};

// Turns a command line into commands with a state machine of five states, one token at a time.
class TVYNCommandLineParser : public TVYNParser {
 public:
  TVYNCommandLineParser(StringView text, TVYNCommandLineProcessor::TCommands& output);

  void Run();

 private:
  using TCommand = TVYNCommandLineProcessor::TCommand;

  void HandleFreeText(const TVYNToken& token);      // state 0
  void HandleSwitchStart(const TVYNToken& token);   // state 1: after a blank, or at the start
  void HandleSwitchPrefix(const TVYNToken& token);  // state 2: after "/" or "-"
  void HandleSwitchName(const TVYNToken& token);    // state 3: after a switch's name
  void HandleSwitchValue(const TVYNToken& token);   // state 4: after "="

  void Flush();
  void AddValue(StringView text);
  char16_t FirstCharacter(const TVYNToken& token) const;

  TVYNCommandLineProcessor::TCommands& output_;
  TCommand* current_ = nullptr;
  String buffer_;
  TVYNToken previous_{0, 0, TVYNTokenKind::tkSpace};
  int state_ = 1;
};

// The process command line without the program's own path, trimmed.
String GetCommandLineArgs();
// The same for a given command line (what GetCommandLineArgs applies to the process's own).
String GetCommandLineArgs(StringView command_line);

// Finds the first switch whose name equals Key (ignoring case, equal lengths only) and gives its
// values joined with ";" (empty for a switch without values). Value is emptied first.
bool GetSwitch(StringView text, StringView key, String& value);
bool HasSwitch(StringView text, StringView key);
