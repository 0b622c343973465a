// Pages made to hurt: each parses, in bounded depth, with its text where it belongs, and into
// the same tree from pieces, its worst constructs cut across them. What the conformance
// suites show is not repeated here.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>

#include "html/document.h"

namespace pagelift::html {
namespace {

using namespace std::string_literals;

struct Walked {
  std::u16string text;    // of the text nodes, in document order
  std::size_t depth = 0;  // of the deepest node below the document
};

// Walks the tree without recursion, as a reader of a deep tree must.
Walked Walk(const Document& doc) {
  Walked walked;
  std::size_t depth = 0;
  for (NodeId node = Document::kRoot; node != kNoNode;) {
    if (doc.Kind(node) == NodeKind::kText) walked.text += doc.Text(node);
    if (doc.FirstChild(node) != kNoNode) {
      node = doc.FirstChild(node);
      walked.depth = std::max(walked.depth, ++depth);
      continue;
    }
    while (node != kNoNode && doc.NextSibling(node) == kNoNode) {
      node = doc.Parent(node);
      --depth;
    }
    if (node != kNoNode) node = doc.NextSibling(node);
  }
  return walked;
}

std::u16string Times(std::u16string_view unit, std::size_t count) {
  std::u16string text;
  text.reserve(unit.size() * count);
  for (std::size_t k = 0; k < count; ++k) text += unit;
  return text;
}

struct BadPage {
  const char* name;
  std::function<std::u16string()> page;
  std::function<std::u16string()> text;
  // The size of the pieces the page is parsed from again.
  std::size_t piece = 1;
  // A check of the tree beyond its text.
  std::function<void(const Document&)> check = [](const Document&) {};
};

void PrintTo(const BadPage& bad, std::ostream* out) {
  *out << bad.name;
}

class BadInputTest : public ::testing::TestWithParam<BadPage> {};

TEST_P(BadInputTest, ParsesWithinTheLimits) {
  const BadPage& bad = GetParam();
  const std::u16string page = bad.page();
  const Document doc = ParseDocument(page);
  const Walked walked = Walk(doc);
  EXPECT_TRUE(walked.text == bad.text());
  // The html element, at most 511 more open elements, and a text node.
  EXPECT_LE(walked.depth, 513u);
  bad.check(doc);
  DocumentParser parser;
  for (std::size_t at = 0; at < page.size(); at += bad.piece) {
    parser.Append(std::u16string_view(page).substr(at, bad.piece));
  }
  EXPECT_TRUE(parser.Finish() == doc);
}

// The element named `name` that comes first in document order.
NodeId FirstNamed(const Document& doc, std::u16string_view name) {
  for (NodeId node = Document::kRoot; node != kNoNode; node = doc.Next(node)) {
    if (doc.Kind(node) == NodeKind::kElement && doc.NameOf(node) == name) return node;
  }
  return kNoNode;
}

INSTANTIATE_TEST_SUITE_P(
    Pages, BadInputTest,
    ::testing::Values(
        // Deeper than browsers go: at 512 open elements each new one closes the deepest.
        BadPage{"MillionNestedDivs", [] { return Times(u"<div>", 1'000'000) + u"x"; },
                [] { return std::u16string(u"x"); }, 4093,
                [](const Document& doc) { EXPECT_GT(doc.NodeCount(), 1'000'000u); }},
        // Formatting elements nest too, and are remade in every paragraph.
        BadPage{"NestedFormattingInParagraphs",
                [] { return Times(u"<b><i>", 2000) + Times(u"<p>x</p>", 2000); },
                [] { return Times(u"x", 2000); }, 7},
        // 100 MB of UTF-16 in one attribute value, read in pieces of 64 KB.
        BadPage{"HugeAttribute", [] { return u"<p title=\"" + Times(u"a", 50'000'000) + u"\">x"; },
                [] { return std::u16string(u"x"); }, 32768,
                [](const Document& doc) {
                  const auto title = doc.FindAttribute(FirstNamed(doc, u"p"), u"title");
                  ASSERT_TRUE(title.has_value());
                  EXPECT_EQ(title->size(), 50'000'000u);
                }},
        // A comment to the end of the page holds the rest of it (but a last "-", which
        // might have begun its end).
        BadPage{"UnclosedComment", [] { return u"a<!--" + Times(u"-b<!-", 200'000); },
                [] { return std::u16string(u"a"); }, 3,
                [](const Document& doc) {
                  NodeId comment = kNoNode;
                  for (NodeId node = 0; node != kNoNode; node = doc.Next(node)) {
                    if (doc.Kind(node) == NodeKind::kComment) comment = node;
                  }
                  ASSERT_NE(comment, kNoNode);
                  EXPECT_EQ(doc.Text(comment).size(), 5u * 200'000 - 1);
                }},
        // U+0000 is dropped from text and made U+FFFD in names; unpaired surrogates stay.
        BadPage{"NulAndLoneSurrogates",
                [] {
                  return u"\0a\xD800"
                         u"b<p\0 x\0=\0>\xDC00"
                         u"c\0"s;
                },
                [] {
                  return std::u16string(
                      u"a\xD800"
                      u"b\xDC00"
                      u"c");
                },
                1,
                [](const Document& doc) {
                  const NodeId p = FirstNamed(doc, u"p\uFFFD");
                  ASSERT_NE(p, kNoNode);
                  ASSERT_EQ(doc.AttributeCount(p), 1u);
                  EXPECT_TRUE(doc.AttributeName(p, 0) == u"x\uFFFD");
                  EXPECT_TRUE(doc.AttributeValue(p, 0) == u"\uFFFD");
                }},
        // One "<" after another is text.
        BadPage{"OpenAngles", [] { return Times(u"<", 5'000'000); },
                [] { return Times(u"<", 5'000'000); }, 7},
        // Ten million units of text, cut anywhere in it.
        BadPage{"LongText", [] { return Times(u"text ", 2'000'000); },
                [] { return Times(u"text ", 2'000'000); }, 4099},
        // References cut in the middle: a number of a hundred thousand digits read one unit
        // at a time, the longest name, a name that ends with the page.
        BadPage{"CutReferences",
                [] {
                  return u"&#x" + Times(u"0", 100'000) +
                         u"41;&CounterClockwiseContourIntegral;&amp";
                },
                [] { return std::u16string(u"A\u2233&"); }},
        // The markup that decides with several units: a doctype (whose public identifier
        // puts the page in quirks mode, where a table stays in its paragraph), the end of a
        // script, a CR LF with the CR at the end of a piece.
        BadPage{"CutMarkup",
                [] {
                  return std::u16string(
                      u"<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">"
                      u"<script>a</scrip</script>\r\n<p>b\r\n<table>");
                },
                [] { return std::u16string(u"a</scrip\nb\n"); }, 2,
                [](const Document& doc) {
                  const NodeId table = FirstNamed(doc, u"table");
                  ASSERT_NE(table, kNoNode);
                  EXPECT_EQ(doc.Parent(table), FirstNamed(doc, u"p"));
                }}),
    [](const ::testing::TestParamInfo<BadPage>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pagelift::html
