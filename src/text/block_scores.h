#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "html/document.h"
#include "text/readable_layout.h"

namespace pagelift {

// The signals the main form weighs. The program uses them all; switching one off measures
// what it adds (bench/main_signals.cpp, HACKING.md).
struct MainSignals {
  // A block is worth its text, long runs with punctuation whole and short lines little.
  bool prose = true;
  // Link text counts against its block; lists of links, and links each alone in a block one
  // after another, are boilerplate, and so is the heading of such a list.
  bool link_density = true;
  // The words of class names and ids (see NameHints).
  bool class_names = true;
  // <nav>, <aside> and <footer> are boilerplate; <header>, <form> and <button> where small.
  bool tags = true;
  // Lists of stories, each a headline that is a link with a few lines under it, are
  // boilerplate: as many headlines as paragraphs of prose, or more.
  bool story_lists = true;
  // Alternative text is left out, and so are captions, credits and galleries, but the first
  // figure's caption.
  bool pictures = true;
  // A line that says the page's title again is left out.
  bool title_lines = true;
  // The short lines without links just before the article (its date, its byline) stay.
  bool lead_in = true;
  // Elements placed far off the screen, where sites hide links for search engines, are left
  // out.
  bool off_screen = true;
};

// Finds the article or main text of a page's tree, linear in it: a walk in document order
// counts each text's characters (an East Asian wide character counting two), its link text
// and its punctuation (. , ! ? ; 。 、 and their full-width forms) into its nearest block,
// and sums the blocks' worth into each element as it leaves it; a pass over the elements
// then chooses the one of the highest score outside the boilerplate, which holds the
// article. Within it, the boilerplate is left out. HACKING.md tells the rules.
class BlockScores {
 public:
  BlockScores(const html::Document& document, const MainSignals& signals);

  // The element that holds the article or main text, or kNoNode when no block stands out.
  html::NodeId Main() const { return main_; }
  // The first of the short lines without links just before Main() among its siblings, or
  // Main() itself.
  html::NodeId LeadIn() const;
  // Whether to leave out `node`, an element inside Main() or its lead-in, and all that is in
  // it. Asked in document order, as LayOut walks.
  bool LeftOut(html::NodeId node);
  // The page's title: a block that says it again, whole or on one side of a separator
  // ("Headline | Site"), is left out.
  void SetTitle(std::u16string_view title);

 private:
  static constexpr std::uint32_t kNone = ~std::uint32_t{0};

  // What text is made of. Counts are of characters, East Asian wide ones counting two.
  struct Counts {
    std::uint32_t text = 0;
    std::uint32_t links = 0;    // of the text in links
    std::uint32_t anchors = 0;  // links
  };
  // What is kept of a visited element, in document order, for choosing the main element
  // and laying it out.
  struct Item {
    html::NodeId node;
    std::uint32_t end = 0;       // the item after the last one in it
    Counts total;                // all text in it
    std::uint32_t own_text = 0;  // the text whose nearest block it is
    float score = 0;         // the worth of its blocks, the cost of the boilerplate in it taken off
    float good = 0;          // the worth of its blocks of positive worth outside boilerplate
    std::uint32_t hash = 0;  // of a block's own text, blanks left out
    std::int8_t hint = 0;    // -2 boilerplate, -1 boilerplate where small, 0 none
    bool block : 1 = false;
    bool link : 1 = false;             // in a link
    bool hidden : 1 = false;           // off the screen: neither counted nor laid out
    bool media : 1 = false;            // a figure, a caption, a gallery
    bool in_media : 1 = false;         // in one, itself included
    bool parent_in_media : 1 = false;  // its parent in one
    bool in_terms : 1 = false;         // in a description list
    bool boilerplate : 1 = false;      // left out wherever it is, unless it holds the main text
  };
  // An element being walked: what is summed of it until it is left.
  struct Open {
    std::uint32_t item;
    std::uint32_t block;  // the place on the walk's stack of its nearest block, or kNone
    Counts own;           // the text whose nearest block it is (an inline element passes it on)
    std::uint32_t own_marks = 0;  // ... and its punctuation
    Counts total;
    std::uint32_t headlines = 0;   // blocks that are headline links, in it
    std::uint32_t paragraphs = 0;  // blocks of prose, in it
    float score = 0;
    float good = 0;
    float best_child = 0;    // the most `good` of a child that is no boilerplate
    std::uint32_t hash = 0;  // of its own text, as for Item
    std::uint8_t first = 0;  // a block's first text: 1 outside links, 2 in a link
  };

  // The walk: every element and text in document order, each element summed up as it is
  // left.
  void Walk();
  void Enter(html::NodeId element, Role role, std::vector<Open>& open);
  void Leave(std::vector<Open>& open);
  void Choose();
  // Whether a block is a headline link: it is a link, or begins with one.
  bool Headline(const Open& block) const;
  // What a block's own text is worth as main text.
  float Worth(const Open& block) const;
  bool Boilerplate(const Open& element, const Item& item) const;
  bool Pruned(std::uint32_t item) const;
  bool AllLink(html::NodeId node) const;
  // The next (or previous) sibling of `node` that is an element or holds text, or kNoNode.
  html::NodeId Sibling(html::NodeId node, bool next) const;

  const html::Document& document_;
  MainSignals signals_;
  std::vector<std::uint32_t> item_of_;  // by node: its item, or kNone
  std::vector<Item> items_;
  html::NodeId main_ = html::kNoNode;
  std::unordered_set<std::uint32_t> title_;
  bool caption_taken_ = false;
};

}  // namespace pagelift
