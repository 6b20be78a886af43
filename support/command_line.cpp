// The command line.
#include "support/command_line.h"

#include "platform/process.h"
#include "support/names.h"

namespace {

TVYNParserOptions CommandLineParserOptions() {
  // Tab is neither a space nor a delimiter, so it stays inside words.
  return {.Delimiters = u"-/=; \r\n",
          .Quotes = u"\"",
          .Spaces = u" ",
          .QuotedTextAsSingleToken = true,
          .StripQuotes = true};
}

TVYNParserOptions ProgramPathParserOptions() {
  return {.Delimiters = u" \r\n",
          .Quotes = u"\"'",
          .Spaces = String(u" \r\n\t\0", 5),
          .QuotedTextAsSingleToken = true,
          .StripQuotes = true,
          .SkipSpaces = true};
}

bool IsLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// "C:..." or "\\server\share...": a path that begins a value of its own.
bool StartsWithDriveOrShare(StringView word) {
  if (word.size() >= 2 && IsLetter(word[0]) && word[1] == u':') return true;
  if (!word.starts_with(u"\\\\")) return false;
  const size_t server_end = word.find(u'\\', 2);
  return server_end != StringView::npos && server_end > 2 && server_end + 1 < word.size();
}

}  // namespace

TVYNCommandLineProcessor::TCommands TVYNCommandLineProcessor::Parse(StringView text) {
  TCommands commands;
  TVYNCommandLineParser parser(text, commands);
  parser.Run();
  return commands;
}

TVYNCommandLineParser::TVYNCommandLineParser(StringView text,
                                             TVYNCommandLineProcessor::TCommands& output)
    : TVYNParser(text, CommandLineParserOptions()), output_(output) {}

void TVYNCommandLineParser::Run() {
  TVYNToken token;
  while (NextToken(token)) {
    switch (state_) {
      case 0: HandleFreeText(token); break;
      case 1: HandleSwitchStart(token); break;
      case 2: HandleSwitchPrefix(token); break;
      case 3: HandleSwitchName(token); break;
      case 4: HandleSwitchValue(token); break;
    }
    previous_ = token;
  }
  Flush();
}

char16_t TVYNCommandLineParser::FirstCharacter(const TVYNToken& token) const {
  return Text()[token.Start];
}

void TVYNCommandLineParser::HandleFreeText(const TVYNToken& token) {
  switch (token.Kind) {
    case TVYNTokenKind::tkSpace:
      // The blank is not added yet: state 1 decides whether a switch follows.
      state_ = 1;
      break;
    case TVYNTokenKind::tkDelimiter:
    case TVYNTokenKind::tkLoneQuote: {
      const char16_t c = FirstCharacter(token);
      if (c == u'\r' || c == u'\n') {
        Flush();
      } else {
        buffer_.push_back(c);
      }
      break;
    }
    case TVYNTokenKind::tkQuoted:
      Flush();
      AddValue(TokenText(token));
      break;
    case TVYNTokenKind::tkWord: {
      const StringView word = TokenText(token);
      if (StartsWithDriveOrShare(word)) Flush();
      buffer_ += word;
      break;
    }
  }
}

void TVYNCommandLineParser::HandleSwitchStart(const TVYNToken& token) {
  if (token.Kind == TVYNTokenKind::tkDelimiter) {
    const char16_t c = FirstCharacter(token);
    // A "-" after free text at the very start ("foo -x") is part of that text, not a prefix.
    if (c == u'/' || (c == u'-' && (!output_.empty() || buffer_.empty()))) {
      state_ = 2;
      return;
    }
  }
  state_ = 0;
  buffer_ += TokenText(previous_);
  HandleFreeText(token);
}

void TVYNCommandLineParser::HandleSwitchPrefix(const TVYNToken& token) {
  if (token.Kind == TVYNTokenKind::tkWord) {
    Flush();
    auto command = std::make_unique<TCommand>();
    command->Name = String(TokenText(token));
    current_ = command.get();
    output_.push_back(std::move(command));
    state_ = 3;
    return;
  }
  state_ = 0;
  buffer_.push_back(u' ');
  buffer_ += TokenText(previous_);
  HandleFreeText(token);
}

void TVYNCommandLineParser::HandleSwitchName(const TVYNToken& token) {
  if (TokenText(token) == u"=") {
    state_ = 4;
    return;
  }
  // Free text after a switch's name and a blank becomes its value: "/PATH C:\dir" works like
  // "/PATH=C:\dir".
  state_ = 0;
  HandleFreeText(token);
}

void TVYNCommandLineParser::HandleSwitchValue(const TVYNToken& token) {
  switch (token.Kind) {
    case TVYNTokenKind::tkSpace:
      Flush();
      state_ = 1;
      current_ = nullptr;
      break;
    case TVYNTokenKind::tkDelimiter:
      if (FirstCharacter(token) == u';') {
        Flush();
      } else {
        buffer_.push_back(FirstCharacter(token));
      }
      break;
    case TVYNTokenKind::tkQuoted:
    case TVYNTokenKind::tkWord: HandleFreeText(token); break;
    case TVYNTokenKind::tkLoneQuote: break;
  }
}

void TVYNCommandLineParser::Flush() {
  AddValue(buffer_);
  buffer_.clear();
}

void TVYNCommandLineParser::AddValue(StringView text) {
  String value = Trim(text);
  if (value.empty()) return;
  if (current_ == nullptr) {
    output_.push_back(std::make_unique<TCommand>());
    current_ = output_.back().get();
  }
  current_->Values.push_back(std::move(value));
}

String GetCommandLineArgs() {
  return GetCommandLineArgs(platform::GetProcessCommandLine());
}

String GetCommandLineArgs(StringView command_line) {
  const String trimmed = Trim(command_line);
  TVYNParser parser(trimmed, ProgramPathParserOptions());
  TVYNToken program_path;
  if (!parser.NextToken(program_path)) return String();
  return Trim(StringView(trimmed).substr(parser.Position()));
}

bool GetSwitch(StringView text, StringView key, String& value) {
  value.clear();
  const auto commands = TVYNCommandLineProcessor::Parse(text);
  for (const auto& command : commands) {
    if (!SameName(command->Name, key)) continue;
    for (size_t i = 0; i < command->Values.size(); ++i) {
      if (i > 0) value.push_back(u';');
      value += command->Values[i];
    }
    return true;
  }
  return false;
}

bool HasSwitch(StringView text, StringView key) {
  String ignored;
  return GetSwitch(text, key, ignored);
}
