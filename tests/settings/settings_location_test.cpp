#include "settings/settings_location.h"

#include <gtest/gtest.h>

#include "support/files.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pagelift {
namespace {

TEST(SettingsFilePath, BesideTheProgramUnlessInstalledOrItsFolderCannotBeWritten) {
  const test::TempFolder folder;
  const auto config = folder / "config";
  EXPECT_EQ(SettingsFilePath(folder.path(), u"pagelift", config), folder / "pagelift.ini");
  // A folder that cannot take a new file: the user's configuration folder.
  const auto missing = folder / "missing";
  EXPECT_EQ(SettingsFilePath(missing, u"pagelift", config), config / "pagelift.ini");
  // An installed program: never beside itself, though its folder can be written (as by
  // root) and a file from an earlier start lies there.
  std::filesystem::create_directories(folder / "usr" / "bin");
  std::filesystem::create_directories(folder / "usr" / "share" / "pagelift");
  test::WriteBytes(folder / "usr" / "bin" / "pagelift.ini", "[Setting]\r\n");
  EXPECT_EQ(SettingsFilePath(folder / "usr" / "bin", u"pagelift", config), config / "pagelift.ini");
  // Its samples are installed beside it too; a built one has them in its own folder.
  EXPECT_EQ(SamplesFolder(folder / "usr" / "bin"),
            folder / "usr" / "bin" / ".." / "share" / "pagelift" / "samples");
  EXPECT_EQ(SamplesFolder(folder.path()), folder / "samples");
}

#ifndef _WIN32
// Root may write in every folder, so the check runs as an ordinary user (nobody) where the
// test runs as root.
TEST(SettingsFilePath, AFileBesideTheProgramIsReadThoughItsFolderCannotBeWritten) {
  const test::TempFolder folder;
  const auto config = folder / "config";
  const auto with_file = folder / "with_file";
  const auto without = folder / "without";
  std::filesystem::create_directories(with_file);
  std::filesystem::create_directories(without);
  test::WriteBytes(with_file / "pagelift.ini", "[Setting]\r\n");
  using std::filesystem::perms;
  std::filesystem::permissions(folder.path(), perms::owner_all | perms::group_read |
                                                  perms::group_exec | perms::others_read |
                                                  perms::others_exec);
  for (const auto& locked : {with_file, without}) {
    std::filesystem::permissions(locked, perms::owner_read | perms::owner_exec | perms::group_read |
                                             perms::group_exec | perms::others_read |
                                             perms::others_exec);
  }
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    const bool beside =
        SettingsFilePath(with_file, u"pagelift", config) == with_file / "pagelift.ini";
    const bool elsewhere =
        SettingsFilePath(without, u"pagelift", config) == config / "pagelift.ini";
    _exit(beside && elsewhere ? 0 : 1);
  }
  int status = 0;
  const bool waited = waitpid(child, &status, 0) == child;
  for (const auto& locked : {with_file, without}) {
    std::filesystem::permissions(locked, perms::owner_write, std::filesystem::perm_options::add);
  }
  ASSERT_TRUE(waited);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: another path than expected; 2: no ordinary user";
}
#endif

}  // namespace
}  // namespace pagelift
