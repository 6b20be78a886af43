// When the wizard may close, and how it reacts to the installer's notifications: decisions
// only, so the window code just carries them out.
#pragma once

#include <cstdint>
#include <functional>

#include "core/installer.h"
#include "platform/text.h"

// The close question: text "Common"/"QM", OK and Cancel, question icon, Cancel as default
// (MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2), so Enter does not end a run by accident.
inline constexpr StringView WizardCloseQuestionKey = u"QM";
inline constexpr uint32_t WizardCloseQuestionFlags = 0x121;

enum class TWizardCloseDecision : uint8_t {
  cdKeepOpen,  // the user cancelled
  cdClose,     // close now
  cdDefer,     // ask again once the notification being handled has returned
};

struct TWizardCloseCallbacks {
  // Shows the question with the given key and flags; true when the user answered OK.
  std::function<bool(StringView key, uint32_t flags)> AskQuestion;
  // Stops a running worker and waits for it (serving its notifications meanwhile).
  std::function<void()> StopThread;
};

// Every way of closing passes here. After the run the window closes without asking; otherwise
// the user confirms, and the worker is stopped before the window goes.
//
// A close request that arrives while a worker notification is being handled must not wait for
// the worker: the worker cannot go on until that notification returns, so the wait would never
// end. That covers requests handled while the install page processes pending messages, and the
// close that the end of an automatic run asks for from inside its own notification. Such a
// request is deferred, without asking yet; the window repeats it once the notification has
// returned.
TWizardCloseDecision DecideWizardClose(TInstallerState state, bool inside_notification,
                                       const TWizardCloseCallbacks& callbacks);

// Marks the main thread as handling a worker notification while it lives. Notifications nest
// (a handler that processes pending messages can receive the next one), so this counts.
class TWizardNotificationScope {
 public:
  TWizardNotificationScope() { ++depth_; }
  ~TWizardNotificationScope() { --depth_; }
  TWizardNotificationScope(const TWizardNotificationScope&) = delete;
  TWizardNotificationScope& operator=(const TWizardNotificationScope&) = delete;

  static bool Inside() { return depth_ > 0; }

 private:
  static inline int depth_ = 0;
};

enum class TWizardNotifyReaction : uint8_t {
  nrIgnore,
  nrClose,          // close the window (through the close rule)
  nrNextClick,      // behave as the Next button
  nrUpdateButtons,  // re-evaluate the buttons
  nrInvalidate,     // repaint header and strip
};

// The form's reaction to a notification of the installer. A run with AUTO that ends without
// errors closes the wizard; otherwise the end of the run moves on to the finish page.
TWizardNotifyReaction GetWizardNotifyReaction(int32_t code, bool auto_run, bool has_errors);
