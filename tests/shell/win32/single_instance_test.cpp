// The name the Windows tray program is found by, made from its settings file's path.
#include "shell/win32/single_instance.h"

#include <gtest/gtest.h>

namespace pagelift {
namespace {

namespace fs = std::filesystem;

// Two spellings of one file give one name, as the file system takes them for one file.
TEST(InstanceNameOf, IsOneForEverySpellingOfOneFile) {
  const struct {
    fs::path one;
    fs::path other;
    bool same;
  } cases[] = {
      {L"C:\\Users\\Taro\\Pagelift\\Pagelift.ini", L"c:\\users\\taro\\PAGELIFT\\pagelift.INI",
       true},
      {L"D:\\Daten\\Äpfel\\Ｐａｇｅｌｉｆｔ.ini", L"d:\\daten\\äpfel\\ｐａｇｅｌｉｆｔ.INI", true},
      {L"C:\\Tools\\..\\Pagelift\\.\\Pagelift.ini", L"C:\\Pagelift\\Pagelift.ini", true},
      {L"Pagelift.ini", fs::current_path() / L"Pagelift.ini", true},
      {L"C:\\Pagelift\\Pagelift.ini", L"C:\\Pagelift2\\Pagelift.ini", false},
      {L"C:\\Pagelift\\Pagelift.ini", L"C:\\Pagelift\\Pagelift.ini.bak", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InstanceNameOf(c.one) == InstanceNameOf(c.other), c.same)
        << reinterpret_cast<const char*>(c.one.u8string().c_str()) << " / "
        << reinterpret_cast<const char*>(c.other.u8string().c_str());
  }
}

}  // namespace
}  // namespace pagelift
