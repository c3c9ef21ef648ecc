// Style sheets: which rule wins for an element (selectors, specificity,
// document order, !important against the style attribute), which @media and
// @supports blocks apply, and what the reader passes over (other at-rules,
// unsupported selectors, comments, bad values).
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
    {".a:hover{fill:blue} .a{fill:red} .b::after, rect:nth-child(2){fill:blue} g + rect{fill:blue}", "", kRed},
    {".a:bogus, .a{fill:red}", "", kUnset}, {":hover, .a::before, .a{fill:red}", "", kRed},
    {".a:first-child(), #t{fill:red}", "", kUnset}, {"#\\74 {fill:red}", "", kRed}, {".\\000062{fill:red}", "", kRed},
    {"[data-k=v\\20 w]{fill:red}", "", kRed}, {"#\\31 23, .a\\:b{fill:red}", "", kUnset},
    // Pseudo-classes and combinators; the rect is the only child of its group.
    {":root > g rect:first-child:last-child:only-of-type{fill:red}", "", kRed},
    {":root rect:root{fill:red}", "", kUnset}, {".a:empty{fill:red}", "", kRed},
    {"g:empty rect, g + rect, g ~ rect, rect:not(.b){fill:red}", "", kUnset},
    {"rect:NOT(circle):not(:not(.a)):is(.z, [data-k]){fill:red}", "", kRed},
    {"rect:is(.a, :bogus){fill:red}", "", kRed}, {"rect:not(.z, :bogus){fill:red}", "", kUnset}, {"rect:not(::before){fill:red}", "", kUnset}, {"::before.a, g::after > rect, .a::after:hover, #t{fill:red}", "", kUnset},
    {".a:not(#t){fill:blue} :is(#t) {fill:red} .b.a{fill:blue}", "", kRed},
    {"rect:where(#t){fill:red} rect{fill:blue}", "", kBlue},
    {":nth-child(+1):nth-last-child(-n+ 1):nth-of-type( n ):nth-last-of-type(odd){fill:red}", "", kRed},
    {":nth-child(2n){fill:blue} :nth-child(- n+1), :nth-child(3 n){fill:blue}", "", kUnset},
    // Namespaces: elements are SVG's; a prefix must be declared first.
    {"@namespace s url(http://www.w3.org/2000/svg); s|rect.a, *|rect{fill:red}", "", kRed},
    {"@namespace s 'x'; @namespace url(x); s|rect, |rect, .a{fill:red}", "", kUnset},
    {".a{fill:blue} @namespace s url(http://www.w3.org/2000/svg); s|rect{fill:red}", "", kBlue},
    // Media and supports conditions (the document has no size).
    {"@media screen{.a{fill:red}} @media print{.a{fill:blue}} @media not print, tv{.b{fill:red}}", "", kRed},
    {"@media only screen and (prefers-color-scheme:dark), (min-width:1px){.a{fill:red}}", "", kUnset},
    {"@media (prefers-reduced-motion:no-preference) and (orientation:portrait){.a{fill:red}}", "", kRed},
    {"@media (bogus){.a{fill:red}} @media not (bogus){.a{fill:red}} @media screen and{.a{fill:red}} @media not (monochrome) and (bogus){.a{fill:red}}", "", kUnset},
    {"@supports (fill:red) and (not (bogus:1)){@media all{.a{fill:red}}}", "", kRed},
    {"@supports (fill:nonsense) or selector(:bogus){.a{fill:red}}", "", kUnset},
    {"#t{fill:blue} @supports selector(g + rect:nth-child(1)) {#t{fill:red}}", "", kRed},
    {"/* .a{fill:blue} */ .a{/*x*/fill:/*y*/red}", "", kRed}, {"<![CDATA[<!-- .a > x, .a {FILL: red} -->]]>", "", kRed},
    {"}} .a{fill:red} .b{fill:blue", "", kBlue}, // the end of the text closes the block
    {"{{{{ .a{fill:red}", "", kUnset}, {".a{fill:red", "", kRed}, {".\\31 a{fill:blue} .a{fill:red}", "", kRed},
};
// clang-format on

const TiXmlElement* FindTarget(const TiXmlElement* element) {
    for (; element; element = element->NextSiblingElement()) {
        if (const char* id = element->Attribute("id"); id && std::string(id) == "t")
            return element;
        if (const TiXmlElement* found = FindTarget(element->FirstChildElement()))
            return found;
    }
    return nullptr;
}

// The fill the sheets of document give its element with id "t".
unsigned FillOfTarget(const std::string& document) {
    TiXmlDocument doc;
    doc.Parse(document.c_str());
    std::unique_ptr<SvgStyleSheet> sheets = SvgStyleSheet::FromDocument(doc.RootElement());
    SvgStyle style;
    style.ReadFromElement(FindTarget(doc.RootElement()), sheets.get());
    return style.fill.set ? Packed(style.fill.color) : kUnset;
}

unsigned FillOf(const std::string& sheet, const std::string& target) {
    return FillOfTarget("<svg><style>" + sheet +
                        "</style><g id='g' class='grp'><g class='inner'><rect id='t' "
                        "class='a b' data-k='v w' " +
                        target + "/></g></g></svg>");
}

// Sheets for the rect with id "t" among siblings; text and comments between
// elements are no siblings.
const char* const kSiblingSheets[][2] = {
    // Children of svg: style, circle, rect, rect#t, circle, rect.
    {".r1 + rect, circle ~ #t", "red"},
    {"circle + #t, .c2 ~ #t, rect + rect + rect", "none"},
    {"svg > circle ~ .r1 + .a", "red"},
    {".c1 + rect ~ circle", "none"},
    {"rect:nth-child(2n)", "red"},
    {":nth-child(odd), :nth-child(-n+3), :nth-child(n+5)", "none"},
    {":nth-child(n- 1):nth-last-child(3):nth-of-type(2):nth-last-of-type(2)", "red"},
    {"rect:first-of-type, rect:last-of-type, :only-child, :last-child", "none"},
    {":not(:nth-child(odd)):is(rect + *, .x)", "red"},
    {":empty:not(:empty), :nth-child(99999999999n+5)", "none"},
    {":nth-child(99999999999n+4)", "red"},
};

unsigned FillAmongSiblings(const std::string& selectors) {
    return FillOfTarget("<svg><style>" + selectors +
                        "{fill:red}</style><circle class='c1'/><rect class='r1'/>text<!-- x "
                        "--><rect id='t' class='a'/><circle class='c2'/><rect class='r3'/></svg>");
}

} // namespace

TEST(StyleSheetRules, TheWinnerForAnElement) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(row.sheet) + " / " + row.target);
        EXPECT_EQ(FillOf(row.sheet, row.target), row.fill);
    }
}

TEST(StyleSheetRules, SiblingsAndPositions) {
    for (const auto& row : kSiblingSheets) {
        SCOPED_TRACE(row[0]);
        EXPECT_EQ(FillAmongSiblings(row[0]), std::string(row[1]) == "red" ? kRed : kUnset);
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
