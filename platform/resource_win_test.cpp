// Whether a file carries an icon for the shell to show: asked of real files, since the host
// double's programs carry no resources at all.
#include <gtest/gtest.h>

#include "platform/process.h"
#include "platform/resource.h"
#include "platform/shell_folders.h"
#include "tests/support/temporary_folder.h"

namespace {

String SystemFile(StringView name) {
  String folder;
  EXPECT_TRUE(platform::GetShellFolder(platform::ShellFolder::System, folder));
  return folder + u"\\" + String(name);
}

TEST(ProgramHasIcon, OnlyAProgramOrLibraryWithAnIconGroupHasOne) {
  TemporaryFolder folder;
  folder.WriteFile(u"readme.exe", "not a program, whatever its name says");
  const struct {
    String path;
    bool has_icon;
  } cases[] = {
      {SystemFile(u"shell32.dll"), true},  // the shell's own icons
      {SystemFile(u"notepad.exe"), true},
      // These tests were built without resources of their own.
      {platform::GetProgramFileName(), false},
      {folder.PathOf(u"readme.exe"), false},
      {folder.PathOf(u"missing.exe"), false},
      {folder.Path(), false},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(platform::ProgramHasIcon(test.path), test.has_icon) << StringToUtf8(test.path);
  }
}

}  // namespace
