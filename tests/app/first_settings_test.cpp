#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/first_settings.h"
#include "settings/profile.h"
#include "support/files.h"

namespace pagelift {
namespace {

namespace fs = std::filesystem;

TEST(WriteFirstSettings, ListsTheSamplesOnceAndNeverTouchesAUsersFile) {
  const test::TempFolder folder;
  const fs::path samples = folder.path() / "my samples";
  fs::create_directories(samples);
  std::ofstream(samples / "b.html") << "<p>b</p>";
  std::ofstream(samples / "a.html") << "<p>a</p>";
  std::ofstream(samples / "notes.txt") << "not a page";
  const fs::path settings = folder.path() / "config" / "pagelift.ini";

  ASSERT_TRUE(WriteFirstSettings(settings, samples));
  const ProfileText file = *ProfileText::Load(settings);
  // file:///tmp/... or, on Windows, file:///C:/...
  const std::u8string path = samples.generic_u8string();
  const std::string base = std::string(path.starts_with(u8"/") ? "file://" : "file:///") +
                           std::string(path.begin(), path.end());
  std::string encoded;
  for (char c : base) encoded += (c == ' ') ? std::string("%20") : std::string(1, c);
  EXPECT_EQ(file.Get(u"Setting", u"URL1"),
            std::u16string(encoded.begin(), encoded.end()) + u"/a.html");
  EXPECT_EQ(file.Get(u"Setting", u"URL2"),
            std::u16string(encoded.begin(), encoded.end()) + u"/b.html");
  EXPECT_EQ(file.Get(u"Setting", u"URL3"), std::u16string(u"NONE"));
  // A new user reads pages in the readable form, with its HTML beside it.
  EXPECT_EQ(file.Get(u"Setting", u"TEXTFORM"), std::u16string(u"読みやすく"));
  EXPECT_EQ(file.Get(u"Setting", u"WITHHTML"), std::u16string(u"1"));

  std::ofstream(settings, std::ios::binary | std::ios::trunc) << "[Setting]\r\nURL1=mine\r\n";
  EXPECT_FALSE(WriteFirstSettings(settings, samples));
  EXPECT_EQ(test::FileBytes(settings), "[Setting]\r\nURL1=mine\r\n");

  EXPECT_FALSE(WriteFirstSettings(folder.path() / "other.ini", folder.path() / "no samples"));
  EXPECT_FALSE(fs::exists(folder.path() / "other.ini"));
}

}  // namespace
}  // namespace pagelift
