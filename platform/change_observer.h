// What the program changes on the machine, told as it happens to whoever keeps a record of the
// run (the log that an administrator asks for).
//
// The platform layer reports every change it makes successfully: files opened for writing,
// copied, moved, deleted, folders made and removed, work left for the next restart, registry keys
// and values written or removed, and programs started. Reporting here, at the one door to the
// system, keeps the record complete without each caller having to remember it.
#pragma once

#include "platform/text.h"

namespace platform {

enum class Change {
  FileWritten,           // opened for writing (created, emptied or changed); Subject the file
  FileCopied,            // Subject the copy, Detail the source
  FileMoved,             // Subject the new name, Detail the old one
  FileDeleted,           // Subject the file
  FolderCreated,         // Subject the folder
  FolderRemoved,         // Subject the folder
  DeleteAtRestart,       // Subject the file or folder the system deletes when it restarts
  ReplaceAtRestart,      // Subject the target, Detail the file that replaces it at the restart
  RegistryKeyCreated,    // Subject the key ("HKLM\Software\...")
  RegistryValueWritten,  // Subject the key, Detail "name = value"
  RegistryValueDeleted,  // Subject the key, Detail the value's name
  RegistryKeyDeleted,    // Subject the key
  ProcessStarted,        // Subject the program, Detail its arguments
};

// Receives the changes of every thread; it must be callable from any of them. A plain function,
// so that setting it never races with a worker reading it.
using ChangeObserver = void (*)(Change change, StringView subject, StringView detail);

// Installs Observer (null: none) for the rest of the process.
void SetChangeObserver(ChangeObserver observer);

// Tells the observer, if there is one, about a change that happened; keeps the last platform
// error, so a caller may still read it afterwards.
void ReportChange(Change change, StringView subject, StringView detail = {});

// ReportChange when Succeeded; returns Succeeded, so a system call's result passes through.
bool Reported(bool succeeded, Change change, StringView subject, StringView detail = {});

}  // namespace platform
