// Files and folders by name, checked alike against Windows (under Wine) and the host double:
// the error codes, the sharing rules of open files and the current directory's hold.
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/file.h"
#include "platform/file_attributes.h"
#include "platform/os_error.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::File;
using platform::FileAccess;
using platform::FileCreation;
using platform::GetLastOSError;

constexpr unsigned ShareAll =
    platform::FileShareRead | platform::FileShareWrite | platform::FileShareDelete;
constexpr unsigned ShareReadWrite = platform::FileShareRead | platform::FileShareWrite;

// Restores the current directory a test changed.
class CurrentFolderGuard {
 public:
  CurrentFolderGuard() { EXPECT_TRUE(platform::GetCurrentFolder(saved_)); }
  ~CurrentFolderGuard() { EXPECT_TRUE(platform::SetCurrentFolder(saved_)); }
  CurrentFolderGuard(const CurrentFolderGuard&) = delete;
  CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

 private:
  String saved_;
};

class FileSystem : public testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteFile(u"file.txt", "content");
    folder_.WriteFile(u"other.txt", "other");
    std::filesystem::create_directories(folder_.NativePath(u"empty"));
    folder_.WriteFile(u"full\\inside.txt", "x");
  }

  String PathOf(StringView name) const { return folder_.PathOf(name); }
  bool NativeExists(StringView name) const {
    return std::filesystem::exists(folder_.NativePath(name));
  }
  File Hold(StringView name, unsigned share) const {
    return File::Open(PathOf(name), FileAccess::Read, share, FileCreation::OpenExisting);
  }

  TemporaryFolder folder_;
};

struct ExistenceCase {
  const char* Title;
  const char16_t* Name;
  bool IsFile;
  bool IsFolder;
};

class Existence : public FileSystem, public testing::WithParamInterface<ExistenceCase> {};

TEST_P(Existence, TellsFilesFromFolders) {
  EXPECT_EQ(platform::FileExists(PathOf(GetParam().Name)), GetParam().IsFile);
  EXPECT_EQ(platform::FolderExists(PathOf(GetParam().Name)), GetParam().IsFolder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Existence,
    testing::Values(ExistenceCase{"File", u"file.txt", true, false},
                    ExistenceCase{"Folder", u"empty", false, true},
                    ExistenceCase{"FolderWithBackslash", u"empty\\", false, true},
                    ExistenceCase{"FileWithBackslash", u"file.txt\\", false, false},
                    ExistenceCase{"Missing", u"missing", false, false},
                    ExistenceCase{"BelowAFile", u"file.txt\\x", false, false}),
    CaseTitle());

TEST(FileSystemPaths, AnEmptyPathNamesNothing) {
  EXPECT_FALSE(platform::FileExists(u""));
  EXPECT_FALSE(platform::FolderExists(u""));
  String full;
  EXPECT_FALSE(platform::GetFullPath(u"", full));
}

TEST_F(FileSystem, CreateFolderMakesOneFolderBelowAnExistingOne) {
  EXPECT_TRUE(platform::CreateFolder(PathOf(u"new")));
  EXPECT_TRUE(platform::FolderExists(PathOf(u"new")));
  EXPECT_FALSE(platform::CreateFolder(PathOf(u"new")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorAlreadyExists);
  EXPECT_FALSE(platform::CreateFolder(PathOf(u"file.txt")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorAlreadyExists);
  EXPECT_FALSE(platform::CreateFolder(PathOf(u"missing\\new")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorPathNotFound);
}

TEST_F(FileSystem, CreateFolderWithParentsMakesEveryMissingFolder) {
  EXPECT_TRUE(platform::CreateFolderWithParents(PathOf(u"a\\b\\c\\")));
  EXPECT_TRUE(platform::FolderExists(PathOf(u"a\\b\\c")));
  EXPECT_TRUE(platform::CreateFolderWithParents(PathOf(u"a\\b")));
  EXPECT_FALSE(platform::CreateFolderWithParents(PathOf(u"file.txt\\sub")));
  EXPECT_FALSE(platform::CreateFolderWithParents(PathOf(u"file.txt")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorAlreadyExists);
}

TEST_F(FileSystem, PathsOfMoreThan260CharactersWork) {
  const String name(100, u'n');
  const String deep = PathOf(name + u"\\" + name + u"\\" + name);
  ASSERT_GT(deep.size(), 300u);
  ASSERT_TRUE(platform::CreateFolderWithParents(deep));
  EXPECT_TRUE(platform::FolderExists(deep));
  File file = File::Open(deep + u"\\f.txt", FileAccess::Write, 0, FileCreation::CreateNew);
  ASSERT_TRUE(file.IsOpen());
  file.Close();
  EXPECT_TRUE(platform::FileExists(deep + u"\\f.txt"));
  EXPECT_TRUE(platform::MovePath(deep + u"\\f.txt", deep + u"\\g.txt"));
  EXPECT_TRUE(platform::CopyFileTo(deep + u"\\g.txt", deep + u"\\h.txt", true));
  std::vector<platform::FolderEntry> entries;
  ASSERT_TRUE(platform::ListFolder(deep, entries));
  EXPECT_EQ(entries.size(), 2u);
  String long_path;
  ASSERT_TRUE(platform::GetLongPath(deep, long_path));
  EXPECT_EQ(long_path, deep);
  EXPECT_TRUE(platform::RemoveFile(deep + u"\\g.txt"));
  EXPECT_TRUE(platform::RemoveFile(deep + u"\\h.txt"));
  EXPECT_TRUE(platform::RemoveEmptyFolder(deep));
}

TEST_F(FileSystem, RemoveFileDeletesFilesOnly) {
  EXPECT_TRUE(platform::RemoveFile(PathOf(u"file.txt")));
  EXPECT_FALSE(NativeExists(u"file.txt"));
  EXPECT_FALSE(platform::RemoveFile(PathOf(u"file.txt")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorFileNotFound);
  EXPECT_FALSE(platform::RemoveFile(PathOf(u"missing\\file.txt")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorPathNotFound);
  EXPECT_FALSE(platform::RemoveFile(PathOf(u"empty")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorAccessDenied);
}

TEST_F(FileSystem, RemoveEmptyFolderRemovesEmptyFoldersOnly) {
  EXPECT_FALSE(platform::RemoveEmptyFolder(PathOf(u"full")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorDirNotEmpty);
  EXPECT_FALSE(platform::RemoveEmptyFolder(PathOf(u"file.txt")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorDirectory);
  EXPECT_FALSE(platform::RemoveEmptyFolder(PathOf(u"missing")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorFileNotFound);
  EXPECT_TRUE(platform::RemoveEmptyFolder(PathOf(u"empty\\")));
  EXPECT_FALSE(NativeExists(u"empty"));
}

TEST_F(FileSystem, TheCurrentDirectoryCanBeNeitherRemovedNorMoved) {
  const CurrentFolderGuard guard;
  ASSERT_TRUE(platform::SetCurrentFolder(PathOf(u"empty")));
  EXPECT_FALSE(platform::RemoveEmptyFolder(PathOf(u"empty")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorSharingViolation);
  EXPECT_FALSE(platform::MovePath(PathOf(u"empty"), PathOf(u"moved")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorSharingViolation);
  ASSERT_TRUE(platform::SetCurrentFolder(folder_.Path()));
  EXPECT_TRUE(platform::RemoveEmptyFolder(PathOf(u"empty")));
}

TEST_F(FileSystem, MovePathRenamesFilesAndFoldersButNeverOverwrites) {
  EXPECT_TRUE(platform::MovePath(PathOf(u"file.txt"), PathOf(u"renamed.txt")));
  EXPECT_EQ(folder_.ReadFile(u"renamed.txt"), "content");
  EXPECT_TRUE(platform::MovePath(PathOf(u"full"), PathOf(u"moved")));
  EXPECT_EQ(folder_.ReadFile(u"moved\\inside.txt"), "x");

  EXPECT_FALSE(platform::MovePath(PathOf(u"renamed.txt"), PathOf(u"other.txt")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorAlreadyExists);
  EXPECT_EQ(folder_.ReadFile(u"other.txt"), "other");
  EXPECT_FALSE(platform::MovePath(PathOf(u"missing.txt"), PathOf(u"new.txt")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorFileNotFound);
  EXPECT_FALSE(platform::MovePath(PathOf(u"renamed.txt"), PathOf(u"missing\\new.txt")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorPathNotFound);
}

TEST_F(FileSystem, MoveFileReplacingOverwritesAFreeFile) {
  EXPECT_TRUE(platform::MoveFileReplacing(PathOf(u"file.txt"), PathOf(u"other.txt")));
  EXPECT_EQ(folder_.ReadFile(u"other.txt"), "content");
  EXPECT_FALSE(NativeExists(u"file.txt"));
  EXPECT_TRUE(platform::MoveFileReplacing(PathOf(u"other.txt"), PathOf(u"new.txt")));

  EXPECT_FALSE(platform::MoveFileReplacing(PathOf(u"new.txt"), PathOf(u"empty")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorAccessDenied);
}

TEST_F(FileSystem, AnOpenFileIsNeverReplaced) {
  const File holder = Hold(u"other.txt", ShareAll);
  ASSERT_TRUE(holder.IsOpen());
  EXPECT_FALSE(platform::MoveFileReplacing(PathOf(u"file.txt"), PathOf(u"other.txt")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorAccessDenied);
  EXPECT_EQ(folder_.ReadFile(u"other.txt"), "other");
}

struct SharingCase {
  const char* Title;
  unsigned HolderShare;
  bool Allowed;
};

class DeletionSharing : public FileSystem, public testing::WithParamInterface<SharingCase> {};

TEST_P(DeletionSharing, DecidesWhetherAnOpenFileCanBeDeletedOrRenamed) {
  const File holder = Hold(u"file.txt", GetParam().HolderShare);
  ASSERT_TRUE(holder.IsOpen());
  EXPECT_EQ(platform::MovePath(PathOf(u"file.txt"), PathOf(u"renamed.txt")), GetParam().Allowed);
  const String current = GetParam().Allowed ? PathOf(u"renamed.txt") : PathOf(u"file.txt");
  if (!GetParam().Allowed) {
    EXPECT_EQ(GetLastOSError(), platform::ErrorSharingViolation);
  }
  EXPECT_EQ(platform::RemoveFile(current), GetParam().Allowed);
  if (!GetParam().Allowed) {
    EXPECT_EQ(GetLastOSError(), platform::ErrorSharingViolation);
    EXPECT_TRUE(NativeExists(u"file.txt"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeletionSharing,
    testing::Values(SharingCase{"ExclusiveHolder", platform::FileShareNone, false},
                    SharingCase{"ReadersAndWritersOnly", ShareReadWrite, false},
                    SharingCase{"DeletionShared",
                                platform::FileShareRead | platform::FileShareDelete, true}),
    CaseTitle());

TEST_F(FileSystem, LongPathsAreCleanedUpLikeShortOnes) {
  // From 248 characters on, folders need the "\\?\" form, which the system takes literally:
  // slashes, "." and "..", and doubled delimiters must still mean what they mean in short paths.
  const String base = folder_.Path();
  for (const size_t length : {size_t{250}, size_t{320}}) {
    // Parts of at most 100 characters: no file system takes a single name of 255 or more.
    String name;
    while (base.size() + name.size() < length) {
      if (!name.empty()) name += u'\\';
      name.append(std::min<size_t>(100, length - base.size() - name.size()), u'n');
    }
    const String folder = base + name;
    ASSERT_TRUE(platform::CreateFolderWithParents(folder)) << length;
    ASSERT_TRUE(platform::FolderExists(folder)) << length;
    const String messy = base + u"empty/../" + name + u"\\.\\f.txt";
    File file = File::Open(messy, FileAccess::Write, 0, FileCreation::CreateNew);
    ASSERT_TRUE(file.IsOpen()) << length;
    file.Close();
    EXPECT_TRUE(platform::FileExists(folder + u"\\f.txt")) << length;
    EXPECT_TRUE(platform::RemoveFile(messy)) << length;
    EXPECT_TRUE(platform::RemoveEmptyFolder(folder)) << length;
  }
}

TEST_F(FileSystem, ACopyOfAReadOnlyFileIsNotReadOnly) {
  // A setup started from a disc is read-only; its uninstaller copy must stay replaceable.
  ASSERT_TRUE(
      platform::SetFileAttributeFlags(PathOf(u"file.txt"), platform::FileAttributeReadOnly));
  EXPECT_TRUE(platform::CopyFileTo(PathOf(u"file.txt"), PathOf(u"copy.txt"), true));
  EXPECT_EQ(platform::GetFileAttributeFlags(PathOf(u"copy.txt")) & platform::FileAttributeReadOnly,
            0u);
  EXPECT_TRUE(platform::CopyFileTo(PathOf(u"file.txt"), PathOf(u"copy.txt"), false));
  EXPECT_TRUE(platform::SetFileAttributeFlags(PathOf(u"file.txt"), platform::FileAttributeNormal));
}

TEST_F(FileSystem, CopyFileToCopiesContentAndTimeOfLastChange) {
  const auto time =
      std::filesystem::last_write_time(folder_.NativePath(u"file.txt")) - std::chrono::hours(48);
  std::filesystem::last_write_time(folder_.NativePath(u"file.txt"), time);

  EXPECT_TRUE(platform::CopyFileTo(PathOf(u"file.txt"), PathOf(u"copy.txt"), true));
  EXPECT_EQ(folder_.ReadFile(u"copy.txt"), "content");
  EXPECT_EQ(std::filesystem::last_write_time(folder_.NativePath(u"copy.txt")), time);

  EXPECT_FALSE(platform::CopyFileTo(PathOf(u"other.txt"), PathOf(u"copy.txt"), true));
  EXPECT_EQ(GetLastOSError(), platform::ErrorFileExists);
  EXPECT_EQ(folder_.ReadFile(u"copy.txt"), "content");
  EXPECT_TRUE(platform::CopyFileTo(PathOf(u"other.txt"), PathOf(u"copy.txt"), false));
  EXPECT_EQ(folder_.ReadFile(u"copy.txt"), "other");

  EXPECT_FALSE(platform::CopyFileTo(PathOf(u"missing.txt"), PathOf(u"copy.txt"), false));
  EXPECT_EQ(GetLastOSError(), platform::ErrorFileNotFound);
  EXPECT_FALSE(platform::CopyFileTo(PathOf(u"copy.txt"), PathOf(u"copy.txt"), false));
  EXPECT_EQ(GetLastOSError(), platform::ErrorSharingViolation);
  EXPECT_EQ(folder_.ReadFile(u"copy.txt"), "other");
}

TEST_F(FileSystem, CopyFileToSharesTheSourceWithWritersButNeedsBothFilesShared) {
  {
    const File writer = File::Open(PathOf(u"file.txt"), FileAccess::Write, ShareReadWrite,
                                   FileCreation::OpenExisting);
    ASSERT_TRUE(writer.IsOpen());
    EXPECT_TRUE(platform::CopyFileTo(PathOf(u"file.txt"), PathOf(u"copy.txt"), false));
  }
  {
    const File exclusive = Hold(u"file.txt", platform::FileShareNone);
    ASSERT_TRUE(exclusive.IsOpen());
    EXPECT_FALSE(platform::CopyFileTo(PathOf(u"file.txt"), PathOf(u"copy.txt"), false));
    EXPECT_EQ(GetLastOSError(), platform::ErrorSharingViolation);
  }
  const File reader = Hold(u"other.txt", platform::FileShareRead);
  ASSERT_TRUE(reader.IsOpen());
  EXPECT_FALSE(platform::CopyFileTo(PathOf(u"file.txt"), PathOf(u"other.txt"), false));
  EXPECT_EQ(GetLastOSError(), platform::ErrorSharingViolation);
  EXPECT_EQ(folder_.ReadFile(u"other.txt"), "other");
}

TEST_F(FileSystem, ScheduleDeleteAtRestartLeavesTheFileInPlaceForNow) {
  EXPECT_TRUE(platform::ScheduleDeleteAtRestart(PathOf(u"file.txt")));
  EXPECT_TRUE(NativeExists(u"file.txt"));
}

TEST_F(FileSystem, ListFolderGivesNamesKindsAndSizes) {
  folder_.WriteFile(u"full\\twelve bytes", "0123456789ab");
  std::filesystem::create_directories(folder_.NativePath(u"full\\sub"));
  for (const StringView folder : {PathOf(u"full"), PathOf(u"full\\")}) {
    std::vector<platform::FolderEntry> entries;
    ASSERT_TRUE(platform::ListFolder(folder, entries));
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.Name < b.Name; });
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Name, u"inside.txt");
    EXPECT_FALSE(entries[0].IsFolder);
    EXPECT_EQ(entries[0].Size, 1u);
    EXPECT_EQ(entries[1].Name, u"sub");
    EXPECT_TRUE(entries[1].IsFolder);
    EXPECT_EQ(entries[2].Name, u"twelve bytes");
    EXPECT_EQ(entries[2].Size, 12u);
  }
  std::vector<platform::FolderEntry> entries{{u"stale", false, 0}};
  ASSERT_TRUE(platform::ListFolder(PathOf(u"empty"), entries));
  EXPECT_TRUE(entries.empty());
  EXPECT_FALSE(platform::ListFolder(PathOf(u"missing"), entries));
  EXPECT_EQ(GetLastOSError(), platform::ErrorPathNotFound);
}

TEST_F(FileSystem, GetLongPathNeedsAnExistingPath) {
  String long_path;
  ASSERT_TRUE(platform::GetLongPath(PathOf(u"file.txt"), long_path));
  EXPECT_EQ(long_path, PathOf(u"file.txt"));
  EXPECT_FALSE(platform::GetLongPath(PathOf(u"missing.txt"), long_path));
  EXPECT_EQ(GetLastOSError(), platform::ErrorFileNotFound);
}

TEST_F(FileSystem, TheCurrentFolderHasNoTrailingBackslashAndMustBeAFolder) {
  const CurrentFolderGuard guard;
  ASSERT_TRUE(platform::SetCurrentFolder(PathOf(u"full\\")));
  String current;
  ASSERT_TRUE(platform::GetCurrentFolder(current));
  EXPECT_EQ(current, PathOf(u"full"));
  ASSERT_TRUE(platform::SetCurrentFolder(u"C:\\"));
  ASSERT_TRUE(platform::GetCurrentFolder(current));
  EXPECT_EQ(current, u"C:\\");

  EXPECT_FALSE(platform::SetCurrentFolder(PathOf(u"missing")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorFileNotFound);
  EXPECT_FALSE(platform::SetCurrentFolder(PathOf(u"file.txt")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorDirectory);
  ASSERT_TRUE(platform::GetCurrentFolder(current));
  EXPECT_EQ(current, u"C:\\");
}

TEST_F(FileSystem, RelativePathsStartAtTheCurrentFolder) {
  const CurrentFolderGuard guard;
  ASSERT_TRUE(platform::SetCurrentFolder(PathOf(u"full")));
  EXPECT_TRUE(platform::FileExists(u"inside.txt"));
  EXPECT_TRUE(platform::FileExists(u"..\\file.txt"));
  String full;
  ASSERT_TRUE(platform::GetFullPath(u"sub\\..\\x.txt", full));
  EXPECT_EQ(full, PathOf(u"full\\x.txt"));
  ASSERT_TRUE(platform::GetFullPath(u".\\", full));
  EXPECT_EQ(full, PathOf(u"full\\"));
  ASSERT_TRUE(platform::GetFullPath(u"\\top.txt", full));
  EXPECT_EQ(full, u"C:\\top.txt");
}

struct FullPathCase {
  const char* Title;
  const char16_t* Path;
  const char16_t* FullPath;
};

class FullPaths : public testing::TestWithParam<FullPathCase> {};

TEST_P(FullPaths, ResolveDotsAndDelimiters) {
  String full;
  ASSERT_TRUE(platform::GetFullPath(GetParam().Path, full));
  EXPECT_EQ(full, GetParam().FullPath);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FullPaths,
    testing::Values(FullPathCase{"Plain", u"C:\\a\\b.txt", u"C:\\a\\b.txt"},
                    FullPathCase{"DotsResolved", u"C:\\a\\.\\b\\..\\c", u"C:\\a\\c"},
                    FullPathCase{"NeverAboveTheRoot", u"C:\\a\\..\\..\\b", u"C:\\b"},
                    FullPathCase{"SlashesAndDoubledBackslashes", u"C:/a//b/", u"C:\\a\\b\\"},
                    FullPathCase{"TrailingDotsAndBlanksOfTheLastName", u"C:\\a\\b.. ", u"C:\\a\\b"},
                    FullPathCase{"NetworkShare", u"\\\\server\\share\\x\\..\\y",
                                 u"\\\\server\\share\\y"}),
    CaseTitle());

}  // namespace
