#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "html/document.h"

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

// Finds the article or main text of a page's tree, in two passes over it and linear in it:
// one in document order that counts each text's characters (an East Asian wide character
// counting two), its link text and its punctuation (. , ! ? ; 。 、 and their full-width
// forms) into its nearest block, and one in reverse that sums the blocks' worth into every
// element's score. The element of the highest score, outside the boilerplate, holds the
// article; within it, the boilerplate is left out.
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

  // What a block's text is made of. Counts are of characters, East Asian wide ones counting
  // two.
  struct Counts {
    std::uint32_t text = 0;
    std::uint32_t links = 0;    // of the text in links
    std::uint32_t marks = 0;    // punctuation
    std::uint32_t anchors = 0;  // links
  };
  // One visited element, in document order.
  struct Item {
    html::NodeId node;
    std::uint32_t parent;          // the parent's item, or kNone
    Counts own;                    // text whose nearest block this is (an inline element's goes up)
    Counts total;                  // all text in it
    std::uint32_t headlines = 0;   // blocks that are headline links, in it
    std::uint32_t paragraphs = 0;  // blocks of prose, in it
    float score = 0;               // the worth of its blocks, its boilerplate's cost taken off
    float good = 0;                // the worth of its blocks of positive worth, not boilerplate
    float best_child = 0;          // the most `good` of a child that is no boilerplate
    std::uint64_t hash = 0;        // a block's own text, blanks left out
    std::int8_t hint = 0;          // -2 boilerplate, -1 boilerplate where small, 0 none
    std::uint8_t first = 0;        // a block's first text: 1 outside links, 2 in a link
    bool block = false;
    bool link = false;         // in a link
    bool hidden = false;       // off the screen: neither counted nor laid out
    bool media = false;        // a figure, a caption, a gallery
    bool in_media = false;     // in one, itself included
    bool in_terms = false;     // in a description list
    bool boilerplate = false;  // left out wherever it is, unless it holds the main text
    bool aside = false;        // boilerplate, or in it
  };

  void Walk();
  void Score();
  void Choose();
  // Whether the item is a headline link: a block that is a link, or begins with one.
  bool Headline(const Item& item) const;
  // What a block's own text is worth as main text.
  float Worth(const Counts& own) const;
  bool Boilerplate(const Item& item) const;
  bool Pruned(std::uint32_t item) const;
  bool AllLink(html::NodeId node) const;
  // The next (or previous) sibling of `node` that is an element or holds text, or kNoNode.
  html::NodeId Sibling(html::NodeId node, bool next) const;

  const html::Document& document_;
  MainSignals signals_;
  std::vector<std::uint32_t> item_of_;  // by node: its item, or kNone
  std::vector<Item> items_;
  html::NodeId main_ = html::kNoNode;
  std::unordered_set<std::uint64_t> title_;
  bool caption_taken_ = false;
};

}  // namespace pagelift
