// The HTML tokenizer and tree builder on any input. Beyond not crashing: the tree's links
// agree with one another and its depth keeps the limit, no text is made twice (the tokens'
// text and the tree's text, comments and doctypes hold no more units than the page), a page
// without tags comes out as the text its character tokens hold, and the page cut into pieces
// gives the same tokens (runs of characters joined) and the same tree as the whole page.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
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

// A token as it can be compared: its kind, text, attributes and flags.
struct Kept {
  TokenKind kind;
  std::u16string text, public_id, system_id;
  std::vector<std::pair<std::u16string, std::u16string>> attributes;
  std::tuple<bool, bool, bool, bool, bool> flags;
  bool operator==(const Kept&) const = default;
};

// Keeps `t`, joining a run of characters to the run before it.
void Keep(std::vector<Kept>& tokens, const Token& t) {
  if (t.kind == TokenKind::kCharacters && !tokens.empty() &&
      tokens.back().kind == TokenKind::kCharacters) {
    tokens.back().text += t.text;
    return;
  }
  Kept& kept = tokens.emplace_back();
  kept.kind = t.kind;
  kept.text = t.text;
  for (const Attribute& a : t.attributes) kept.attributes.emplace_back(a.name, a.value);
  // The other fields belong to a kind of token each.
  if (t.kind == TokenKind::kDoctype) {
    kept.public_id = t.public_id;
    kept.system_id = t.system_id;
    kept.flags = {false, t.has_name, t.has_public_id, t.has_system_id, t.force_quirks};
  } else if (t.kind == TokenKind::kStartTag) {
    kept.flags = {t.self_closing, false, false, false, false};
  }
}

// Where to cut the page: pieces of 1 to `longest` units, drawn from `seed`.
std::vector<std::u16string_view> Pieces(std::u16string_view page, unsigned seed) {
  static constexpr std::size_t kLongest[] = {1, 3, 16, 200};
  const std::size_t longest = kLongest[seed & 3];
  seed >>= 2;
  std::uint32_t state = seed * 2654435761u + 1;
  std::vector<std::u16string_view> pieces;
  for (std::size_t at = 0; at < page.size();) {
    state = state * 1664525u + 1013904223u;
    const std::size_t size = std::min(page.size() - at, 1 + (state >> 8) % longest);
    pieces.push_back(page.substr(at, size));
    at += size;
  }
  return pieces;
}

}  // namespace

// The first byte chooses: bit 0 set, the rest of the input is first stripped of "<", so it
// holds no tags (character references and U+0000 stay); bit 1 set, the tokenizer is given a
// piece before each token as well as when it asks; the other bits choose the pieces. The
// rest is the page in UTF-16LE.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool plain = data[0] & 1;
  std::u16string page = fuzz::Utf16Of(data + 1, size - 1);
  if (plain) std::erase(page, u'<');
  const bool eager = data[0] & 2;
  const std::vector<std::u16string_view> pieces = Pieces(page, data[0] >> 2);

  // The tokens never hold more units than the page.
  Tokenizer tokenizer(page);
  std::size_t token_units = 0;
  std::u16string characters;
  std::vector<Kept> tokens;
  for (;;) {
    const Token& t = tokenizer.Next();
    if (t.kind == TokenKind::kEndOfFile) break;
    Keep(tokens, t);
    if (t.kind == TokenKind::kCharacters) characters += t.text;
    token_units += t.text.size() + t.public_id.size() + t.system_id.size();
    for (const Attribute& a : t.attributes) token_units += a.name.size() + a.value.size();
    FUZZ_CHECK(token_units <= page.size());
  }

  // The same tokens from the pieces.
  Tokenizer cut;
  std::vector<Kept> cut_tokens;
  for (std::size_t next = 0;;) {
    if (eager && next < pieces.size()) cut.Append(pieces[next++]);
    const Token& t = cut.Next();
    if (t.kind == TokenKind::kEndOfFile) break;
    if (t.kind != TokenKind::kNeedInput) {
      Keep(cut_tokens, t);
    } else if (next < pieces.size()) {
      cut.Append(pieces[next++]);
    } else {
      FUZZ_CHECK(next++ == pieces.size());  // asks once more at the end, and no more
      cut.EndOfInput();
    }
  }
  FUZZ_CHECK(cut_tokens == tokens);

  const Document doc = ParseDocument(page);
  DocumentParser parser;
  for (const std::u16string_view piece : pieces) parser.Append(piece);
  FUZZ_CHECK(parser.Finish() == doc);
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
