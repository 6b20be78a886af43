// What the system's loader makes of programs the maker's tool wrote, both straight from its
// writer and through the "build" command: the packages are found by FindResourceW, the other
// resources stay, the programs run, and the system's own version and icon functions read the
// product's name and icon from a built setup.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/handle_traits_win.h"
#include "platform/windows_text.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"
#include "tiny_program_bytes.h"
#include "tools/setupkit/capturing_console.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/pe_resources.h"
#include "tools/setupkit/setupkit.h"
#include "tools/setupkit/test_icon_file.h"

namespace {

struct LibraryTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { ::FreeLibrary(handle); }
};

std::vector<uint8_t> TinyProgram() {
  return {std::begin(TinyProgramBytes), std::end(TinyProgramBytes)};
}

std::vector<uint8_t> SetupProgram() {
  std::ifstream in(UINSTALLER_SETUP_PROGRAM, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

// The resource as the loader finds it in a module loaded as an image resource; empty when it is
// not there.
std::vector<uint8_t> LoadedResource(HMODULE module, LPCWSTR name, LPCWSTR type) {
  const HRSRC found = ::FindResourceW(module, name, type);
  if (found == nullptr) return {};
  const HGLOBAL loaded = ::LoadResource(module, found);
  const auto* data = static_cast<const uint8_t*>(::LockResource(loaded));
  if (data == nullptr) return {};
  return {data, data + ::SizeofResource(module, found)};
}

class ProgramLoader : public testing::Test {
 protected:
  String Write(StringView name, const std::vector<uint8_t>& image) const {
    folder_.WriteFile(name,
                      std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    return FromNativePath(folder_.NativePath(name));
  }

  // Loaded as the resource API reads a file: mapped as an image, not run.
  static platform::ScopedHandle<LibraryTraits> LoadAsImage(const String& path) {
    platform::ScopedHandle<LibraryTraits> module(::LoadLibraryExW(
        ToWide(path), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    EXPECT_TRUE(module) << "error " << ::GetLastError();
    return module;
  }

  static DWORD RunProgram(const String& path) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    String command_line = u"\"" + path + u"\"";
    if (!::CreateProcessW(ToWide(path), reinterpret_cast<LPWSTR>(command_line.data()), nullptr,
                          nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      ADD_FAILURE() << "CreateProcessW failed: " << ::GetLastError();
      return ~DWORD{0};
    }
    const platform::ScopedKernelHandle process_handle(process.hProcess), thread(process.hThread);
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exit_code = ~DWORD{0};
    ::GetExitCodeProcess(process.hProcess, &exit_code);
    return exit_code;
  }

  TemporaryFolder folder_;
};

struct ProgramCase {
  const char* Title;
  std::vector<uint8_t> (*Program)();
};

class ProgramLoaderFindsPackages : public ProgramLoader,
                                   public testing::WithParamInterface<ProgramCase> {};

TEST_P(ProgramLoaderFindsPackages, TheToolsOwnWriterAddedAndReplaced) {
  const std::vector<uint8_t> program = GetParam().Program();
  ASSERT_FALSE(program.empty());
  std::vector<uint8_t> manifest;
  for (const TPeResource& resource : ReadResources(program)) {
    if (resource.Type.Number == PeResourceTypeManifest) {
      manifest.assign(resource.Data.begin(), resource.Data.end());
    }
  }
  ASSERT_FALSE(manifest.empty());

  const std::vector<uint8_t> setup(300000, 0x5E);
  std::vector<uint8_t> built =
      WithDataResources(program, {{u"SETUP", setup}, {u"PRODUCT", Bytes("product")}});
  for (int round = 0; round < 2; ++round) {
    const auto module = LoadAsImage(Write(u"built" + String(1, u'0' + round) + u".exe", built));
    ASSERT_TRUE(module);
    EXPECT_EQ(LoadedResource(module.Get(), L"SETUP", RT_RCDATA), setup);
    EXPECT_EQ(LoadedResource(module.Get(), L"PRODUCT", RT_RCDATA),
              round == 0 ? Bytes("product") : Bytes("the next product"));
    EXPECT_EQ(LoadedResource(module.Get(), MAKEINTRESOURCEW(1), RT_MANIFEST), manifest);
    EXPECT_FALSE(LoadedResource(module.Get(), MAKEINTRESOURCEW(1), RT_VERSION).empty());
    built = WithDataResources(built, {{u"PRODUCT", Bytes("the next product")}});
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramLoaderFindsPackages,
                         testing::Values(ProgramCase{"TinyProgram", TinyProgram},
                                         ProgramCase{"SetupProgram", SetupProgram}),
                         CaseTitle());

TEST_F(ProgramLoader, RunsWhatEitherWriterProduced) {
  // The program itself reports whether the loader finds both packages: bits 1 and 2 of its
  // exit code stand for a missing one.
  EXPECT_EQ(RunProgram(Write(u"bare.exe", TinyProgram())), 3u);
  EXPECT_EQ(
      RunProgram(Write(u"own.exe", WithDataResources(TinyProgram(), {{u"SETUP", Bytes("s")},
                                                                     {u"PRODUCT", Bytes("p")}}))),
      0u);

  folder_.WriteFile(u"setup\\Install.xml", "<Install/>");
  folder_.WriteFile(u"setup\\English.lng", "[File]\r\nName=English\r\n");
  folder_.WriteFile(u"product\\ZELO.exe", "MZ player");
  const String program = Write(u"tiny.exe", TinyProgram());
  const String output = FromNativePath(folder_.NativePath(u"api.exe"));
  CapturingConsole console;
  ASSERT_EQ(RunSetupKit({u"build", u"--setup", FromNativePath(folder_.NativePath(u"setup")),
                         u"--product", FromNativePath(folder_.NativePath(u"product")), u"-o",
                         output, u"--program", program, u"--no-lint"},
                        console),
            0)
      << StringToUtf8(console.error);
  EXPECT_EQ(RunProgram(output), 0u);
  const auto module = LoadAsImage(output);
  ASSERT_TRUE(module);
  const std::string bytes = folder_.ReadFile(u"api.exe");
  const std::vector<TDataResource> packages =
      ReadDataResources(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  ASSERT_EQ(packages.size(), 2u);
  EXPECT_EQ(LoadedResource(module.Get(), L"PRODUCT", RT_RCDATA), packages[0].Data);
  EXPECT_EQ(LoadedResource(module.Get(), L"SETUP", RT_RCDATA), packages[1].Data);
}

// The version text the system's version API finds under Path in the file's version information.
String VersionText(const std::vector<uint8_t>& info, const String& path) {
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(info.data(), ToWide(path), &value, &length) || value == nullptr) {
    return u"(none)";
  }
  return String(static_cast<const char16_t*>(value));
}

struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { ::DestroyIcon(handle); }
};

struct BitmapTraits {
  using Handle = HBITMAP;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { ::DeleteObject(handle); }
};

// The colour of the icon's first pixel (0xRRGGBB): which of the file's images the system drew.
uint32_t IconColor(HICON icon) {
  ICONINFO info{};
  if (!::GetIconInfo(icon, &info)) return ~uint32_t{0};
  const platform::ScopedHandle<BitmapTraits> color(info.hbmColor), mask(info.hbmMask);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = 1;
  format.bmiHeader.biHeight = 1;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  BITMAP bitmap{};
  ::GetObjectW(color.Get(), sizeof bitmap, &bitmap);
  std::vector<uint32_t> pixels(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight);
  format.bmiHeader.biWidth = bitmap.bmWidth;
  format.bmiHeader.biHeight = bitmap.bmHeight;
  const HDC screen = ::GetDC(nullptr);
  const int rows = ::GetDIBits(screen, color.Get(), 0, static_cast<UINT>(bitmap.bmHeight),
                               pixels.data(), &format, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  return rows > 0 && !pixels.empty() ? pixels[0] & 0xFFFFFF : ~uint32_t{0};
}

// A setup built from the real setup program names the product where Windows looks for it: the
// file's version information (file properties, the list of installed programs) and its icon,
// which the shell and Uninstall.exe, a copy of the program, show.
TEST_F(ProgramLoader, TheSystemReadsTheProductsVersionAndIcon) {
  folder_.WriteFile(u"setup\\Install.xml",
                    "<Install><product><Settings><S name=\"ProductName\" value=\"ZELO\"/>"
                    "<S name=\"ProductVersion\" value=\"5.00\"/>"
                    "<S name=\"ProductVersionNo\" value=\"5.0.3.1\"/>"
                    "<S name=\"Publisher\" value=\"ZELO Team\"/></Settings></product></Install>");
  folder_.WriteFile(u"setup\\English.lng", "[File]\r\nName=English\r\n");
  folder_.WriteFile(u"product\\ZELO.exe", "MZ player");
  // One colour per size, so that the image the system picks can be told.
  folder_.WriteFile(u"product.ico", MakeTestIconFile({{16, false, 0xFFFF0000},
                                                      {32, false, 0xFF00FF00},
                                                      {48, false, 0xFF0000FF}}));
  const String output = FromNativePath(folder_.NativePath(u"branded.exe"));
  CapturingConsole console;
  ASSERT_EQ(RunSetupKit({u"build", u"--setup", FromNativePath(folder_.NativePath(u"setup")),
                         u"--product", FromNativePath(folder_.NativePath(u"product")), u"-o",
                         output, u"--program", Utf8ToString(UINSTALLER_SETUP_PROGRAM), u"--icon",
                         FromNativePath(folder_.NativePath(u"product.ico")), u"--level", u"1",
                         u"--no-lint"},
                        console),
            0)
      << StringToUtf8(console.error);

  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(ToWide(output), &ignored);
  ASSERT_NE(size, 0u) << ::GetLastError();
  std::vector<uint8_t> info(size);
  ASSERT_TRUE(::GetFileVersionInfoW(ToWide(output), 0, size, info.data()));
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(*static_cast<const DWORD*>(value), 0x04B00409u);
  for (const auto& [key, expected] :
       {std::pair{u"ProductName", u"ZELO"}, std::pair{u"CompanyName", u"ZELO Team"},
        std::pair{u"ProductVersion", u"5.00"}, std::pair{u"FileVersion", u"5.00"},
        std::pair{u"FileDescription", u"ZELO Setup"}}) {
    EXPECT_EQ(VersionText(info, u"\\StringFileInfo\\040904B0\\" + String(key)), expected)
        << StringToUtf8(key);
  }
  ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", &value, &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00050000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00030001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00050000u);

  // The shell's icon of the file: one group, drawn from the icon file's images.
  EXPECT_EQ(::ExtractIconExW(ToWide(output), -1, nullptr, nullptr, 0), 1u);
  HICON large = nullptr, small = nullptr;
  // The count is of the handles made: one large and one small.
  ASSERT_EQ(::ExtractIconExW(ToWide(output), 0, &large, &small, 1), 2u);
  const platform::ScopedHandle<IconTraits> large_icon(large), small_icon(small);
  ASSERT_TRUE(large_icon);
  ASSERT_TRUE(small_icon);
  const auto module = LoadAsImage(output);
  ASSERT_TRUE(module);
  for (const auto& [pixels, color] :
       {std::pair{16, 0xFF0000u}, std::pair{32, 0x00FF00u}, std::pair{48, 0x0000FFu}}) {
    const platform::ScopedHandle<IconTraits> icon(static_cast<HICON>(
        ::LoadImageW(module.Get(), MAKEINTRESOURCEW(1), IMAGE_ICON, pixels, pixels, 0)));
    ASSERT_TRUE(icon) << pixels << ": error " << ::GetLastError();
    EXPECT_EQ(IconColor(icon.Get()), color) << pixels;
  }
}

}  // namespace
