#include "settings/profile.h"

#include <algorithm>

#include "settings/atomic_file.h"
#include "settings/cp932.h"

namespace pagelift {
namespace {

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Names are compared as text, not as bytes: a second byte of a double-byte character
// may look like an ASCII letter and must not be folded.
bool SameName(std::string_view bytes, std::u16string_view name) {
  // Each character takes one or two bytes; most lines are told apart without decoding.
  if (bytes.size() < name.size() || bytes.size() > 2 * name.size()) return false;
  const std::u16string decoded = DecodeCp932(bytes);
  const auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
  return std::equal(decoded.begin(), decoded.end(), name.begin(), name.end(),
                    [&](char16_t a, char16_t b) { return fold(a) == fold(b); });
}

// The name of a section header line ("[name]"), or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  return Trim(line.substr(0, line.find(']')));
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

// The key and value of a "key=value" line; nothing for comments, headers and lines
// without "=".
std::optional<Entry> EntryOf(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Entry{Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

}  // namespace

ProfileText::ProfileText(std::string_view bytes) {
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t stop = std::min(bytes.find_first_of("\r\n", start), bytes.size());
    std::size_t next = stop;
    if (next < bytes.size()) next += bytes.compare(next, 2, "\r\n") == 0 ? 2 : 1;
    lines_.push_back({std::string(bytes.substr(start, stop - start)),
                      std::string(bytes.substr(stop, next - stop))});
    if (SectionName(lines_.back().text)) headers_.push_back(lines_.size() - 1);
    start = next;
  }
}

std::optional<ProfileText> ProfileText::Load(const std::filesystem::path& path) {
  const auto bytes = ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  return ProfileText(*bytes);
}

bool ProfileText::Save(const std::filesystem::path& path) const {
  return WriteFileAtomically(path, Bytes());
}

ProfileText::Place ProfileText::Find(std::u16string_view section, std::u16string_view key) const {
  Place place;
  for (std::size_t h = 0; h < headers_.size() && !place.header; ++h) {
    if (!SameName(*SectionName(lines_[headers_[h]].text), section)) continue;
    place.header = place.last_entry = headers_[h];
    const std::size_t end = h + 1 < headers_.size() ? headers_[h + 1] : lines_.size();
    for (std::size_t i = headers_[h] + 1; i < end; ++i) {
      const auto entry = EntryOf(lines_[i].text);
      if (!entry) continue;
      if (SameName(entry->key, key)) {
        place.key = i;
        break;
      }
      place.last_entry = i;
    }
  }
  return place;
}

std::optional<std::u16string> ProfileText::Get(std::u16string_view section,
                                               std::u16string_view key) const {
  const Place place = Find(section, key);
  if (!place.key) return std::nullopt;
  std::string_view value = EntryOf(lines_[*place.key].text)->value;
  // One pair of matching quotes around a value is not part of it.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() <= kProfileValueLimit) return DecodeCp932(value);
  return DecodeCp932(value.substr(0, kProfileValueLimit), /*complete=*/false);
}

// New lines follow the file's own line ends; a file without any gets CR LF.
std::string ProfileText::LineEnd() const {
  for (const Line& line : lines_) {
    if (!line.end.empty()) return line.end;
  }
  return "\r\n";
}

void ProfileText::Set(std::u16string_view section, std::u16string_view key,
                      std::u16string_view value) {
  std::u16string one_line(value);
  std::replace_if(
      one_line.begin(), one_line.end(), [](char16_t c) { return c == u'\r' || c == u'\n'; }, u' ');
  const std::string value_bytes = EncodeCp932(one_line);
  const std::string end = LineEnd();

  const Place place = Find(section, key);
  if (place.key) {
    lines_[*place.key].text =
        std::string(EntryOf(lines_[*place.key].text)->key) + "=" + value_bytes;
    return;
  }
  if (!place.header) {
    if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = end;
    headers_.push_back(lines_.size());
    lines_.push_back({"[" + EncodeCp932(section) + "]", end});
    lines_.push_back({EncodeCp932(key) + "=" + value_bytes, end});
    return;
  }
  // After the section's last entry, so blank lines and comments that lead into the next
  // section stay with it.
  if (lines_[place.last_entry].end.empty()) lines_[place.last_entry].end = end;
  const std::size_t at = place.last_entry + 1;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                Line{EncodeCp932(key) + "=" + value_bytes, end});
  for (std::size_t& header : headers_) {
    if (header >= at) ++header;
  }
}

std::string ProfileText::Bytes() const {
  std::string bytes;
  for (const Line& line : lines_) bytes += line.text + line.end;
  return bytes;
}

std::u16string GetIniValue(const ProfileText& file, std::u16string_view section,
                           std::u16string_view key, std::u16string_view fallback) {
  return file.Get(section, key).value_or(std::u16string(fallback));
}

std::u16string GetIniValue(std::u16string_view section, std::u16string_view key,
                           std::u16string_view fallback, const std::filesystem::path& path) {
  return GetIniValue(ProfileText::Load(path).value_or(ProfileText()), section, key, fallback);
}

bool WriteIniValue(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                   const std::filesystem::path& path) {
  // A file that exists but cannot be read would otherwise be replaced by this one key.
  std::optional<ProfileText> file = ProfileText::Load(path);
  if (!file) return false;
  file->Set(section, key, value);
  return file->Save(path);
}

}  // namespace pagelift
