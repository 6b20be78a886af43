// The maker's "build" command: a setup program that carries a setup package and a product
// package as its RCDATA resources "SETUP" and "PRODUCT".
#pragma once

#include "platform/text.h"
#include "tools/setupkit/tool_console.h"

struct TBuildOptions {
  String SetupFolder;
  String ProductFolder;
  String Output;
  // The setup program to copy; empty: "setup.exe" beside the tool's own executable, or else
  // the Windows build tree's ("../win64/setup.exe" from the tool's folder).
  String Program;
  // An icon file (".ico") whose images replace the program's icon; empty: the program's own.
  String Icon;
  int Level = 6;
};

// Packs both folders as "pack" does and writes Output as a copy of the program with the two
// packages as its resources; packages it holds already are replaced. Its version information
// names the product as the script's settings do (ProductVersionInfo), and with an Icon its icon
// is that file's; everything else the program holds is kept. Output appears only when it is
// complete, in a folder created when missing, and is marked executable where the system has
// such a mark. Returns the exit code; refusals (a folder without "Install.xml" or
// "English.lng" in either, a program that is not a 64-bit Windows executable, an icon file
// that is not one) raise Exception with a one-line reason, before anything is written.
int BuildSetup(const TBuildOptions& options, TToolConsole& console);
