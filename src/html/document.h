#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/fault_ahead.h"
#include "html/tags.h"

namespace pagelift::html {

using NodeId = std::uint32_t;
inline constexpr NodeId kNoNode = ~NodeId{0};

enum class NodeKind : std::uint8_t {
  kDocument,  // the root, node 0
  kDoctype,   // Text gives its name
  kElement,
  kText,
  kComment,
  kTemplateContent,  // a template element's contents, apart from the tree
};

enum class Namespace : std::uint8_t { kHtml, kSvg, kMathMl };

// Whether the page is parsed as a browser that runs its scripts parses it (a noscript
// element holds its markup as text) or as one without scripts (noscript holds elements).
enum class Scripting : std::uint8_t { kOn, kOff };

// The tree of one page: an arena of nodes numbered from 0 (the document) in the order they
// were made, linked by index. Text nodes and comments are ranges of one text buffer, and
// attributes ranges of one attribute list; no node holds an allocation of its own.
//
// Walk it in document order with Next, or with FirstChild, NextSibling and Parent; neither
// recurses. A template element's contents are not its children: TemplateContent gives
// them, as a node of their own outside the tree.
class Document {
 public:
  static constexpr NodeId kRoot = 0;

  Document();

  NodeKind Kind(NodeId node) const { return nodes_[node].kind; }
  NodeId Parent(NodeId node) const { return nodes_[node].parent; }
  NodeId FirstChild(NodeId node) const { return nodes_[node].first_child; }
  NodeId LastChild(NodeId node) const { return nodes_[node].last_child; }
  NodeId NextSibling(NodeId node) const { return nodes_[node].next_sibling; }
  NodeId PreviousSibling(NodeId node) const { return nodes_[node].prev_sibling; }

  // The node after `node` in document order (its first child, else its next sibling, else
  // the next sibling of its nearest ancestor that has one), or kNoNode after the last.
  // Within a template's contents the walk ends at their end.
  NodeId Next(NodeId node) const;
  // The node after `node` and everything in it.
  NodeId NextSkippingChildren(NodeId node) const;

  // An element's tag: its name as a number, below Tag::kTagCount for the names tags.h
  // knows. The same name in another namespace has the same tag; NamespaceOf tells them
  // apart. Foreign elements keep their names in lowercase.
  Tag TagOf(NodeId element) const { return static_cast<Tag>(nodes_[element].name); }
  std::u16string_view NameOf(NodeId element) const;
  Namespace NamespaceOf(NodeId element) const { return nodes_[element].ns; }
  bool IsHtml(NodeId node, Tag tag) const {
    return nodes_[node].kind == NodeKind::kElement && nodes_[node].name == Number(tag) &&
           nodes_[node].ns == Namespace::kHtml;
  }

  // A text node's text, a comment's data, a doctype's name.
  std::u16string_view Text(NodeId node) const {
    return std::u16string_view(text_).substr(nodes_[node].begin, nodes_[node].size);
  }

  // An element's attributes, in the order of the tag (each name once, in lowercase).
  std::size_t AttributeCount(NodeId element) const;
  std::u16string_view AttributeName(NodeId element, std::size_t index) const;
  std::u16string_view AttributeValue(NodeId element, std::size_t index) const;
  // The value of the attribute named `name` (lowercase), if the element has one.
  std::optional<std::u16string_view> FindAttribute(NodeId element, std::u16string_view name) const;

  // A template element's contents (kTemplateContent), or kNoNode for any other node.
  NodeId TemplateContent(NodeId element) const;

  std::size_t NodeCount() const { return nodes_.size(); }
  // Whether an HTML <title> element was made: a page without one needs no walk to find it.
  bool HasTitle() const { return has_title_; }
  // How the page was parsed: with scripting off, its noscript elements hold elements.
  Scripting ScriptingOf() const { return scripting_; }
  // The units of all text, comment and doctype nodes together.
  std::size_t TextUnits() const { return text_.size(); }
  // The same tree: nodes numbered alike, with the same links, kinds, names, attributes and text.
  bool operator==(const Document& other) const;
  // The bytes the tree holds: nodes, text, attributes and names. The buffers reserve room
  // in proportion to the page beforehand, which takes no memory until written; this
  // counts what was written.
  std::size_t MemoryBytes() const;

 private:
  friend class TreeBuilder;

  struct Node {
    NodeId parent = kNoNode;
    NodeId first_child = kNoNode;
    // Kept in the parent itself: appending to a node with many children touches no child
    // made long before.
    NodeId last_child = kNoNode;
    NodeId next_sibling = kNoNode;
    NodeId prev_sibling = kNoNode;
    std::uint32_t name = 0;  // an element's tag
    // A text node's, comment's or doctype's range of text_; an element's of attributes_.
    std::uint32_t begin = 0;
    std::uint32_t size = 0;
    NodeKind kind = NodeKind::kElement;
    Namespace ns = Namespace::kHtml;
    bool open = false;       // on the tree builder's stack of open elements
    std::uint8_t flags = 0;  // the tree builder's classes of the element (special, scopes)
  };
  // The nodes, in blocks that double in size: the arena grows without moving what it
  // holds, and memory a block does not use yet is never touched.
  class Nodes {
   public:
    Node& operator[](NodeId id) { return At(id); }
    const Node& operator[](NodeId id) const { return const_cast<Nodes*>(this)->At(id); }
    std::size_t size() const { return size_; }
    Node& emplace_back();

   private:
    static constexpr unsigned kFirstShift = 8;  // the first block holds 256 nodes
    struct Free {
      void operator()(Node* block) const;
    };
    Node& At(NodeId id) {
      const std::size_t n = std::size_t{id} + (std::size_t{1} << kFirstShift);
      const unsigned block = static_cast<unsigned>(std::bit_width(n)) - 1 - kFirstShift;
      return blocks_[block][n - (std::size_t{1} << (block + kFirstShift))];
    }
    std::vector<std::unique_ptr<Node[], Free>> blocks_;
    std::size_t size_ = 0;
    FaultAhead fault_ahead_;
  };

  struct AttributeRange {
    std::uint32_t name_begin, name_size, value_begin, value_size;
  };

  static std::uint32_t Number(Tag tag) { return static_cast<std::uint32_t>(tag); }

  NodeId Add(NodeKind kind);
  // Links `child`, which has no parent, into `parent` before `before` (kNoNode: last).
  void Insert(NodeId parent, NodeId child, NodeId before);
  void Remove(NodeId child);
  std::uint32_t AppendText(std::u16string_view text);

  Nodes nodes_;
  std::u16string text_;
  FaultAhead fault_ahead_;  // text_'s
  std::vector<AttributeRange> attributes_;
  std::vector<std::u16string> names_;  // the names of tags from Tag::kTagCount up
  bool has_title_ = false;
  Scripting scripting_ = Scripting::kOn;
};

// Builds the tree of a page by the WHATWG HTML standard's tree construction. Browsers' limit on
// depth applies: an element that would be the 513th open one first closes the deepest, so no page
// keeps more than 512 elements open or makes the building quadratic. Throws OverflowError for a
// page of 2^31 units (4 GB) or more.
Document ParseDocument(std::u16string_view page, Scripting scripting = Scripting::kOn);

// Builds the tree of a page that comes in pieces, as far as each piece allows: the Document
// of Finish is ParseDocument's of the pieces joined, however the page was cut. The tree holds
// copies of its text, and the parser only what it has not yet read, so a caller may reuse a
// piece's memory once Append returns.
//
//   html::DocumentParser parser(expected_units);   // 0 when the size is not known
//   for (each piece) parser.Append(piece);
//   html::Document document = std::move(parser).Finish();
class DocumentParser {
 public:
  // `expected_units`, the page's size in UTF-16 units if it is known (an upper bound is as
  // good), only reserves room: the tree is the same whatever it is.
  explicit DocumentParser(std::size_t expected_units = 0, Scripting scripting = Scripting::kOn);
  ~DocumentParser();
  DocumentParser(DocumentParser&&) noexcept;
  DocumentParser& operator=(DocumentParser&&) noexcept;

  // The page's next piece. Throws OverflowError once the pieces reach 2^31 units.
  void Append(std::u16string_view more);
  // The end of the page: its tree. The parser is used up: call nothing of it after this.
  Document Finish();
  // The bytes held so far: the tree and the parser's own buffers, and those buffers alone
  // (which Finish keeps while it reads the last of the page).
  std::size_t MemoryBytes() const;
  std::size_t BufferBytes() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
  std::size_t units_ = 0;
};

}  // namespace pagelift::html
