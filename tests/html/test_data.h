#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace pagelift::html::testing {

// The html5lib-tests folder in the shared data beside the source tree; empty when absent.
inline std::filesystem::path Html5libTests() {
  const std::filesystem::path folder =
      std::filesystem::path(PAGELIFT_SHARED_DATA) / "html5lib-tests";
  std::error_code error;
  return std::filesystem::is_directory(folder, error) ? folder : std::filesystem::path();
}

// The files of `folder` (not its subfolders) that end in `extension`, sorted by name.
inline std::vector<std::filesystem::path> FilesOf(const std::filesystem::path& folder,
                                                  std::string_view extension) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() == extension) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

inline std::string Contents(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// How a conformance runner cuts an input: into pieces that end at `cuts` (ascending, the
// input's size last). A tokenizer is given them when it asks, or `eager`ly, one before each
// token while any are left.
struct Feed {
  std::string name;
  std::vector<std::size_t> cuts;
  bool eager = false;
};

// The ways a runner cuts an input of `size` units: pieces of 1, 2, 3, 7 and 64 units, and a
// short input once at every place.
inline std::vector<Feed> FeedsFor(std::size_t size) {
  std::vector<Feed> feeds;
  const auto every = [size](std::size_t n) {
    std::vector<std::size_t> cuts;
    for (std::size_t at = n; at < size; at += n) cuts.push_back(at);
    cuts.push_back(size);
    return cuts;
  };
  for (const std::size_t n : {1, 2, 3, 7, 64}) {
    if (n < size) feeds.push_back({"pieces of " + std::to_string(n), every(n)});
  }
  // A short input cut once at every place; the second piece also appended at once, while
  // tokens of the first may wait to be read.
  if (size <= 256) {
    for (std::size_t at = 1; at < size; ++at) {
      feeds.push_back({"cut at " + std::to_string(at), {at, size}});
      feeds.push_back({"cut at " + std::to_string(at) + ", appended eagerly", {at, size}, true});
    }
  }
  return feeds;
}

// The pieces of `input` that `feed` makes.
inline std::vector<std::u16string_view> CutUp(std::u16string_view input, const Feed& feed) {
  std::vector<std::u16string_view> pieces;
  std::size_t from = 0;
  for (const std::size_t to : feed.cuts) {
    pieces.push_back(input.substr(from, to - from));
    from = to;
  }
  return pieces;
}

// UTF-8 to UTF-16, for the suites' text; the suites' UTF-8 is well formed. (A code point
// in the surrogate range, which a suite writes only escaped, comes through as its unit.)
inline std::u16string Utf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<std::uint8_t>(utf8[i]);
    const int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k < length && i + k < utf8.size(); ++k) {
      c = c << 6 | (static_cast<std::uint8_t>(utf8[i + k]) & 0x3F);
    }
    i += length;
    if (c < 0x10000) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
  }
  return out;
}

// UTF-16 to UTF-8 for messages; an unpaired surrogate shows as \uXXXX.
inline std::string Utf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
      continue;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace pagelift::html::testing
