// Rules of tree construction that the html5lib cases this parser agrees with do not reach:
// where a text lands, as the path of elements above it.
#include <gtest/gtest.h>

#include <string>

#include "html/document.h"

namespace pagelift::html {
namespace {

// The names of the elements above the first text node that holds `text`, outermost first
// ("html/body/div"), or "none".
std::string PathOf(const Document& doc, std::u16string_view text) {
  for (NodeId node = Document::kRoot; node != kNoNode; node = doc.Next(node)) {
    if (doc.Kind(node) != NodeKind::kText || doc.Text(node) != text) continue;
    std::string path;
    for (NodeId up = doc.Parent(node); up != Document::kRoot; up = doc.Parent(up)) {
      const std::u16string_view name = doc.NameOf(up);
      path = std::string(name.begin(), name.end()) + (path.empty() ? "" : "/") + path;
    }
    return path;
  }
  return "none";
}

std::u16string Times(std::u16string_view unit, int count) {
  std::u16string out;
  for (int k = 0; k < count; ++k) out += unit;
  return out;
}

TEST(TreeRules, PlaceTextWhereTheStandardPutsIt) {
  const struct {
    const char* what;
    std::u16string page;
    std::u16string_view text;
    std::string path;
  } cases[] = {
      // Each round of the adoption agency takes one block out of the misnested b and puts a
      // clone of it inside; it stops after eight, the last clone around the ninth and tenth.
      {"a formatting element's end across ten blocks", u"<b>" + Times(u"<div>", 10) + u"x</b>y",
       u"xy", "html/body/div/div/div/div/div/div/div/div/b/div/div"},
      // The insertion mode found again after a template in a select is "in select", where
      // a div is ignored.
      {"the mode after a template in a select", u"<select><template></template><div>x</div>", u"x",
       "html/body/select"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PathOf(ParseDocument(c.page), c.text), c.path) << c.what;
  }
}

}  // namespace
}  // namespace pagelift::html
