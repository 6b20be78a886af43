// Memory and file streams: positions, exact reads and the errors of opening files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/file_stream.h"
#include "support/memory_stream.h"
#include "tests/support/temporary_folder.h"

namespace {

TEST(MemoryStream, WritesGrowAndReadsStopAtTheEnd) {
  TMemoryStream stream;
  stream.WriteBuffer("hello", 5);
  stream.SetPosition(3);
  stream.WriteBuffer("p!", 2);
  EXPECT_EQ(stream.Size(), 5);
  stream.SetPosition(0);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 8), 5);
  EXPECT_EQ(std::string(buffer, 5), "help!");
  EXPECT_EQ(stream.Read(buffer, 8), 0);
}

TEST(MemoryStream, ReadBufferRaisesWhenBytesAreMissing) {
  TMemoryStream stream(std::vector<uint8_t>{1, 2, 3});
  uint8_t buffer[4];
  EXPECT_THROW(stream.ReadBuffer(buffer, 4), EReadError);
}

TEST(MemoryViewStream, IsReadOnly) {
  const char bytes[] = "abc";
  TMemoryViewStream stream(bytes, 3);
  EXPECT_EQ(stream.Size(), 3);
  EXPECT_THROW(stream.WriteBuffer("x", 1), EWriteError);
}

TEST(StreamCopy, CountZeroCopiesTheWholeSourceFromItsStart) {
  TMemoryStream source(std::vector<uint8_t>{1, 2, 3, 4});
  source.SetPosition(2);
  TMemoryStream target;
  EXPECT_EQ(target.CopyFrom(source, 0), 4);
  EXPECT_EQ(target.Bytes(), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(FileStream, CreatesWritesAndReadsBack) {
  TemporaryFolder folder;
  {
    TFileStream file(folder.PathOf(u"out.bin"), fmCreate);
    file.WriteBuffer("0123456789", 10);
    file.SetSize(4);
  }
  EXPECT_EQ(folder.ReadFile(u"out.bin"), "0123");
  TMemoryStream memory;
  memory.LoadFromFile(folder.PathOf(u"out.bin"));
  EXPECT_EQ(memory.Size(), 4);
}

TEST(FileStream, OpeningAMissingFileNamesItInTheError) {
  TemporaryFolder folder;
  const String missing = folder.PathOf(u"missing.txt");
  try {
    TFileStream file(missing, fmOpenRead);
    FAIL() << "expected EFOpenError";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(error.Message().rfind(u"Cannot open file \"" + missing + u"\". ", 0), 0u);
  }
}

TEST(FileStream, ExclusiveOpenRefusesASecondOpen) {
  TemporaryFolder folder;
  folder.WriteFile(u"locked.txt", "x");
  TFileStream holder(folder.PathOf(u"locked.txt"), fmOpenRead | fmShareExclusive);
  EXPECT_THROW(TFileStream(folder.PathOf(u"locked.txt"), fmOpenRead | fmShareDenyNone),
               EFOpenError);
}

}  // namespace
