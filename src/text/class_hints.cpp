#include "text/class_hints.h"

#include <algorithm>
#include <cstddef>

namespace pagelift {

namespace {

// Generic words of web design, in English as sites write their markup whatever their
// language. A part is found anywhere in a word ("commentlist", "relatedposts"); a whole
// word must be all of it ("nav", not "canvas").
constexpr std::u16string_view kBoilerplateParts[] = {
    u"comment",    u"sidebar",  u"share",  u"sharing", u"social",     u"related", u"recommend",
    u"newsletter", u"subscri",  u"cookie", u"consent", u"breadcrumb", u"footer",  u"navigation",
    u"navbar",     u"masthead", u"popup",  u"modal",   u"author",     u"byline",
};
constexpr std::u16string_view kBoilerplateWords[] = {u"nav", u"menu", u"bio"};
constexpr std::u16string_view kWeakParts[] = {
    u"advert", u"sponsor",    u"promo", u"widget",  u"banner",  u"signup",
    u"login",  u"pagination", u"pager", u"toolbar", u"popular", u"trending",
};
constexpr std::u16string_view kWeakWords[] = {u"ad",     u"ads",   u"tags", u"tag",
                                              u"header", u"aside", u"side"};
constexpr std::u16string_view kMediaParts[] = {u"caption",   u"credit",   u"gallery",
                                               u"slideshow", u"carousel", u"lightbox"};

template <std::size_t N>
bool HasPart(std::u16string_view word, const std::u16string_view (&parts)[N]) {
  return std::any_of(std::begin(parts), std::end(parts), [&](std::u16string_view part) {
    return word.find(part) != std::u16string_view::npos;
  });
}

template <std::size_t N>
bool IsOneOf(std::u16string_view word, const std::u16string_view (&words)[N]) {
  return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

void AddWordHints(std::u16string_view word, NameHints& hints) {
  if (word.empty()) return;
  if (HasPart(word, kMediaParts)) hints.media = true;
  if (IsOneOf(word, kBoilerplateWords) || HasPart(word, kBoilerplateParts)) {
    hints.boilerplate = true;
  } else if (IsOneOf(word, kWeakWords) || HasPart(word, kWeakParts)) {
    hints.weak_boilerplate = true;
  }
}

bool IsUpper(char16_t c) {
  return c >= u'A' && c <= u'Z';
}
bool IsLower(char16_t c) {
  return c >= u'a' && c <= u'z';
}

}  // namespace

void AddNameHints(std::u16string_view value, NameHints& hints) {
  // Words longer than this are kept to their start, which the lists match just as well.
  constexpr std::size_t kLongest = 40;
  char16_t word[kLongest];
  std::size_t size = 0;
  char16_t previous = 0;
  for (const char16_t c : value) {
    const bool letter = IsUpper(c) || IsLower(c);
    if (!letter || (IsUpper(c) && IsLower(previous))) {
      AddWordHints(std::u16string_view(word, size), hints);
      size = 0;
    }
    if (letter && size < kLongest) {
      word[size++] = IsUpper(c) ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
    }
    previous = c;
  }
  AddWordHints(std::u16string_view(word, size), hints);
}

}  // namespace pagelift
