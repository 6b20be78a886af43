// The base exception class of the program, and the operating-system error.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "platform/text.h"

// Every failure the program reports is an exception of this class or a descendant, carrying
// only its message text; the program entry shows that text in its error box.
class Exception : public std::exception {
 public:
  explicit Exception(String message);

  const String& Message() const { return message_; }
  const char* what() const noexcept override { return utf8_message_.c_str(); }

 private:
  String message_;
  std::string utf8_message_;
};

// A failed system call: the Windows error code (the host double reports the same codes) and the
// system's text for it.
class EOSError : public Exception {
 public:
  EOSError(uint32_t error_code, String message);

  uint32_t ErrorCode() const { return error_code_; }

 private:
  uint32_t error_code_;
};

// Raises EOSError for an error code: the system's text, then AdditionalText on a line of its own
// when it is not empty.
[[noreturn]] void RaiseOSError(uint32_t error_code, StringView additional_text = {});

// RaiseOSError for the calling thread's last platform error.
[[noreturn]] void RaiseLastOSError(StringView additional_text = {});
