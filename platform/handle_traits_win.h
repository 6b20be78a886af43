// The traits of every kind of Windows handle the program owns, each with its ScopedHandle:
// kernel objects, search handles, registry keys, loaded modules, cryptographic providers and
// hashes, GDI objects, device contexts, icons and windows; plus guards for a window's DC and
// a DC's selected object. One place, so that no file defines its own and gets the release
// call wrong (Windows only).
#pragma once

#include <windows.h>
#include <wincrypt.h>

#include "platform/scoped_handle_win.h"

namespace platform {

// Processes, threads, events, files: CloseHandle. Both null and INVALID_HANDLE_VALUE mean none,
// since the APIs that make them disagree on which one reports a failure.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { ::CloseHandle(handle); }
};
using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;

// A FindFirstFileW search: FindClose.
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle handle) { return handle != INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { ::FindClose(handle); }
};
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;

struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle key) { return key != nullptr; }
  static void Close(Handle key) { ::RegCloseKey(key); }
};
using ScopedRegistryKey = ScopedHandle<RegistryKeyTraits>;

struct CryptoProviderTraits {
  using Handle = HCRYPTPROV;
  static Handle Invalid() { return 0; }
  static bool IsValid(Handle handle) { return handle != 0; }
  static void Close(Handle handle) { ::CryptReleaseContext(handle, 0); }
};
using ScopedCryptoProvider = ScopedHandle<CryptoProviderTraits>;

struct CryptoHashTraits {
  using Handle = HCRYPTHASH;
  static Handle Invalid() { return 0; }
  static bool IsValid(Handle handle) { return handle != 0; }
  static void Close(Handle handle) { ::CryptDestroyHash(handle); }
};
using ScopedCryptoHash = ScopedHandle<CryptoHashTraits>;

// Icons made by CreateIconIndirect or loaded from files; shared icons (LR_SHARED) are not ours.
struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { ::DestroyIcon(handle); }
};
using ScopedIcon = ScopedHandle<IconTraits>;

// Fonts, brushes, pens and bitmaps are all freed with DeleteObject.
template <class GdiHandle>
struct GdiObjectTraits {
  using Handle = GdiHandle;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { ::DeleteObject(handle); }
};
using ScopedFont = ScopedHandle<GdiObjectTraits<HFONT>>;
using ScopedBrush = ScopedHandle<GdiObjectTraits<HBRUSH>>;
using ScopedPen = ScopedHandle<GdiObjectTraits<HPEN>>;
using ScopedBitmap = ScopedHandle<GdiObjectTraits<HBITMAP>>;

// A DC made with CreateCompatibleDC; DCs from GetDC are released, not deleted (ScopedWindowDc).
struct MemoryDcTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { ::DeleteDC(handle); }
};
using ScopedMemoryDc = ScopedHandle<MemoryDcTraits>;

struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { ::DestroyWindow(handle); }
};
using ScopedWindow = ScopedHandle<WindowTraits>;

struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { ::FreeLibrary(handle); }
};
using ScopedModule = ScopedHandle<ModuleTraits>;

// Memory the system allocated for the caller with LocalAlloc (a converted security descriptor).
struct LocalMemoryTraits {
  using Handle = HLOCAL;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { ::LocalFree(handle); }
};
using ScopedLocalMemory = ScopedHandle<LocalMemoryTraits>;

// The DC of a window (or of the screen, for a null window), released on every path.
class ScopedWindowDc {
 public:
  explicit ScopedWindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~ScopedWindowDc() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }
  ScopedWindowDc(const ScopedWindowDc&) = delete;
  ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back: a DC must not be deleted or
// released while it still holds one of our objects, or that object leaks.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~ScopedSelectObject() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace platform
