// The HTML tokenizer and tree builder on any input. Beyond not crashing: the tree's links
// agree with one another and its depth keeps the limit, no text is made twice (the tokens'
// text and the tree's text, comments and doctypes hold no more units than the page), and a
// page without tags comes out as the text its character tokens hold.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "html/document.h"
#include "html/tokenizer.h"
#include "text_input.h"

using namespace pagelift;
using namespace pagelift::html;

namespace {

bool IsSpace(char16_t c) {
  return c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r' || c == u' ';
}

// Every node's links agree: each child names its parent, siblings name each other both ways,
// and a walk in document order meets each node of the tree once. Returns the text of the
// tree in document order, and in `held` the units its text, comments and doctypes hold.
std::u16string CheckTree(const Document& doc, std::size_t& held) {
  std::u16string text;
  std::vector<bool> seen(doc.NodeCount(), false);
  std::size_t depth = 0, deepest = 0;
  held = 0;
  for (NodeId node = Document::kRoot; node != kNoNode;) {
    FUZZ_CHECK(node < doc.NodeCount() && !seen[node]);
    seen[node] = true;
    NodeId prev = kNoNode;
    for (NodeId child = doc.FirstChild(node); child != kNoNode; child = doc.NextSibling(child)) {
      FUZZ_CHECK(doc.Parent(child) == node && doc.PreviousSibling(child) == prev);
      prev = child;
    }
    FUZZ_CHECK(doc.LastChild(node) == prev);
    switch (doc.Kind(node)) {
      case NodeKind::kText:
        FUZZ_CHECK(!doc.Text(node).empty());
        text += doc.Text(node);
        held += doc.Text(node).size();
        break;
      case NodeKind::kComment:
      case NodeKind::kDoctype:
        held += doc.Text(node).size();
        break;
      default:
        break;
    }
    // The next node in document order, keeping count of the depth.
    if (doc.FirstChild(node) != kNoNode) {
      node = doc.FirstChild(node);
      deepest = std::max(deepest, ++depth);
      continue;
    }
    while (node != kNoNode && doc.NextSibling(node) == kNoNode) {
      node = doc.Parent(node);
      if (depth > 0) --depth;
    }
    if (node != kNoNode) node = doc.NextSibling(node);
  }
  // At most 512 open elements below the document, a text node in the deepest, and the
  // levels the adoption agency adds when it moves a block's children into a new element
  // (one a time, for at most the 64 formatting elements it may find).
  FUZZ_CHECK(deepest <= 512 + 2 + 64);
  return text;
}

}  // namespace

// The first byte chooses: bit 0 set, the rest of the input is first stripped of "<", so it
// holds no tags (character references and U+0000 stay). The rest is the page in UTF-16LE.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool plain = data[0] & 1;
  std::u16string page = fuzz::Utf16Of(data + 1, size - 1);
  if (plain) std::erase(page, u'<');

  // The tokens never hold more units than the page.
  Tokenizer tokenizer(page);
  std::size_t token_units = 0;
  std::u16string characters;
  for (;;) {
    const Token& t = tokenizer.Next();
    if (t.kind == TokenKind::kEndOfFile) break;
    if (t.kind == TokenKind::kCharacters) characters += t.text;
    token_units += t.text.size() + t.public_id.size() + t.system_id.size();
    for (const Attribute& a : t.attributes) token_units += a.name.size() + a.value.size();
    FUZZ_CHECK(token_units <= page.size());
  }

  const Document doc = ParseDocument(page);
  std::size_t held = 0;
  const std::u16string text = CheckTree(doc, held);
  FUZZ_CHECK(held <= page.size());
  if (plain) {
    // The tokenizer's characters are all text in the body, less the whitespace before
    // them and every U+0000.
    std::size_t start = 0;
    while (start < characters.size() && IsSpace(characters[start])) ++start;
    characters.erase(0, start);
    std::erase(characters, u'\0');
    FUZZ_CHECK(text == characters);
  }
  return 0;
}
