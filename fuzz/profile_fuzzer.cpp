#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "settings/profile.h"

using namespace pagelift;

// The input is a settings file. Reading never fails; a write changes the one key and
// nothing else a reader can see; the file on disk reads back as it was written.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ProfileText file(bytes);

  const std::u16string_view keys[] = {u"CODE", u"MAXCHAR", u"PROXY", u"URL1", u"URL2"};
  std::optional<std::u16string> before[std::size(keys)];
  for (std::size_t k = 0; k < std::size(keys); ++k) {
    before[k] = file.Get(u"Setting", keys[k]);
    if (before[k]) FUZZ_CHECK(before[k]->size() <= kProfileValueLimit);
  }

  file.Set(u"Setting", u"PROXY", u"proxy.example:8080");
  const ProfileText again(file.Bytes());
  FUZZ_CHECK(again.Get(u"Setting", u"PROXY") == std::u16string(u"proxy.example:8080"));
  for (std::size_t k = 0; k < std::size(keys); ++k) {
    if (keys[k] != u"PROXY") FUZZ_CHECK(again.Get(u"Setting", keys[k]) == before[k]);
  }

  // Saving flushes to disk, which is slow: only some inputs take that road.
  if (size % 16 != 0) return 0;
  static const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                            ("pagelift-fuzz-" + std::to_string(getpid()) + ".ini");
  FUZZ_CHECK(file.Save(path));
  const std::optional<ProfileText> loaded = ProfileText::Load(path);
  FUZZ_CHECK(loaded && loaded->Bytes() == file.Bytes());
  return 0;
}
