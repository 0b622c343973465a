#pragma once

#include <string_view>

namespace pagelift {

// What the words of an element's class names and id say it is, as sites across the web
// name the parts of their pages: "comment-list", "sidebarWidget", "entry-content". A value
// splits into words at every character that is not an ASCII letter and where a lowercase
// letter meets an uppercase one.
struct NameHints {
  // A part around an article: comments, sidebars, navigation, footers, sharing, related
  // links, newsletters, cookie notices, author boxes ("comment", "sidebar", "nav", ...).
  bool boilerplate = false;
  // Words that name such parts but also the wrappers of whole pages ("ad", "header",
  // "widget", "tag", ...): they mark a part only where it holds little text.
  bool weak_boilerplate = false;
  // A picture's surroundings: captions, credits, galleries.
  bool media = false;
};

// Adds the hints of one attribute value (a class list or an id) to `hints`.
void AddNameHints(std::u16string_view value, NameHints& hints);

}  // namespace pagelift
