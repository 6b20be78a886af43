// The ZIP writer when the disk fails it: a failed read names the source and leaves a usable
// archive; a failed write names the archive and is never reported as a finished archive.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/host_double.h"
#include "platform/os_error.h"
#include "support/zip_test_reader.h"
#include "support/zip_writer.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::HostDouble;
using Operation = HostDouble::FileOperation;

// Incompressible, so that the compressed data passes through several writes to the archive and
// the source through several reads.
std::string NoiseContent(size_t size) {
  std::string content;
  uint32_t state = 777;
  while (content.size() < size) {
    state = state * 1664525 + 1013904223;
    content += static_cast<char>(state >> 24);
  }
  return content;
}

class ZipWriterFailure : public testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteFile(u"first.txt", "first");
    folder_.WriteFile(u"big.bin", big_);
    folder_.WriteFile(u"last.txt", "last");
  }
  void TearDown() override { HostDouble::ClearFileFailures(); }

  String ArchivePath() const { return folder_.PathOf(u"backup.zip"); }

  TemporaryFolder folder_;
  const std::string big_ = NoiseContent(900 * 1024);
};

void ExpectFileError(const EStreamError& error, StringView path, uint32_t code) {
  EXPECT_NE(error.Message().find(path), String::npos) << error.what();
  EXPECT_NE(error.Message().find(platform::SysErrorMessage(code)), String::npos) << error.what();
  EXPECT_EQ(platform::GetLastOSError(), code);
}

struct ReadFailureCase {
  const char* Title;
  int FailingRead;  // of the big file
};

class ZipWriterReadFailure : public ZipWriterFailure,
                             public testing::WithParamInterface<ReadFailureCase> {};

TEST_P(ZipWriterReadFailure, RaisesWithTheSourceNamedAndKeepsTheArchiveUsable) {
  TZipWriter writer(ArchivePath());
  writer.AddFile(folder_.PathOf(u"first.txt"), u"first.txt");
  HostDouble::FailFileOperation(Operation::Read, GetParam().FailingRead,
                                platform::ErrorAccessDenied);
  try {
    writer.AddFile(folder_.PathOf(u"big.bin"), u"big.bin");
    ADD_FAILURE() << "added";
  } catch (const EStreamError& error) {
    ExpectFileError(error, folder_.PathOf(u"big.bin"), platform::ErrorAccessDenied);
  }
  writer.AddFile(folder_.PathOf(u"last.txt"), u"last.txt");
  writer.Close();

  const std::vector<ZipTestEntry> entries = ReadZipEntries(folder_.ReadFile(u"backup.zip"));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].Content, "first");
  // What was read before the failure, and nothing else.
  EXPECT_EQ(entries[1].Name, "big.bin");
  EXPECT_LT(entries[1].Content.size(), big_.size());
  EXPECT_TRUE(big_.starts_with(entries[1].Content));
  EXPECT_EQ(entries[2].Content, "last");
}

INSTANTIATE_TEST_SUITE_P(Cases, ZipWriterReadFailure,
                         testing::Values(ReadFailureCase{"FirstRead", 1},
                                         ReadFailureCase{"LaterRead", 2}),
                         CaseTitle());

struct WriteFailureCase {
  const char* Title;
  // Counted from the start of adding the big file. The writer gathers minizip's small writes
  // into chunks of 256 KiB: the first write carries the local header and the first chunk of
  // compressed data; the fourth, the rest of the data as the entry is finished.
  int FailingWrite;
};

class ZipWriterWriteFailure : public ZipWriterFailure,
                              public testing::WithParamInterface<WriteFailureCase> {};

TEST_P(ZipWriterWriteFailure, RaisesWithTheArchiveNamedUntilTheEnd) {
  const String archive = ArchivePath();
  {
    TZipWriter writer(archive);
    writer.AddFile(folder_.PathOf(u"first.txt"), u"first.txt");
    HostDouble::FailFileOperation(Operation::Write, GetParam().FailingWrite,
                                  platform::ErrorDiskFull);
    try {
      writer.AddFile(folder_.PathOf(u"big.bin"), u"big.bin");
      ADD_FAILURE() << "added";
    } catch (const EStreamError& error) {
      ExpectFileError(error, archive, platform::ErrorDiskFull);
    }
    // A gap in the archive cannot be mended: nothing after it may look like success.
    try {
      writer.AddFile(folder_.PathOf(u"last.txt"), u"last.txt");
      ADD_FAILURE() << "added after the damage";
    } catch (const EStreamError& error) {
      ExpectFileError(error, archive, platform::ErrorDiskFull);
    }
    try {
      writer.Close();
      ADD_FAILURE() << "closed as if complete";
    } catch (const EStreamError& error) {
      ExpectFileError(error, archive, platform::ErrorDiskFull);
    }
  }
  // The archive file was released: it can be opened again without sharing.
  EXPECT_TRUE(platform::File::Open(archive, platform::FileAccess::ReadWrite,
                                   platform::FileShareNone, platform::FileCreation::OpenExisting)
                  .IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Cases, ZipWriterWriteFailure,
                         testing::Values(WriteFailureCase{"InTheData", 1},
                                         WriteFailureCase{"FinishingTheEntry", 4}),
                         CaseTitle());

TEST_F(ZipWriterFailure, FailedCentralDirectoryMakesCloseRaise) {
  TZipWriter writer(ArchivePath());
  writer.AddFile(folder_.PathOf(u"first.txt"), u"first.txt");
  HostDouble::FailFileOperation(Operation::Write, 1, platform::ErrorDiskFull);
  try {
    writer.Close();
    ADD_FAILURE() << "closed";
  } catch (const EStreamError& error) {
    ExpectFileError(error, ArchivePath(), platform::ErrorDiskFull);
  }
}

TEST_F(ZipWriterFailure, DestructorSwallowsAFailedClose) {
  {
    TZipWriter writer(ArchivePath());
    writer.AddFile(folder_.PathOf(u"first.txt"), u"first.txt");
    HostDouble::FailFileOperation(Operation::Write, 1, platform::ErrorDiskFull);
  }
  SUCCEED();
}

TEST_F(ZipWriterFailure, ArchiveThatCannotBeCreatedRaisesWithItsName) {
  HostDouble::FailFileOperation(Operation::Open, 1, platform::ErrorAccessDenied);
  try {
    TZipWriter writer(ArchivePath());
    ADD_FAILURE() << "created";
  } catch (const EFCreateError& error) {
    ExpectFileError(error, ArchivePath(), platform::ErrorAccessDenied);
  }
}

}  // namespace
