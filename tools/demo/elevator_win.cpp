// Elevator.exe, the demo player's registration tool: registers ZELO with Windows for the current
// user, or removes it again, as its switches say.
//
//   Elevator.exe [/REG=L1] [/REG=D1] [/REG=R1] [/REG=M1] [/REG=R2] [/REG_UI]
//   Elevator.exe /REG=U
//
//   /REG=L1  the application: "App Paths" (the Run dialog) and "Applications\ZELO.exe" (the
//            "Open with" list)
//   /REG=D1  Default Programs: the capabilities under "Software\ZELO" and their entry in
//            "RegisteredApplications"
//   /REG=R1  the file types "ZELO.AssocFile.<EXT>", offered in each extension's
//            "OpenWithProgids" without taking the extension over
//   /REG=R2  the extensions themselves, opened by ZELO from now on; their former owners are
//            kept for /REG=U
//   /REG=M1  the context menu, by the shell-menu library's own registration
//   /REG_UI  the system's default-apps settings, opened for the user: from Windows 8 on, only
//            the user can choose the default player there
//   /REG=U   undoes all of the above
//
// Everything goes under HKEY_CURRENT_USER: registering per user needs no rights, and an
// uninstallation by the same user removes it completely. Switches are case-insensitive and
// carried out in the order given; an unknown switch makes the tool do nothing. Exit code 0 on
// success, 87 for a switch it does not know (or none), otherwise the system error code of the
// first step that failed (the later ones still run). The log "Elevator.log" (demo_log_win.h)
// gets one line per run: the switches as received, " => ", and the exit code.
#include <windows.h>
// After windows.h, which they build on.
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

#include "tools/demo/demo_log_win.h"
#include "tools/demo/user_registry_win.h"

namespace {

struct FileType {
  const wchar_t* Extension;
  const wchar_t* Description;
};

constexpr FileType FileTypes[] = {
    {L".mp3", L"MP3 audio"},   {L".flac", L"FLAC audio"},  {L".ogg", L"Ogg Vorbis audio"},
    {L".opus", L"Opus audio"}, {L".m4a", L"MPEG-4 audio"}, {L".wav", L"Wave audio"},
    {L".m3u", L"Playlist"},    {L".m3u8", L"Playlist"},
};

const std::wstring Classes = L"Software\\Classes\\";
const std::wstring AppPathsKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZELO.exe";
const std::wstring ApplicationKey = Classes + L"Applications\\ZELO.exe";
const std::wstring ProductKey = L"Software\\ZELO";
const std::wstring CapabilitiesKey = ProductKey + L"\\Capabilities";
const std::wstring RegisteredApplicationsKey = L"Software\\RegisteredApplications";
// The extensions' owners before /REG=R2, by extension.
const std::wstring PreviousOwnersKey = ProductKey + L"\\Elevator\\PreviousOwners";

std::wstring ProgId(const FileType& type) {
  std::wstring name = L"ZELO.AssocFile.";
  for (const wchar_t* c = type.Extension + 1; *c != 0; ++c) name += ::towupper(*c);
  return name;
}

// Collects the first failure and lets the later steps run.
class Outcome {
 public:
  void Add(LONG result) {
    if (code_ == 0 && result != ERROR_SUCCESS) code_ = static_cast<DWORD>(result);
  }
  DWORD Code() const { return code_; }

 private:
  DWORD code_ = 0;
};

class Registration {
 public:
  explicit Registration(std::wstring folder)
      : folder_(std::move(folder)), player_(folder_ + L"ZELO.exe") {}

  void Application() {
    outcome_.Add(demo::WriteUserString(AppPathsKey, L"", player_));
    outcome_.Add(demo::WriteUserString(AppPathsKey, L"Path", folder_));
    outcome_.Add(demo::WriteUserString(ApplicationKey, L"FriendlyAppName", L"ZELO"));
    outcome_.Add(
        demo::WriteUserString(ApplicationKey + L"\\shell\\open\\command", L"", OpenCommand()));
    for (const FileType& type : FileTypes) {
      outcome_.Add(
          demo::WriteUserString(ApplicationKey + L"\\SupportedTypes", type.Extension, L""));
    }
  }

  void DefaultPrograms() {
    outcome_.Add(demo::WriteUserString(CapabilitiesKey, L"ApplicationName", L"ZELO"));
    outcome_.Add(demo::WriteUserString(CapabilitiesKey, L"ApplicationDescription",
                                       L"ZELO plays your music and playlists."));
    outcome_.Add(demo::WriteUserString(CapabilitiesKey, L"ApplicationIcon", player_ + L",0"));
    for (const FileType& type : FileTypes) {
      outcome_.Add(demo::WriteUserString(CapabilitiesKey + L"\\FileAssociations", type.Extension,
                                         ProgId(type)));
    }
    outcome_.Add(demo::WriteUserString(RegisteredApplicationsKey, L"ZELO", CapabilitiesKey));
  }

  void OfferFileTypes() {
    WriteFileTypes();
    for (const FileType& type : FileTypes) {
      outcome_.Add(
          demo::WriteUserMarker(Classes + type.Extension + L"\\OpenWithProgids", ProgId(type)));
    }
  }

  void TakeExtensions() {
    // The extensions must lead somewhere even when R1 was not asked for.
    WriteFileTypes();
    for (const FileType& type : FileTypes) {
      const std::wstring key = Classes + type.Extension;
      std::wstring owner;
      if (demo::ReadUserString(key, L"", owner) && !owner.empty() && owner != ProgId(type)) {
        outcome_.Add(demo::WriteUserString(PreviousOwnersKey, type.Extension, owner));
      }
      outcome_.Add(demo::WriteUserString(key, L"", ProgId(type)));
    }
  }

  void ContextMenu() { outcome_.Add(CallMenuLibrary("DllRegisterServer", true)); }

  void OpenDefaultAppsSettings() {
    // Windows 7 has no such page; elsewhere a failure to open it leaves the choice as it was,
    // which is no failure of the registration.
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = L"ms-settings:defaultapps";
    info.nShow = SW_SHOWNORMAL;
    ::ShellExecuteExW(&info);
  }

  void Remove() {
    // The menu is the library's: only its own unregistration knows what it wrote. Setup calls it
    // itself and deletes the library before it starts this tool, so a missing library is fine.
    outcome_.Add(CallMenuLibrary("DllUnregisterServer", false));
    for (const FileType& type : FileTypes) {
      const std::wstring key = Classes + type.Extension;
      std::wstring owner;
      if (demo::ReadUserString(key, L"", owner) && owner == ProgId(type)) {
        std::wstring previous;
        outcome_.Add(demo::ReadUserString(PreviousOwnersKey, type.Extension, previous)
                         ? demo::WriteUserString(key, L"", previous)
                         : demo::DeleteUserValue(key, L""));
      }
      outcome_.Add(demo::DeleteUserValue(key + L"\\OpenWithProgids", ProgId(type)));
      demo::DeleteUserKeyIfEmpty(key + L"\\OpenWithProgids");
      demo::DeleteUserKeyIfEmpty(key);
      outcome_.Add(demo::DeleteUserTree(Classes + ProgId(type)));
    }
    outcome_.Add(demo::DeleteUserTree(ApplicationKey));
    outcome_.Add(demo::DeleteUserTree(AppPathsKey));
    outcome_.Add(demo::DeleteUserValue(RegisteredApplicationsKey, L"ZELO"));
    outcome_.Add(demo::DeleteUserTree(CapabilitiesKey));
    outcome_.Add(demo::DeleteUserTree(ProductKey + L"\\Elevator"));
    demo::DeleteUserKeyIfEmpty(ProductKey);
  }

  DWORD ExitCode() const { return outcome_.Code(); }

 private:
  std::wstring OpenCommand() const { return L"\"" + player_ + L"\" \"%1\""; }

  void WriteFileTypes() {
    for (const FileType& type : FileTypes) {
      const std::wstring key = Classes + ProgId(type);
      outcome_.Add(demo::WriteUserString(key, L"", std::wstring(type.Description) + L" (ZELO)"));
      outcome_.Add(demo::WriteUserString(key + L"\\DefaultIcon", L"", player_ + L",0"));
      outcome_.Add(demo::WriteUserString(key + L"\\shell\\open\\command", L"", OpenCommand()));
      outcome_.Add(demo::WriteUserString(key + L"\\shell\\enqueue", L"", L"Add to ZELO playlist"));
      outcome_.Add(demo::WriteUserString(key + L"\\shell\\enqueue\\command", L"",
                                         L"\"" + player_ + L"\" /add \"%1\""));
    }
  }

  // Loads the shell-menu library from the player's "System\" folder and calls one of its
  // registration exports; their result is an HRESULT.
  LONG CallMenuLibrary(const char* export_name, bool required) const {
    const std::wstring library = folder_ + L"System\\zelo_menu64.dll";
    if (::GetFileAttributesW(library.c_str()) == INVALID_FILE_ATTRIBUTES) {
      return required ? ERROR_MOD_NOT_FOUND : ERROR_SUCCESS;
    }
    struct LibraryTraits {
      using Handle = HMODULE;
      static Handle Invalid() { return nullptr; }
      static bool IsValid(Handle module) { return module != nullptr; }
      static void Close(Handle module) { ::FreeLibrary(module); }
    };
    platform::ScopedHandle<LibraryTraits> module(
        ::LoadLibraryExW(library.c_str(), nullptr,
                         LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS));
    if (!module) return static_cast<LONG>(::GetLastError());
    const FARPROC function = ::GetProcAddress(module.Get(), export_name);
    if (function == nullptr) return ERROR_PROC_NOT_FOUND;
    // Through a plain function type first: GCC warns about a direct cast between unrelated
    // function types, and FARPROC is declared without the parameters it really has.
    using RegistrationExport = HRESULT(__stdcall*)();
    const HRESULT result =
        reinterpret_cast<RegistrationExport>(reinterpret_cast<void (*)()>(function))();
    return SUCCEEDED(result) ? ERROR_SUCCESS : HRESULT_CODE(result);
  }

  std::wstring folder_;
  std::wstring player_;
  Outcome outcome_;
};

bool SameSwitch(const std::wstring& word, const wchar_t* name) {
  return ::_wcsicmp(word.c_str(), name) == 0;
}

DWORD Run(const std::vector<std::wstring>& switches) {
  using Step = void (Registration::*)();
  struct Known {
    const wchar_t* Name;
    Step Action;
  };
  static constexpr Known KnownSwitches[] = {
      {L"/REG=L1", &Registration::Application},
      {L"/REG=D1", &Registration::DefaultPrograms},
      {L"/REG=R1", &Registration::OfferFileTypes},
      {L"/REG=R2", &Registration::TakeExtensions},
      {L"/REG=M1", &Registration::ContextMenu},
      {L"/REG_UI", &Registration::OpenDefaultAppsSettings},
      {L"/REG=U", &Registration::Remove},
  };
  std::vector<Step> steps;
  for (const std::wstring& word : switches) {
    const Known* found = nullptr;
    for (const Known& known : KnownSwitches) {
      if (SameSwitch(word, known.Name)) found = &known;
    }
    if (found == nullptr) return ERROR_INVALID_PARAMETER;
    steps.push_back(found->Action);
  }
  if (steps.empty()) return ERROR_INVALID_PARAMETER;

  Registration registration(demo::FolderOf(demo::ModuleFileName(nullptr)));
  for (const Step step : steps) (registration.*step)();
  // Explorer caches file types and their icons until it is told that they changed.
  ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST | SHCNF_FLUSH, nullptr, nullptr);
  return registration.ExitCode();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Setup waits up to 5 seconds for a program it starts to become ready for input, and only then
  // for its end. A program that never looks at its message queue never becomes ready, and Setup
  // would go on while the registration is still under way. One look makes the tool ready at once.
  MSG message;
  ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);

  const std::wstring arguments = demo::ArgumentsOf(::GetCommandLineW());
  const DWORD exit_code = Run(demo::SplitArguments(arguments));
  demo::AppendLog(nullptr, arguments + L" => " + std::to_wstring(exit_code));
  return static_cast<int>(exit_code);
}
