#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace pagelift {

// The URL entries of the tray menu's "ネット取得", after the entry of the Clipboard's URL
// (which is always there, so that the submenu is never empty): entry i holds the URL of
// key "URL<i + 1>" and is shown unless that is empty. Entry 0 always exists, with an empty
// caption and not shown when no URL is listed.
class UrlEntries {
 public:
  // The values LoadSettings read (SettingsRead::entries).
  void Load(std::vector<std::u16string> urls) {
    urls_ = urls.empty() ? std::vector<std::u16string>{u""} : std::move(urls);
  }

  std::size_t Size() const { return urls_.size(); }
  // The URL of entry `index`, exactly as stored; "" for an index outside the list.
  std::u16string Url(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < urls_.size()
               ? urls_[static_cast<std::size_t>(index)]
               : std::u16string();
  }
  bool Shown(std::size_t index) const { return !urls_.at(index).empty(); }
  // Whether any entry is shown: the separator before the list is shown with them.
  bool AnyShown() const {
    for (const std::u16string& url : urls_) {
      if (!url.empty()) return true;
    }
    return false;
  }

 private:
  std::vector<std::u16string> urls_{u""};
};

}  // namespace pagelift
