// What the demo programs share: their record of each run, and the pieces of their command lines.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace demo {

// Appends Line and CR LF, as UTF-8, to "<name>.log", where <name> is Module's file name without
// its extension (the program's, or a library's own). The log lies in the folder that the
// environment variable ZELO_DEMO_LOG_DIR names, or else beside Module's file: the tests point
// it outside the installation, so that the installation folder holds exactly what Setup put
// there. Appends from several processes do not mix within a line. A log that cannot be written
// is passed over: the program's work counts, not its record.
void AppendLog(HMODULE module, std::wstring_view line);

// Module's full file name.
std::wstring ModuleFileName(HMODULE module);

// The folder part of Path, up to and including its last backslash or slash.
std::wstring FolderOf(std::wstring_view path);

// The command line without the program's name. Setup starts programs with their path unquoted
// even when it holds blanks ("C:\Program Files\ZELO\Elevator.exe /REG=U"), so an unquoted
// name runs to the first ".exe" that a blank or the end follows.
std::wstring ArgumentsOf(std::wstring_view command_line);

// Arguments cut at blanks, quotes removed ("/play "C:\a b.mp3"" gives two words).
std::vector<std::wstring> SplitArguments(std::wstring_view arguments);

}  // namespace demo
