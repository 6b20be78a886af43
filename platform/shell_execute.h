// Starting programs, documents and addresses through the shell.
#pragma once

#include "platform/text.h"

namespace platform {

inline constexpr int ShowNormal = 1;   // SW_SHOWNORMAL
inline constexpr int ShowDefault = 5;  // SW_SHOW

// ShellExecuteW with the verb "open": File is a program, a document or an address; the shell
// picks what opens it. False, with the platform's error, when the shell refuses.
[[nodiscard]] bool ShellOpen(StringView file, StringView parameters, StringView directory,
                             int show_command);

// The calling thread as a single-threaded COM apartment while the object lives: the shell may
// hand a verb to a COM handler, so a thread that opens things through it should hold one.
class ShellApartment {
 public:
  ShellApartment();
  ~ShellApartment();
  ShellApartment(const ShellApartment&) = delete;
  ShellApartment& operator=(const ShellApartment&) = delete;

 private:
  [[maybe_unused]] bool initialized_ = false;  // the host has no COM to join
};

}  // namespace platform
