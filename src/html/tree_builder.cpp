// The WHATWG HTML standard's tree construction, over the tokenizer's tokens, into a
// Document. Parse errors are not reported; there is no fragment case. Scripting is on (a
// noscript element holds text) unless the caller turns it off, as a browser without scripts
// parses: noscript then holds elements.
#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/errors.h"
#include "base/huge_pages.h"
#include "base/scan_builds.h"
#include "html/document.h"
#include "html/tokenizer.h"

namespace pagelift::html {

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
  // again, in the mode now current (the standard's "reprocess the token").
  bool Dispatch(Token& t);
  bool InMode(Mode mode, Token& t);
  bool Initial(Token& t);
  bool BeforeHtml(Token& t);
  bool BeforeHead(Token& t);
  bool InHead(Token& t);
  bool InHeadNoscript(Token& t);
  bool AfterHead(Token& t);
  bool InBody(Token& t);
  bool InBodyStartTag(Token& t);
  bool InBodyEndTag(Token& t);
  bool Text(Token& t);
  bool InTable(Token& t);
  bool InTableText(Token& t);
  bool InCaption(Token& t);
  bool InColumnGroup(Token& t);
  bool InTableBody(Token& t);
  bool InRow(Token& t);
  bool InCell(Token& t);
  bool InSelect(Token& t);
  bool InSelectInTable(Token& t);
  bool InTemplate(Token& t);
  bool AfterBody(Token& t);
  bool InFrameset(Token& t);
  bool AfterFrameset(Token& t);
  bool AfterAfterBody(Token& t);
  bool ForeignContent(Token& t);

  // Tokens.
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

  // Nodes.
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

  // The stack of open elements.
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

  // The list of active formatting elements.
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

namespace {

// Where the first U+0000 of `text` is, or npos: text runs are long, and scanned in vectors.
std::size_t FindNul(std::u16string_view text) {
  const char16_t* const end = text.data() + text.size();
  const char16_t* const at = BaselineScan::FindFirstOf<u'\0'>(text.data(), end);
  return at == end ? std::u16string_view::npos : static_cast<std::size_t>(at - text.data());
}

bool IsSpaceUnit(char16_t c) {
  return c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r' || c == u' ';
}

std::u16string LowerAscii(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 0x20);
  }
  return out;
}

const Attribute* FindIn(const Token& t, std::u16string_view name) {
  for (const Attribute& a : t.attributes) {
    if (a.name == name) return &a;
  }
  return nullptr;
}

// Whether a doctype puts the document in quirks mode.
bool QuirksDoctype(const Token& t) {
  if (t.force_quirks || t.text != u"html") return true;
  const std::u16string pub = LowerAscii(t.public_id);
  const std::u16string sys = LowerAscii(t.system_id);
  if (t.has_system_id && sys == u"http://www.ibm.com/data/dtd/v11/ibmxhtml1-transitional.dtd") {
    return true;
  }
  if (!t.has_public_id) return false;
  if (pub == u"-//w3o//dtd w3 html strict 3.0//en//" ||
      pub == u"-/w3c/dtd html 4.0 transitional/en" || pub == u"html") {
    return true;
  }
  static constexpr std::u16string_view kPrefixes[] = {
      u"+//silmaril//dtd html pro v0r11 19970101//",
      u"-//as//dtd html 3.0 aswedit + extensions//",
      u"-//advasoft ltd//dtd html 3.0 aswedit + extensions//",
      u"-//ietf//dtd html 2.0 level 1//",
      u"-//ietf//dtd html 2.0 level 2//",
      u"-//ietf//dtd html 2.0 strict level 1//",
      u"-//ietf//dtd html 2.0 strict level 2//",
      u"-//ietf//dtd html 2.0 strict//",
      u"-//ietf//dtd html 2.0//",
      u"-//ietf//dtd html 2.1e//",
      u"-//ietf//dtd html 3.0//",
      u"-//ietf//dtd html 3.2 final//",
      u"-//ietf//dtd html 3.2//",
      u"-//ietf//dtd html 3//",
      u"-//ietf//dtd html level 0//",
      u"-//ietf//dtd html level 1//",
      u"-//ietf//dtd html level 2//",
      u"-//ietf//dtd html level 3//",
      u"-//ietf//dtd html strict level 0//",
      u"-//ietf//dtd html strict level 1//",
      u"-//ietf//dtd html strict level 2//",
      u"-//ietf//dtd html strict level 3//",
      u"-//ietf//dtd html strict//",
      u"-//ietf//dtd html//",
      u"-//metrius//dtd metrius presentational//",
      u"-//microsoft//dtd internet explorer 2.0 html strict//",
      u"-//microsoft//dtd internet explorer 2.0 html//",
      u"-//microsoft//dtd internet explorer 2.0 tables//",
      u"-//microsoft//dtd internet explorer 3.0 html strict//",
      u"-//microsoft//dtd internet explorer 3.0 html//",
      u"-//microsoft//dtd internet explorer 3.0 tables//",
      u"-//netscape comm. corp.//dtd html//",
      u"-//netscape comm. corp.//dtd strict html//",
      u"-//o'reilly and associates//dtd html 2.0//",
      u"-//o'reilly and associates//dtd html extended 1.0//",
      u"-//o'reilly and associates//dtd html extended relaxed 1.0//",
      u"-//sq//dtd html 2.0 hotmetal + extensions//",
      u"-//softquad software//dtd hotmetal pro 6.0::19990601::extensions to html 4.0//",
      u"-//softquad//dtd hotmetal pro 4.0::19971010::extensions to html 4.0//",
      u"-//spyglass//dtd html 2.0 extended//",
      u"-//sun microsystems corp.//dtd hotjava html//",
      u"-//sun microsystems corp.//dtd hotjava strict html//",
      u"-//w3c//dtd html 3 1995-03-24//",
      u"-//w3c//dtd html 3.2 draft//",
      u"-//w3c//dtd html 3.2 final//",
      u"-//w3c//dtd html 3.2//",
      u"-//w3c//dtd html 3.2s draft//",
      u"-//w3c//dtd html 4.0 frameset//",
      u"-//w3c//dtd html 4.0 transitional//",
      u"-//w3c//dtd html experimental 19960712//",
      u"-//w3c//dtd html experimental 970421//",
      u"-//w3c//dtd w3 html//",
      u"-//w3o//dtd w3 html 3.0//",
      u"-//webtechs//dtd mozilla html 2.0//",
      u"-//webtechs//dtd mozilla html//",
  };
  for (const std::u16string_view prefix : kPrefixes) {
    if (pub.starts_with(prefix)) return true;
  }
  return !t.has_system_id && (pub.starts_with(u"-//w3c//dtd html 4.01 frameset//") ||
                              pub.starts_with(u"-//w3c//dtd html 4.01 transitional//"));
}

}  // namespace

// ---- Tokens ----

std::uint32_t TreeBuilder::Intern(std::u16string_view name) {
  const auto [it, added] = interned_.try_emplace(std::u16string(name), 0);
  if (added) {
    it->second =
        static_cast<std::uint32_t>(Tag::kTagCount) + static_cast<std::uint32_t>(doc_.names_.size());
    doc_.names_.emplace_back(name);
  }
  return it->second;
}

bool TreeBuilder::IsTag(const Token& t, TokenKind kind, std::initializer_list<Tag> tags) {
  return t.kind == kind && std::find(tags.begin(), tags.end(), t.tag) != tags.end();
}

std::u16string_view TreeBuilder::TakeSpace(Token& t) {
  std::size_t n = 0;
  while (n < t.text.size() && IsSpaceUnit(t.text[n])) ++n;
  const std::u16string_view space = t.text.substr(0, n);
  t.text.remove_prefix(n);
  return space;
}

bool TreeBuilder::AllSpace(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), IsSpaceUnit);
}

// ---- Nodes ----

bool TreeBuilder::IsOneOf(NodeId node, std::initializer_list<Tag> tags) const {
  if (doc_.NamespaceOf(node) != Namespace::kHtml) return false;
  return std::find(tags.begin(), tags.end(), doc_.TagOf(node)) != tags.end();
}

bool TreeBuilder::SpecialByName(Tag tag, Namespace ns) {
  switch (ns) {
    case Namespace::kMathMl:
      return tag == Tag::kMi || tag == Tag::kMo || tag == Tag::kMn || tag == Tag::kMs ||
             tag == Tag::kMtext || tag == Tag::kAnnotationXml;
    case Namespace::kSvg:
      return tag == Tag::kForeignObject || tag == Tag::kDesc || tag == Tag::kTitle;
    case Namespace::kHtml:
      break;
  }
  switch (tag) {
    case Tag::kAddress:
    case Tag::kApplet:
    case Tag::kArea:
    case Tag::kArticle:
    case Tag::kAside:
    case Tag::kBase:
    case Tag::kBasefont:
    case Tag::kBgsound:
    case Tag::kBlockquote:
    case Tag::kBody:
    case Tag::kBr:
    case Tag::kButton:
    case Tag::kCaption:
    case Tag::kCenter:
    case Tag::kCol:
    case Tag::kColgroup:
    case Tag::kDd:
    case Tag::kDetails:
    case Tag::kDialog:
    case Tag::kDir:
    case Tag::kDiv:
    case Tag::kDl:
    case Tag::kDt:
    case Tag::kEmbed:
    case Tag::kFieldset:
    case Tag::kFigcaption:
    case Tag::kFigure:
    case Tag::kFooter:
    case Tag::kForm:
    case Tag::kFrame:
    case Tag::kFrameset:
    case Tag::kH1:
    case Tag::kH2:
    case Tag::kH3:
    case Tag::kH4:
    case Tag::kH5:
    case Tag::kH6:
    case Tag::kHead:
    case Tag::kHeader:
    case Tag::kHgroup:
    case Tag::kHr:
    case Tag::kHtml:
    case Tag::kIframe:
    case Tag::kImg:
    case Tag::kInput:
    case Tag::kKeygen:
    case Tag::kLi:
    case Tag::kLink:
    case Tag::kListing:
    case Tag::kMain:
    case Tag::kMarquee:
    case Tag::kMenu:
    case Tag::kMeta:
    case Tag::kNav:
    case Tag::kNoembed:
    case Tag::kNoframes:
    case Tag::kNoscript:
    case Tag::kObject:
    case Tag::kOl:
    case Tag::kP:
    case Tag::kParam:
    case Tag::kPlaintext:
    case Tag::kPre:
    case Tag::kScript:
    case Tag::kSearch:
    case Tag::kSection:
    case Tag::kSelect:
    case Tag::kSource:
    case Tag::kStyle:
    case Tag::kSummary:
    case Tag::kTable:
    case Tag::kTbody:
    case Tag::kTd:
    case Tag::kTemplate:
    case Tag::kTextarea:
    case Tag::kTfoot:
    case Tag::kTh:
    case Tag::kThead:
    case Tag::kTitle:
    case Tag::kTr:
    case Tag::kTrack:
    case Tag::kUl:
    case Tag::kWbr:
    case Tag::kXmp:
      return true;
    default:
      return false;
  }
}

bool TreeBuilder::DefaultScopeByName(Tag tag, Namespace ns) {
  switch (ns) {
    case Namespace::kHtml:
      return tag == Tag::kApplet || tag == Tag::kCaption || tag == Tag::kHtml ||
             tag == Tag::kTable || tag == Tag::kTd || tag == Tag::kTh || tag == Tag::kMarquee ||
             tag == Tag::kObject || tag == Tag::kTemplate;
    case Namespace::kMathMl:
    case Namespace::kSvg:
      return SpecialByName(tag, ns);  // the same names
  }
  return false;
}

std::uint8_t TreeBuilder::FlagsFor(Tag tag, Namespace ns) {
  std::uint8_t flags = 0;
  if (SpecialByName(tag, ns)) flags |= kSpecial;
  if (DefaultScopeByName(tag, ns)) flags |= kDefaultScope;
  if (ns != Namespace::kHtml) return flags;
  if (tag == Tag::kOl || tag == Tag::kUl) flags |= kListItemScope;
  if (tag == Tag::kButton) flags |= kButtonScope;
  if (tag == Tag::kHtml || tag == Tag::kTable || tag == Tag::kTemplate) flags |= kTableScope;
  if (tag == Tag::kOptgroup || tag == Tag::kOption) flags |= kSelectInner;
  return flags;
}

std::uint8_t TreeBuilder::FlagsOf(Tag tag, Namespace ns) {
  // The HTML elements' from a table made once; the few foreign ones each time.
  static const auto kHtmlFlags = [] {
    std::array<std::uint8_t, static_cast<std::size_t>(Tag::kTagCount)> flags{};
    for (std::size_t t = 0; t < flags.size(); ++t) {
      flags[t] = FlagsFor(static_cast<Tag>(t), Namespace::kHtml);
    }
    return flags;
  }();
  const auto known = static_cast<std::size_t>(tag);
  if (ns == Namespace::kHtml) return known < kHtmlFlags.size() ? kHtmlFlags[known] : 0;
  return FlagsFor(tag, ns);
}

void TreeBuilder::MarkOpen(NodeId node, bool open) {
  Document::Node& n = doc_.nodes_[node];
  n.open = open;
  if (n.ns == Namespace::kHtml && n.name < static_cast<std::uint32_t>(Tag::kTagCount)) {
    open_count_[n.name] += open ? 1 : static_cast<std::uint32_t>(-1);
  }
}

bool TreeBuilder::IsMathMlTextIntegrationPoint(NodeId node) const {
  if (doc_.NamespaceOf(node) != Namespace::kMathMl) return false;
  const Tag tag = doc_.TagOf(node);
  return tag == Tag::kMi || tag == Tag::kMo || tag == Tag::kMn || tag == Tag::kMs ||
         tag == Tag::kMtext;
}

bool TreeBuilder::IsHtmlIntegrationPoint(NodeId node) const {
  const Tag tag = doc_.TagOf(node);
  switch (doc_.NamespaceOf(node)) {
    case Namespace::kSvg:
      return tag == Tag::kForeignObject || tag == Tag::kDesc || tag == Tag::kTitle;
    case Namespace::kMathMl: {
      if (tag != Tag::kAnnotationXml) return false;
      const auto encoding = doc_.FindAttribute(node, u"encoding");
      if (!encoding) return false;
      const std::u16string value = LowerAscii(*encoding);
      return value == u"text/html" || value == u"application/xhtml+xml";
    }
    case Namespace::kHtml:
      return false;
  }
  return false;
}

NodeId TreeBuilder::CreateElement(const Token& t, Namespace ns) {
  const NodeId node = doc_.Add(NodeKind::kElement);
  Document::Node& n = doc_.nodes_[node];
  n.name = static_cast<std::uint32_t>(t.tag);
  n.ns = ns;
  n.begin = static_cast<std::uint32_t>(doc_.attributes_.size());
  n.size = static_cast<std::uint32_t>(t.attributes.size());
  for (const Attribute& a : t.attributes) {
    const std::uint32_t name = doc_.AppendText(a.name);
    const std::uint32_t value = doc_.AppendText(a.value);
    doc_.attributes_.push_back({name, static_cast<std::uint32_t>(a.name.size()), value,
                                static_cast<std::uint32_t>(a.value.size())});
  }
  n.flags = FlagsOf(t.tag, ns);
  if (ns == Namespace::kHtml && t.tag == Tag::kTemplate) doc_.Add(NodeKind::kTemplateContent);
  if (ns == Namespace::kHtml && t.tag == Tag::kTitle) doc_.has_title_ = true;
  return node;
}

NodeId TreeBuilder::CloneElement(NodeId element) {
  // A clone shares the attributes of its original, which no one changes.
  const Document::Node source = doc_.nodes_[element];
  const NodeId node = doc_.Add(NodeKind::kElement);
  Document::Node& n = doc_.nodes_[node];
  n.name = source.name;
  n.ns = source.ns;
  n.begin = source.begin;
  n.size = source.size;
  n.flags = source.flags;
  ++clones_made_;
  return node;
}

TreeBuilder::Place TreeBuilder::AppropriatePlace(NodeId target) const {
  if (target == kNoNode) target = Current();
  Place place{target, kNoNode};
  if (foster_parenting_ &&
      IsOneOf(target, {Tag::kTable, Tag::kTbody, Tag::kTfoot, Tag::kThead, Tag::kTr})) {
    std::size_t last_template = open_.size(), last_table = open_.size();
    for (std::size_t k = open_.size(); k-- > 0;) {
      if (last_template == open_.size() && Is(open_[k], Tag::kTemplate)) last_template = k;
      if (last_table == open_.size() && Is(open_[k], Tag::kTable)) last_table = k;
    }
    if (last_template != open_.size() &&
        (last_table == open_.size() || last_template > last_table)) {
      place = {open_[last_template], kNoNode};
    } else if (last_table == open_.size()) {
      place = {open_[0], kNoNode};
    } else if (doc_.Parent(open_[last_table]) != kNoNode) {
      place = {doc_.Parent(open_[last_table]), open_[last_table]};
    } else {
      place = {open_[last_table - 1], kNoNode};
    }
  }
  if (Is(place.parent, Tag::kTemplate)) place = {doc_.TemplateContent(place.parent), kNoNode};
  return place;
}

NodeId TreeBuilder::InsertElement(const Token& t, Namespace ns) {
  // At the limit of depth the deepest element is closed first: the new one becomes its
  // sibling.
  if (open_.size() >= kMaxOpen) Pop();
  const Place place = AppropriatePlace();
  const NodeId node = CreateElement(t, ns);
  InsertAt(place, node);
  Push(node);
  return node;
}

NodeId TreeBuilder::InsertElementNamed(Tag tag) {
  Token t;
  t.kind = TokenKind::kStartTag;
  t.tag = tag;
  return InsertElement(t);
}

void TreeBuilder::InsertText(std::u16string_view text) {
  if (text.empty()) return;
  const Place place = AppropriatePlace();
  if (doc_.Kind(place.parent) == NodeKind::kDocument) return;
  const NodeId before =
      place.before == kNoNode ? doc_.LastChild(place.parent) : doc_.PreviousSibling(place.before);
  // Text that follows text in the buffer extends its node; otherwise it starts a node of its
  // own (two texts in a row read as one), so that no text is ever copied twice.
  if (before != kNoNode && doc_.Kind(before) == NodeKind::kText) {
    Document::Node& n = doc_.nodes_[before];
    if (n.begin + n.size == doc_.text_.size()) {
      doc_.AppendText(text);
      n.size += static_cast<std::uint32_t>(text.size());
      return;
    }
  }
  const NodeId node = doc_.Add(NodeKind::kText);
  doc_.nodes_[node].begin = doc_.AppendText(text);
  doc_.nodes_[node].size = static_cast<std::uint32_t>(text.size());
  InsertAt(place, node);
}

void TreeBuilder::InsertComment(const Token& t, NodeId parent) {
  const Place place = parent == kNoNode ? AppropriatePlace() : Place{parent, kNoNode};
  const NodeId node = doc_.Add(NodeKind::kComment);
  doc_.nodes_[node].begin = doc_.AppendText(t.text);
  doc_.nodes_[node].size = static_cast<std::uint32_t>(t.text.size());
  InsertAt(place, node);
}

void TreeBuilder::GenericText(const Token& t, TextState state) {
  InsertElement(t);
  tokenizer_.SwitchTo(state);
  original_mode_ = mode_;
  mode_ = Mode::kText;
}

// ---- The stack of open elements ----

void TreeBuilder::Push(NodeId node) {
  open_.push_back(node);
  MarkOpen(node, true);
  if (Is(node, Tag::kTemplate)) ++templates_open_;
}

void TreeBuilder::Pop() {
  // The html element stays: every "pop until" ends there at the latest.
  if (open_.size() <= 1) return;
  const NodeId node = open_.back();
  open_.pop_back();
  MarkOpen(node, false);
  if (Is(node, Tag::kTemplate)) {
    --templates_open_;
    // Each open template has its mode: closing one, whatever closes it, drops its mode.
    if (template_modes_.size() > static_cast<std::size_t>(templates_open_)) {
      template_modes_.pop_back();
    }
  }
}

void TreeBuilder::PopUntil(Tag tag) {
  while (open_.size() > 1) {
    const bool found = Is(Current(), tag);
    Pop();
    if (found) return;
  }
}

void TreeBuilder::PopUntilOneOf(std::initializer_list<Tag> tags) {
  while (open_.size() > 1) {
    const bool found = IsOneOf(Current(), tags);
    Pop();
    if (found) return;
  }
}

void TreeBuilder::RemoveFromStack(NodeId node) {
  const auto it = std::find(open_.begin(), open_.end(), node);
  if (it == open_.end() || it == open_.begin()) return;
  if (it + 1 == open_.end()) return Pop();
  open_.erase(it);
  MarkOpen(node, false);
  if (Is(node, Tag::kTemplate)) {
    --templates_open_;
    if (template_modes_.size() > static_cast<std::size_t>(templates_open_)) {
      template_modes_.pop_back();
    }
  }
}

bool TreeBuilder::OnStack(Tag tag) const {
  return std::any_of(open_.begin(), open_.end(), [&](NodeId n) { return Is(n, tag); });
}

bool TreeBuilder::IsScopeBoundary(NodeId node, Scope scope) const {
  const std::uint8_t flags = doc_.nodes_[node].flags;
  switch (scope) {
    case Scope::kDefault:
      return flags & kDefaultScope;
    case Scope::kListItem:
      return flags & (kDefaultScope | kListItemScope);
    case Scope::kButton:
      return flags & (kDefaultScope | kButtonScope);
    case Scope::kTable:
      return flags & kTableScope;
    case Scope::kSelect:
      return !(flags & kSelectInner);
  }
  return false;
}

bool TreeBuilder::InScope(Tag tag, Scope scope) const {
  const auto known = static_cast<std::size_t>(tag);
  if (known < std::size(open_count_) && open_count_[known] == 0) return false;
  for (std::size_t k = open_.size(); k-- > 0;) {
    if (Is(open_[k], tag)) return true;
    if (IsScopeBoundary(open_[k], scope)) return false;
  }
  return false;
}

bool TreeBuilder::NodeInScope(NodeId node) const {
  for (std::size_t k = open_.size(); k-- > 0;) {
    if (open_[k] == node) return true;
    if (IsScopeBoundary(open_[k], Scope::kDefault)) return false;
  }
  return false;
}

void TreeBuilder::GenerateImpliedEndTags(Tag except) {
  while (open_.size() > 1 && !Is(Current(), except) &&
         IsOneOf(Current(), {Tag::kDd, Tag::kDt, Tag::kLi, Tag::kOptgroup, Tag::kOption, Tag::kP,
                             Tag::kRb, Tag::kRp, Tag::kRt, Tag::kRtc})) {
    Pop();
  }
}

void TreeBuilder::GenerateAllImpliedEndTagsThoroughly() {
  while (open_.size() > 1 &&
         IsOneOf(Current(),
                 {Tag::kCaption, Tag::kColgroup, Tag::kDd, Tag::kDt, Tag::kLi, Tag::kOptgroup,
                  Tag::kOption, Tag::kP, Tag::kRb, Tag::kRp, Tag::kRt, Tag::kRtc, Tag::kTbody,
                  Tag::kTd, Tag::kTfoot, Tag::kTh, Tag::kThead, Tag::kTr})) {
    Pop();
  }
}

void TreeBuilder::ClosePElement() {
  GenerateImpliedEndTags(Tag::kP);
  PopUntil(Tag::kP);
}

void TreeBuilder::ClearStackBackTo(std::initializer_list<Tag> tags) {
  while (open_.size() > 1 && !IsOneOf(Current(), tags)) Pop();
}

void TreeBuilder::ResetInsertionMode() {
  for (std::size_t k = open_.size(); k-- > 0;) {
    const NodeId node = open_[k];
    const bool last = k == 0;
    if (Is(node, Tag::kSelect)) {
      for (std::size_t a = k; a-- > 0;) {
        if (Is(open_[a], Tag::kTemplate)) break;
        if (Is(open_[a], Tag::kTable)) {
          mode_ = Mode::kInSelectInTable;
          return;
        }
      }
      mode_ = Mode::kInSelect;
      return;
    }
    if (IsOneOf(node, {Tag::kTd, Tag::kTh}) && !last) {
      mode_ = Mode::kInCell;
      return;
    }
    if (Is(node, Tag::kTr)) {
      mode_ = Mode::kInRow;
      return;
    }
    if (IsOneOf(node, {Tag::kTbody, Tag::kThead, Tag::kTfoot})) {
      mode_ = Mode::kInTableBody;
      return;
    }
    if (Is(node, Tag::kCaption)) {
      mode_ = Mode::kInCaption;
      return;
    }
    if (Is(node, Tag::kColgroup)) {
      mode_ = Mode::kInColumnGroup;
      return;
    }
    if (Is(node, Tag::kTable)) {
      mode_ = Mode::kInTable;
      return;
    }
    if (Is(node, Tag::kTemplate)) {
      mode_ = template_modes_.empty() ? Mode::kInBody : template_modes_.back();
      return;
    }
    if (Is(node, Tag::kHead) && !last) {
      mode_ = Mode::kInHead;
      return;
    }
    if (Is(node, Tag::kBody)) {
      mode_ = Mode::kInBody;
      return;
    }
    if (Is(node, Tag::kFrameset)) {
      mode_ = Mode::kInFrameset;
      return;
    }
    if (Is(node, Tag::kHtml)) {
      mode_ = head_ == kNoNode ? Mode::kBeforeHead : Mode::kAfterHead;
      return;
    }
    if (last) break;
  }
  mode_ = Mode::kInBody;
}

void TreeBuilder::CloseCell() {
  GenerateImpliedEndTags();
  PopUntilOneOf({Tag::kTd, Tag::kTh});
  ClearFormattingToMarker();
  mode_ = Mode::kInRow;
}

// ---- The list of active formatting elements ----

std::size_t TreeBuilder::FormattingIndex(NodeId node) const {
  for (std::size_t k = formatting_.size(); k-- > 0;) {
    if (formatting_[k] == node) return k;
    if (formatting_[k] == kMarker) break;
  }
  return formatting_.size();
}

bool TreeBuilder::SameElement(NodeId a, NodeId b) const {
  const Document::Node& x = doc_.nodes_[a];
  const Document::Node& y = doc_.nodes_[b];
  if (x.name != y.name || x.ns != y.ns || x.size != y.size) return false;
  for (std::size_t i = 0; i < x.size; ++i) {
    const auto value = doc_.FindAttribute(b, doc_.AttributeName(a, i));
    if (!value || *value != doc_.AttributeValue(a, i)) return false;
  }
  return true;
}

void TreeBuilder::PushFormatting(NodeId element) {
  std::size_t after_marker = formatting_.size();
  while (after_marker > 0 && formatting_[after_marker - 1] != kMarker) --after_marker;
  // Noah's Ark: at most three alike.
  std::size_t alike = 0, earliest = formatting_.size();
  for (std::size_t k = formatting_.size(); k-- > after_marker;) {
    if (SameElement(formatting_[k], element)) {
      ++alike;
      earliest = k;
    }
  }
  if (alike >= 3) formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(earliest));
  if (formatting_.size() - after_marker >= kMaxFormatting) {
    formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(after_marker));
  }
  formatting_.push_back(element);
}

void TreeBuilder::ReconstructFormatting() {
  if (formatting_.empty()) return;
  const auto open = [&](NodeId n) { return n == kMarker || doc_.nodes_[n].open; };
  if (open(formatting_.back())) return;
  std::size_t k = formatting_.size() - 1;
  while (k > 0 && !open(formatting_[k - 1])) --k;
  for (; k < formatting_.size(); ++k) {
    if (!MayClone()) return;
    const NodeId clone = CloneElement(formatting_[k]);
    if (open_.size() >= kMaxOpen) Pop();
    InsertAt(AppropriatePlace(), clone);
    Push(clone);
    formatting_[k] = clone;
  }
}

void TreeBuilder::ClearFormattingToMarker() {
  while (!formatting_.empty()) {
    const NodeId entry = formatting_.back();
    formatting_.pop_back();
    if (entry == kMarker) return;
  }
}

bool TreeBuilder::AdoptionAgency(const Token& t) {
  const auto subject = static_cast<std::uint32_t>(t.tag);
  const NodeId current = Current();
  if (doc_.IsHtml(current, t.tag) && FormattingIndex(current) == formatting_.size()) {
    Pop();
    return true;
  }
  for (int outer = 0; outer < 8; ++outer) {
    std::size_t f = formatting_.size();
    for (std::size_t k = formatting_.size(); k-- > 0;) {
      if (formatting_[k] == kMarker) break;
      if (doc_.nodes_[formatting_[k]].name == subject &&
          doc_.NamespaceOf(formatting_[k]) == Namespace::kHtml) {
        f = k;
        break;
      }
    }
    if (f == formatting_.size()) return false;
    const NodeId formatting = formatting_[f];
    if (!doc_.nodes_[formatting].open) {
      formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(f));
      return true;
    }
    if (!NodeInScope(formatting)) return true;
    const std::size_t at =
        static_cast<std::size_t>(std::find(open_.begin(), open_.end(), formatting) - open_.begin());
    std::size_t furthest_at = open_.size();
    for (std::size_t k = at + 1; k < open_.size(); ++k) {
      if (IsSpecial(open_[k])) {
        furthest_at = k;
        break;
      }
    }
    if (furthest_at == open_.size()) {
      while (open_.size() > at) Pop();
      formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(f));
      return true;
    }
    // Past the bound on made elements, the end tag only closes what it can.
    if (!MayClone()) return false;
    const NodeId furthest = open_[furthest_at];
    const NodeId common_ancestor = open_[at - 1];
    std::size_t bookmark = f;
    NodeId last = furthest;
    std::size_t node_at = furthest_at;
    for (int inner = 1;; ++inner) {
      --node_at;
      NodeId node = open_[node_at];
      if (node == formatting) break;
      std::size_t entry = FormattingIndex(node);
      if (inner > 3 && entry != formatting_.size()) {
        formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(entry));
        if (entry < bookmark) --bookmark;
        entry = formatting_.size();
      }
      if (entry == formatting_.size()) {
        open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(node_at));
        MarkOpen(node, false);
        continue;
      }
      const NodeId clone = CloneElement(node);
      formatting_[entry] = clone;
      open_[node_at] = clone;
      MarkOpen(node, false);
      MarkOpen(clone, true);
      node = clone;
      if (last == furthest) bookmark = entry + 1;
      doc_.Remove(last);
      doc_.Insert(node, last, kNoNode);
      last = node;
    }
    doc_.Remove(last);
    InsertAt(AppropriatePlace(common_ancestor), last);
    const NodeId clone = CloneElement(formatting);
    // The furthest block's children move to the clone, which takes their place.
    while (doc_.FirstChild(furthest) != kNoNode) {
      const NodeId child = doc_.FirstChild(furthest);
      doc_.Remove(child);
      doc_.Insert(clone, child, kNoNode);
    }
    doc_.Insert(furthest, clone, kNoNode);
    // Entries may have gone from before it: find the formatting element again.
    f = static_cast<std::size_t>(std::find(formatting_.begin(), formatting_.end(), formatting) -
                                 formatting_.begin());
    formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(f));
    if (f < bookmark) --bookmark;
    formatting_.insert(formatting_.begin() + static_cast<std::ptrdiff_t>(bookmark), clone);
    const auto formatting_it = std::find(open_.begin(), open_.end(), formatting);
    open_.erase(formatting_it);
    MarkOpen(formatting, false);
    const auto furthest_it = std::find(open_.begin(), open_.end(), furthest);
    open_.insert(furthest_it + 1, clone);
    MarkOpen(clone, true);
  }
  return true;
}

void TreeBuilder::AnyOtherEndTag(const Token& t) {
  for (std::size_t k = open_.size(); k-- > 1;) {
    const NodeId node = open_[k];
    if (doc_.IsHtml(node, t.tag)) {
      GenerateImpliedEndTags(t.tag);
      while (open_.size() > k) Pop();
      return;
    }
    if (IsSpecial(node)) return;
  }
}

// ---- Dispatch ----

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
      if (t.kind == TokenKind::kComment) {
        InsertComment(t, Document::kRoot);
        return true;
      }
      if (t.kind == TokenKind::kCharacters) {
        // Whitespace as in body; anything else is dropped.
        std::u16string space;
        for (const char16_t c : t.text) {
          if (IsSpaceUnit(c)) space.push_back(c);
        }
        Token s = t;
        s.text = space;
        return InBody(s);
      }
      if (t.kind == TokenKind::kDoctype || IsStart(t, {Tag::kHtml})) return InBody(t);
      if (IsStart(t, {Tag::kNoframes})) return InHead(t);
      return true;
  }
  return true;
}

// ---- The insertion modes ----

bool TreeBuilder::Initial(Token& t) {
  if (t.kind == TokenKind::kCharacters) {
    TakeSpace(t);
    if (t.text.empty()) return true;
  } else if (t.kind == TokenKind::kComment) {
    InsertComment(t, Document::kRoot);
    return true;
  } else if (t.kind == TokenKind::kDoctype) {
    const NodeId node = doc_.Add(NodeKind::kDoctype);
    doc_.nodes_[node].begin = doc_.AppendText(t.text);
    doc_.nodes_[node].size = static_cast<std::uint32_t>(t.text.size());
    doc_.Insert(Document::kRoot, node, kNoNode);
    quirks_ = QuirksDoctype(t);
    mode_ = Mode::kBeforeHtml;
    return true;
  }
  quirks_ = true;
  mode_ = Mode::kBeforeHtml;
  return false;
}

bool TreeBuilder::BeforeHtml(Token& t) {
  if (t.kind == TokenKind::kDoctype) return true;
  if (t.kind == TokenKind::kComment) {
    InsertComment(t, Document::kRoot);
    return true;
  }
  if (t.kind == TokenKind::kCharacters) {
    TakeSpace(t);
    if (t.text.empty()) return true;
  }
  if (t.kind == TokenKind::kEndTag && !IsEnd(t, {Tag::kHead, Tag::kBody, Tag::kHtml, Tag::kBr})) {
    return true;
  }
  Token html;
  html.kind = TokenKind::kStartTag;
  html.tag = Tag::kHtml;
  const bool own = IsStart(t, {Tag::kHtml});
  const NodeId node = CreateElement(own ? t : html, Namespace::kHtml);
  doc_.Insert(Document::kRoot, node, kNoNode);
  Push(node);
  mode_ = Mode::kBeforeHead;
  return own;
}

bool TreeBuilder::BeforeHead(Token& t) {
  if (t.kind == TokenKind::kCharacters) {
    TakeSpace(t);
    if (t.text.empty()) return true;
  } else if (t.kind == TokenKind::kComment) {
    InsertComment(t);
    return true;
  } else if (t.kind == TokenKind::kDoctype) {
    return true;
  } else if (IsStart(t, {Tag::kHtml})) {
    return InBody(t);
  } else if (IsStart(t, {Tag::kHead})) {
    head_ = InsertElement(t);
    mode_ = Mode::kInHead;
    return true;
  } else if (t.kind == TokenKind::kEndTag &&
             !IsEnd(t, {Tag::kHead, Tag::kBody, Tag::kHtml, Tag::kBr})) {
    return true;
  }
  head_ = InsertElementNamed(Tag::kHead);
  mode_ = Mode::kInHead;
  return false;
}

bool TreeBuilder::InHead(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters:
      InsertText(TakeSpace(t));
      if (t.text.empty()) return true;
      break;
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return true;
    case TokenKind::kStartTag:
      switch (t.tag) {
        case Tag::kHtml:
          return InBody(t);
        case Tag::kBase:
        case Tag::kBasefont:
        case Tag::kBgsound:
        case Tag::kLink:
        case Tag::kMeta:
          InsertElement(t);
          Pop();
          return true;
        case Tag::kTitle:
          GenericText(t, TextState::kRcdata);
          return true;
        case Tag::kNoscript:
          if (!scripting_) {
            InsertElement(t);
            mode_ = Mode::kInHeadNoscript;
            return true;
          }
          GenericText(t, TextState::kRawtext);
          return true;
        case Tag::kNoframes:
        case Tag::kStyle:
          GenericText(t, TextState::kRawtext);
          return true;
        case Tag::kScript:
          GenericText(t, TextState::kScriptData);
          return true;
        case Tag::kTemplate:
          InsertElement(t);
          formatting_.push_back(kMarker);
          frameset_ok_ = false;
          mode_ = Mode::kInTemplate;
          template_modes_.push_back(Mode::kInTemplate);
          return true;
        case Tag::kHead:
          return true;
        default:
          break;
      }
      break;
    case TokenKind::kEndTag:
      switch (t.tag) {
        case Tag::kHead:
          Pop();
          mode_ = Mode::kAfterHead;
          return true;
        case Tag::kBody:
        case Tag::kHtml:
        case Tag::kBr:
          break;
        case Tag::kTemplate:
          if (templates_open_ == 0) return true;
          GenerateAllImpliedEndTagsThoroughly();
          PopUntil(Tag::kTemplate);  // which takes its template mode with it
          ClearFormattingToMarker();
          ResetInsertionMode();
          return true;
        default:
          return true;
      }
      break;
    case TokenKind::kEndOfFile:
      break;
  }
  Pop();  // the head
  mode_ = Mode::kAfterHead;
  return false;
}

bool TreeBuilder::InHeadNoscript(Token& t) {
  switch (t.kind) {
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return true;
    case TokenKind::kComment:
      return InHead(t);
    case TokenKind::kCharacters:
      InsertText(TakeSpace(t));
      if (t.text.empty()) return true;
      break;
    case TokenKind::kStartTag:
      switch (t.tag) {
        case Tag::kHtml:
          return InBody(t);
        case Tag::kBasefont:
        case Tag::kBgsound:
        case Tag::kLink:
        case Tag::kMeta:
        case Tag::kNoframes:
        case Tag::kStyle:
          return InHead(t);
        case Tag::kHead:
        case Tag::kNoscript:
          return true;
        default:
          break;
      }
      break;
    case TokenKind::kEndTag:
      if (t.tag == Tag::kNoscript) {
        Pop();
        mode_ = Mode::kInHead;
        return true;
      }
      if (t.tag != Tag::kBr) return true;
      break;
    case TokenKind::kEndOfFile:
      break;
  }
  // Anything else closes the noscript element, and is handled in the head.
  Pop();
  mode_ = Mode::kInHead;
  return false;
}

bool TreeBuilder::AfterHead(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters:
      InsertText(TakeSpace(t));
      if (t.text.empty()) return true;
      break;
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return true;
    case TokenKind::kStartTag:
      switch (t.tag) {
        case Tag::kHtml:
          return InBody(t);
        case Tag::kBody:
          InsertElement(t);
          frameset_ok_ = false;
          mode_ = Mode::kInBody;
          return true;
        case Tag::kFrameset:
          InsertElement(t);
          mode_ = Mode::kInFrameset;
          return true;
        case Tag::kBase:
        case Tag::kBasefont:
        case Tag::kBgsound:
        case Tag::kLink:
        case Tag::kMeta:
        case Tag::kNoframes:
        case Tag::kScript:
        case Tag::kStyle:
        case Tag::kTemplate:
        case Tag::kTitle: {
          if (head_ == kNoNode) return true;
          Push(head_);
          const bool done = InHead(t);
          RemoveFromStack(head_);
          return done;
        }
        case Tag::kHead:
          return true;
        default:
          break;
      }
      break;
    case TokenKind::kEndTag:
      if (t.tag == Tag::kTemplate) return InHead(t);
      if (!IsEnd(t, {Tag::kBody, Tag::kHtml, Tag::kBr})) return true;
      break;
    case TokenKind::kEndOfFile:
      break;
  }
  InsertElementNamed(Tag::kBody);
  mode_ = Mode::kInBody;
  return false;
}

bool TreeBuilder::InBody(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters: {
      // U+0000 is dropped; the rest is inserted in pieces between them.
      std::u16string_view text = t.text;
      while (!text.empty()) {
        const std::size_t nul = FindNul(text);
        const std::u16string_view piece = text.substr(0, nul);
        if (!piece.empty()) {
          ReconstructFormatting();
          InsertText(piece);
          if (frameset_ok_ && !AllSpace(piece)) frameset_ok_ = false;
        }
        if (nul == std::u16string_view::npos) break;
        text.remove_prefix(nul + 1);
      }
      return true;
    }
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return true;
    case TokenKind::kStartTag:
      return InBodyStartTag(t);
    case TokenKind::kEndTag:
      return InBodyEndTag(t);
    case TokenKind::kEndOfFile:
      if (!template_modes_.empty()) return InTemplate(t);
      return true;
  }
  return true;
}

bool TreeBuilder::InBodyStartTag(Token& t) {
  switch (t.tag) {
    case Tag::kHtml:
      return true;
    case Tag::kBase:
    case Tag::kBasefont:
    case Tag::kBgsound:
    case Tag::kLink:
    case Tag::kMeta:
    case Tag::kNoframes:
    case Tag::kScript:
    case Tag::kStyle:
    case Tag::kTemplate:
    case Tag::kTitle:
      return InHead(t);
    case Tag::kBody:
      if (open_.size() > 1 && Is(open_[1], Tag::kBody) && templates_open_ == 0) {
        frameset_ok_ = false;
      }
      return true;
    case Tag::kFrameset:
      if (open_.size() < 2 || !Is(open_[1], Tag::kBody) || !frameset_ok_) return true;
      doc_.Remove(open_[1]);
      while (open_.size() > 1) Pop();
      InsertElement(t);
      mode_ = Mode::kInFrameset;
      return true;
    case Tag::kAddress:
    case Tag::kArticle:
    case Tag::kAside:
    case Tag::kBlockquote:
    case Tag::kCenter:
    case Tag::kDetails:
    case Tag::kDialog:
    case Tag::kDir:
    case Tag::kDiv:
    case Tag::kDl:
    case Tag::kFieldset:
    case Tag::kFigcaption:
    case Tag::kFigure:
    case Tag::kFooter:
    case Tag::kHeader:
    case Tag::kHgroup:
    case Tag::kMain:
    case Tag::kMenu:
    case Tag::kNav:
    case Tag::kOl:
    case Tag::kP:
    case Tag::kSearch:
    case Tag::kSection:
    case Tag::kSummary:
    case Tag::kUl:
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertElement(t);
      return true;
    case Tag::kH1:
    case Tag::kH2:
    case Tag::kH3:
    case Tag::kH4:
    case Tag::kH5:
    case Tag::kH6:
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      if (IsOneOf(Current(), {Tag::kH1, Tag::kH2, Tag::kH3, Tag::kH4, Tag::kH5, Tag::kH6})) {
        Pop();
      }
      InsertElement(t);
      return true;
    case Tag::kPre:
    case Tag::kListing:
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertElement(t);
      skip_newline_ = true;
      frameset_ok_ = false;
      return true;
    case Tag::kForm:
      if (form_ != kNoNode && templates_open_ == 0) return true;
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      {
        const NodeId form = InsertElement(t);
        if (templates_open_ == 0) form_ = form;
      }
      return true;
    case Tag::kLi:
    case Tag::kDd:
    case Tag::kDt: {
      frameset_ok_ = false;
      for (std::size_t k = open_.size(); k-- > 0;) {
        const NodeId node = open_[k];
        const bool li = t.tag == Tag::kLi;
        if (li ? Is(node, Tag::kLi) : IsOneOf(node, {Tag::kDd, Tag::kDt})) {
          const Tag tag = doc_.TagOf(node);
          GenerateImpliedEndTags(tag);
          PopUntil(tag);
          break;
        }
        if (IsSpecial(node) && !IsOneOf(node, {Tag::kAddress, Tag::kDiv, Tag::kP})) break;
      }
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertElement(t);
      return true;
    }
    case Tag::kPlaintext:
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertElement(t);
      tokenizer_.SwitchTo(TextState::kPlaintext);
      return true;
    case Tag::kButton:
      if (InScope(Tag::kButton)) {
        GenerateImpliedEndTags();
        PopUntil(Tag::kButton);
      }
      ReconstructFormatting();
      InsertElement(t);
      frameset_ok_ = false;
      return true;
    case Tag::kA: {
      for (std::size_t k = formatting_.size(); k-- > 0;) {
        if (formatting_[k] == kMarker) break;
        if (Is(formatting_[k], Tag::kA)) {
          const NodeId a = formatting_[k];
          Token end = t;
          end.kind = TokenKind::kEndTag;
          if (!AdoptionAgency(end)) AnyOtherEndTag(end);
          const std::size_t entry = FormattingIndex(a);
          if (entry != formatting_.size()) {
            formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(entry));
          }
          RemoveFromStack(a);
          break;
        }
      }
      ReconstructFormatting();
      PushFormatting(InsertElement(t));
      return true;
    }
    case Tag::kB:
    case Tag::kBig:
    case Tag::kCode:
    case Tag::kEm:
    case Tag::kFont:
    case Tag::kI:
    case Tag::kS:
    case Tag::kSmall:
    case Tag::kStrike:
    case Tag::kStrong:
    case Tag::kTt:
    case Tag::kU:
      ReconstructFormatting();
      PushFormatting(InsertElement(t));
      return true;
    case Tag::kNobr:
      ReconstructFormatting();
      if (InScope(Tag::kNobr)) {
        Token end = t;
        end.kind = TokenKind::kEndTag;
        if (!AdoptionAgency(end)) AnyOtherEndTag(end);
        ReconstructFormatting();
      }
      PushFormatting(InsertElement(t));
      return true;
    case Tag::kApplet:
    case Tag::kMarquee:
    case Tag::kObject:
      ReconstructFormatting();
      InsertElement(t);
      formatting_.push_back(kMarker);
      frameset_ok_ = false;
      return true;
    case Tag::kTable:
      if (!quirks_ && InScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertElement(t);
      frameset_ok_ = false;
      mode_ = Mode::kInTable;
      return true;
    case Tag::kArea:
    case Tag::kBr:
    case Tag::kEmbed:
    case Tag::kImg:
    case Tag::kKeygen:
    case Tag::kWbr:
      ReconstructFormatting();
      InsertElement(t);
      Pop();
      frameset_ok_ = false;
      return true;
    case Tag::kInput: {
      ReconstructFormatting();
      InsertElement(t);
      Pop();
      const Attribute* type = FindIn(t, u"type");
      if (type == nullptr || LowerAscii(type->value) != u"hidden") frameset_ok_ = false;
      return true;
    }
    case Tag::kParam:
    case Tag::kSource:
    case Tag::kTrack:
      InsertElement(t);
      Pop();
      return true;
    case Tag::kHr:
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertElement(t);
      Pop();
      frameset_ok_ = false;
      return true;
    case Tag::kImage:
      t.tag = Tag::kImg;
      t.text = u"img";
      return false;
    case Tag::kTextarea:
      InsertElement(t);
      skip_newline_ = true;
      tokenizer_.SwitchTo(TextState::kRcdata);
      original_mode_ = mode_;
      frameset_ok_ = false;
      mode_ = Mode::kText;
      return true;
    case Tag::kXmp:
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      ReconstructFormatting();
      frameset_ok_ = false;
      GenericText(t, TextState::kRawtext);
      return true;
    case Tag::kIframe:
      frameset_ok_ = false;
      GenericText(t, TextState::kRawtext);
      return true;
    case Tag::kNoscript:
      if (!scripting_) {
        ReconstructFormatting();
        InsertElement(t);
        return true;
      }
      GenericText(t, TextState::kRawtext);
      return true;
    case Tag::kNoembed:
      GenericText(t, TextState::kRawtext);
      return true;
    case Tag::kSelect:
      ReconstructFormatting();
      InsertElement(t);
      frameset_ok_ = false;
      mode_ = (mode_ == Mode::kInTable || mode_ == Mode::kInCaption ||
               mode_ == Mode::kInTableBody || mode_ == Mode::kInRow || mode_ == Mode::kInCell)
                  ? Mode::kInSelectInTable
                  : Mode::kInSelect;
      return true;
    case Tag::kOptgroup:
    case Tag::kOption:
      if (Is(Current(), Tag::kOption)) Pop();
      ReconstructFormatting();
      InsertElement(t);
      return true;
    case Tag::kRb:
    case Tag::kRtc:
      if (InScope(Tag::kRuby)) GenerateImpliedEndTags();
      InsertElement(t);
      return true;
    case Tag::kRp:
    case Tag::kRt:
      if (InScope(Tag::kRuby)) GenerateImpliedEndTags(Tag::kRtc);
      InsertElement(t);
      return true;
    case Tag::kMath:
    case Tag::kSvg:
      ReconstructFormatting();
      InsertElement(t, t.tag == Tag::kMath ? Namespace::kMathMl : Namespace::kSvg);
      if (t.self_closing) Pop();
      return true;
    case Tag::kCaption:
    case Tag::kCol:
    case Tag::kColgroup:
    case Tag::kFrame:
    case Tag::kHead:
    case Tag::kTbody:
    case Tag::kTd:
    case Tag::kTfoot:
    case Tag::kTh:
    case Tag::kThead:
    case Tag::kTr:
      return true;
    default:
      ReconstructFormatting();
      InsertElement(t);
      return true;
  }
}

bool TreeBuilder::InBodyEndTag(Token& t) {
  switch (t.tag) {
    case Tag::kTemplate:
      return InHead(t);
    case Tag::kBody:
      if (InScope(Tag::kBody)) mode_ = Mode::kAfterBody;
      return true;
    case Tag::kHtml:
      if (!InScope(Tag::kBody)) return true;
      mode_ = Mode::kAfterBody;
      return false;
    case Tag::kAddress:
    case Tag::kArticle:
    case Tag::kAside:
    case Tag::kBlockquote:
    case Tag::kButton:
    case Tag::kCenter:
    case Tag::kDetails:
    case Tag::kDialog:
    case Tag::kDir:
    case Tag::kDiv:
    case Tag::kDl:
    case Tag::kFieldset:
    case Tag::kFigcaption:
    case Tag::kFigure:
    case Tag::kFooter:
    case Tag::kHeader:
    case Tag::kHgroup:
    case Tag::kListing:
    case Tag::kMain:
    case Tag::kMenu:
    case Tag::kNav:
    case Tag::kOl:
    case Tag::kPre:
    case Tag::kSearch:
    case Tag::kSection:
    case Tag::kSummary:
    case Tag::kUl:
      if (!InScope(t.tag)) return true;
      GenerateImpliedEndTags();
      PopUntil(t.tag);
      return true;
    case Tag::kForm:
      if (templates_open_ == 0) {
        const NodeId form = form_;
        form_ = kNoNode;
        if (form == kNoNode || !NodeInScope(form)) return true;
        GenerateImpliedEndTags();
        RemoveFromStack(form);
      } else {
        if (!InScope(Tag::kForm)) return true;
        GenerateImpliedEndTags();
        PopUntil(Tag::kForm);
      }
      return true;
    case Tag::kP:
      if (!InScope(Tag::kP, Scope::kButton)) InsertElementNamed(Tag::kP);
      ClosePElement();
      return true;
    case Tag::kLi:
      if (!InScope(Tag::kLi, Scope::kListItem)) return true;
      GenerateImpliedEndTags(Tag::kLi);
      PopUntil(Tag::kLi);
      return true;
    case Tag::kDd:
    case Tag::kDt:
      if (!InScope(t.tag)) return true;
      GenerateImpliedEndTags(t.tag);
      PopUntil(t.tag);
      return true;
    case Tag::kH1:
    case Tag::kH2:
    case Tag::kH3:
    case Tag::kH4:
    case Tag::kH5:
    case Tag::kH6: {
      const std::initializer_list<Tag> headings = {Tag::kH1, Tag::kH2, Tag::kH3,
                                                   Tag::kH4, Tag::kH5, Tag::kH6};
      if (std::none_of(headings.begin(), headings.end(), [&](Tag h) { return InScope(h); })) {
        return true;
      }
      GenerateImpliedEndTags();
      PopUntilOneOf(headings);
      return true;
    }
    case Tag::kA:
    case Tag::kB:
    case Tag::kBig:
    case Tag::kCode:
    case Tag::kEm:
    case Tag::kFont:
    case Tag::kI:
    case Tag::kNobr:
    case Tag::kS:
    case Tag::kSmall:
    case Tag::kStrike:
    case Tag::kStrong:
    case Tag::kTt:
    case Tag::kU:
      if (!AdoptionAgency(t)) AnyOtherEndTag(t);
      return true;
    case Tag::kApplet:
    case Tag::kMarquee:
    case Tag::kObject:
      if (!InScope(t.tag)) return true;
      GenerateImpliedEndTags();
      PopUntil(t.tag);
      ClearFormattingToMarker();
      return true;
    case Tag::kBr: {
      Token br = t;
      br.kind = TokenKind::kStartTag;
      br.attributes = {};
      return InBodyStartTag(br);
    }
    default:
      AnyOtherEndTag(t);
      return true;
  }
}

bool TreeBuilder::Text(Token& t) {
  if (t.kind == TokenKind::kCharacters) {
    InsertText(t.text);
    return true;
  }
  if (t.kind == TokenKind::kEndOfFile) {
    Pop();
    mode_ = original_mode_;
    return false;
  }
  if (t.kind == TokenKind::kEndTag) {
    Pop();
    mode_ = original_mode_;
  }
  return true;
}

bool TreeBuilder::InTable(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters:
      if (IsOneOf(Current(),
                  {Tag::kTable, Tag::kTbody, Tag::kTemplate, Tag::kTfoot, Tag::kThead, Tag::kTr})) {
        table_text_.clear();
        table_text_has_other_ = false;
        original_mode_ = mode_;
        mode_ = Mode::kInTableText;
        return false;
      }
      break;
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return true;
    case TokenKind::kStartTag:
      switch (t.tag) {
        case Tag::kCaption:
          ClearStackBackTo({Tag::kTable, Tag::kTemplate, Tag::kHtml});
          formatting_.push_back(kMarker);
          InsertElement(t);
          mode_ = Mode::kInCaption;
          return true;
        case Tag::kColgroup:
          ClearStackBackTo({Tag::kTable, Tag::kTemplate, Tag::kHtml});
          InsertElement(t);
          mode_ = Mode::kInColumnGroup;
          return true;
        case Tag::kCol:
          ClearStackBackTo({Tag::kTable, Tag::kTemplate, Tag::kHtml});
          InsertElementNamed(Tag::kColgroup);
          mode_ = Mode::kInColumnGroup;
          return false;
        case Tag::kTbody:
        case Tag::kTfoot:
        case Tag::kThead:
          ClearStackBackTo({Tag::kTable, Tag::kTemplate, Tag::kHtml});
          InsertElement(t);
          mode_ = Mode::kInTableBody;
          return true;
        case Tag::kTd:
        case Tag::kTh:
        case Tag::kTr:
          ClearStackBackTo({Tag::kTable, Tag::kTemplate, Tag::kHtml});
          InsertElementNamed(Tag::kTbody);
          mode_ = Mode::kInTableBody;
          return false;
        case Tag::kTable:
          if (!InScope(Tag::kTable, Scope::kTable)) return true;
          PopUntil(Tag::kTable);
          ResetInsertionMode();
          return false;
        case Tag::kStyle:
        case Tag::kScript:
        case Tag::kTemplate:
          return InHead(t);
        case Tag::kInput: {
          const Attribute* type = FindIn(t, u"type");
          if (type == nullptr || LowerAscii(type->value) != u"hidden") break;
          InsertElement(t);
          Pop();
          return true;
        }
        case Tag::kForm:
          if (templates_open_ > 0 || form_ != kNoNode) return true;
          form_ = InsertElement(t);
          Pop();
          return true;
        default:
          break;
      }
      break;
    case TokenKind::kEndTag:
      switch (t.tag) {
        case Tag::kTable:
          if (!InScope(Tag::kTable, Scope::kTable)) return true;
          PopUntil(Tag::kTable);
          ResetInsertionMode();
          return true;
        case Tag::kBody:
        case Tag::kCaption:
        case Tag::kCol:
        case Tag::kColgroup:
        case Tag::kHtml:
        case Tag::kTbody:
        case Tag::kTd:
        case Tag::kTfoot:
        case Tag::kTh:
        case Tag::kThead:
        case Tag::kTr:
          return true;
        case Tag::kTemplate:
          return InHead(t);
        default:
          break;
      }
      break;
    case TokenKind::kEndOfFile:
      return InBody(t);
  }
  // Anything else: as in body, with foster parenting.
  foster_parenting_ = true;
  const bool done = InBody(t);
  foster_parenting_ = false;
  return done;
}

bool TreeBuilder::InTableText(Token& t) {
  if (t.kind == TokenKind::kCharacters) {
    std::u16string_view text = t.text;
    while (!text.empty()) {
      const std::size_t nul = FindNul(text);
      const std::u16string_view piece = text.substr(0, nul);
      table_text_.append(piece);
      if (!table_text_has_other_ && !AllSpace(piece)) table_text_has_other_ = true;
      if (nul == std::u16string_view::npos) break;
      text.remove_prefix(nul + 1);
    }
    return true;
  }
  if (!table_text_.empty()) {
    Token text;
    text.kind = TokenKind::kCharacters;
    text.text = table_text_;
    if (table_text_has_other_) {
      foster_parenting_ = true;
      InBody(text);
      foster_parenting_ = false;
    } else {
      InsertText(table_text_);
    }
    table_text_.clear();
  }
  mode_ = original_mode_;
  return false;
}

bool TreeBuilder::InCaption(Token& t) {
  const bool ends_caption = IsEnd(t, {Tag::kCaption}) ||
                            IsStart(t, {Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kTbody,
                                        Tag::kTd, Tag::kTfoot, Tag::kTh, Tag::kThead, Tag::kTr}) ||
                            IsEnd(t, {Tag::kTable});
  if (ends_caption) {
    if (!InScope(Tag::kCaption, Scope::kTable)) return true;
    GenerateImpliedEndTags();
    PopUntil(Tag::kCaption);
    ClearFormattingToMarker();
    mode_ = Mode::kInTable;
    return IsEnd(t, {Tag::kCaption});
  }
  if (IsEnd(t, {Tag::kBody, Tag::kCol, Tag::kColgroup, Tag::kHtml, Tag::kTbody, Tag::kTd,
                Tag::kTfoot, Tag::kTh, Tag::kThead, Tag::kTr})) {
    return true;
  }
  return InBody(t);
}

bool TreeBuilder::InColumnGroup(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters:
      InsertText(TakeSpace(t));
      if (t.text.empty()) return true;
      break;
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return true;
    case TokenKind::kStartTag:
      if (t.tag == Tag::kHtml) return InBody(t);
      if (t.tag == Tag::kCol) {
        InsertElement(t);
        Pop();
        return true;
      }
      if (t.tag == Tag::kTemplate) return InHead(t);
      break;
    case TokenKind::kEndTag:
      if (t.tag == Tag::kColgroup) {
        if (!Is(Current(), Tag::kColgroup)) return true;
        Pop();
        mode_ = Mode::kInTable;
        return true;
      }
      if (t.tag == Tag::kCol) return true;
      if (t.tag == Tag::kTemplate) return InHead(t);
      break;
    case TokenKind::kEndOfFile:
      return InBody(t);
  }
  if (!Is(Current(), Tag::kColgroup)) return true;
  Pop();
  mode_ = Mode::kInTable;
  return false;
}

bool TreeBuilder::InTableBody(Token& t) {
  const std::initializer_list<Tag> context = {Tag::kTbody, Tag::kTfoot, Tag::kThead, Tag::kTemplate,
                                              Tag::kHtml};
  if (IsStart(t, {Tag::kTr})) {
    ClearStackBackTo(context);
    InsertElement(t);
    mode_ = Mode::kInRow;
    return true;
  }
  if (IsStart(t, {Tag::kTh, Tag::kTd})) {
    ClearStackBackTo(context);
    InsertElementNamed(Tag::kTr);
    mode_ = Mode::kInRow;
    return false;
  }
  if (IsEnd(t, {Tag::kTbody, Tag::kTfoot, Tag::kThead})) {
    if (!InScope(t.tag, Scope::kTable)) return true;
    ClearStackBackTo(context);
    Pop();
    mode_ = Mode::kInTable;
    return true;
  }
  if (IsStart(t,
              {Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kTbody, Tag::kTfoot, Tag::kThead}) ||
      IsEnd(t, {Tag::kTable})) {
    if (!InScope(Tag::kTbody, Scope::kTable) && !InScope(Tag::kThead, Scope::kTable) &&
        !InScope(Tag::kTfoot, Scope::kTable)) {
      return true;
    }
    ClearStackBackTo(context);
    Pop();
    mode_ = Mode::kInTable;
    return false;
  }
  if (IsEnd(t, {Tag::kBody, Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kHtml, Tag::kTd,
                Tag::kTh, Tag::kTr})) {
    return true;
  }
  return InTable(t);
}

bool TreeBuilder::InRow(Token& t) {
  const std::initializer_list<Tag> context = {Tag::kTr, Tag::kTemplate, Tag::kHtml};
  if (IsStart(t, {Tag::kTh, Tag::kTd})) {
    ClearStackBackTo(context);
    InsertElement(t);
    mode_ = Mode::kInCell;
    formatting_.push_back(kMarker);
    return true;
  }
  if (IsEnd(t, {Tag::kTr})) {
    if (!InScope(Tag::kTr, Scope::kTable)) return true;
    ClearStackBackTo(context);
    Pop();
    mode_ = Mode::kInTableBody;
    return true;
  }
  if (IsStart(t, {Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kTbody, Tag::kTfoot, Tag::kThead,
                  Tag::kTr}) ||
      IsEnd(t, {Tag::kTable})) {
    if (!InScope(Tag::kTr, Scope::kTable)) return true;
    ClearStackBackTo(context);
    Pop();
    mode_ = Mode::kInTableBody;
    return false;
  }
  if (IsEnd(t, {Tag::kTbody, Tag::kTfoot, Tag::kThead})) {
    if (!InScope(t.tag, Scope::kTable) || !InScope(Tag::kTr, Scope::kTable)) return true;
    ClearStackBackTo(context);
    Pop();
    mode_ = Mode::kInTableBody;
    return false;
  }
  if (IsEnd(t, {Tag::kBody, Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kHtml, Tag::kTd,
                Tag::kTh})) {
    return true;
  }
  return InTable(t);
}

bool TreeBuilder::InCell(Token& t) {
  if (IsEnd(t, {Tag::kTd, Tag::kTh})) {
    if (!InScope(t.tag, Scope::kTable)) return true;
    GenerateImpliedEndTags();
    PopUntil(t.tag);
    ClearFormattingToMarker();
    mode_ = Mode::kInRow;
    return true;
  }
  if (IsStart(t, {Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kTbody, Tag::kTd, Tag::kTfoot,
                  Tag::kTh, Tag::kThead, Tag::kTr})) {
    if (!InScope(Tag::kTd, Scope::kTable) && !InScope(Tag::kTh, Scope::kTable)) return true;
    CloseCell();
    return false;
  }
  if (IsEnd(t, {Tag::kBody, Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kHtml})) return true;
  if (IsEnd(t, {Tag::kTable, Tag::kTbody, Tag::kTfoot, Tag::kThead, Tag::kTr})) {
    if (!InScope(t.tag, Scope::kTable)) return true;
    CloseCell();
    return false;
  }
  return InBody(t);
}

bool TreeBuilder::InSelect(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters: {
      std::u16string_view text = t.text;
      while (!text.empty()) {
        const std::size_t nul = FindNul(text);
        InsertText(text.substr(0, nul));
        if (nul == std::u16string_view::npos) break;
        text.remove_prefix(nul + 1);
      }
      return true;
    }
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return true;
    case TokenKind::kStartTag:
      switch (t.tag) {
        case Tag::kHtml:
          return InBody(t);
        case Tag::kOption:
          if (Is(Current(), Tag::kOption)) Pop();
          InsertElement(t);
          return true;
        case Tag::kOptgroup:
        case Tag::kHr:
          if (Is(Current(), Tag::kOption)) Pop();
          if (Is(Current(), Tag::kOptgroup)) Pop();
          InsertElement(t);
          if (t.tag == Tag::kHr) Pop();
          return true;
        case Tag::kSelect:
          if (!InScope(Tag::kSelect, Scope::kSelect)) return true;
          PopUntil(Tag::kSelect);
          ResetInsertionMode();
          return true;
        case Tag::kInput:
        case Tag::kKeygen:
        case Tag::kTextarea:
          if (!InScope(Tag::kSelect, Scope::kSelect)) return true;
          PopUntil(Tag::kSelect);
          ResetInsertionMode();
          return false;
        case Tag::kScript:
        case Tag::kTemplate:
          return InHead(t);
        default:
          return true;
      }
    case TokenKind::kEndTag:
      switch (t.tag) {
        case Tag::kOptgroup:
          if (Is(Current(), Tag::kOption) && open_.size() > 1 &&
              Is(open_[open_.size() - 2], Tag::kOptgroup)) {
            Pop();
          }
          if (Is(Current(), Tag::kOptgroup)) Pop();
          return true;
        case Tag::kOption:
          if (Is(Current(), Tag::kOption)) Pop();
          return true;
        case Tag::kSelect:
          if (!InScope(Tag::kSelect, Scope::kSelect)) return true;
          PopUntil(Tag::kSelect);
          ResetInsertionMode();
          return true;
        case Tag::kTemplate:
          return InHead(t);
        default:
          return true;
      }
    case TokenKind::kEndOfFile:
      return InBody(t);
  }
  return true;
}

bool TreeBuilder::InSelectInTable(Token& t) {
  const std::initializer_list<Tag> table = {Tag::kCaption, Tag::kTable, Tag::kTbody, Tag::kTfoot,
                                            Tag::kThead,   Tag::kTr,    Tag::kTd,    Tag::kTh};
  if (IsStart(t, table)) {
    PopUntil(Tag::kSelect);
    ResetInsertionMode();
    return false;
  }
  if (IsEnd(t, table)) {
    if (!InScope(t.tag, Scope::kTable)) return true;
    PopUntil(Tag::kSelect);
    ResetInsertionMode();
    return false;
  }
  return InSelect(t);
}

bool TreeBuilder::InTemplate(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters:
    case TokenKind::kComment:
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return InBody(t);
    case TokenKind::kStartTag: {
      Mode next = Mode::kInBody;
      switch (t.tag) {
        case Tag::kBase:
        case Tag::kBasefont:
        case Tag::kBgsound:
        case Tag::kLink:
        case Tag::kMeta:
        case Tag::kNoframes:
        case Tag::kScript:
        case Tag::kStyle:
        case Tag::kTemplate:
        case Tag::kTitle:
          return InHead(t);
        case Tag::kCaption:
        case Tag::kColgroup:
        case Tag::kTbody:
        case Tag::kTfoot:
        case Tag::kThead:
          next = Mode::kInTable;
          break;
        case Tag::kCol:
          next = Mode::kInColumnGroup;
          break;
        case Tag::kTr:
          next = Mode::kInTableBody;
          break;
        case Tag::kTd:
        case Tag::kTh:
          next = Mode::kInRow;
          break;
        default:
          break;
      }
      if (!template_modes_.empty()) template_modes_.pop_back();
      template_modes_.push_back(next);
      mode_ = next;
      return false;
    }
    case TokenKind::kEndTag:
      if (t.tag == Tag::kTemplate) return InHead(t);
      return true;
    case TokenKind::kEndOfFile:
      if (templates_open_ == 0) return true;
      PopUntil(Tag::kTemplate);  // which takes its template mode with it
      ClearFormattingToMarker();
      ResetInsertionMode();
      return false;
  }
  return true;
}

bool TreeBuilder::AfterBody(Token& t) {
  if (t.kind == TokenKind::kCharacters) {
    const std::u16string_view space = TakeSpace(t);
    if (!space.empty()) {
      Token s = t;
      s.text = space;
      InBody(s);
    }
    if (t.text.empty()) return true;
  } else if (t.kind == TokenKind::kComment) {
    InsertComment(t, open_.front());
    return true;
  } else if (t.kind == TokenKind::kDoctype) {
    return true;
  } else if (IsStart(t, {Tag::kHtml})) {
    return InBody(t);
  } else if (IsEnd(t, {Tag::kHtml})) {
    mode_ = Mode::kAfterAfterBody;
    return true;
  } else if (t.kind == TokenKind::kEndOfFile) {
    return true;
  }
  mode_ = Mode::kInBody;
  return false;
}

bool TreeBuilder::InFrameset(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters: {
      std::u16string space;
      for (const char16_t c : t.text) {
        if (IsSpaceUnit(c)) space.push_back(c);
      }
      InsertText(space);
      return true;
    }
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kStartTag:
      if (t.tag == Tag::kHtml) return InBody(t);
      if (t.tag == Tag::kFrameset) {
        InsertElement(t);
      } else if (t.tag == Tag::kFrame) {
        InsertElement(t);
        Pop();
      } else if (t.tag == Tag::kNoframes) {
        return InHead(t);
      }
      return true;
    case TokenKind::kEndTag:
      if (t.tag == Tag::kFrameset && open_.size() > 1) {
        Pop();
        if (!Is(Current(), Tag::kFrameset)) mode_ = Mode::kAfterFrameset;
      }
      return true;
    default:
      return true;
  }
}

bool TreeBuilder::AfterFrameset(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters: {
      std::u16string space;
      for (const char16_t c : t.text) {
        if (IsSpaceUnit(c)) space.push_back(c);
      }
      InsertText(space);
      return true;
    }
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kStartTag:
      if (t.tag == Tag::kHtml) return InBody(t);
      if (t.tag == Tag::kNoframes) return InHead(t);
      return true;
    case TokenKind::kEndTag:
      if (t.tag == Tag::kHtml) mode_ = Mode::kAfterAfterFrameset;
      return true;
    default:
      return true;
  }
}

bool TreeBuilder::AfterAfterBody(Token& t) {
  if (t.kind == TokenKind::kComment) {
    InsertComment(t, Document::kRoot);
    return true;
  }
  if (t.kind == TokenKind::kCharacters) {
    const std::u16string_view space = TakeSpace(t);
    if (!space.empty()) {
      Token s = t;
      s.text = space;
      InBody(s);
    }
    if (t.text.empty()) return true;
  } else if (t.kind == TokenKind::kDoctype || IsStart(t, {Tag::kHtml})) {
    return InBody(t);
  } else if (t.kind == TokenKind::kEndOfFile) {
    return true;
  }
  mode_ = Mode::kInBody;
  return false;
}

bool TreeBuilder::ForeignContent(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters: {
      std::u16string_view text = t.text;
      while (!text.empty()) {
        const std::size_t nul = FindNul(text);
        const std::u16string_view piece = text.substr(0, nul);
        InsertText(piece);
        if (frameset_ok_ && !AllSpace(piece)) frameset_ok_ = false;
        if (nul == std::u16string_view::npos) break;
        InsertText(u"\uFFFD");
        text.remove_prefix(nul + 1);
      }
      return true;
    }
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return true;
    case TokenKind::kStartTag: {
      bool breaks_out = false;
      switch (t.tag) {
        case Tag::kB:
        case Tag::kBig:
        case Tag::kBlockquote:
        case Tag::kBody:
        case Tag::kBr:
        case Tag::kCenter:
        case Tag::kCode:
        case Tag::kDd:
        case Tag::kDiv:
        case Tag::kDl:
        case Tag::kDt:
        case Tag::kEm:
        case Tag::kEmbed:
        case Tag::kH1:
        case Tag::kH2:
        case Tag::kH3:
        case Tag::kH4:
        case Tag::kH5:
        case Tag::kH6:
        case Tag::kHead:
        case Tag::kHr:
        case Tag::kI:
        case Tag::kImg:
        case Tag::kLi:
        case Tag::kListing:
        case Tag::kMenu:
        case Tag::kMeta:
        case Tag::kNobr:
        case Tag::kOl:
        case Tag::kP:
        case Tag::kPre:
        case Tag::kRuby:
        case Tag::kS:
        case Tag::kSmall:
        case Tag::kSpan:
        case Tag::kStrong:
        case Tag::kStrike:
        case Tag::kSub:
        case Tag::kSup:
        case Tag::kTable:
        case Tag::kTt:
        case Tag::kU:
        case Tag::kUl:
        case Tag::kVar:
          breaks_out = true;
          break;
        case Tag::kFont:
          breaks_out = FindIn(t, u"color") || FindIn(t, u"face") || FindIn(t, u"size");
          break;
        default:
          break;
      }
      if (!breaks_out) {
        InsertElement(t, doc_.NamespaceOf(Current()));
        if (t.self_closing) Pop();
        return true;
      }
      break;
    }
    case TokenKind::kEndTag: {
      if (t.tag == Tag::kBr || t.tag == Tag::kP) break;
      for (std::size_t k = open_.size(); k-- > 1;) {
        const NodeId node = open_[k];
        if (doc_.nodes_[node].name == static_cast<std::uint32_t>(t.tag)) {
          while (open_.size() > k) Pop();
          return true;
        }
        if (doc_.NamespaceOf(open_[k - 1]) == Namespace::kHtml) return InMode(mode_, t);
      }
      return true;
    }
    case TokenKind::kEndOfFile:
      return InMode(mode_, t);
  }
  // An HTML start tag (or </br>, </p>) leaves foreign content.
  while (open_.size() > 1 && doc_.NamespaceOf(Current()) != Namespace::kHtml &&
         !IsMathMlTextIntegrationPoint(Current()) && !IsHtmlIntegrationPoint(Current())) {
    Pop();
  }
  return InMode(mode_, t);
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
