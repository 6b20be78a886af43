// The run's log, which an administrator asks for with the switch LOG: one UTF-8 text file that
// tells what the run was asked, what it found, each action with its duration, every change it
// made to the machine (files, registry, programs started) and every error with the system's
// reason.
//
// Logging never fails a run: a log that cannot be opened or written is simply not written.
#pragma once

#include <cstdint>

#include "platform/text.h"

class TInstallerLog {
 public:
  // Opens the log named File, appending to it when it exists, so that the elevated copy and the
  // uninstaller's copy in the temporary folder write on into the log of the process that started
  // them. An empty File names a new "Setup Log yyyy-mm-dd #NNN.txt" in the temporary folder,
  // with the first number not yet taken. From then on every change the platform reports is
  // written too. False when there is no log.
  static bool Open(StringView file);
  // Stops logging; the file is closed.
  static void Close();
  static bool IsOpen();
  // The full name of the open log; empty without one.
  static String FileName();

  // One line, stamped with the local date and time ("2026-12-11 08:30:01.250  Text"). Line breaks
  // inside Text continue on indented lines, so that each entry still starts with its stamp.
  static void Write(StringView text);
  // "Error: Text".
  static void WriteError(StringView text);
  // "Error <code>: <the system's text for it>" and, after a colon, what failed.
  static void WriteSystemError(uint32_t error_code, StringView what_failed);
};
