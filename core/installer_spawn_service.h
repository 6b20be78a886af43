// Starting programs with the user's ordinary rights from an elevated setup: requests go back to
// the first, unelevated process (which owns a hidden window for them), or through the shell.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/message_window.h"
#include "platform/text.h"

class TInstallerSpawnService {
 public:
  // Window is the spawn window handed over by a parent process (SKIPUAC), or null: then this
  // process creates its own window "TInstallerSpawnService". Raises when called twice.
  static void Initialize(platform::NativeWindow window);
  // Starts CommandLine with the user's ordinary rights, as far as this process can arrange:
  // through the parent's window when there is one, else through "explorer.exe" (Windows Vista
  // and later), which opens it as the logged-on user rather than as this process.
  static void Spawn(StringView command_line);
  // Destroys an owned window; the program calls it at its end.
  static void Finalize();

  static platform::NativeWindow TargetWindow();
  static bool Owned();
  // The number of the registered message "SpawnToken", the data number of spawn requests.
  static uint32_t Token();
};
