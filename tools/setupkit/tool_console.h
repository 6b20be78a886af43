// Where the maker's tool writes: results to standard output, messages and progress to standard
// error. Tests capture both through their own console.
#pragma once

#include <cstddef>

#include "platform/text.h"

class TToolConsole {
 public:
  virtual ~TToolConsole() = default;
  virtual void Out(StringView text) = 0;
  virtual void Error(StringView text) = 0;
  // A progress line overwrites itself on a terminal and is not shown anywhere else.
  virtual void Progress(StringView text) = 0;
  // Ends a run of progress lines.
  virtual void EndProgress() = 0;
};

// The process's own standard output and error.
class TStandardConsole : public TToolConsole {
 public:
  void Out(StringView text) override;
  void Error(StringView text) override;
  void Progress(StringView text) override;
  void EndProgress() override;

 private:
  bool progress_shown_ = false;
  size_t progress_width_ = 0;  // of the progress line shown last
};
