#include "ui/wizard_close_rule.h"

TWizardCloseDecision DecideWizardClose(TInstallerState state, bool inside_notification,
                                       const TWizardCloseCallbacks& callbacks) {
  if (inside_notification) return TWizardCloseDecision::cdDefer;
  if (state != isFinished &&
      !callbacks.AskQuestion(WizardCloseQuestionKey, WizardCloseQuestionFlags)) {
    return TWizardCloseDecision::cdKeepOpen;
  }
  // After the run this only releases the ended worker; during it, it stops the worker.
  callbacks.StopThread();
  return TWizardCloseDecision::cdClose;
}

TWizardNotifyReaction GetWizardNotifyReaction(int32_t code, bool auto_run, bool has_errors) {
  switch (code) {
    case ncFinished:
      return auto_run && !has_errors ? TWizardNotifyReaction::nrClose
                                     : TWizardNotifyReaction::nrNextClick;
    case ncChanged: return TWizardNotifyReaction::nrUpdateButtons;
    case ncRepaint: return TWizardNotifyReaction::nrInvalidate;
    default: return TWizardNotifyReaction::nrIgnore;
  }
}
