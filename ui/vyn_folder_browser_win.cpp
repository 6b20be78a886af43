#include "ui/vyn_folder_browser_win.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <memory>
#include <utility>

#include "platform/com_pointer_win.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/shell_execute.h"
#include "platform/windows_text.h"

namespace {

struct TaskMemoryFree {
  void operator()(wchar_t* text) const { ::CoTaskMemFree(text); }
};
using TaskMemoryText = std::unique_ptr<wchar_t, TaskMemoryFree>;

std::optional<String> ChosenFolder(IFileDialog& dialog) {
  platform::ComPointer<IShellItem> item;
  if (FAILED(dialog.GetResult(reinterpret_cast<IShellItem**>(item.Receive())))) return std::nullopt;
  wchar_t* path = nullptr;
  if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr) {
    return std::nullopt;
  }
  const TaskMemoryText owned(path);
  return FromWide(owned.get());
}

}  // namespace

std::optional<String> FindVYNBrowserStartFolder(
    StringView path, const std::function<bool(StringView folder)>& folder_exists) {
  if (!platform::IsAbsolutePath(path)) return std::nullopt;
  String folder = platform::ExcludeTrailingPathDelimiter(path);
  while (true) {
    if (folder_exists(folder)) return folder;
    // A drive's or a share's root has no parent; above a share's root lies the server, which
    // is no folder (and asking for it may wait on the network).
    if (platform::IsRootPath(folder)) return std::nullopt;
    String parent = platform::ExcludeTrailingPathDelimiter(platform::ExtractFilePath(folder));
    if (parent.size() >= folder.size() || !platform::IsAbsolutePath(parent)) return std::nullopt;
    folder = std::move(parent);
  }
}

std::optional<String> ShowVYNFolderBrowser(HWND owner, StringView start_path,
                                           const TVYNFolderBrowserTexts& texts) {
  // The dialog is a COM object of the shell, which wants a single-threaded apartment; a thread
  // that already joined one keeps it.
  const platform::ShellApartment apartment;
  platform::ComPointer<IFileDialog> dialog;
  if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFileDialog, dialog.Receive()))) {
    return std::nullopt;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  if (FAILED(dialog->GetOptions(&options))) options = 0;
  // Only real folders: a library or a virtual location has no path to install into.
  if (FAILED(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM |
                                FOS_PATHMUSTEXIST))) {
    return std::nullopt;
  }
  // The texts only dress the dialog: one the system refuses leaves its own in place.
  if (!texts.Caption.empty()) (void)dialog->SetTitle(ToWide(texts.Caption));
  if (!texts.Ok.empty()) (void)dialog->SetOkButtonLabel(ToWide(texts.Ok));
  if (!texts.Cancel.empty()) {
    platform::ComPointer<IFileDialog2> dialog2;
    if (SUCCEEDED(dialog->QueryInterface(IID_IFileDialog2, dialog2.Receive()))) {
      (void)dialog2->SetCancelButtonLabel(ToWide(texts.Cancel));
    }
  }
  const std::optional<String> start = FindVYNBrowserStartFolder(
      start_path, [](StringView folder) { return platform::FolderExists(folder); });
  if (start) {
    platform::ComPointer<IShellItem> folder;
    if (SUCCEEDED(::SHCreateItemFromParsingName(ToWide(*start), nullptr, IID_IShellItem,
                                                folder.Receive()))) {
      // SetFolder, not SetDefaultFolder: the picker opens where the destination is, not where
      // the user last browsed in some other program.
      (void)dialog->SetFolder(folder.Get());
    }
  }
  // Cancelling gives HRESULT_FROM_WIN32(ERROR_CANCELLED); every failure means the same here.
  if (FAILED(dialog->Show(owner))) return std::nullopt;
  return ChosenFolder(*dialog.Get());
}
