// The ZIP writer: what it stores is read back with an independent reader; sources and archives it
// cannot open are reported with their names and the system's reason.
#include "support/zip_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/file_attributes.h"
#include "platform/file_time.h"
#include "platform/os_error.h"
#include "support/file_stream.h"
#include "support/zip_test_reader.h"
#include "tests/support/temporary_folder.h"

namespace {

// Several chunks of the writer's buffer, with compressible and incompressible stretches.
std::string LargeContent() {
  std::string content;
  uint32_t state = 12345;
  while (content.size() < 700 * 1024) {
    for (int i = 0; i < 4096; ++i) {
      state = state * 1103515245 + 12345;
      content += static_cast<char>(state >> 24);
    }
    content.append(4096, 'a');
  }
  return content;
}

struct SourceFile {
  String RelativePath;  // in the test folder
  String ArchiveName;   // as the caller names it
  String StoredName;    // as the archive must hold it
  std::string Content;
};

class ZipWriterTest : public testing::Test {
 protected:
  String ArchivePath() const { return folder_.PathOf(u"backup.zip"); }
  std::vector<ZipTestEntry> ReadBack() const {
    return ReadZipEntries(folder_.ReadFile(u"backup.zip"));
  }

  TemporaryFolder folder_;
};

TEST_F(ZipWriterTest, StoresNamesContentAndFlagsAsAnotherReaderSeesThem) {
  const std::vector<SourceFile> sources = {
      {u"Program\\player.ini", u"Program\\player.ini", u"Program/player.ini",
       std::string(5000, 'x') + "[Settings]\r\nVolume=80\r\n"},
      {u"Program\\empty.dat", u"Program\\empty.dat", u"Program/empty.dat", ""},
      {u"Profiles\\J\u00fcrgen\\\u041d\u0430\u0441\u0442\u0440\u043e\u0439\u043a\u0438 \u266a.ini",
       u"Profiles\\J\u00fcrgen\\\u041d\u0430\u0441\u0442\u0440\u043e\u0439\u043a\u0438 \u266a.ini",
       u"Profiles/J\u00fcrgen/\u041d\u0430\u0441\u0442\u0440\u043e\u0439\u043a\u0438 \u266a.ini",
       "non-ASCII name"},
      {u"Program\\Plugins\\Deep\\big.bin", u"Program\\Plugins\\Deep\\big.bin",
       u"Program/Plugins/Deep/big.bin", LargeContent()},
  };
  for (const SourceFile& source : sources) folder_.WriteFile(source.RelativePath, source.Content);

  TZipWriter writer(ArchivePath());
  for (const SourceFile& source : sources) {
    writer.AddFile(folder_.PathOf(source.RelativePath), source.ArchiveName);
  }
  writer.Close();

  const std::vector<ZipTestEntry> entries = ReadBack();
  ASSERT_EQ(entries.size(), sources.size());
  for (size_t i = 0; i < sources.size(); ++i) {
    const ZipTestEntry& entry = entries[i];
    SCOPED_TRACE(entry.Name);
    EXPECT_EQ(Utf8ToString(entry.Name), sources[i].StoredName);
    EXPECT_NE(entry.Flag & (1u << 11), 0u) << "UTF-8 name flag";
    EXPECT_EQ(entry.Method, 8u) << "Deflate";
    EXPECT_TRUE(entry.Content == sources[i].Content);
    platform::LocalTime time{};
    ASSERT_TRUE(platform::GetFileLastWriteTime(folder_.PathOf(sources[i].RelativePath), time));
    // The format keeps seconds in steps of two.
    EXPECT_EQ(entry.Date.tm_year, time.Year);
    EXPECT_EQ(entry.Date.tm_mon + 1, time.Month);
    EXPECT_EQ(entry.Date.tm_mday, time.Day);
    EXPECT_EQ(entry.Date.tm_hour, time.Hour);
    EXPECT_EQ(entry.Date.tm_min, time.Minute);
    EXPECT_EQ(entry.Date.tm_sec, time.Second / 2 * 2);
  }
  // The local header (the first entry's is at the start) carries the same UTF-8 flag, which
  // readers that stream the archive rely on.
  const std::string bytes = folder_.ReadFile(u"backup.zip");
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_NE(static_cast<unsigned char>(bytes[7]) & 0x08, 0);
}

TEST_F(ZipWriterTest, ReplacesALargerFileOfTheSameName) {
  folder_.WriteFile(u"backup.zip", std::string(300 * 1024, 'j'));
  folder_.WriteFile(u"a.txt", "alpha");
  {
    TZipWriter writer(ArchivePath());
    writer.AddFile(folder_.PathOf(u"a.txt"), u"a.txt");
    writer.Close();
  }
  // Leftover bytes of the old file would hide the end of the central directory.
  EXPECT_LT(folder_.ReadFile(u"backup.zip").size(), 1024u);
  const std::vector<ZipTestEntry> entries = ReadBack();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Content, "alpha");
}

TEST_F(ZipWriterTest, DestructorFinishesAnArchiveThatWasNotClosed) {
  folder_.WriteFile(u"a.txt", "alpha");
  {
    TZipWriter writer(ArchivePath());
    writer.AddFile(folder_.PathOf(u"a.txt"), u"a.txt");
  }
  const std::vector<ZipTestEntry> entries = ReadBack();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Content, "alpha");
}

TEST_F(ZipWriterTest, AnArchiveWithoutEntriesIsStillAnArchive) {
  TZipWriter(ArchivePath()).Close();
  // Only the end-of-central-directory record, counting no entries (minizip's reader refuses an
  // empty archive, so the bytes are checked directly).
  EXPECT_EQ(folder_.ReadFile(u"backup.zip"), std::string("PK\x05\x06", 4) + std::string(18, '\0'));
}

TEST_F(ZipWriterTest, KeepsReadOnlyAndHiddenAttributes) {
  folder_.WriteFile(u"locked.txt", "locked");
  ASSERT_TRUE(platform::SetFileAttributeFlags(
      folder_.PathOf(u"locked.txt"),
      platform::FileAttributeReadOnly | platform::FileAttributeHidden));
  TZipWriter writer(ArchivePath());
  writer.AddFile(folder_.PathOf(u"locked.txt"), u"locked.txt");
  writer.Close();
  const std::vector<ZipTestEntry> entries = ReadBack();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].ExternalAttributes & 0x03u, 0x03u);
}

// Failures name the file and give the system's reason.
void ExpectFileError(const EStreamError& error, StringView path, uint32_t code) {
  EXPECT_NE(error.Message().find(path), String::npos) << error.what();
  EXPECT_NE(error.Message().find(platform::SysErrorMessage(code)), String::npos) << error.what();
}

TEST_F(ZipWriterTest, ArchiveInAMissingFolderRaisesWithItsName) {
  const String path = folder_.PathOf(u"missing\\backup.zip");
  try {
    TZipWriter writer(path);
    FAIL() << "created";
  } catch (const EFCreateError& error) {
    ExpectFileError(error, path, platform::ErrorPathNotFound);
  }
}

TEST_F(ZipWriterTest, SourceThatCannotBeOpenedRaisesAndTheArchiveKeepsTheOthers) {
  folder_.WriteFile(u"a.txt", "alpha");
  folder_.WriteFile(u"busy.txt", "being written");
  struct Case {
    String Path;
    uint32_t Error;
  };
  const std::vector<Case> cases = {{folder_.PathOf(u"absent.txt"), platform::ErrorFileNotFound},
                                   {folder_.PathOf(u"busy.txt"), platform::ErrorSharingViolation}};
  // Someone still writes the busy file: the backup must not copy a file that changes under it.
  platform::File writer_elsewhere = platform::File::Open(
      folder_.PathOf(u"busy.txt"), platform::FileAccess::Write,
      platform::FileShareRead | platform::FileShareWrite, platform::FileCreation::OpenExisting);
  ASSERT_TRUE(writer_elsewhere.IsOpen());

  TZipWriter writer(ArchivePath());
  writer.AddFile(folder_.PathOf(u"a.txt"), u"a.txt");
  for (const Case& failing : cases) {
    SCOPED_TRACE(StringToUtf8(failing.Path));
    try {
      writer.AddFile(failing.Path, u"x.txt");
      ADD_FAILURE() << "added";
    } catch (const EFOpenError& error) {
      ExpectFileError(error, failing.Path, failing.Error);
      // The backup reports the system's text for the last error beside the message.
      EXPECT_EQ(platform::GetLastOSError(), failing.Error);
    }
  }
  writer.Close();
  const std::vector<ZipTestEntry> entries = ReadBack();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Name, "a.txt");
}

TEST_F(ZipWriterTest, AddingAfterCloseIsRefused) {
  folder_.WriteFile(u"a.txt", "alpha");
  TZipWriter writer(ArchivePath());
  writer.Close();
  EXPECT_THROW(writer.AddFile(folder_.PathOf(u"a.txt"), u"a.txt"), EStreamError);
  EXPECT_NO_THROW(writer.Close());
}

}  // namespace
