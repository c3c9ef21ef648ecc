#include "StyleTestUtil.h"

#include "style/SvgAttributeTable.h"
#include "style/SvgStyleReader.h"
#include "syntax/SvgDeclaration.h"
#include "syntax/SvgScanner.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr unsigned kRed = 0xFF000000u;
constexpr unsigned kBlue = 0x0000FF00u;
constexpr unsigned kGreen = 0x00800000u;

std::unique_ptr<SvgStyle> FromStyleAttribute(const char* text) {
    auto s = std::make_unique<SvgStyle>();
    s->ReadStyleAttribute(text);
    return s;
}

TEST(StyleReading, StyleAttributeWinsOverPresentationAttributes) {
    auto s = ReadElementStyle("<rect style='fill:red' fill='blue' stroke='blue'/>");
    EXPECT_TRUE(s->fill.set);
    EXPECT_EQ(Packed(s->fill.color), kRed);
    EXPECT_EQ(Packed(s->stroke.color), kBlue); // not in the style attribute
}

TEST(StyleReading, FirstDeclarationWins) {
    auto s = FromStyleAttribute("fill:red;fill:blue;stroke-width:2;stroke-width:5");
    EXPECT_EQ(Packed(s->fill.color), kRed);
    EXPECT_FLOAT_EQ(s->strokeWidth.computed, 2.0f);
    // A rejected first declaration leaves the property open for a later one.
    s = FromStyleAttribute("fill:nonsense;fill:blue");
    EXPECT_EQ(Packed(s->fill.color), kBlue);
    // "inherit" counts as a specification.
    s = FromStyleAttribute("fill:inherit;fill:blue");
    EXPECT_TRUE(s->fill.inherit);
    EXPECT_FALSE(s->fill.colorSet);
}

TEST(StyleReading, DeclarationValuesKeepTrailingWhiteSpace) {
    auto s = FromStyleAttribute("fill: none ;stroke-width: 2 ;stroke: red ;");
    EXPECT_FALSE(s->fill.set); // "none " is not the keyword
    EXPECT_FALSE(s->fill.noneSet);
    EXPECT_FALSE(s->strokeWidth.set); // "2 " is not a length
    EXPECT_TRUE(s->stroke.set);       // a colour name ends at white space
    EXPECT_EQ(Packed(s->stroke.color), kRed);
}

TEST(StyleReading, NamesAreWholeAndCaseSensitive) {
    auto s = FromStyleAttribute("Fill:red; stroke : blue ; f ill-opacity:0.5; id:x; :red; ; "
                                "unknown-prop:1; /* note */ opacity:0.25");
    EXPECT_FALSE(s->fill.set);
    EXPECT_TRUE(s->stroke.set); // white space around the name is dropped
    EXPECT_EQ(Packed(s->stroke.color), kBlue);
    EXPECT_TRUE(s->fillOpacity.set); // ... also inside it
    EXPECT_EQ(s->fillOpacity.value, 8355840u);
    EXPECT_EQ(s->opacity.value, 4177920u); // after a comment
}

TEST(StyleReading, UnclosedCommentEndsTheDeclarations) {
    auto s = FromStyleAttribute("fill:red; /* open stroke:blue");
    EXPECT_EQ(Packed(s->fill.color), kRed);
    EXPECT_FALSE(s->stroke.set);
    s = FromStyleAttribute("fill: <!-- open");
    EXPECT_FALSE(s->fill.set);
}

TEST(StyleReading, EveryPropertyOfTheStyleAttribute) {
    auto s = FromStyleAttribute(
        "-inkscape-font-specification:'Sans Bold';font:bold 12px Sans;font-family:\"DejaVu Sans\";"
        "font-size:20px;font-stretch:condensed;font-style:italic;font-variant:small-caps;"
        "font-weight:bold;text-indent:5;text-align:center;text-decoration:underline;"
        "line-height:normal;letter-spacing:2;word-spacing:3px;text-transform:uppercase;"
        "direction:rtl;block-progression:lr;writing-mode:tb;text-anchor:middle;display:block;"
        "overflow:hidden;visibility:hidden;opacity:0.5;enable-background:new;filter:url(#blur);"
        "stop-color:#00f;stop-opacity:0.5;fill:#f00;stroke:green;fill-opacity:0;"
        "stroke-opacity:1;fill-rule:evenodd;stroke-linecap:round;stroke-linejoin:bevel;"
        "marker:url(#a);marker-start:url(#b);marker-mid:inherit;marker-end:url(#d);"
        "stroke-dasharray:1,2,3;stroke-dashoffset:4;stroke-miterlimit:8;stroke-width:2pt;"
        "color:green;shape-rendering:crispEdges;unicode-bidi:embed");
    EXPECT_EQ(s->text->fontSpecification.value, "Sans Bold");
    EXPECT_EQ(s->text->font.value, "bold 12px Sans");
    EXPECT_FALSE(s->text->font.inherit);
    EXPECT_EQ(s->text->fontFamily.value, "DejaVu Sans");
    EXPECT_EQ(s->fontSize.type, SvgFontSizeLength);
    EXPECT_FLOAT_EQ(s->fontSize.computed, 20.0f);
    EXPECT_EQ(s->fontStretch.value, 2u);
    EXPECT_EQ(s->fontStyle.value, 1u);
    EXPECT_EQ(s->fontVariant.value, 1u);
    EXPECT_EQ(s->fontWeight.value, 10u);
    EXPECT_FLOAT_EQ(s->textIndent.computed, 5.0f);
    EXPECT_EQ(s->textAlign.value, 4u);
    EXPECT_TRUE(s->textDecoration.underline);
    EXPECT_TRUE(s->lineHeight.set && s->lineHeight.normal);
    EXPECT_FLOAT_EQ(s->letterSpacing.computed, 2.0f);
    EXPECT_FALSE(s->letterSpacing.normal);
    EXPECT_EQ(s->wordSpacing.unit, SvgUnitPx);
    EXPECT_EQ(s->textTransform.value, 1u);
    EXPECT_EQ(s->direction.value, 1u);
    EXPECT_EQ(s->blockProgression.value, 2u);
    EXPECT_EQ(s->writingMode.value, 2u);
    EXPECT_EQ(s->textAnchor.value, 1u);
    EXPECT_EQ(s->display.value, 2u);
    EXPECT_EQ(s->overflow.value, 1u);
    EXPECT_EQ(s->visibility.value, 0u);
    EXPECT_EQ(s->opacity.value, 8355840u);
    EXPECT_EQ(s->enableBackground.value, 1u);
    EXPECT_EQ(s->filter.value, "blur");
    EXPECT_EQ(Packed(s->stopColor.color), kBlue);
    EXPECT_TRUE(s->stopColor.colorSet);
    EXPECT_EQ(s->stopOpacity.value, 8355840u);
    EXPECT_EQ(Packed(s->fill.color), kRed);
    EXPECT_EQ(Packed(s->stroke.color), kGreen);
    EXPECT_EQ(s->fillOpacity.value, 0u);
    EXPECT_TRUE(s->fillOpacity.set);
    EXPECT_EQ(s->strokeOpacity.value, 16711680u);
    EXPECT_EQ(s->fillRule.value, 2u);
    EXPECT_EQ(s->strokeLinecap.value, 1u);
    EXPECT_EQ(s->strokeLinejoin.value, 2u);
    // Markers keep the text as written, "inherit" included.
    EXPECT_EQ(s->marker[SvgStyle::MarkerAll].value, "url(#a)");
    EXPECT_EQ(s->marker[SvgStyle::MarkerStart].value, "url(#b)");
    EXPECT_EQ(s->marker[SvgStyle::MarkerMid].value, "inherit");
    EXPECT_TRUE(s->marker[SvgStyle::MarkerMid].inherit);
    EXPECT_EQ(s->marker[SvgStyle::MarkerEnd].value, "url(#d)");
    ASSERT_EQ(s->strokeDash.dashCount, 3);
    EXPECT_EQ(s->strokeDash.dashes[2], 3.0);
    EXPECT_TRUE(s->strokeDash.dashoffsetSet);
    EXPECT_EQ(s->strokeDash.dashOffset, 4.0);
    EXPECT_FLOAT_EQ(s->strokeMiterlimit.value, 8.0f);
    EXPECT_FLOAT_EQ(s->strokeWidth.computed, 2.5f);
    EXPECT_TRUE(s->color.set); // color is read in a style attribute too
    EXPECT_EQ(Packed(s->color.color), kGreen);
}

TEST(StyleReading, FontShorthandAndDashOffsetFlags) {
    auto s = FromStyleAttribute("font:inherit;stroke-dashoffset:inherit;stroke-dashoffset:3");
    EXPECT_TRUE(s->text->font.set && s->text->font.inherit);
    EXPECT_EQ(s->text->font.value, "inherit");
    // "inherit" is no offset: the next declaration is still read.
    EXPECT_TRUE(s->strokeDash.dashoffsetSet);
    EXPECT_EQ(s->strokeDash.dashOffset, 3.0);

    s = FromStyleAttribute("stroke-dasharray:none;stroke-dasharray:5");
    EXPECT_TRUE(s->strokeDash.dasharraySet);
    EXPECT_EQ(s->strokeDash.dashCount, 0);
}

TEST(StyleReading, PresentationAttributes) {
    auto s = ReadElementStyle(
        "<text visibility='hidden' display='none' overflow='scroll' font-size='large' "
        "font-style='oblique' font-variant='small-caps' font-weight='300' font-stretch='wider' "
        "text-indent='1in' text-align='end' text-decoration='line-through blink' "
        "line-height='150%' letter-spacing='normal' word-spacing='1em' text-transform='none' "
        "direction='rtl' block_progression='rl' writing-mode='rl' text-anchor='end' "
        "opacity='0' color='red' fill='none' fill-opacity='0.5' fill-rule='evenodd' "
        "stroke='url(#g) blue' stroke-width='3' stroke-linecap='square' stroke-linejoin='round' "
        "stroke-miterlimit='2' marker='url(#m)' marker-start='inherit' marker-mid='url(#n)' "
        "marker-end='url(#o)' stroke-opacity='0.25' stroke-dasharray='4 2' "
        "stroke-dashoffset='1.5' "
        "font-family=\"'Liberation Serif'\" filter='none' enable-background='new' "
        "stop-color='green' stop-opacity='0'/>");
    EXPECT_EQ(s->visibility.value, 0u);
    EXPECT_EQ(s->display.value, 0u);
    EXPECT_EQ(s->overflow.value, 2u);
    EXPECT_EQ(s->fontSize.value, 4u);
    EXPECT_EQ(s->fontStyle.value, 2u);
    EXPECT_EQ(s->fontVariant.value, 1u);
    EXPECT_EQ(s->fontWeight.value, 2u);
    EXPECT_EQ(s->fontStretch.value, 10u);
    EXPECT_FLOAT_EQ(s->textIndent.computed, 90.0f);
    EXPECT_EQ(s->textAlign.value, 1u);
    EXPECT_TRUE(s->textDecoration.lineThrough && s->textDecoration.blink);
    EXPECT_FALSE(s->textDecoration.underline);
    EXPECT_EQ(s->lineHeight.unit, SvgUnitPercent);
    EXPECT_TRUE(s->letterSpacing.set && s->letterSpacing.normal);
    EXPECT_EQ(s->wordSpacing.unit, SvgUnitEm);
    EXPECT_EQ(s->textTransform.value, 3u);
    EXPECT_EQ(s->direction.value, 1u);
    EXPECT_EQ(s->blockProgression.value, 1u);
    EXPECT_EQ(s->writingMode.value, 1u);
    EXPECT_EQ(s->textAnchor.value, 2u);
    EXPECT_EQ(s->opacity.value, 0u);
    EXPECT_TRUE(s->opacity.set);
    EXPECT_EQ(Packed(s->color.color), kRed);
    EXPECT_TRUE(s->fill.noneSet);
    EXPECT_EQ(s->fillOpacity.value, 8355840u);
    EXPECT_EQ(s->fillRule.value, 2u);
    EXPECT_EQ(s->stroke.uri, "g");
    EXPECT_EQ(Packed(s->stroke.color), kBlue);
    EXPECT_FLOAT_EQ(s->strokeWidth.computed, 3.0f);
    EXPECT_EQ(s->strokeLinecap.value, 2u);
    EXPECT_EQ(s->strokeLinejoin.value, 1u);
    EXPECT_FLOAT_EQ(s->strokeMiterlimit.value, 2.0f);
    EXPECT_EQ(s->marker[SvgStyle::MarkerAll].value, "url(#m)");
    // As an attribute, "inherit" leaves the marker string empty.
    EXPECT_TRUE(s->marker[SvgStyle::MarkerStart].inherit);
    EXPECT_EQ(s->marker[SvgStyle::MarkerStart].value, "");
    EXPECT_EQ(s->marker[SvgStyle::MarkerMid].value, "url(#n)");
    EXPECT_EQ(s->marker[SvgStyle::MarkerEnd].value, "url(#o)");
    EXPECT_EQ(s->strokeOpacity.value, 4177920u);
    ASSERT_EQ(s->strokeDash.dashCount, 2);
    EXPECT_EQ(s->strokeDash.dashOffset, 1.5);
    EXPECT_EQ(s->text->fontFamily.value, "Liberation Serif");
    EXPECT_TRUE(s->filter.set);
    EXPECT_EQ(s->filter.value, "");
    EXPECT_EQ(s->enableBackground.value, 1u);
    EXPECT_EQ(Packed(s->stopColor.color), kGreen);
    EXPECT_EQ(s->stopOpacity.value, 0u);
    EXPECT_TRUE(s->stopOpacity.set);
}

TEST(StyleReading, FontSpecificationAttribute) {
    // Not a well-formed XML name, so only an element built in code carries it.
    TiXmlElement element("text");
    element.SetAttribute("-inkscape-font-specification", "'Serif Italic'");
    SvgStyle s;
    s.ReadFromElement(&element);
    EXPECT_EQ(s.text->fontSpecification.value, "Serif Italic");
}

TEST(StyleReading, AttributesThatAreNoPresentationAttributes) {
    auto s = ReadElementStyle("<text font='bold 10px Serif' block-progression='lr' "
                              "Fill='red' x='1' d='M0 0' id='fill'/>");
    EXPECT_FALSE(s->text->font.set);
    EXPECT_FALSE(s->blockProgression.set); // spelled with an underscore as an attribute
    EXPECT_FALSE(s->fill.set);
    EXPECT_TRUE(s->fill.colorSet); // still the initial black
}

TEST(StyleReading, DequoteRemovesOneOuterPair) {
    auto s = FromStyleAttribute("font-family:'A', B");
    EXPECT_EQ(s->text->fontFamily.value, "'A', B");
    s = FromStyleAttribute("font-family:inherit");
    EXPECT_TRUE(s->text->fontFamily.inherit);
    EXPECT_EQ(s->text->fontFamily.value, "");
}

TEST(StyleReading, RenderingHintsAndUnsupportedNamesChangeNothing) {
    SvgStyle fresh;
    auto s = FromStyleAttribute("shape-rendering:crispEdges;text-rendering:auto;"
                                "image-rendering:optimizeSpeed;color-rendering:auto;"
                                "clip-path:url(#c);mask:url(#m);x:5;width:10;font-size-adjust:1");
    EXPECT_EQ(s->fill.colorSet, fresh.fill.colorSet);
    EXPECT_FALSE(s->fontSize.set);
    EXPECT_FALSE(s->strokeWidth.set);
}

TEST(StyleReading, LongAndHostileText) {
    // A value longer than any fixed buffer is read whole.
    std::string dashes = "stroke-dasharray:";
    for (int i = 0; i < 100; ++i)
        dashes += "1,";
    dashes += "1";
    auto s = FromStyleAttribute(dashes.c_str());
    EXPECT_EQ(s->strokeDash.dashCount, 64);

    std::string family = "font-family:" + std::string(5000, 'F');
    s = FromStyleAttribute(family.c_str());
    EXPECT_EQ(s->text->fontFamily.value.size(), 5000u);

    // A name far longer than any in the table is no property.
    std::string longName = std::string(300, 'f') + ":red;fill:blue";
    s = FromStyleAttribute(longName.c_str());
    EXPECT_EQ(Packed(s->fill.color), kBlue);

    // Bytes above 127, lone separators, nothing at all.
    s = FromStyleAttribute("\xff\xfe:\x80;;;:;::fill:red");
    EXPECT_FALSE(s->fill.set);
    s = FromStyleAttribute("");
    EXPECT_FALSE(s->fill.set);
    s = FromStyleAttribute(nullptr);
    s->ReadPropertyById(SvgPropFill, nullptr);
    s->ReadPropertyById(-1, "red");
    s->ReadPropertyById(100000, "red");
    EXPECT_FALSE(s->fill.set);

    SvgStyle parent;
    parent.ReadStyleAttribute("fill:red");
    SvgStyle child;
    child.parent = &parent;
    child.ReadFromElement(nullptr); // no element: only the cascade
    EXPECT_EQ(Packed(child.fill.color), kRed);
}

// The in-place declaration reader must split exactly as the scanner does.
TEST(DeclarationReader, SplitsAsTheScanner) {
    const char* texts[] = {
        "",
        " ",
        "fill:red",
        "fill : red ; stroke:blue",
        "fill:red;",
        "fill:red; ",
        "fill:red;\t\n",
        "  f i l l  :  r e d  ;; ;",
        "fill",
        "fill:",
        ":",
        ";",
        "a:b:c;d",
        "/* c */fill:/* d */red/* e */;stroke:blue",
        "<!-- x -->fill:<!--y-->red",
        "fill:red; /* open",
        "fill:red; <!-- open",
        "fill: /* open",
        "fill:url(#a) none ; marker : url( #m ) ",
        "\x1c\x1f fill\x0b:\x0c red",
        "fill:\xe9t\xe9;\xc3\xa9:x",
        "/**/;/**/:/**/",
    };
    for (const char* text : texts) {
        std::vector<SvgDeclaration*> expected;
        SvgScanner scanner;
        scanner.readDeclarations(expected, SvgString(text));

        std::vector<std::pair<std::string, std::string>> got;
        SvgDeclarationReader reader(text);
        while (reader.Next())
            got.emplace_back(std::string(reader.Name(), reader.NameLength()),
                             std::string(reader.Value(), reader.ValueLength()));

        ASSERT_EQ(got.size(), expected.size()) << "text: " << text;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].first, expected[i]->name) << "text: " << text;
            EXPECT_EQ(got[i].second, expected[i]->value) << "text: " << text;
        }
        for (SvgDeclaration* d : expected)
            delete d;
    }
}

} // namespace
