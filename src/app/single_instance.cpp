#include "app/single_instance.h"

#include <cstdint>
#include <string>

#include "app/settings.h"

namespace pagelift {

std::u16string InstanceName(std::u16string_view key) {
  std::uint64_t hash = 0xcbf29ce484222325;
  for (const char16_t unit : key) {
    for (const unsigned byte : {unit & 0xFFu, unsigned{unit} >> 8}) {
      hash ^= byte;
      hash *= 0x100000001b3;
    }
  }
  std::u16string name = u"Pagelift-";
  for (int shift = 60; shift >= 0; shift -= 4) name += u"0123456789abcdef"[(hash >> shift) & 0xF];
  return name;
}

std::u16string NotAnsweringMessage(const std::filesystem::path& settings_file) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(kAnswerWait).count();
  const std::string digits = std::to_string(seconds);
  return u"同じ設定ファイルの Pagelift が既に動いていますが、" +
         std::u16string(digits.begin(), digits.end()) +
         u" 秒待っても応答がありません。\n設定ファイル: " + PathText(settings_file);
}

}  // namespace pagelift
