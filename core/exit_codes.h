// Every exit code the setup program ends with, in one place.
//
// Deployment tools read these values, so they are the ones such tools already know.
#pragma once

enum ExitCode : int {
  ExitSuccess = 0,
  // The user declined the elevation prompt, or cancelled the run.
  ExitCancelled = 1602,
  // The run failed; the error box said why.
  ExitFailed = 1603,
};
