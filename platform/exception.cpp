// The base exception class and the operating-system error.
#include "platform/exception.h"

#include "platform/os_error.h"

Exception::Exception(String message)
    : message_(std::move(message)), utf8_message_(StringToUtf8(message_)) {}

EOSError::EOSError(uint32_t error_code, String message)
    : Exception(std::move(message)), error_code_(error_code) {}

void RaiseOSError(uint32_t error_code, StringView additional_text) {
  String message = platform::SysErrorMessage(error_code);
  if (!additional_text.empty()) {
    message += u"\r\n";
    message += additional_text;
  }
  throw EOSError(error_code, std::move(message));
}

void RaiseLastOSError(StringView additional_text) {
  RaiseOSError(platform::GetLastOSError(), additional_text);
}
