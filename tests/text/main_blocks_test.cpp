#include "text/main_blocks.h"

#include <gtest/gtest.h>

#include <string>

#include "text/main_features.h"

namespace pagelift {
namespace {

using html::Document;
using html::NodeId;

NodeId ElementWithId(const Document& document, std::u16string_view id) {
  for (NodeId node = Document::kRoot; node != html::kNoNode; node = document.Next(node)) {
    if (document.Kind(node) == html::NodeKind::kElement &&
        document.FindAttribute(node, u"id") == id) {
      return node;
    }
  }
  return html::kNoNode;
}

TEST(MainRoleOf, ShowsWhatThePageShowsThoseWithoutScriptsAndPanelsItsScriptsOpen) {
  const struct {
    const char* what;
    std::u16string page;
    html::Scripting scripting;
    Role expected;
  } cases[] = {
      {"noscript, parsed without scripts", u"<noscript id=t><p>Posts</p></noscript>",
       html::Scripting::kOff, Role::kLine},
      {"noscript, parsed with scripts (its text is markup)", u"<noscript id=t><p>P</p></noscript>",
       html::Scripting::kOn, Role::kDropped},
      {"a hidden tab panel", u"<div id=t hidden role=tabpanel>Specs</div>", html::Scripting::kOff,
       Role::kLine},
      {"a hidden pane of tabs", u"<p id=t style='display:none' class='tab-pane'>Specs</p>",
       html::Scripting::kOff, Role::kParagraph},
      {"a hidden answer that opens", u"<dd id=t hidden class=faq-answer>Yes.</dd>",
       html::Scripting::kOff, Role::kLine},
      {"a hidden menu panel", u"<div id=t hidden class=menu-panel>Home</div>",
       html::Scripting::kOff, Role::kDropped},
      {"a hidden modal panel", u"<div id=t hidden class='modal panel'>Sign in</div>",
       html::Scripting::kOff, Role::kDropped},
      {"hidden", u"<div id=t style='visibility: hidden'>x</div>", html::Scripting::kOff,
       Role::kDropped},
      {"far off the screen", u"<div id=t style='position:absolute; LEFT: -9999px'>x</div>",
       html::Scripting::kOff, Role::kDropped},
      {"a little off", u"<div id=t style='margin-left: -10px'>x</div>", html::Scripting::kOff,
       Role::kLine},
  };
  for (const auto& c : cases) {
    const Document document = html::ParseDocument(c.page, c.scripting);
    const NodeId node = ElementWithId(document, u"t");
    ASSERT_NE(node, html::kNoNode) << c.what;
    EXPECT_EQ(MainRoleOf(document, node), c.expected) << c.what;
  }
}

TEST(MainBlocks, CountsEachTextIntoItsNearestBlockAndSumsTheBlocks) {
  const Document document = html::ParseDocument(
      u"<title>T</title><meta property='og:type' content=article>"
      u"<link rel=canonical href='https://a.example/blog/x'>"
      u"<script type=application/ld+json>{\"@type\": \"NewsArticle\"}</script>"
      u"<div id=a class=post-1><p id=p>Hello, <a href=/x>world</a>. \u6771\u4EAC <b>ok</b></p>"
      u"</div><div class=post-2><p>Second one.</p><p></p></div><div class=post-3> </div>",
      html::Scripting::kOff);
  const MainBlocks blocks(document);
  // html, body, the two posts and their paragraphs: the empty paragraph and the empty post are
  // no blocks of it.
  ASSERT_EQ(blocks.blocks().size(), 6u);
  const MainBlock& post = blocks.blocks()[2];
  const MainBlock& p = blocks.blocks()[3];
  EXPECT_EQ(post.node, ElementWithId(document, u"a"));
  EXPECT_EQ(p.node, ElementWithId(document, u"p"));
  EXPECT_EQ(p.parent, 2u);
  EXPECT_EQ(post.end, 4u);
  EXPECT_EQ(p.text, 18u);  // "Hello," "world." "ok", and two wide characters counting two each
  EXPECT_EQ(p.links, 5u);
  EXPECT_EQ(p.anchors, 1);
  EXPECT_EQ(p.marks, 2);
  EXPECT_EQ(p.stops, 1);
  EXPECT_EQ(p.words, 4);  // Hello, world, 東京, ok
  EXPECT_EQ(p.wide, 2);
  EXPECT_EQ(post.text, 0u);
  EXPECT_EQ(post.total_text, 18u);
  EXPECT_EQ(blocks.blocks()[1].total_text, 18u + 10u);
  EXPECT_EQ(blocks.page_text(), 28u);
  // "post-1" and "post-2" are of one kind: their digits do not count.
  EXPECT_EQ(post.alike, 2);
  EXPECT_EQ(post.alike_text, 28u);
  EXPECT_NE(post.chain & Bit(PartWord::kPost), 0u);
  EXPECT_NE(p.far & Bit(PartWord::kPost), 0u);
  EXPECT_EQ(p.chain & Bit(PartWord::kPost), 0u);

  using K = PageKindWord;
  EXPECT_EQ(blocks.kind().graph, KindBit(K::kArticle));
  EXPECT_EQ(blocks.kind().schema, KindBit(K::kArticle));
  EXPECT_EQ(blocks.kind().path, KindBit(K::kArticle));
  EXPECT_EQ(blocks.kind().path_depth, 2);
}

TEST(MainBlocks, KeepsNoneOfAMillionEmptyElements) {
  std::u16string page;
  for (int i = 0; i < 100000; ++i) page += u"<div>";
  page += u"x";
  const Document document = html::ParseDocument(page, html::Scripting::kOff);
  const MainBlocks blocks(document);
  // The open ones around the text, at most as deep as browsers nest: 512, html and body too.
  EXPECT_LE(blocks.blocks().size(), 512u);
  EXPECT_EQ(blocks.page_text(), 1u);
}

}  // namespace
}  // namespace pagelift
