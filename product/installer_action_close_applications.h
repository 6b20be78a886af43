// The first step of every run: closes the player and its companion programs, so that nothing
// holds the files that the run replaces or removes.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/installer_action.h"

class TInstallerActionCloseApplications : public TInstallerAction {
 public:
  static constexpr const char16_t* ClassName = u"TInstallerActionCloseApplications";
  static const TInstallerActionClass& Class() {
    return TInstallerActionClass::Of<TInstallerActionCloseApplications>();
  }

  // The window classes asked to close, in this order, in every pass.
  static constexpr const char16_t* WindowClasses[] = {
      u"TZELO2EditorForm",       u"TZELO2MainW",      u"TZELO3MainWindow", u"TZELOATEForm",
      u"TZELOConverterMainForm", u"TZELOLibMainForm", u"TZELOMainForm"};
  // The pause after each pass, which gives the programs time to save and exit.
  static constexpr uint32_t PassPause = 2000;
  // How long one close request may wait for a program that does not answer.
  static constexpr uint32_t CloseRequestTimeout = 5000;
  // After this long, a program that still has a window fails the run instead of holding it
  // forever.
  static constexpr uint64_t TimeLimit = 30000;

  // Repeats passes (a close request to the first window of each class, then a pause) until a
  // pass finds no window. Raises EInstallerInstallError with the localized Common/E5 text,
  // naming the program, when one is still running after TimeLimit; ends quietly when the run
  // is cancelled meanwhile.
  void Execute() override;
  // Called from the main thread: the passes stop after the current one.
  void Cancel() override { cancelled_ = true; }

 private:
  // One pass; true when it found a window.
  bool ClosePass();
  // The program of the first window still open, or empty when none is.
  static String FindRunningProgram();

  std::atomic<bool> cancelled_{false};
};
