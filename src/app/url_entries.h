#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace pagelift {

// The URL entries of the tray menu's "ネット取得": entry i holds the URL of key
// "URL<i + 1>" and is shown unless that is empty. Entry 0 always exists: with no URL
// listed it has an empty caption and keeps whether it was shown (shown at start).
class UrlEntries {
 public:
  // The values LoadSettings read (SettingsRead::entries).
  void Load(std::vector<std::u16string> urls) {
    if (!urls.empty()) first_shown_ = !urls[0].empty();
    urls_ = urls.empty() ? std::vector<std::u16string>{u""} : std::move(urls);
  }

  std::size_t Size() const { return urls_.size(); }
  // The URL of entry `index`, exactly as stored; "" for an index outside the list.
  std::u16string Url(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < urls_.size()
               ? urls_[static_cast<std::size_t>(index)]
               : std::u16string();
  }
  bool Shown(std::size_t index) const {
    return index == 0 ? first_shown_ : !urls_.at(index).empty();
  }

 private:
  std::vector<std::u16string> urls_{u""};
  bool first_shown_ = true;
};

}  // namespace pagelift
