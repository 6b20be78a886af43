#include "ui/wizard_buttons.h"

StringView GetNextCaptionKey(const TInstallerCustomPage* next_page) {
  if (next_page == nullptr) return u"bFinish";
  // The uninstall page is an install page as well, so it is tested first.
  if (next_page->IsUninstallPage()) return u"bUninstall";
  if (next_page->IsInstallPage()) return u"bInstall";
  return u"bNext";
}

TWizardButtonState GetWizardButtonState(const TInstallerPageList& pages,
                                        const TInstallerCustomPage* active_page,
                                        TInstallerState state) {
  TWizardButtonState buttons;
  buttons.BackVisible = pages.CanMoveBack(active_page);
  buttons.NextEnabled =
      pages.CanMoveNext(active_page) || (active_page != nullptr && active_page == pages.Last());
  buttons.NextCaptionKey = GetNextCaptionKey(pages.GetNext(active_page));
  buttons.CloseEnabled = state != isFinished;
  return buttons;
}

TWizardMove GetNextClickMove(const TInstallerPageList& pages,
                             const TInstallerCustomPage* active_page) {
  if (pages.CanMoveNext(active_page)) return {TWizardStep::wsMove, pages.GetNext(active_page)};
  if (active_page != nullptr && active_page == pages.Last()) return {TWizardStep::wsClose};
  return {};
}

TWizardMove GetBackClickMove(const TInstallerPageList& pages,
                             const TInstallerCustomPage* active_page) {
  if (pages.CanMoveBack(active_page)) return {TWizardStep::wsMove, pages.GetPrev(active_page)};
  return {};
}
