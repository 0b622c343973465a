// The tree builder's tokens and nodes: tag names interned, the classes of elements (special,
// the bounds of scopes), the integration points, creating and inserting elements, text and
// comments at the appropriate place (foster parenting included).
#include <array>
#include <string>

#include "html/tree_builder.h"

namespace pagelift::html {

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

// ---- Nodes ----

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

}  // namespace pagelift::html
