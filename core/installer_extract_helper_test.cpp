// Writing packaged files: folders made on the way, and destinations that are in use.
#include "core/installer_extract_helper.h"

#include <gtest/gtest.h>

#include <filesystem>

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

  // Writes what CreateTargetStream hands out, as ExtractFile would.
  bool WriteThrough(StringView file_name, std::string_view content) {
    TMemoryStream source(std::vector<uint8_t>(content.begin(), content.end()));
    auto target = Helper().CreateTargetStream(file_name, source);
    if (!target) return false;
    source.SetPosition(0);
    target->CopyFrom(source, source.Size());
    return true;
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
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"readme.txt.bak")));
}

}  // namespace
