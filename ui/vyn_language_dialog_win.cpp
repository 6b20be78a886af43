#include "ui/vyn_language_dialog_win.h"

#include "ui/installer_palette.h"
#include "ui/vyn_message_loop_win.h"

namespace {

constexpr int ClientWidth = 220;
constexpr int ClientHeight = 75;
constexpr int Margin = 8;
constexpr int ButtonHeight = 25;
// The list, opened, shows this many lines before it scrolls.
constexpr int ListHeight = 200;

TVYNFormOptions DialogOptions() {
  TVYNFormOptions options;
  options.ClassName = u"TVYNLanguageDialog";
  // No language is loaded yet, so the window's own texts are fixed.
  options.Caption = u"Select Language";
  options.ClientWidth = ClientWidth;
  options.ClientHeight = ClientHeight;
  options.ReadDarkMode = ReadDarkModeFlag;
  return options;
}

}  // namespace

TVYNLanguageDialog::TVYNLanguageDialog(const std::vector<TInstallerLanguageEntry>& entries,
                                       int preselected)
    : TVYNForm(DialogOptions()) {
  languages_ = std::make_unique<TVYNImageComboBox>(
      *this, 100, TVYNBounds{Margin, Margin, ClientWidth - 2 * Margin, ListHeight});
  ok_button_ = std::make_unique<TVYNButton>(
      *this, LanguageDialogOkId,
      TVYNBounds{60, ClientHeight - Margin - ButtonHeight, ClientWidth - 120, ButtonHeight}, u"OK");
  ok_button_->SetDefault(true);
  ok_button_->OnClick = [this] {
    // Read while the list still exists.
    chosen_ = Selected();
    confirmed_ = true;
    ::DestroyWindow(Handle());
  };
  for (const TInstallerLanguageEntry& entry : entries) languages_->AddItem(entry.Name, entry.Icon);
  languages_->SetItemIndex(preselected);
  // Only OK leaves the dialog: its Close is disabled, and a close request is refused.
  ::EnableMenuItem(::GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  OnCloseQuery = [] { return false; };
  ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int TVYNLanguageDialog::Selected() const {
  return languages_->ItemIndex();
}

int TVYNLanguageDialog::ShowModal() {
  chosen_ = Selected();
  Show();
  languages_->SetFocus();
  MSG message;
  while (Handle() != nullptr && !confirmed_) {
    const BOOL result = ::GetMessageW(&message, nullptr, 0, 0);
    if (result == 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (result == -1) break;
    DispatchVYNMessage(message);
  }
  return chosen_;
}
