// The tree builder's dispatch: each token to its insertion mode or to the rules for foreign
// content, as the tree construction dispatcher decides; and ParseDocument and DocumentParser,
// which run it.
#include <algorithm>
#include <memory>

#include "base/errors.h"
#include "base/huge_pages.h"
#include "html/document.h"
#include "html/tree_builder.h"

namespace pagelift::html {

void TreeBuilder::Run() {
  for (;;) {
    const bool html = open_.empty() || doc_.NamespaceOf(Current()) == Namespace::kHtml;
    tokenizer_.SetCdataAllowed(!html);
    Token& t = tokenizer_.Next();  // changed in place as it is handled
    if (t.kind != TokenKind::kCharacters) {
      // Never handled in a mode: the modes' switches take it as a token to ignore.
      if (t.kind == TokenKind::kNeedInput) return;
      clone_limit_ = kFreeClones + tokenizer_.Consumed() / kUnitsPerClone;
    }
    if (t.kind == TokenKind::kStartTag || t.kind == TokenKind::kEndTag) {
      if (t.tag == Tag::kUnknown) t.tag = static_cast<Tag>(Intern(t.text));
    }
    if (skip_newline_) {
      skip_newline_ = false;
      if (t.kind == TokenKind::kCharacters && t.text.starts_with(u'\n')) {
        t.text.remove_prefix(1);
        if (t.text.empty()) continue;
      }
    }
    // A token is handled again only after a change of mode; the bound is a guard. In HTML
    // content, the usual case, the first round needs none of Dispatch's questions.
    const bool empty = t.kind == TokenKind::kCharacters && t.text.empty();
    if (!html || empty || !InMode(mode_, t)) {
      for (int again = 0; again < 32 && !Dispatch(t); ++again) {
      }
    }
    if (t.kind == TokenKind::kEndOfFile) break;
  }
}

bool TreeBuilder::Dispatch(Token& t) {
  if (t.kind == TokenKind::kCharacters && t.text.empty()) return true;
  if (open_.empty() || t.kind == TokenKind::kEndOfFile) return InMode(mode_, t);
  const NodeId node = Current();
  if (doc_.NamespaceOf(node) == Namespace::kHtml) return InMode(mode_, t);
  const bool start = t.kind == TokenKind::kStartTag;
  if (IsMathMlTextIntegrationPoint(node)) {
    if ((start && t.tag != Tag::kMglyph && t.tag != Tag::kMalignmark) ||
        t.kind == TokenKind::kCharacters) {
      return InMode(mode_, t);
    }
  }
  if (doc_.NamespaceOf(node) == Namespace::kMathMl && doc_.TagOf(node) == Tag::kAnnotationXml &&
      start && t.tag == Tag::kSvg) {
    return InMode(mode_, t);
  }
  if (IsHtmlIntegrationPoint(node) && (start || t.kind == TokenKind::kCharacters)) {
    return InMode(mode_, t);
  }
  return ForeignContent(t);
}

bool TreeBuilder::InMode(Mode mode, Token& t) {
  switch (mode) {
    case Mode::kInitial:
      return Initial(t);
    case Mode::kBeforeHtml:
      return BeforeHtml(t);
    case Mode::kBeforeHead:
      return BeforeHead(t);
    case Mode::kInHead:
      return InHead(t);
    case Mode::kInHeadNoscript:
      return InHeadNoscript(t);
    case Mode::kAfterHead:
      return AfterHead(t);
    case Mode::kInBody:
      return InBody(t);
    case Mode::kText:
      return Text(t);
    case Mode::kInTable:
      return InTable(t);
    case Mode::kInTableText:
      return InTableText(t);
    case Mode::kInCaption:
      return InCaption(t);
    case Mode::kInColumnGroup:
      return InColumnGroup(t);
    case Mode::kInTableBody:
      return InTableBody(t);
    case Mode::kInRow:
      return InRow(t);
    case Mode::kInCell:
      return InCell(t);
    case Mode::kInSelect:
      return InSelect(t);
    case Mode::kInSelectInTable:
      return InSelectInTable(t);
    case Mode::kInTemplate:
      return InTemplate(t);
    case Mode::kAfterBody:
      return AfterBody(t);
    case Mode::kInFrameset:
      return InFrameset(t);
    case Mode::kAfterFrameset:
      return AfterFrameset(t);
    case Mode::kAfterAfterBody:
      return AfterAfterBody(t);
    case Mode::kAfterAfterFrameset:
      return AfterAfterFrameset(t);
  }
  return true;
}

std::size_t TreeBuilder::MemoryBytes() const {
  return tokenizer_.MemoryBytes() + table_text_.capacity() * sizeof(char16_t) +
         (open_.capacity() + formatting_.capacity()) * sizeof(NodeId) +
         template_modes_.capacity() * sizeof(Mode);
}

namespace {

// The tree numbers its nodes and text in 32 bits; a page of fewer units than that never
// makes more of either (each unit of text, and nearly each node, comes from a unit of it).
constexpr std::size_t kMaxUnits = std::size_t{1} << 31;

void CheckSize(std::size_t units) {
  if (units >= kMaxUnits) throw OverflowError("the page is too large (4 GB or more)");
}

}  // namespace

Document ParseDocument(std::u16string_view page, Scripting scripting) {
  CheckSize(page.size());
  Document doc;
  TreeBuilder(page, doc, scripting).Run();
  return doc;
}

struct DocumentParser::State {
  State(std::size_t expected_units, Scripting scripting)
      : builder(doc, expected_units, scripting) {}
  Document doc;
  TreeBuilder builder;
};

DocumentParser::DocumentParser(std::size_t expected_units, Scripting scripting)
    : state_(std::make_unique<State>(std::min(expected_units, kMaxUnits), scripting)) {}

DocumentParser::~DocumentParser() = default;
DocumentParser::DocumentParser(DocumentParser&&) noexcept = default;
DocumentParser& DocumentParser::operator=(DocumentParser&&) noexcept = default;

void DocumentParser::Append(std::u16string_view more) {
  CheckSize(units_ + more.size());
  units_ += more.size();
  state_->builder.tokenizer().Append(more);
  state_->builder.Run();
}

Document DocumentParser::Finish() {
  state_->builder.tokenizer().EndOfInput();
  state_->builder.Run();
  Document doc = std::move(state_->doc);
  state_.reset();
  return doc;
}

std::size_t DocumentParser::MemoryBytes() const {
  return state_->doc.MemoryBytes() + BufferBytes();
}

std::size_t DocumentParser::BufferBytes() const {
  return state_->builder.MemoryBytes();
}

}  // namespace pagelift::html
