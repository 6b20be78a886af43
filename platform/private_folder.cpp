// The names of private folders and the search for a free one; creating the folder itself is the
// system's part (private_folder_win.cpp, private_folder_posix.cpp).
#include "platform/private_folder.h"

#include <random>

#include "platform/file_name.h"
#include "platform/locale.h"
#include "platform/os_error.h"

namespace platform {

namespace {

constexpr size_t NameDigits = 16;

String Hexadecimal(uint64_t number) {
  String digits(NameDigits, u'0');
  for (size_t index = NameDigits; index-- > 0; number >>= 4) {
    digits[index] = u"0123456789abcdef"[number & 0xF];
  }
  return digits;
}

bool IsHexadecimalDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

}  // namespace

uint64_t SystemRandom() {
  // The system's generator on both builds (RtlGenRandom through rand_s on Windows, the kernel's
  // on Linux); a name guessed from the clock or a counter could be made by someone else first.
  std::random_device device;
  return (static_cast<uint64_t>(device()) << 32) | device();
}

bool CreateUniquePrivateFolder(StringView parent, StringView prefix, String& path,
                               const RandomSource& random) {
  const String folder = IncludeTrailingPathDelimiter(parent);
  for (int attempt = 0; attempt < PrivateFolderAttempts; ++attempt) {
    const String candidate = folder + String(prefix) + Hexadecimal(random());
    if (CreatePrivateFolder(candidate)) {
      path = candidate + u"\\";
      return true;
    }
    // Someone has this name already, by chance or on purpose: never theirs, another one.
    if (GetLastOSError() != ErrorAlreadyExists) return false;
  }
  SetLastOSError(ErrorAlreadyExists);
  return false;
}

bool IsUniquePrivateFolderName(StringView name, StringView prefix) {
  if (name.size() != prefix.size() + NameDigits) return false;
  if (CompareTextIgnoringCase(name.substr(0, prefix.size()), prefix) != 0) return false;
  for (const char16_t c : name.substr(prefix.size())) {
    if (!IsHexadecimalDigit(c)) return false;
  }
  return true;
}

}  // namespace platform
