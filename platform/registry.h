// Keys and values of the system registry, in the native (64-bit) view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace platform {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

enum class RegistryAccess { Read, ReadWrite };

// Value types, with the numbers of the Windows API.
inline constexpr uint32_t RegistryString = 1;        // REG_SZ
inline constexpr uint32_t RegistryExpandString = 2;  // REG_EXPAND_SZ
inline constexpr uint32_t RegistryBinary = 3;        // REG_BINARY
inline constexpr uint32_t RegistryDword = 4;         // REG_DWORD
inline constexpr uint32_t RegistryMultiString = 7;   // REG_MULTI_SZ

// A value as the registry stores it: its type and its bytes, terminating zeros included.
struct RegistryValue {
  uint32_t Type = 0;
  std::vector<uint8_t> Data;
};

// A move-only owner of an open registry key. Operations return false and set the last platform
// error on failure (the registry functions return their error instead of setting it; the
// wrapper sets it, so callers test GetLastOSError as everywhere else).
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(RegistryKey&& other) noexcept
      : handle_(std::exchange(other.handle_, nullptr)), name_(std::move(other.name_)) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, nullptr);
      name_ = std::move(other.name_);
    }
    return *this;
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() { Close(); }

  // Opens an existing key below a root ("Software\Vendor"); an empty path opens the root.
  [[nodiscard]] static RegistryKey Open(RegistryRoot root, StringView path, RegistryAccess access);
  // Opens a key with all access, creating it and its missing parents (non-volatile).
  [[nodiscard]] static RegistryKey Create(RegistryRoot root, StringView path);
  // Deletes a key with all its subkeys and values (RegDeleteTreeW, then the key itself); true
  // when the key does not exist.
  [[nodiscard]] static bool DeleteTree(RegistryRoot root, StringView path);
  // Deletes a key that has no subkeys; one that still has subkeys stays (ErrorAccessDenied).
  [[nodiscard]] static bool Delete(RegistryRoot root, StringView path);

  [[nodiscard]] bool IsOpen() const { return handle_ != nullptr; }
  // Closing keeps the last platform error.
  void Close();

  // A string or expandable string, unexpanded, up to its first zero. False for a missing value
  // and for one of another type (ErrorUnsupportedType).
  [[nodiscard]] bool ReadText(StringView name, String& text) const;
  [[nodiscard]] bool ReadDword(StringView name, uint32_t& number) const;
  [[nodiscard]] bool ReadValue(StringView name, RegistryValue& value) const;

  // Texts are stored with their terminating zero: 2 × (length + 1) bytes.
  [[nodiscard]] bool WriteText(StringView name, StringView text);
  [[nodiscard]] bool WriteExpandText(StringView name, StringView text);
  [[nodiscard]] bool WriteDword(StringView name, uint32_t number);
  [[nodiscard]] bool DeleteValue(StringView name);

  [[nodiscard]] bool GetSubkeyCount(uint32_t& count) const;
  // The name of the subkey at Index, read into room for BufferLength characters with the
  // terminating zero, as the system counts it: a longer name fails with ErrorMoreData, and an
  // index past the last subkey with ErrorNoMoreItems.
  [[nodiscard]] bool GetSubkeyName(uint32_t index, size_t buffer_length, String& name) const;
  // Every subkey's name, in the registry's enumeration order.
  [[nodiscard]] bool GetSubkeyNames(std::vector<String>& names) const;

  // The key's full name as people write it ("HKLM\Software\..."), for records of the run.
  static String FullName(RegistryRoot root, StringView path);

 private:
  RegistryKey(void* handle, RegistryRoot root, StringView path)
      : handle_(handle), name_(FullName(root, path)) {}

  [[nodiscard]] bool WriteValue(StringView name, uint32_t type, const void* data, size_t size);

  void* handle_ = nullptr;
  String name_;
};

}  // namespace platform
