#pragma once

#include <cstdint>
#include <string_view>

namespace pagelift::html {

// The element names the tree builder knows by heart: every HTML element it treats apart
// (and the common ones the text forms ask about), and the SVG and MathML names that mark
// where HTML comes back inside foreign content. Other names are interned per document.
#define PAGELIFT_HTML_TAGS(X)         \
  X(kA, "a")                          \
  X(kAbbr, "abbr")                    \
  X(kAddress, "address")              \
  X(kAnnotationXml, "annotation-xml") \
  X(kApplet, "applet")                \
  X(kArea, "area")                    \
  X(kArticle, "article")              \
  X(kAside, "aside")                  \
  X(kAudio, "audio")                  \
  X(kB, "b")                          \
  X(kBase, "base")                    \
  X(kBasefont, "basefont")            \
  X(kBdi, "bdi")                      \
  X(kBdo, "bdo")                      \
  X(kBgsound, "bgsound")              \
  X(kBig, "big")                      \
  X(kBlockquote, "blockquote")        \
  X(kBody, "body")                    \
  X(kBr, "br")                        \
  X(kButton, "button")                \
  X(kCanvas, "canvas")                \
  X(kCaption, "caption")              \
  X(kCenter, "center")                \
  X(kCite, "cite")                    \
  X(kCode, "code")                    \
  X(kCol, "col")                      \
  X(kColgroup, "colgroup")            \
  X(kData, "data")                    \
  X(kDatalist, "datalist")            \
  X(kDd, "dd")                        \
  X(kDel, "del")                      \
  X(kDesc, "desc")                    \
  X(kDetails, "details")              \
  X(kDfn, "dfn")                      \
  X(kDialog, "dialog")                \
  X(kDir, "dir")                      \
  X(kDiv, "div")                      \
  X(kDl, "dl")                        \
  X(kDt, "dt")                        \
  X(kEm, "em")                        \
  X(kEmbed, "embed")                  \
  X(kFieldset, "fieldset")            \
  X(kFigcaption, "figcaption")        \
  X(kFigure, "figure")                \
  X(kFont, "font")                    \
  X(kFooter, "footer")                \
  X(kForeignObject, "foreignobject")  \
  X(kForm, "form")                    \
  X(kFrame, "frame")                  \
  X(kFrameset, "frameset")            \
  X(kH1, "h1")                        \
  X(kH2, "h2")                        \
  X(kH3, "h3")                        \
  X(kH4, "h4")                        \
  X(kH5, "h5")                        \
  X(kH6, "h6")                        \
  X(kHead, "head")                    \
  X(kHeader, "header")                \
  X(kHgroup, "hgroup")                \
  X(kHr, "hr")                        \
  X(kHtml, "html")                    \
  X(kI, "i")                          \
  X(kIframe, "iframe")                \
  X(kImage, "image")                  \
  X(kImg, "img")                      \
  X(kInput, "input")                  \
  X(kIns, "ins")                      \
  X(kKbd, "kbd")                      \
  X(kKeygen, "keygen")                \
  X(kLabel, "label")                  \
  X(kLegend, "legend")                \
  X(kLi, "li")                        \
  X(kLink, "link")                    \
  X(kListing, "listing")              \
  X(kMain, "main")                    \
  X(kMalignmark, "malignmark")        \
  X(kMap, "map")                      \
  X(kMark, "mark")                    \
  X(kMarquee, "marquee")              \
  X(kMath, "math")                    \
  X(kMenu, "menu")                    \
  X(kMeta, "meta")                    \
  X(kMeter, "meter")                  \
  X(kMglyph, "mglyph")                \
  X(kMi, "mi")                        \
  X(kMn, "mn")                        \
  X(kMo, "mo")                        \
  X(kMs, "ms")                        \
  X(kMtext, "mtext")                  \
  X(kNav, "nav")                      \
  X(kNobr, "nobr")                    \
  X(kNoembed, "noembed")              \
  X(kNoframes, "noframes")            \
  X(kNoscript, "noscript")            \
  X(kObject, "object")                \
  X(kOl, "ol")                        \
  X(kOptgroup, "optgroup")            \
  X(kOption, "option")                \
  X(kOutput, "output")                \
  X(kP, "p")                          \
  X(kParam, "param")                  \
  X(kPicture, "picture")              \
  X(kPlaintext, "plaintext")          \
  X(kPre, "pre")                      \
  X(kProgress, "progress")            \
  X(kQ, "q")                          \
  X(kRb, "rb")                        \
  X(kRp, "rp")                        \
  X(kRt, "rt")                        \
  X(kRtc, "rtc")                      \
  X(kRuby, "ruby")                    \
  X(kS, "s")                          \
  X(kSamp, "samp")                    \
  X(kScript, "script")                \
  X(kSearch, "search")                \
  X(kSection, "section")              \
  X(kSelect, "select")                \
  X(kSmall, "small")                  \
  X(kSource, "source")                \
  X(kSpan, "span")                    \
  X(kStrike, "strike")                \
  X(kStrong, "strong")                \
  X(kStyle, "style")                  \
  X(kSub, "sub")                      \
  X(kSummary, "summary")              \
  X(kSup, "sup")                      \
  X(kSvg, "svg")                      \
  X(kTable, "table")                  \
  X(kTbody, "tbody")                  \
  X(kTd, "td")                        \
  X(kTemplate, "template")            \
  X(kTextarea, "textarea")            \
  X(kTfoot, "tfoot")                  \
  X(kTh, "th")                        \
  X(kThead, "thead")                  \
  X(kTime, "time")                    \
  X(kTitle, "title")                  \
  X(kTr, "tr")                        \
  X(kTrack, "track")                  \
  X(kTt, "tt")                        \
  X(kU, "u")                          \
  X(kUl, "ul")                        \
  X(kVar, "var")                      \
  X(kVideo, "video")                  \
  X(kWbr, "wbr")                      \
  X(kXmp, "xmp")

// An element's name as a number: a known name's value below kTagCount, or kUnknown from
// the tokenizer (the tree then numbers the name itself, from kTagCount up).
enum class Tag : std::uint32_t {
  kUnknown,
#define PAGELIFT_HTML_TAG_ENUM(id, name) id,
  PAGELIFT_HTML_TAGS(PAGELIFT_HTML_TAG_ENUM)
#undef PAGELIFT_HTML_TAG_ENUM
      kTagCount
};

// The tag of a lowercase name, or kUnknown.
Tag TagOf(std::u16string_view name);
// The lowercase name of a known tag ("" for kUnknown and above).
std::u16string_view NameOf(Tag tag);
// 1 to 6 for <h1> to <h6>; 0 for any other tag.
int HeadingLevel(Tag tag);

}  // namespace pagelift::html
