// Style sheets: which rule wins for an element (selectors, specificity,
// document order, !important against the style attribute), and what the
// reader passes over (at-rules, unsupported selectors, comments, bad values).
#include "StyleTestUtil.h"

#include "style/SvgStyleSheet.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The target is the rect with id "t", inside two groups.
struct Row {
    const char* sheet;  // text of a style element
    const char* target; // further attributes of the target
    unsigned fill;      // packed colour, or kUnset
};

constexpr unsigned kUnset = 1;

// clang-format off
const Row kRows[] = {
    // Selectors; tag names are case-sensitive.
    {"rect{fill:red}", "", kRed}, {"RECT{fill:red}", "", kUnset}, {".b{fill:red}", "", kRed},
    {"*{fill:red}", "", kRed}, {"circle, .b {fill:red}", "", kRed}, {"circle.a{fill:red}", "", kUnset},
    {"svg .a{fill:red}", "", kRed}, {"#g > .inner > rect{fill:red}", "", kRed}, {"#g > rect{fill:red}", "", kUnset},
    {".grp > g rect{fill:red}", "", kRed}, {"svg > .inner rect{fill:red}", "", kUnset}, {"[data-k]{fill:red}", "", kRed},
    {"[data-k='v w']{fill:red}", "", kRed}, {"[data-k~=w]{fill:red}", "", kRed}, {"[data-k=v]{fill:red}", "", kUnset},
    {"[lang|=en]{fill:red}", "lang='en-GB'", kRed}, {"[kind$=\"box\"]{fill:red}", "kind='box'", kRed},
    // Specificity, then document order.
    {"#t{fill:red} .a{fill:blue}", "", kRed}, {".a{fill:red} rect{fill:blue}", "", kRed},
    {".a{fill:blue} .b{fill:red}", "", kRed}, {"rect.a#t{fill:red} #t{fill:blue}", "", kRed}, {".a{fill:blue;fill:red}", "", kRed},
    {"[id]{fill:red} rect{fill:blue}", "", kRed},
    // The cascade around the sheet.
    {".a{fill:red}", "fill='blue'", kRed}, {".a{fill:red}", "style='fill:blue'", kBlue},
    {".a{fill:red !important} #t{fill:blue}", "", kRed}, {".a{fill:red!IMPORTANT}", "style='fill:blue'", kRed},
    {"#t{fill:red !important}", "style='fill:blue ! important'", kBlue},
    // A value the property does not take leaves the next rule's.
    {".a{fill:red} #t{fill:bogus}", "", kRed},
    // Passed over: at-rules, rules with unsupported selectors, comments.
    {"@import url(x.css); @media print { .a{fill:blue} } @font-face{font-family:x} .a{fill:red}", "", kRed},
    {".a:hover{fill:blue} .a{fill:red} .b, rect:first-child{fill:blue} g + rect{fill:blue}", "", kRed},
    {"/* .a{fill:blue} */ .a{/*x*/fill:/*y*/red}", "", kRed}, {"<![CDATA[<!-- .a > x, .a {FILL: red} -->]]>", "", kRed},
    {"}} .a{fill:red} .b{fill:blue", "", kBlue}, // the end of the text closes the block
    {"{{{{ .a{fill:red}", "", kUnset}, {".a{fill:red", "", kRed}, {".\\31 a{fill:blue} .a{fill:red}", "", kRed},
};
// clang-format on

unsigned FillOf(const std::string& sheet, const std::string& target) {
    TiXmlDocument doc;
    doc.Parse(("<svg><style>" + sheet +
               "</style><g id='g' class='grp'><g class='inner'><rect "
               "id='t' class='a b' data-k='v w' " +
               target + "/></g></g></svg>")
                  .c_str());
    const TiXmlElement* rect =
        doc.RootElement()->FirstChildElement("g")->FirstChildElement("g")->FirstChildElement();
    std::unique_ptr<SvgStyleSheet> sheets = SvgStyleSheet::FromDocument(doc.RootElement());
    SvgStyle style;
    style.ReadFromElement(rect, sheets.get());
    return style.fill.set ? Packed(style.fill.color) : kUnset;
}

} // namespace

TEST(StyleSheetRules, TheWinnerForAnElement) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(row.sheet) + " / " + row.target);
        EXPECT_EQ(FillOf(row.sheet, row.target), row.fill);
    }
}

TEST(StyleSheetRules, OnlyCssStyleElementsCount) {
    TiXmlDocument doc;
    doc.Parse("<svg><style type='text/xsl'>rect{fill:red}</style><style "
              "type=''>*{stroke:red}</style><style type='TEXT/CSS'>*{color:red}</style><style>"
              "   </style></svg>");
    std::unique_ptr<SvgStyleSheet> sheet = SvgStyleSheet::FromDocument(doc.RootElement());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->SelectorCount(), 2u);
    TiXmlDocument none;
    none.Parse("<svg><style>@media print{rect{fill:red}}</style><rect/></svg>");
    EXPECT_FALSE(SvgStyleSheet::FromDocument(none.RootElement()));
}

TEST(StyleSheetRules, ImportantInTheStyleAttribute) {
    // The later declaration wins over an earlier one only when it is important.
    auto style = ReadElementStyle("<rect style='fill:red; fill:blue !important; stroke:red; "
                                  "stroke:blue'/>");
    EXPECT_EQ(Packed(style->fill.color), kBlue);
    EXPECT_EQ(Packed(style->stroke.color), kRed);
}
