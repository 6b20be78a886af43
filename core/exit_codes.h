// Every exit code the setup program ends with, in one place.
//
// Deployment tools read these values, so they are the ones such tools already know.
#pragma once

enum ExitCode : int {
  ExitSuccess = 0,
  // The user declined the elevation prompt, or cancelled the run.
  ExitCancelled = 1602,
  // The run failed; the error box (or the log) said why.
  ExitFailed = 1603,
  // Another setup or uninstaller of the same product is running; this run did nothing.
  ExitAnotherRunActive = 1618,
  // The run succeeded, but a file is deleted or replaced only when Windows restarts.
  ExitRestartRequired = 3010,
};
