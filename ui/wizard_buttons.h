// The rules of the wizard's buttons, apart from the buttons themselves: what Back and Next
// show and do on the active page, and whether the window may still be closed from its menu.
#pragma once

#include "core/installer.h"
#include "platform/text.h"
#include "ui/installer_page_list.h"

struct TWizardButtonState {
  bool BackVisible = false;
  bool NextEnabled = false;
  // Key of Next's caption in the "Common" section of the language file.
  StringView NextCaptionKey;
  // The system menu's Close; after the run only Finish leaves the wizard.
  bool CloseEnabled = true;
};

// What UpdateButtons shows for the active page (none before the first activation).
TWizardButtonState GetWizardButtonState(const TInstallerPageList& pages,
                                        const TInstallerCustomPage* active_page,
                                        TInstallerState state);

// The caption key of Next, by the page that comes after the active one.
StringView GetNextCaptionKey(const TInstallerCustomPage* next_page);

enum class TWizardStep : uint8_t {
  wsStay,   // nothing happens
  wsMove,   // activate Target
  wsClose,  // close the window (through the close rule)
};

struct TWizardMove {
  TWizardStep Step = TWizardStep::wsStay;
  TInstallerCustomPage* Target = nullptr;

  bool operator==(const TWizardMove&) const = default;
};

// Next moves on when it may; on the last page it closes the window.
TWizardMove GetNextClickMove(const TInstallerPageList& pages,
                             const TInstallerCustomPage* active_page);
TWizardMove GetBackClickMove(const TInstallerPageList& pages,
                             const TInstallerCustomPage* active_page);
