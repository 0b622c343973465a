#include "settings/settings_location.h"

#include <gtest/gtest.h>

#include "support/files.h"

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

}  // namespace
}  // namespace pagelift
