// What the system's loader makes of programs the maker's tool wrote, both straight from its
// writer and through the "build" command: the packages are found by FindResourceW, the other
// resources stay, and the programs run.
#include <windows.h>

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

}  // namespace
