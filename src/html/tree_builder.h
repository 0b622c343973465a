// The WHATWG HTML standard's tree construction, over the tokenizer's tokens, into a
// Document. Parse errors are not reported; there is no fragment case. Scripting is on (a
// noscript element holds text) unless the caller turns it off, as a browser without scripts
// parses: noscript then holds elements.
//
// The tree builder's own header, for its files alone: the machinery (tree_builder.cpp,
// tree_nodes.cpp, tree_stack.cpp, tree_formatting.cpp) and the insertion modes (mode_*.cpp).
// The small helpers the modes call for nearly every token are defined here, inline, so that
// they stay inlined in every file, as they were when the builder was one file.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/huge_pages.h"
#include "base/scan_builds.h"
#include "html/document.h"
#include "html/tokenizer.h"

namespace pagelift::html {

namespace tree_detail {

// Where the first U+0000 of `text` is, or npos: text runs are long, and scanned in vectors.
inline std::size_t FindNul(std::u16string_view text) {
  const char16_t* const end = text.data() + text.size();
  const char16_t* const at = BaselineScan::FindFirstOf<u'\0'>(text.data(), end);
  return at == end ? std::u16string_view::npos : static_cast<std::size_t>(at - text.data());
}

inline bool IsSpaceUnit(char16_t c) {
  return c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r' || c == u' ';
}

inline std::u16string LowerAscii(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 0x20);
  }
  return out;
}

inline const Attribute* FindIn(const Token& t, std::u16string_view name) {
  for (const Attribute& a : t.attributes) {
    if (a.name == name) return &a;
  }
  return nullptr;
}

}  // namespace tree_detail

using tree_detail::FindIn;
using tree_detail::FindNul;
using tree_detail::IsSpaceUnit;
using tree_detail::LowerAscii;

class TreeBuilder {
 public:
  // A whole page.
  TreeBuilder(std::u16string_view page, Document& doc, Scripting scripting)
      : tokenizer_(page), doc_(doc), scripting_(scripting == Scripting::kOn) {
    doc_.scripting_ = scripting;
    Reserve(page.size());
  }
  // A page in pieces, of about `expected_units` units when that is known.
  TreeBuilder(Document& doc, std::size_t expected_units, Scripting scripting)
      : doc_(doc), scripting_(scripting == Scripting::kOn) {
    doc_.scripting_ = scripting;
    Reserve(expected_units);
    tokenizer_.SetExpectedSize(expected_units);
  }

  // Builds the tree from the tokens until the end of the page, or until the tokenizer needs
  // more input.
  void Run();
  Tokenizer& tokenizer() { return tokenizer_; }
  // The bytes the builder holds beside the tree: the tokenizer's, the stacks, the table text.
  std::size_t MemoryBytes() const;

 private:
  enum class Mode : std::uint8_t {
    kInitial,
    kBeforeHtml,
    kBeforeHead,
    kInHead,
    kInHeadNoscript,
    kAfterHead,
    kInBody,
    kText,
    kInTable,
    kInTableText,
    kInCaption,
    kInColumnGroup,
    kInTableBody,
    kInRow,
    kInCell,
    kInSelect,
    kInSelectInTable,
    kInTemplate,
    kAfterBody,
    kInFrameset,
    kAfterFrameset,
    kAfterAfterBody,
    kAfterAfterFrameset,
  };
  static constexpr NodeId kMarker = kNoNode;
  // Browsers' limit on the depth of the tree.
  static constexpr std::size_t kMaxOpen = 512;
  // Elements that reconstructing formatting and the adoption agency may make: this many, and
  // one for each 32 units of the page read up to the last token other than characters (which
  // is where it is however the page is cut), so that no page makes the tree more than linear.
  static constexpr std::size_t kFreeClones = 1024;
  static constexpr std::size_t kUnitsPerClone = 32;
  // Entries of the list of active formatting elements after its last marker; beyond it
  // the oldest goes, so that reconstructing them stays a bounded step.
  static constexpr std::size_t kMaxFormatting = 64;

  // Room for what a page of `units` usually makes, so that the buffers seldom move while they
  // grow (the nodes grow without moving). What is not used is never touched, so it takes
  // address space, not memory. The text never outgrows the page: each unit of it comes from
  // at least one of the page's.
  void Reserve(std::size_t units) {
    ReserveLarge(doc_.text_, units);
    ReserveLarge(doc_.attributes_, units / 32);
  }
  bool MayClone() const { return clones_made_ < clone_limit_; }

  // Each of these handles a token in one mode; false means the token is to be handled
  // again, in the mode now current (the standard's "reprocess the token"). Dispatch and
  // InMode are in tree_builder.cpp; each group of modes has its file, as the standard
  // groups them.
  bool Dispatch(Token& t);
  bool InMode(Mode mode, Token& t);
  // mode_before_body.cpp
  bool Initial(Token& t);
  bool BeforeHtml(Token& t);
  bool BeforeHead(Token& t);
  bool InHead(Token& t);
  bool InHeadNoscript(Token& t);
  bool AfterHead(Token& t);
  // mode_in_body.cpp
  bool InBody(Token& t);
  bool InBodyStartTag(Token& t);
  bool InBodyEndTag(Token& t);
  bool Text(Token& t);  // mode_text.cpp
  // mode_tables.cpp
  bool InTable(Token& t);
  bool InTableText(Token& t);
  bool InCaption(Token& t);
  bool InColumnGroup(Token& t);
  bool InTableBody(Token& t);
  bool InRow(Token& t);
  bool InCell(Token& t);
  // mode_select.cpp
  bool InSelect(Token& t);
  bool InSelectInTable(Token& t);
  bool InTemplate(Token& t);  // mode_template.cpp
  // mode_frameset_after.cpp
  bool AfterBody(Token& t);
  bool InFrameset(Token& t);
  bool AfterFrameset(Token& t);
  bool AfterAfterBody(Token& t);
  bool AfterAfterFrameset(Token& t);
  // The rules for parsing tokens in foreign content (mode_foreign.cpp).
  bool ForeignContent(Token& t);

  // Tokens (tree_nodes.cpp, or inline below).
  std::uint32_t Intern(std::u16string_view name);
  static bool IsTag(const Token& t, TokenKind kind, std::initializer_list<Tag> tags);
  static bool IsStart(const Token& t, std::initializer_list<Tag> tags) {
    return IsTag(t, TokenKind::kStartTag, tags);
  }
  static bool IsEnd(const Token& t, std::initializer_list<Tag> tags) {
    return IsTag(t, TokenKind::kEndTag, tags);
  }
  // Splits off the run of whitespace a character token starts with.
  static std::u16string_view TakeSpace(Token& t);
  static bool AllSpace(std::u16string_view text);

  // Nodes (tree_nodes.cpp, or inline below).
  bool Is(NodeId node, Tag tag) const { return doc_.IsHtml(node, tag); }
  bool IsOneOf(NodeId node, std::initializer_list<Tag> tags) const;
  // The classes an element belongs to, kept in its node's flags when it is made.
  enum Flag : std::uint8_t {
    kSpecial = 1,
    kDefaultScope = 2,  // bounds every scope but the table and select ones
    kListItemScope = 4,
    kButtonScope = 8,
    kTableScope = 16,
    kSelectInner = 32,  // optgroup and option: what the select scope looks through
  };
  static std::uint8_t FlagsOf(Tag tag, Namespace ns);
  static std::uint8_t FlagsFor(Tag tag, Namespace ns);
  static bool SpecialByName(Tag tag, Namespace ns);
  static bool DefaultScopeByName(Tag tag, Namespace ns);
  bool IsSpecial(NodeId node) const { return doc_.nodes_[node].flags & kSpecial; }
  void MarkOpen(NodeId node, bool open);
  bool IsMathMlTextIntegrationPoint(NodeId node) const;
  bool IsHtmlIntegrationPoint(NodeId node) const;
  NodeId Current() const { return open_.back(); }
  NodeId CreateElement(const Token& t, Namespace ns);
  NodeId CloneElement(NodeId element);
  struct Place {
    NodeId parent;
    NodeId before;  // kNoNode: at the end
  };
  Place AppropriatePlace(NodeId target = kNoNode) const;
  void InsertAt(Place place, NodeId node) { doc_.Insert(place.parent, node, place.before); }
  NodeId InsertElement(const Token& t, Namespace ns = Namespace::kHtml);
  NodeId InsertElementNamed(Tag tag);
  void InsertText(std::u16string_view text);
  void InsertComment(const Token& t, NodeId parent = kNoNode);
  void GenericText(const Token& t, TextState state);

  // The stack of open elements and its scopes (tree_stack.cpp, or inline below).
  void Push(NodeId node);
  void Pop();
  void PopUntil(Tag tag);  // through the last `tag`
  void PopUntilOneOf(std::initializer_list<Tag> tags);
  void RemoveFromStack(NodeId node);
  bool OnStack(Tag tag) const;
  enum class Scope : std::uint8_t { kDefault, kListItem, kButton, kTable, kSelect };
  bool InScope(Tag tag, Scope scope = Scope::kDefault) const;
  bool NodeInScope(NodeId node) const;
  bool IsScopeBoundary(NodeId node, Scope scope) const;
  void GenerateImpliedEndTags(Tag except = Tag::kUnknown);
  void GenerateAllImpliedEndTagsThoroughly();
  void ClosePElement();
  void ClearStackBackTo(std::initializer_list<Tag> tags);
  void ResetInsertionMode();
  void CloseCell();

  // The list of active formatting elements and the adoption agency
  // (tree_formatting.cpp, or inline below).
  void PushFormatting(NodeId element);
  void ReconstructFormatting();
  void ClearFormattingToMarker();
  std::size_t FormattingIndex(NodeId node) const;  // the list's size when absent
  bool SameElement(NodeId a, NodeId b) const;
  // The adoption agency algorithm; false when the token is to be handled as "any other end
  // tag".
  bool AdoptionAgency(const Token& t);
  void AnyOtherEndTag(const Token& t);

  Tokenizer tokenizer_;
  Document& doc_;
  const bool scripting_;
  Mode mode_ = Mode::kInitial;
  Mode original_mode_ = Mode::kInitial;
  std::vector<Mode> template_modes_;
  std::vector<NodeId> open_;
  std::vector<NodeId> formatting_;
  NodeId head_ = kNoNode;
  NodeId form_ = kNoNode;
  int templates_open_ = 0;
  bool frameset_ok_ = true;
  bool foster_parenting_ = false;
  bool quirks_ = false;
  bool skip_newline_ = false;
  std::u16string table_text_;
  bool table_text_has_other_ = false;
  std::size_t clones_made_ = 0;
  std::size_t clone_limit_ = kFreeClones;
  std::unordered_map<std::u16string, std::uint32_t> interned_;
  // How many HTML elements of each known tag are open: most scope questions are answered
  // by a zero here, without a look at the stack.
  std::uint32_t open_count_[static_cast<std::size_t>(Tag::kTagCount)] = {};
};

// ---- Tokens ----

inline bool TreeBuilder::IsTag(const Token& t, TokenKind kind, std::initializer_list<Tag> tags) {
  return t.kind == kind && std::find(tags.begin(), tags.end(), t.tag) != tags.end();
}

inline std::u16string_view TreeBuilder::TakeSpace(Token& t) {
  std::size_t n = 0;
  while (n < t.text.size() && IsSpaceUnit(t.text[n])) ++n;
  const std::u16string_view space = t.text.substr(0, n);
  t.text.remove_prefix(n);
  return space;
}

inline bool TreeBuilder::AllSpace(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), IsSpaceUnit);
}

// ---- Nodes ----

inline bool TreeBuilder::IsOneOf(NodeId node, std::initializer_list<Tag> tags) const {
  if (doc_.NamespaceOf(node) != Namespace::kHtml) return false;
  return std::find(tags.begin(), tags.end(), doc_.TagOf(node)) != tags.end();
}

inline void TreeBuilder::MarkOpen(NodeId node, bool open) {
  Document::Node& n = doc_.nodes_[node];
  n.open = open;
  if (n.ns == Namespace::kHtml && n.name < static_cast<std::uint32_t>(Tag::kTagCount)) {
    open_count_[n.name] += open ? 1 : static_cast<std::uint32_t>(-1);
  }
}

inline bool TreeBuilder::IsMathMlTextIntegrationPoint(NodeId node) const {
  if (doc_.NamespaceOf(node) != Namespace::kMathMl) return false;
  const Tag tag = doc_.TagOf(node);
  return tag == Tag::kMi || tag == Tag::kMo || tag == Tag::kMn || tag == Tag::kMs ||
         tag == Tag::kMtext;
}

inline NodeId TreeBuilder::InsertElementNamed(Tag tag) {
  Token t;
  t.kind = TokenKind::kStartTag;
  t.tag = tag;
  return InsertElement(t);
}

inline void TreeBuilder::GenericText(const Token& t, TextState state) {
  InsertElement(t);
  tokenizer_.SwitchTo(state);
  original_mode_ = mode_;
  mode_ = Mode::kText;
}

// ---- The stack of open elements ----

inline void TreeBuilder::ClosePElement() {
  GenerateImpliedEndTags(Tag::kP);
  PopUntil(Tag::kP);
}

// ---- The list of active formatting elements ----

inline std::size_t TreeBuilder::FormattingIndex(NodeId node) const {
  for (std::size_t k = formatting_.size(); k-- > 0;) {
    if (formatting_[k] == node) return k;
    if (formatting_[k] == kMarker) break;
  }
  return formatting_.size();
}

inline void TreeBuilder::ClearFormattingToMarker() {
  while (!formatting_.empty()) {
    const NodeId entry = formatting_.back();
    formatting_.pop_back();
    if (entry == kMarker) return;
  }
}

}  // namespace pagelift::html
