#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagelift {

// The longest value a read gives, in bytes of the file; a longer one is cut.
inline constexpr std::size_t kProfileValueLimit = 1023;

// An INI file held in memory as its lines, so that a change touches one line and every
// other byte of the file stays as it was. Section and key names match without regard
// to the case of ASCII letters; a value is what follows the first "=", without blanks
// around it; lines starting with ";" are comments. Any bytes at all are accepted: what
// does not look like a section or a key is kept and never matches.
class ProfileText {
 public:
  ProfileText() = default;
  explicit ProfileText(std::string_view bytes);

  // The file's text; an empty text when there is no file, nothing when there is one
  // that cannot be read.
  static std::optional<ProfileText> Load(const std::filesystem::path& path);

  // Replaces the file with this text in one step (see WriteFileAtomically).
  bool Save(const std::filesystem::path& path) const;

  // The value of the first `key` in the first `section` of that name, without one pair
  // of matching quotes (" or ') around it, cut to kProfileValueLimit bytes; nothing when
  // there is no such key.
  std::optional<std::u16string> Get(std::u16string_view section, std::u16string_view key) const;

  // Sets the value where the key stands; a new key goes after the last entry of its
  // section, a new section at the end. Line breaks in `value` become blanks, since the
  // value must stay on its line.
  void Set(std::u16string_view section, std::u16string_view key, std::u16string_view value);

  // The whole file as bytes.
  std::string Bytes() const;

 private:
  struct Line {
    std::string text;  // without its line end
    std::string end;   // "\r\n", "\n", "\r", or empty for a last line without one
  };

  // Where a key stands: the header of the first section of that name, the first line
  // of that key in it, and the section's last entry (its header when it has none).
  struct Place {
    std::optional<std::size_t> header;
    std::optional<std::size_t> key;
    std::size_t last_entry = 0;
  };

  Place Find(std::u16string_view section, std::u16string_view key) const;
  std::string LineEnd() const;

  std::vector<Line> lines_;
  std::vector<std::size_t> headers_;  // indexes of the section header lines, in order
};

// The value of `key` in `section` of the file at `path`, or `fallback` when the key is
// missing or the file is missing or cannot be read.
std::u16string GetIniValue(std::u16string_view section, std::u16string_view key,
                           std::u16string_view fallback, const std::filesystem::path& path);
std::u16string GetIniValue(const ProfileText& file, std::u16string_view section,
                           std::u16string_view key, std::u16string_view fallback);

// Writes one value into the file at `path`, creating the file when it is missing.
// False when the file could not be read or written; it is then as it was.
bool WriteIniValue(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                   const std::filesystem::path& path);

}  // namespace pagelift
