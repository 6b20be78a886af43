// zelo_menu64.dll, the demo player's shell-menu library. Registering it adds "Play with ZELO"
// and "Add to ZELO playlist" to the context menu of folders and audio files for the current
// user, in the language Setup ran in; unregistering removes them. Setup unregisters it before
// it deletes it, so a test sees the call in the registry and in "zelo_menu64.log"
// (demo_log_win.h), which gets "<export> => <HRESULT>" for every call.
//
// The entries are static verbs, commands the shell runs by itself: nothing of this library has
// to be loaded into the shell for them to work.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/windows_text.h"
#include "tools/demo/demo_log_win.h"
#include "tools/demo/player_settings.h"
#include "tools/demo/user_registry_win.h"

namespace {

HMODULE this_library = nullptr;

const std::wstring ClassesKey = L"Software\\Classes\\";

// Folders, and every file the system counts as audio whatever program owns its extension.
const wchar_t* const MenuOwners[] = {
    L"Software\\Classes\\Directory\\shell\\",
    L"Software\\Classes\\SystemFileAssociations\\audio\\shell\\",
};

struct Verb {
  const wchar_t* Key;
  const char16_t* TextKey;
  const char16_t* DefaultText;
  const wchar_t* Switch;
};

constexpr Verb Verbs[] = {
    {L"ZELO.Play", u"Play", u"Play with ZELO", L"/play"},
    {L"ZELO.Enqueue", u"Enqueue", u"Add to ZELO playlist", L"/add"},
};

// The library lives in the "System\" folder of the installation.
std::wstring InstallationFolder() {
  const std::wstring folder = demo::FolderOf(demo::ModuleFileName(this_library));
  return demo::FolderOf(std::wstring_view(folder).substr(0, folder.size() - 1));
}

HRESULT FromError(LONG result) {
  return result == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(result));
}

HRESULT Logged(const wchar_t* export_name, HRESULT result) {
  wchar_t code[16];
  std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(result));
  demo::AppendLog(this_library, std::wstring(export_name) + L" => " + code);
  return result;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    this_library = instance;
    ::DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer() {
  const std::wstring folder = InstallationFolder();
  const std::wstring player = folder + L"ZELO.exe";
  const demo::PlayerSettings settings = demo::ReadPlayerSettings(FromWide(folder.c_str()));
  const auto texts = demo::LoadPlayerTexts(FromWide(folder.c_str()), settings.DefaultLang);
  LONG result = ERROR_SUCCESS;
  for (const wchar_t* owner : MenuOwners) {
    for (const Verb& verb : Verbs) {
      const std::wstring key = owner + std::wstring(verb.Key);
      const String text = texts->ReadString(u"ContextMenu", verb.TextKey, verb.DefaultText);
      for (const LONG step :
           {demo::WriteUserString(key, L"", ToWide(text)),
            demo::WriteUserString(key, L"Icon", player + L",0"),
            demo::WriteUserString(key + L"\\command", L"",
                                  L"\"" + player + L"\" " + verb.Switch + L" \"%1\"")}) {
        if (result == ERROR_SUCCESS) result = step;
      }
    }
  }
  return Logged(L"DllRegisterServer", FromError(result));
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer() {
  LONG result = ERROR_SUCCESS;
  for (const wchar_t* owner : MenuOwners) {
    for (const Verb& verb : Verbs) {
      const LONG step = demo::DeleteUserTree(owner + std::wstring(verb.Key));
      if (result == ERROR_SUCCESS) result = step;
    }
    // The keys above the verbs were usually made by the registration; they go when nothing
    // of anybody else's is left in them.
    std::wstring key = owner;
    while (key.size() > ClassesKey.size()) {
      key.pop_back();
      demo::DeleteUserKeyIfEmpty(key);
      key = demo::FolderOf(key);
    }
  }
  return Logged(L"DllUnregisterServer", FromError(result));
}
