// Writing packaged files: folders made on the way, and destinations that are in use.
#include "core/installer_extract_helper.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "core/installer_errors.h"
#include "core/installer_resources.h"
#include "core/installer_test_fixture.h"
#include "package/installer_script.h"
#include "support/file_stream.h"

namespace {

class ExtractTest : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    CreateAutomatic();
  }
  TInstallerExtractHelper& Helper() { return installer_->ExtractHelper(); }

  // Writes Content as ExtractFile would; false when the file was skipped.
  bool WriteThrough(StringView file_name, std::string_view content) {
    return Helper().WriteTargetFile(file_name, [content](TStream& file) {
      file.WriteBuffer(content.data(), static_cast<int64_t>(content.size()));
    });
  }
  // The names in the folder, to see that no temporary file stayed behind.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.NativePath(u"")))
      names.insert(entry.path().filename().string());
    return names;
  }
};

TEST_F(ExtractTest, ExtractFileMakesTheFoldersAndWritesThePackagedBytes) {
  TInstallerScriptFile entry;
  entry.Name = u"$DEST\\Langs\\Deep\\Russian.lng";
  entry.Text = u"Langs\\Russian.lng";
  Helper().ExtractFile(entry);
  const std::string written = folder_.ReadFile(u"Langs\\Deep\\Russian.lng");
  EXPECT_EQ(written.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(written.find("[File]"), std::string::npos);
}

TEST_F(ExtractTest, AFolderThatCannotBeMadeRaisesTheLocalizedText) {
  installer_->Resources().InitializeLanguages();
  folder_.WriteFile(u"blocker", "a file where a folder should be");
  try {
    Helper().MakeDirectory(folder_.PathOf(u"blocker\\sub"));
    FAIL() << "expected EInstallerInstallError";
  } catch (const EInstallerInstallError& error) {
    EXPECT_EQ(error.Message(),
              u"The folder " + folder_.PathOf(u"blocker\\sub") + u" could not be created.");
  }
}

TEST_F(ExtractTest, AFileInUseThatIsAlreadyInPlaceIsLeftAlone) {
  folder_.WriteFile(u"ZELO.exe", "same bytes");
  // Held the way Windows holds a running program: readable, not writable.
  TFileStream holder(folder_.PathOf(u"ZELO.exe"), fmOpenRead | fmShareDenyWrite);
  EXPECT_FALSE(WriteThrough(folder_.PathOf(u"ZELO.exe"), "same bytes"));
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"ZELO.exe.bak")));
}

TEST_F(ExtractTest, AFileInUseThatDiffersIsMovedAsideAndReplaced) {
  folder_.WriteFile(u"ZELO.exe", "old version");
  {
    // Readable and renamable, as a running program's file is, but not writable.
    auto holder = TFileStream::TryOpen(folder_.PathOf(u"ZELO.exe"), platform::FileAccess::Read,
                                       platform::FileShareRead | platform::FileShareDelete,
                                       platform::FileCreation::OpenExisting);
    ASSERT_NE(holder, nullptr);
    EXPECT_TRUE(WriteThrough(folder_.PathOf(u"ZELO.exe"), "new version"));
  }
  EXPECT_EQ(folder_.ReadFile(u"ZELO.exe"), "new version");
  EXPECT_EQ(folder_.ReadFile(u"ZELO.exe.bak"), "old version");
}

TEST_F(ExtractTest, AFreeFileIsSimplyReplaced) {
  folder_.WriteFile(u"readme.txt", "old");
  EXPECT_TRUE(WriteThrough(folder_.PathOf(u"readme.txt"), "new"));
  EXPECT_EQ(folder_.ReadFile(u"readme.txt"), "new");
  // Written beside it first, then renamed: no other name stays behind.
  EXPECT_EQ(Names(), std::set<std::string>{"readme.txt"});
}

// A writer that fails on its own (a package it cannot build) keeps its message, and the file
// that was there stays as it was.
TEST_F(ExtractTest, AWriterFailureOtherThanTheFilesPassesThroughAndLeavesNothing) {
  folder_.WriteFile(u"Uninstall.dat", "the old list");
  try {
    Helper().WriteTargetFile(folder_.PathOf(u"Uninstall.dat"), [](TStream& file) {
      file.WriteBuffer("IPK5", 4);
      throw EInstallerInstallError(u"Package was corrupted");
    });
    FAIL() << "expected EInstallerInstallError";
  } catch (const EInstallerInstallError& error) {
    // Not the file's failure: the writer's own message, unchanged.
    EXPECT_EQ(error.Message(), u"Package was corrupted");
  }
  EXPECT_EQ(folder_.ReadFile(u"Uninstall.dat"), "the old list");
  EXPECT_EQ(Names(), std::set<std::string>{"Uninstall.dat"});
}

}  // namespace
