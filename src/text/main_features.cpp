#include "text/main_features.h"

#include <algorithm>

#include "text/main_text_counts.h"

namespace pagelift {

static_assert(static_cast<int>(MainFeature::kWordReview) -
                  static_cast<int>(MainFeature::kWordComment) + 1 ==
              static_cast<int>(PartWord::kCount));
static_assert(static_cast<int>(MainFeature::kInShown) - static_cast<int>(MainFeature::kInArticle) +
                  1 ==
              static_cast<int>(TagWord::kCount));

namespace {

constexpr std::uint32_t kNone = MainBlock::kNone;
// A block of prose: this much text outside links, with punctuation.
constexpr std::uint32_t kProse = 60;

float Ratio(std::uint32_t part, std::uint32_t whole) {
  return whole == 0 ? 0.0f : static_cast<float>(part) / static_cast<float>(whole);
}

// How near a word is to a block: 3 on its element (or an inline element just around it), 2
// on the block it is in (or the elements between), 1 on some element around it, 0 nowhere.
float Nearness(std::uint64_t own, std::uint64_t near, std::uint64_t far, std::uint64_t bit) {
  return (own & bit) != 0 ? 3.0f : (near & bit) != 0 ? 2.0f : (far & bit) != 0 ? 1.0f : 0.0f;
}

bool IsSeparator(char16_t c) {
  switch (c) {
    case u'|':
    case u'-':
    case u':':
    case u'/':
    case u'\u00AB':  // «
    case u'\u00B7':  // ·
    case u'\u00BB':  // »
    case u'\u2013':  // –
    case u'\u2014':  // —
    case u'\u2022':  // •
    case u'\u3010':  // 【
    case u'\u3011':  // 】
    case u'\uFF1A':  // ：
    case u'\uFF5C':  // ｜
      return true;
    default:
      return false;
  }
}

}  // namespace

MainFeatures::MainFeatures(const MainBlocks& blocks, std::u16string_view title) : blocks_(blocks) {
  const std::vector<MainBlock>& all = blocks.blocks();
  std::uint32_t comment = 0, post = 0, noscript = 0, prose = 0, lone_prose = 0, top_prose = 0;
  std::uint32_t largest = 0;  // the text of the largest group of three or more alike blocks
  for (std::uint32_t i = 0; i < all.size(); ++i) {
    const MainBlock& block = all[i];
    if (block.alike >= 3 && block.alike_text > largest) {
      largest = block.alike_text;
      largest_parent_ = block.parent;
      largest_kind_ = block.kind_hash;
    }
    if (block.text == 0) continue;
    units_.push_back(i);
    if (block.text - block.links >= kProse && block.marks > 0) {
      prose += block.text;
      top_prose = std::max(top_prose, block.text);
      const bool parent_alone = block.parent == kNone || all[block.parent].alike < 3;
      if (block.alike < 3 && parent_alone) lone_prose += block.text;
    }
    if ((block.far & Bit(PartWord::kComment)) != 0) comment += block.text;
    if ((block.far & Bit(PartWord::kPost)) != 0) post += block.text;
    if ((block.far & TagBit(TagWord::kNoscript)) != 0) noscript += block.text;
  }
  comment_share_ = Share(comment);
  post_share_ = Share(post);
  noscript_share_ = Share(noscript);
  prose_share_ = Share(prose);
  lone_prose_share_ = Share(lone_prose);
  top_prose_share_ = Share(top_prose);
  largest_share_ = Share(largest);
  // The units by their texts' hashes, in document order where equal, which numbers the
  // occurrences of a text.
  std::vector<std::uint32_t> order(units_.size());
  for (std::uint32_t u = 0; u < order.size(); ++u) order[u] = u;
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    const std::uint32_t ha = all[units_[a]].hash, hb = all[units_[b]].hash;
    return ha != hb ? ha < hb : a < b;
  });
  hashes_.resize(units_.size());
  occurrence_.resize(units_.size());
  for (std::size_t k = 0; k < order.size(); ++k) {
    hashes_[k] = all[units_[order[k]]].hash;
    const bool again = k > 0 && hashes_[k] == hashes_[k - 1];
    occurrence_[order[k]] =
        again ? static_cast<std::uint16_t>(std::min(occurrence_[order[k - 1]] + 1, 0xFFFF)) : 1;
  }
  // The title whole, and each part of it between separators ("Headline | Site").
  std::size_t part = 0;
  TextCounts whole;
  for (std::size_t at = 0; at <= title.size(); ++at) {
    if (at == title.size() || IsSeparator(title[at])) {
      TextCounts counts;
      CountCharacters(title.substr(part, at - part), counts);
      if (counts.text > 0) title_.insert(counts.hash);
      part = at + 1;
    }
  }
  CountCharacters(title, whole);
  if (whole.text > 0) title_.insert(whole.hash);
}

float MainFeatures::Share(std::uint32_t text) const {
  return Ratio(text, blocks_.page_text());
}

bool MainFeatures::SaysTitle(const MainBlock& block) const {
  return block.text == block.total_text && title_.count(block.hash) > 0;
}

void MainFeatures::Of(std::size_t unit, float* out) const {
  const std::vector<MainBlock>& all = blocks_.blocks();
  const std::uint32_t index = units_[unit];
  const MainBlock& b = all[index];
  auto set = [&](MainFeature f, float value) { out[static_cast<std::size_t>(f)] = value; };
  using F = MainFeature;
  set(F::kText, static_cast<float>(b.text));
  set(F::kLinkShare, Ratio(b.links, b.text));
  set(F::kAnchors, b.anchors);
  set(F::kMarkShare, Ratio(b.marks, b.text));
  set(F::kStops, b.stops);
  set(F::kWords, b.words);
  set(F::kWordLength, b.words == 0 ? 0.0f : static_cast<float>(b.text) / b.words);
  set(F::kDigitShare, Ratio(b.digits, b.text));
  set(F::kWideShare, Ratio(b.wide * 2, b.text));
  set(F::kEndsStop, b.ends_stop);
  const auto same = std::equal_range(hashes_.begin(), hashes_.end(), b.hash);
  set(F::kRepeats, static_cast<float>(same.second - same.first));
  set(F::kOccurrence, occurrence_[unit]);
  set(F::kFirstLink, b.first_link);
  set(F::kCode, b.code);
  set(F::kTime, b.time);
  set(F::kMoney, b.money);
  set(F::kSeparators, b.separators);
  set(F::kCapitals, Ratio(b.capitals, b.text));
  set(F::kTitleAgain, SaysTitle(b));

  set(F::kHeading, b.heading);
  set(F::kTagParagraph, b.Tag() == BlockTag::kParagraph);
  set(F::kTagListItem, b.Tag() == BlockTag::kListItem);
  set(F::kTagCell, b.Tag() == BlockTag::kCell || b.Tag() == BlockTag::kRow);
  set(F::kTagPre, b.Tag() == BlockTag::kPre);
  set(F::kTagQuote, b.Tag() == BlockTag::kQuote);
  set(F::kTagTerm, b.Tag() == BlockTag::kTerm);
  set(F::kTagCaption, b.Tag() == BlockTag::kCaption);
  set(F::kTagOther, b.Tag() == BlockTag::kOther);
  set(F::kDepth, b.depth);

  const std::uint64_t own = b.Own();
  const std::uint64_t near = own | (b.parent == kNone ? 0 : all[b.parent].Own());
  for (unsigned w = 0; w < static_cast<unsigned>(PartWord::kCount); ++w) {
    out[static_cast<std::size_t>(F::kWordComment) + w] =
        Nearness(own, near, b.far, std::uint64_t{1} << w);
  }
  for (unsigned t = 0; t < static_cast<unsigned>(TagWord::kCount); ++t) {
    out[static_cast<std::size_t>(F::kInArticle) + t] =
        Nearness(own, near, b.far, TagBit(static_cast<TagWord>(t)));
  }

  // For each of these words, the share of the page in the nearest block, itself or one around
  // it, whose element (or an inline element just around it) has it: a comment section of a
  // tenth of the page is not a forum of all of it.
  constexpr PartWord kShareWords[] = {
      PartWord::kComment, PartWord::kReply, PartWord::kPost,    PartWord::kContent,
      PartWord::kSidebar, PartWord::kNav,   PartWord::kFooter,  PartWord::kHeader,
      PartWord::kRelated, PartWord::kCard,  PartWord::kProduct, PartWord::kReview,
      PartWord::kTab,     PartWord::kMeta,  PartWord::kUser,    PartWord::kWidget};
  static_assert(std::size(kShareWords) == static_cast<std::size_t>(F::kShareWidget) -
                                              static_cast<std::size_t>(F::kShareComment) + 1);
  float* shares = out + static_cast<std::size_t>(F::kShareComment);
  std::fill(shares, shares + std::size(kShareWords), 0.0f);
  PartWords left = 0;
  for (const PartWord w : kShareWords) left |= Bit(w);
  left &= static_cast<PartWords>(b.far);
  // Sixteen blocks up at most: the words of deeper ones are told by `far` alone.
  std::uint32_t at_block = index;
  for (int level = 0; level < 16 && left != 0 && at_block != kNone; ++level) {
    const MainBlock& around = all[at_block];
    const PartWords found = around.chain & left;
    if (found != 0) {
      for (std::size_t k = 0; k < std::size(kShareWords); ++k) {
        if ((found & Bit(kShareWords[k])) != 0) shares[k] = Share(around.total_text);
      }
      left &= ~found;
    }
    at_block = around.parent;
  }

  // The blocks it is in, three deep, and the most alike of them.
  const MainBlock* up[3] = {nullptr, nullptr, nullptr};
  std::uint32_t at = b.parent;
  for (int level = 0; level < 3 && at != kNone; ++level, at = all[at].parent) up[level] = &all[at];
  set(F::kParentShare, up[0] ? Share(up[0]->total_text) : 0);
  set(F::kParentLinkShare, up[0] ? Ratio(up[0]->total_links, up[0]->total_text) : 0);
  set(F::kGrandShare, up[1] ? Share(up[1]->total_text) : 0);
  set(F::kGrandLinkShare, up[1] ? Ratio(up[1]->total_links, up[1]->total_text) : 0);
  set(F::kGreatShare, up[2] ? Share(up[2]->total_text) : 0);
  set(F::kAlike, b.alike);
  set(F::kAlikeShare, Share(b.alike_text));
  const MainBlock* alike = nullptr;
  for (const MainBlock* u : up) {
    if (u && (!alike || u->alike > alike->alike)) alike = u;
  }
  set(F::kAlikeUp, alike ? alike->alike : 0);
  set(F::kAlikeUpShare, alike ? Share(alike->alike_text) : 0);

  set(F::kPosition, Share(b.start));
  set(F::kFromH1, blocks_.first_h1() == kNone
                      ? -2.0f
                      : (static_cast<float>(b.start) - static_cast<float>(blocks_.first_h1())) /
                            static_cast<float>(std::max<std::uint32_t>(blocks_.page_text(), 1)));
  const std::uint32_t best = blocks_.best();
  set(F::kInBest, best != kNone && index >= best && index < all[best].end);
  // Where it stands from the best block's text: before it below 0, after it above 1.
  if (best == kNone) {
    set(F::kFromBest, -2.0f);
    set(F::kAfterBest, 0.0f);
  } else {
    const MainBlock& main = all[best];
    const float span = static_cast<float>(std::max<std::uint32_t>(main.total_text, 1));
    set(F::kFromBest, (static_cast<float>(b.start) - static_cast<float>(main.start)) / span);
    set(F::kAfterBest, index >= main.end);
  }
  set(F::kBoilerplate, b.boilerplate);
  const MainBlock* prev = unit > 0 ? &all[units_[unit - 1]] : nullptr;
  const MainBlock* next = unit + 1 < units_.size() ? &all[units_[unit + 1]] : nullptr;
  set(F::kPrevText, prev ? static_cast<float>(prev->text) : -1.0f);
  set(F::kPrevLinkShare, prev ? Ratio(prev->links, prev->text) : -1.0f);
  set(F::kPrevHeading, prev ? prev->heading : -1.0f);
  set(F::kNextText, next ? static_cast<float>(next->text) : -1.0f);
  set(F::kNextLinkShare, next ? Ratio(next->links, next->text) : -1.0f);
  set(F::kNextHeading, next ? next->heading : -1.0f);

  set(F::kPageText, static_cast<float>(blocks_.page_text()));
  set(F::kPageLinkShare, Share(blocks_.page_links()));
  set(F::kPageUnits, static_cast<float>(units_.size()));
  set(F::kPageWideShare, Ratio(blocks_.page_wide() * 2, blocks_.page_text()));
  set(F::kPageArticles, static_cast<float>(blocks_.articles()));
  set(F::kPageH1s, static_cast<float>(blocks_.h1s()));
  set(F::kBestShare, best == kNone ? 0.0f : Share(all[best].total_text));
  set(F::kPageCommentShare, comment_share_);
  set(F::kPagePostShare, post_share_);
  set(F::kPageNoscriptShare, noscript_share_);
  set(F::kPageProseShare, prose_share_);
  set(F::kPageLoneProseShare, lone_prose_share_);
  set(F::kPageTopProseShare, top_prose_share_);
  set(F::kPageLargestShare, largest_share_);
  // Whether it is in the largest group of alike blocks, or in one of them.
  bool in_largest = false;
  at_block = index;
  for (int level = 0; level < 4 && at_block != kNone && largest_parent_ != kNone; ++level) {
    const MainBlock& around = all[at_block];
    if (around.parent == largest_parent_ && around.kind_hash == largest_kind_ &&
        around.alike >= 3) {
      in_largest = true;
      break;
    }
    at_block = around.parent;
  }
  set(F::kInLargest, in_largest);
  set(F::kHeadlineLink, b.headline);
  // The share of the page of the nearest block around it (four deep) that is a list of
  // stories: three headline links or more, and no more blocks of prose than headlines.
  float story_list = 0;
  at_block = b.parent;
  for (int level = 0; level < 4 && at_block != kNone; ++level, at_block = all[at_block].parent) {
    const MainBlock& around = all[at_block];
    if (around.headlines >= 3 && around.paragraphs <= around.headlines) {
      story_list = Share(around.total_text);
      break;
    }
  }
  set(F::kStoryList, story_list);

  const PageKind& kind = blocks_.kind();
  auto has = [](PageKindWords words, PageKindWord word) {
    return (words & KindBit(word)) != 0 ? 1.0f : 0.0f;
  };
  using K = PageKindWord;
  set(F::kSchemaArticle, has(kind.schema, K::kArticle));
  set(F::kSchemaProduct, has(kind.schema, K::kProduct));
  set(F::kSchemaDiscussion, has(kind.schema, K::kDiscussion));
  set(F::kSchemaFaq, has(kind.schema, K::kFaq));
  set(F::kSchemaCollection, has(kind.schema, K::kCollection));
  set(F::kSchemaDocs, has(kind.schema, K::kDocs));
  set(F::kSchemaWebsite, has(kind.schema, K::kWebsite));
  set(F::kGraphArticle, has(kind.graph, K::kArticle));
  set(F::kGraphProduct, has(kind.graph, K::kProduct));
  set(F::kGraphWebsite, has(kind.graph, K::kWebsite));
  set(F::kPathArticle, has(kind.path, K::kArticle));
  set(F::kPathProduct, has(kind.path, K::kProduct));
  set(F::kPathDiscussion, has(kind.path, K::kDiscussion));
  set(F::kPathCollection, has(kind.path, K::kCollection));
  set(F::kPathDocs, has(kind.path, K::kDocs));
  set(F::kPathDepth, kind.path_depth);
}

}  // namespace pagelift
