#include "settings/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include "support/files.h"
#include "support/platform.h"

namespace pagelift {
namespace {

namespace fs = std::filesystem;
using test::FileBytes;
using test::TempFolder;
using test::WriteBytes;

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(WriteFileAtomically, AProgramKilledBeforeTheRenameLeavesTheOldFile) {
  // A folder of a fixed name: on Windows the program that is killed runs this test anew
  // in a process of its own, and must write where this one looks.
  const fs::path folder = fs::temp_directory_path() / "pagelift-killed-write";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const auto path = folder / "pagelift.ini";
  WriteBytes(path, "old");
  EXPECT_EXIT(WriteFileAtomically(path, "new", [] { std::_Exit(7); }), testing::ExitedWithCode(7),
              "");
  EXPECT_EQ(FileBytes(path), "old");
  // The killed write got as far as a complete temporary file beside the old one...
  const auto names = Names(folder);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(FileBytes(folder / names[0]), "new");
  // ...which does not stand in the way of the next write.
  EXPECT_TRUE(WriteFileAtomically(path, "newer"));
  EXPECT_EQ(FileBytes(path), "newer");
  fs::remove_all(folder);
}

TEST(WriteFileAtomically, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  const TempFolder folder;
  const auto path = folder / "pagelift.ini";
  const std::string long_text(100, 'x');
  WriteBytes(path, "old");
#if !defined(_WIN32)  // Windows has no limit on a process's files that could stand for it
  {
    const test::FileSizeLimit full_disk(10);
    EXPECT_FALSE(WriteFileAtomically(path, long_text));
  }
  EXPECT_EQ(FileBytes(path), "old");
#endif
  // No write bit for anyone: the user's way of keeping the file as it is.
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
  EXPECT_FALSE(WriteFileAtomically(path, long_text));
  EXPECT_EQ(FileBytes(path), "old");
  // A folder in the file's place.
  fs::create_directory(folder / "folder.ini");
  EXPECT_FALSE(WriteFileAtomically(folder / "folder.ini", long_text));
  EXPECT_EQ(Names(folder.path()), (std::vector<std::string>{"folder.ini", "pagelift.ini"}));
}

TEST(WriteFileAtomically, KeepsPermissionsAndLinks) {
  if (test::kWindows) {
    GTEST_SKIP() << "Windows keeps no POSIX permissions, and a symbolic link needs a privilege "
                    "there";
  }
  const TempFolder folder;
  const auto path = folder / "pagelift.ini";
  WriteBytes(path, "old");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(path, folder / "link.ini");
  ASSERT_TRUE(WriteFileAtomically(folder / "link.ini", "new"));
  EXPECT_TRUE(fs::is_symlink(folder / "link.ini"));
  EXPECT_EQ(FileBytes(path), "new");
  EXPECT_EQ(fs::status(path).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
}  // namespace pagelift
