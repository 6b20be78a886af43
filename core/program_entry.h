// The program entry: what one run of the setup executable does, in order, and how it ends.
#pragma once

#include "platform/text.h"

// The registered window message by which the uninstaller's copy in the temporary folder hands
// its result (first parameter: the exit code) to the first process's window that its switch
// CALLER names.
inline constexpr char16_t UninstallResultMessageName[] = u"TInstallerUninstallResult";
// The class of that window.
inline constexpr char16_t UninstallCallerClassName[] = u"TInstallerUninstallCaller";

// Runs the program and returns the process exit code (exit_codes.h). Every exception that
// escapes the steps is shown in one message box captioned "Setup" with the error icon, unless
// a silent run suppresses boxes (SUPPRESSMSGBOXES); with LOG it is written to the log either
// way. A run that is not silent needs the registered user interface
// (installer_user_interface.h). HELP or "?" shows the switches and does nothing else.
int RunProgramEntry();

// The name of the machine-wide lock that a run of the product takes before it touches anything,
// so that setups and uninstallers of one product never overlap (exit 1618): the product's name
// without its blanks, as the uninstall entry names it, behind a prefix of our own.
String RunLockName(StringView product_name);

// The argument text the entry read: the process command line without the program path.
const String& ProgramArgumentText();

// Starts this program again with administrator rights, the switch SKIPUAC naming this process's
// spawn window, and waits for it serving the spawn requests. False when the user declined.
bool RelaunchElevated(StringView arguments, uint32_t& exit_code);

// How the folders of the uninstaller's copies in the temporary folder begin; 16 random
// hexadecimal digits follow.
inline constexpr char16_t UninstallerCopyFolderPrefix[] = u"Uninstall-";

// Copies the running uninstaller and its data file into a new folder of its own in the
// temporary folder (the files and the folder deleted at the next restart) and starts the copy
// with PATH naming the installation folder, so that the folder can be removed while it runs,
// and CALLER naming this process's window. Waits for the copy's result and returns it as this
// process's exit code: what the copy hands back, or the copy's own exit code when it ended
// without a word.
int StartUninstallerCopy();

// Makes the folder the uninstaller's copy runs from: new, in the temporary folder, with a name
// nobody can tell in advance (UninstallerCopyFolderPrefix and a random number), and closed to
// everybody without administrator rights, so that nobody can put a library there or replace
// the copy before it runs. Returns its path with a trailing backslash; raises the system's error
// on failure.
String CreateUninstallerCopyFolder();

// Copies Source into Folder under its own name and schedules the copy for deletion at the next
// restart. Returns the copy's path.
String CopyToTempFolder(StringView source, StringView folder);
