// The maker's "lint" command: what a setup's two packages get wrong, found before anybody runs
// the installer.
#pragma once

#include "platform/text.h"
#include "tools/setupkit/tool_console.h"

struct TLintOptions {
  // Either both folders, as they would be packed...
  String SetupFolder;
  String ProductFolder;
  // ...or a built setup program, whose "SETUP" and "PRODUCT" resources are read.
  String Program;
  // Warnings count as failures too.
  bool Strict = false;
};

// Prints one line per finding, "error: ..." for what stops the installer or one of its pages,
// "warning: ..." for what it survives (a partial translation falls back to English; a built
// program that is not signed, or whose signature no longer covers it), "info: ..." for what is
// no finding (a program signed and covered), then a line with the counts, or "lint: no
// findings". Returns 1 when there is an error, or a warning under Strict; otherwise 0. Inputs
// that cannot be read at all raise Exception.
int LintSetup(const TLintOptions& options, TToolConsole& console);
