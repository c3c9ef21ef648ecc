#include "StyleTestUtil.h"

#include "style/SvgAttributeTable.h"
#include "style/SvgStyleReader.h"
#include "syntax/SvgDeclaration.h"
#include "syntax/SvgScanner.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

std::unique_ptr<SvgStyle> FromStyleAttribute(const char* text) {
    auto s = std::make_unique<SvgStyle>();
    s->ReadStyleAttribute(text);
    return s;
}

// An element (text starting with "<") or a style attribute's text, and what the record holds.
struct ReadingCase {
    const char* text;
    bool (*check)(const SvgStyle&);
};

// clang-format off
const ReadingCase kReading[] = {
    // The style attribute wins over presentation attributes, only for what it sets.
    {"<rect style='fill:red' fill='blue' stroke='blue'/>", [](const SvgStyle& s) { return s.fill.set && Packed(s.fill.color) == kRed && Packed(s.stroke.color) == kBlue; }},
    // The first declaration wins; a rejected one leaves the property open; "inherit" counts.
    {"fill:red;fill:blue;stroke-width:2;stroke-width:5", [](const SvgStyle& s) { return Packed(s.fill.color) == kRed && s.strokeWidth.computed == 2.0f; }},
    {"fill:nonsense;fill:blue", [](const SvgStyle& s) { return Packed(s.fill.color) == kBlue; }},
    {"fill:inherit;fill:blue", [](const SvgStyle& s) { return s.fill.inherit && !s.fill.colorSet; }},
    // Values keep trailing white space: "none " is no keyword, "2 " no length; a colour name ends at it.
    {"fill: none ;stroke-width: 2 ;stroke: red ;", [](const SvgStyle& s) { return !s.fill.set && !s.fill.noneSet && !s.strokeWidth.set && s.stroke.set && Packed(s.stroke.color) == kRed; }},
    // Names are whole and case-sensitive; white space around and inside them is dropped.
    {"Fill:red; stroke : blue ; f ill-opacity:0.5; id:x; :red; ; unknown-prop:1; /* note */ opacity:0.25", [](const SvgStyle& s) { return !s.fill.set && Packed(s.stroke.color) == kBlue && s.fillOpacity.value == 8355840u && s.opacity.value == 4177920u; }},
    // An unclosed comment ends the declarations.
    {"fill:red; /* open stroke:blue", [](const SvgStyle& s) { return Packed(s.fill.color) == kRed && !s.stroke.set; }},
    {"fill: <!-- open", [](const SvgStyle& s) { return !s.fill.set; }},
    // Markers keep their text in declarations only.
    {"marker-mid:inherit", [](const SvgStyle& s) { return s.marker[SvgStyle::MarkerMid].inherit && s.marker[SvgStyle::MarkerMid].value == "inherit"; }},
    {"<path marker-mid='inherit'/>", [](const SvgStyle& s) { return s.marker[SvgStyle::MarkerMid].inherit && s.marker[SvgStyle::MarkerMid].value.empty(); }},
    // "inherit" is no dash offset: the next declaration is still read.
    {"font:inherit;stroke-dashoffset:inherit;stroke-dashoffset:3", [](const SvgStyle& s) { return s.text->font.set && s.text->font.inherit && s.text->font.value == "inherit" && s.strokeDash.dashoffsetSet && s.strokeDash.dashOffset == 3.0; }},
    {"stroke-dasharray:none;stroke-dasharray:5", [](const SvgStyle& s) { return s.strokeDash.dasharraySet && s.strokeDash.dashCount == 0; }},
    // No presentation attributes: the font shorthand, block-progression with a hyphen, wrong case.
    {"<text font='bold 10px Serif' block-progression='lr' Fill='red' x='1' d='M0 0' id='fill'/>", [](const SvgStyle& s) { return !s.text->font.set && !s.blockProgression.set && !s.fill.set && s.fill.colorSet; }},
    // currentColor without a parent gets no colour.
    {"<rect color='green' fill='currentColor'/>", [](const SvgStyle& s) { return s.fill.currentColor && !s.fill.colorSet; }},
    // Rendering hints and unsupported names change nothing.
    {"shape-rendering:crispEdges;text-rendering:auto;image-rendering:optimizeSpeed;color-rendering:auto;clip-path:url(#c);mask:url(#m);x:5;width:10;font-size-adjust:1", [](const SvgStyle& s) { return s.fill.colorSet == SvgStyle().fill.colorSet && !s.fontSize.set && !s.strokeWidth.set; }},
};
// clang-format on

TEST(StyleReading, DeclarationsAndAttributes) {
    for (const ReadingCase& c : kReading)
        EXPECT_TRUE(
            c.check(c.text[0] == '<' ? *ReadElementStyle(c.text) : *FromStyleAttribute(c.text)))
            << c.text;
}

// One row per property: a value and what it leaves in the record. Each row is
// read as a declaration and, unless it is style-only, as an attribute.
struct PropertyCase {
    const char* name;
    const char* value;
    bool (*check)(const SvgStyle&);
    bool asAttribute;
};

// clang-format off
const PropertyCase kProperties[] = {
    {"font-family", "'Liberation Serif'", [](const SvgStyle& s) { return s.text->fontFamily.value == "Liberation Serif"; }, true},
    {"-inkscape-font-specification", "\"Sans Bold\"", [](const SvgStyle& s) { return s.text->fontSpecification.value == "Sans Bold"; }, true},
    {"font", "bold 12px Sans", [](const SvgStyle& s) { return s.text->font.set && s.text->font.value == "bold 12px Sans"; }, false},
    {"font-size", "large", [](const SvgStyle& s) { return s.fontSize.set && s.fontSize.value == 4; }, true},
    {"font-stretch", "condensed", [](const SvgStyle& s) { return s.fontStretch.value == 2; }, true},
    {"font-style", "oblique", [](const SvgStyle& s) { return s.fontStyle.value == 2; }, true},
    {"font-variant", "small-caps", [](const SvgStyle& s) { return s.fontVariant.value == 1; }, true},
    {"font-weight", "bold", [](const SvgStyle& s) { return s.fontWeight.value == 10; }, true},
    {"text-indent", "1in", [](const SvgStyle& s) { return s.textIndent.computed == 96.0f; }, true},
    {"text-align", "center", [](const SvgStyle& s) { return s.textAlign.value == 4; }, true},
    {"text-decoration", "line-through blink", [](const SvgStyle& s) { return s.textDecoration.lineThrough && s.textDecoration.blink && !s.textDecoration.underline; }, true},
    {"line-height", "150%", [](const SvgStyle& s) { return s.lineHeight.set && !s.lineHeight.normal && s.lineHeight.value == 1.5f; }, true},
    {"letter-spacing", "normal", [](const SvgStyle& s) { return s.letterSpacing.set && s.letterSpacing.normal; }, true},
    {"word-spacing", "1em", [](const SvgStyle& s) { return s.wordSpacing.unit == SvgUnitEm; }, true},
    {"text-transform", "none", [](const SvgStyle& s) { return s.textTransform.value == 3; }, true},
    {"direction", "rtl", [](const SvgStyle& s) { return s.direction.value == 1; }, true},
    {"block-progression", "lr", [](const SvgStyle& s) { return s.blockProgression.value == 2; }, false},
    {"writing-mode", "tb", [](const SvgStyle& s) { return s.writingMode.value == 2; }, true},
    {"text-anchor", "middle", [](const SvgStyle& s) { return s.textAnchor.value == 1; }, true},
    {"display", "none", [](const SvgStyle& s) { return s.display.set && s.display.value == 0; }, true},
    {"overflow", "scroll", [](const SvgStyle& s) { return s.overflow.value == 2; }, true},
    {"visibility", "hidden", [](const SvgStyle& s) { return s.visibility.value == 0; }, true},
    {"opacity", "0.5", [](const SvgStyle& s) { return s.opacity.value == 8355840u; }, true},
    {"enable-background", "new", [](const SvgStyle& s) { return s.enableBackground.value == 1; }, true},
    {"filter", "url(#blur)  sepia(1)", [](const SvgStyle& s) { return s.filter.set && s.filter.value == "url(#blur)  sepia(1)"; }, true},
    {"color", "red", [](const SvgStyle& s) { return s.color.set && Packed(s.color.color) == kRed; }, true},
    {"stop-color", "#00f", [](const SvgStyle& s) { return s.stopColor.colorSet && Packed(s.stopColor.color) == kBlue; }, true},
    {"stop-opacity", "0", [](const SvgStyle& s) { return s.stopOpacity.set && s.stopOpacity.value == 0; }, true},
    {"fill", "url(#g) green", [](const SvgStyle& s) { return s.fill.uri == "g" && Packed(s.fill.color) == kGreen; }, true},
    {"fill-opacity", "0.5", [](const SvgStyle& s) { return s.fillOpacity.value == 8355840u; }, true},
    {"fill-rule", "evenodd", [](const SvgStyle& s) { return s.fillRule.value == 2; }, true},
    {"stroke", "blue", [](const SvgStyle& s) { return s.stroke.colorSet && Packed(s.stroke.color) == kBlue; }, true},
    {"stroke-width", "3pt", [](const SvgStyle& s) { return s.strokeWidth.set && s.strokeWidth.computed == 4.0f; }, true},
    {"stroke-linecap", "square", [](const SvgStyle& s) { return s.strokeLinecap.value == 2; }, true},
    {"stroke-linejoin", "bevel", [](const SvgStyle& s) { return s.strokeLinejoin.value == 2; }, true},
    {"stroke-miterlimit", "8", [](const SvgStyle& s) { return s.strokeMiterlimit.set && s.strokeMiterlimit.value == 8.0f; }, true},
    {"stroke-dasharray", "1,2,3", [](const SvgStyle& s) { return s.strokeDash.dasharraySet && s.strokeDash.dashCount == 3; }, true},
    {"stroke-dashoffset", "4", [](const SvgStyle& s) { return s.strokeDash.dashoffsetSet && s.strokeDash.dashOffset == 4.0; }, true},
    {"stroke-opacity", "0.25", [](const SvgStyle& s) { return s.strokeOpacity.value == 4177920u; }, true},
    {"marker", "url(#a)", [](const SvgStyle& s) { return s.marker[SvgStyle::MarkerAll].value == "url(#a)"; }, true},
    {"marker-start", "url(#b)", [](const SvgStyle& s) { return s.marker[SvgStyle::MarkerStart].value == "url(#b)"; }, true},
    {"marker-mid", "url(#c)", [](const SvgStyle& s) { return s.marker[SvgStyle::MarkerMid].value == "url(#c)"; }, true},
    {"marker-end", "url(#d)", [](const SvgStyle& s) { return s.marker[SvgStyle::MarkerEnd].value == "url(#d)"; }, true},
};
// clang-format on

TEST(StyleReading, EveryPropertyAsDeclarationAndAsAttribute) {
    for (const PropertyCase& c : kProperties) {
        EXPECT_FALSE(c.check(SvgStyle())) << c.name; // the row tests something
        std::string declaration = std::string(c.name) + ":" + c.value;
        EXPECT_TRUE(c.check(*FromStyleAttribute(declaration.c_str()))) << declaration;

        // -inkscape-font-specification is no XML name, so the element is built in code.
        TiXmlElement element("text");
        element.SetAttribute(c.name, c.value);
        SvgStyle s;
        s.ReadFromElement(&element);
        EXPECT_EQ(c.check(s), c.asAttribute) << c.name << " as an attribute";
    }
    // As an attribute, block progression is spelled with an underscore.
    EXPECT_EQ(ReadElementStyle("<text block_progression='rl'/>")->blockProgression.value, 1u);
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

// Text made of the pieces the readers look for, in random order: reading and
// merging it keeps the record sound.
// The in-place declaration reader must split exactly as the scanner does.
TEST(DeclarationReader, SplitsAsTheScanner) {
    // clang-format off
    const char* texts[] = {
        "", " ", "fill:red", "fill : red ; stroke:blue", "fill:red;", "fill:red; ", "fill:red;\t\n",
        "  f i l l  :  r e d  ;; ;", "fill", "fill:", ":", ";", "a:b:c;d",
        "/* c */fill:/* d */red/* e */;stroke:blue", "<!-- x -->fill:<!--y-->red",
        "fill:red; /* open", "fill:red; <!-- open", "fill: /* open",
        "fill:url(#a) none ; marker : url( #m ) ", "\x1c\x1f fill\x0b:\x0c red",
        "fill:\xe9t\xe9;\xc3\xa9:x", "/**/;/**/:/**/"};
    // clang-format on
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
