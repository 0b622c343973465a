#include "shell/settings_location.h"

#include <gtest/gtest.h>

#include "shell/files.h"

namespace pagelift {
namespace {

TEST(SettingsFilePath, BesideTheProgramUnlessItsFolderCannotBeWritten) {
  const test::TempFolder folder;
  const auto config = folder / "config";
  EXPECT_EQ(SettingsFilePath(folder.path(), u"pagelift", config), folder / "pagelift.ini");
  // A folder that cannot take a new file: the user's configuration folder.
  const auto missing = folder / "missing";
  EXPECT_EQ(SettingsFilePath(missing, u"pagelift", config), config / "pagelift.ini");
}

}  // namespace
}  // namespace pagelift
