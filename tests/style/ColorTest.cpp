// Colours, paints, ICC colours and references as the style readers take them.
#include "style/SvgColorKeywords.h"
#include "style/SvgColorReaders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

uint32_t Parse(const char* text) {
    return ParseColor(text, nullptr, kNoColor);
}

TEST(ParseColorSyntax, HexAndRgbForms) {
    // clang-format off
    const std::pair<const char*, uint32_t> rows[] = {
        {"#f00", 0xFF000000u}, {"#FF0000", 0xFF000000u}, {"#abc", 0xAABBCC00u}, {"#12aB9f", 0x12AB9F00u},
        {"  \t#000", 0u}, {"#ff0000;x", 0xFF000000u}, {"rgb(255,0,0)", 0xFF000000u},
        {"rgb( 255 , 0 , 0 )", 0xFF000000u}, {"rgb(100%,0%,0%)", 0xFF000000u},
        {"rgb(300,-5,0)", 0xFF000000u}, {"rgb(255.9,0.5,0)", 0xFF000000u}, // clamped, truncated
        {"rgb(120%, -3%, 0%)", 0xFF000000u}, {"rgb(50%,50%,50%)", 0x7F7F7F00u}, {"rgb(1,2,3)", 0x01020300u}};
    // clang-format on
    for (auto [text, packed] : rows)
        EXPECT_EQ(Parse(text), packed) << text;
    for (const char* bad :
         {"#ff000", "#fffffff", "#", "#ffg", "# fff", "#ff", "#0000000000000000", "rgb(100%,0,0)",
          "rgb(255,0)", "rgb(255,0,0", "rgb(255 0, 0)", "rgb(,0,0)", "rgb (255,0,0)",
          "rgb(255,0,0,1,1)", "rgb(1e999,0,0)", "rgb(255 %,0,0)", "rgb(0x10,0,0)"})
        EXPECT_EQ(Parse(bad), kNoColor) << bad;
}

TEST(ParseColorSyntax, Keywords) {
    // Spot values of the CSS colour keywords, spread over the table (first, last,
    // neighbours, and where X11 and CSS differ).
    // clang-format off
    const std::pair<const char*, uint32_t> rows[] = {
        {"aliceblue", 0xF0F8FF00u}, {"yellowgreen", 0x9ACD3200u}, {"darkgray", 0xA9A9A900u},
        {"darkgreen", 0x00640000u}, {"darkgrey", 0xA9A9A900u}, {"lightcoral", 0xF0808000u},
        {"navy", 0x00008000u}, {"olivedrab", 0x6B8E2300u}, {"tomato", 0xFF634700u}, {"maroon", 0x80000000u},
        {"purple", 0x80008000u}, {"green", 0x00800000u}, {"RED", 0xFF000000u}, {"Red", 0xFF000000u},
        {"black", 0u}, {"red;", 0xFF000000u}, {"  red garbage", 0xFF000000u},
        {"LightGoldenRodYellow", 0xFAFAD200u}};
    // clang-format on
    for (auto [text, packed] : rows)
        EXPECT_EQ(Parse(text), packed) << text;
    EXPECT_EQ(Parse("gray"), Parse("grey"));
    for (const char* bad : {"", "   ", "redd", "re d", "red)", ";red", "transparentt",
                            "aliceblueeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee"})
        EXPECT_EQ(Parse(bad), kNoColor) << bad;
    EXPECT_EQ(ParseColor(nullptr, nullptr, 7u), 7u);
    // The look-up finds every name of the table (it relies on their order).
    for (std::size_t i = 0; i < kSvgColorKeywordCount; ++i) {
        uint32_t found = 1;
        const char* name = kSvgColorKeywords[i].name;
        EXPECT_TRUE(LookupColorKeyword(name, std::strlen(name), found)) << name;
    }
}

// The forms of CSS Colors 4, as 0xAARRGGBB (alpha rounded, channels of
// numbers and percentages truncated as rgb() always did).
TEST(ParseColorSyntax, ColoursWithAlphaAndHsl) {
    // clang-format off
    const std::pair<const char*, uint32_t> rows[] = {
        {"#f008", 0x88FF0000u}, {"#FF000080", 0x80FF0000u}, {"#12345600", 0x00123456u},
        {"rgba(255, 0, 0, 0.5)", 0x80FF0000u}, {"RGBA(0,0,255,50%)", 0x800000FFu},
        {"rgb(255,0,0,1)", 0xFFFF0000u}, {"Rgb(0 128 0)", 0xFF008000u},
        {"rgb(0 128 0 / 25%)", 0x40008000u}, {"rgba(0 0 255/0.2)", 0x330000FFu},
        {"rgb(100% 0 50%)", 0xFFFF007Fu}, {"rgb(none 255 0)", 0xFF00FF00u},
        {"rgba(0,0,0,-1)", 0x00000000u}, {"rgba(0,0,0,7)", 0xFF000000u},
        {"hsl(120, 100%, 50%)", 0xFF00FF00u}, {"HSL(0 100% 50%)", 0xFFFF0000u},
        {"hsla(240deg, 100%, 50%, 0.5)", 0x800000FFu}, {"hsl(0.5turn 100% 25% / 1)", 0xFF008080u},
        {"hsl(-120, 100%, 50%)", 0xFF0000FFu}, {"hsl(3.14159265rad 100% 50%)", 0xFF00FFFFu},
        {"hsl(400grad, 0%, 100%)", 0xFFFFFFFFu}, {"hsl(60 100 50)", 0xFFFFFF00u},
        {"transparent", 0x00000000u}, {"TRANSPARENT", 0x00000000u},
        {"rebeccapurple", 0xFF663399u}, {"  navy ", 0xFF000080u}};
    // clang-format on
    for (auto [text, argb] : rows) {
        uint32_t read = 1;
        EXPECT_TRUE(ParseColorArgb(text, read)) << text;
        EXPECT_EQ(read, argb) << text;
    }
    // Commas take numbers only or percentages only (hsl: a hue, then two
    // percentages); a whole text is one colour.
    for (const char* bad :
         {"rgb(100%, 0, 0)", "hsl(120, 100, 50%)", "hsl(10%, 50%, 50%)", "hsl(10% 50% 50%)",
          "hsl(10px 50% 50%)", "rgb(1 2 3, 0.5)", "rgba(1, 2, 3 / 0.5)", "rgb(1 2 3 / )",
          "rgb(1, 2, 3,)", "red blue", "#ff00ff0", "hsl(1e999 0% 0%)", "rgba(1,2,3)x", ""}) {
        uint32_t read = 7;
        EXPECT_FALSE(ParseColorArgb(bad, read) || read != 7) << bad;
    }
    EXPECT_EQ(Parse("rgba(255,0,0,0.5)"), 0xFF000000u); // the packed form has no alpha
}

TEST(ParseColorSyntax, EndPointsAfterTheColour) {
    const char* end = nullptr;
    for (auto [text, length] :
         {std::make_pair(" #abc rest", 5), {"rgb(1, 2, 3) x", 12}, {"Navy;", 4}}) {
        ReadColor(text, &end, kNoColor);
        EXPECT_EQ(end, text + length) << text;
    }
    const char* untouched = "sentinel";
    end = untouched;
    EXPECT_TRUE(ReadColor("nocolour", &end, 0x12u) == 0x12u && end == untouched);
}

TEST(ColorRecord, ToArgbRoundsAndClamps) {
    SvgColor c;
    EXPECT_EQ(ToArgb(c, 255), 0xFF000000u); // a new colour is black
    c.r = 1.0f, c.g = 0.5f, c.b = 0.0f;
    EXPECT_EQ(ToArgb(c, 128), 0x80FF7F00u);
    for (uint32_t v : {0u, 1u, 127u, 128u, 254u, 255u}) {
        SetPacked(c, v << 24 | v << 16 | v << 8);
        EXPECT_EQ(ToArgb(c, v), v << 24 | v << 16 | v << 8 | v) << v;
    }
    // Components outside [0, 1] are clamped, not wrapped.
    c.r = 1.5f, c.g = -0.5f, c.b = std::nanf("");
    EXPECT_EQ(ToArgb(c, 300), 0xFFFF0000u);
}

TEST(IccColorReader, ProfileAndComponents) {
    SvgIccColor icc;
    const char* text = "  icc-color(acme-2, 0.5, -1e1 +.25,3) tail";
    const char* end = nullptr;
    ASSERT_TRUE(ReadIccColor(text, &end, &icc));
    EXPECT_EQ(icc.profileName, "acme-2");
    EXPECT_EQ(icc.components, (std::vector<double>{0.5, -10, 0.25, 3}));
    EXPECT_EQ(std::string(end), " tail");
    // Failures empty the components and leave the end where it was.
    for (const char* bad :
         {"icc-color(1p, 1)", "icc-color(, 1)", "icc-color(p, 1", "icc-color(p 1 x)",
          "icc-color p, 1)", "ICC-color(p, 1)", "icc-color(p, 1e999)", "icc-color(p, 1e-999)",
          "icc-color(p, -)", "icc-color(p, +, 1)", "icc-color(p, .)", ""}) {
        icc.components = {9};
        EXPECT_FALSE(ReadIccColor(bad, &end, &icc) || !icc.components.empty() || end != bad) << bad;
    }
    EXPECT_FALSE(ReadIccColor(nullptr, nullptr, nullptr));
}

TEST(UrlReader, Forms) {
    for (const char* text :
         {"url(#g1)", "url( #g1 )", "url('#g1')", "url(\"#g1\")", "url ( '#g1' ) ", "url(\t#g1\t)"})
        EXPECT_EQ(ReadUrl(text, nullptr).value_or("?"), "g1") << text;
    EXPECT_EQ(ReadUrl("url(#)", nullptr).value_or("?"), "");
    EXPECT_EQ(ReadUrl("url(other.svg#g)", nullptr).value_or("?"), "ther.svg#g");

    const char* text = "url(#a) red";
    const char* end = nullptr;
    ASSERT_TRUE(ReadUrl(text, &end));
    EXPECT_EQ(std::string(end), " red");

    for (const char* bad : {"url(#g1", "url('#g1)", "url('#g1\")", "url('#g1' x)", "url()", "url(",
                            "url('", "url", "uri(#g)", "url#g)", "URL(#g)", "", "u"}) {
        const char* untouched = "x";
        end = untouched;
        EXPECT_FALSE(ReadUrl(bad, &end).has_value() || end != untouched) << bad;
    }
    EXPECT_FALSE(ReadUrl(nullptr, nullptr).has_value());
}

SvgPaint Read(const char* text) {
    SvgPaint p;
    ReadPaint(p, text);
    return p;
}

uint32_t Rgb(const SvgPaint& p) {
    return ToArgb(p.color, 0) << 8;
}

// set, inherit, currentColor, colorSet, noneSet as a string of 0 and 1.
std::string Flags(const SvgPaint& p) {
    std::string s;
    for (bool f :
         {p.set != 0, p.inherit != 0, p.currentColor != 0, p.colorSet != 0, p.noneSet != 0})
        s += f ? '1' : '0';
    return s;
}

TEST(ReadPaintValue, KeywordsColoursReferencesAndFallbacks) {
    struct Row {
        const char* text;
        const char* flags;
        const char* uri;
        uint32_t rgb;
    };
    // clang-format off
    const Row rows[] = {
        {"none", "10001", "", 0}, {"  none", "10001", "", 0}, {"inherit", "11000", "", 0},
        {"currentColor", "10100", "", 0},
        // Keywords are whole, case-sensitive texts: trailing space is not "none".
        {"none ", "00000", "", 0}, {"None", "00000", "", 0}, {"currentcolor", "10100", "", 0},
        {"inherit;", "00000", "", 0}, {"", "00000", "", 0}, {"red", "10010", "", 0xFF000000u},
        {" #00f ", "10010", "", 0x0000FF00u}, {"rgb(0%, 100%, 0%)", "10010", "", 0x00FF0000u},
        {"url(#grad)", "10000", "grad", 0}, {"url('#grad') none", "10001", "grad", 0},
        {"url(#grad) currentColor", "10100", "grad", 0}, {"url( \"#grad\" )#0f0", "10010", "grad", 0x00FF0000u},
        // An empty reference is no reference, but its fallback still counts.
        {"url(#)", "00000", "", 0}, {"url(#) blue", "10010", "", 0x0000FF00u},
        // A malformed reference gives nothing; fallback text that is no colour leaves the reference.
        {"url(#grad", "00000", "", 0}, {"url(#grad red", "00000", "", 0},
        {"url('#grad) red", "00000", "", 0}, {"url(#grad) bogus", "10000", "grad", 0}};
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        SvgPaint p = Read(row.text);
        EXPECT_EQ(Flags(p), row.flags);
        EXPECT_EQ(p.uri, row.uri);
        EXPECT_EQ(Rgb(p), row.rgb);
        EXPECT_EQ(p.color.icc, nullptr);
    }
}

TEST(ReadPaintValue, IccColoursAndReadingAgain) {
    SvgPaint p = Read("red icc-color(acme, 0.1, 0.2)");
    EXPECT_EQ(Flags(p), "10010");
    ASSERT_NE(p.color.icc, nullptr);
    EXPECT_EQ(p.color.icc->components.size(), 2u);
    p = Read("#f00 icc-color(acme, 0.1");
    EXPECT_TRUE(Rgb(p) == 0xFF000000u && p.color.icc == nullptr);
    p = Read("url(#g) red icc-color(x)");
    EXPECT_TRUE(p.uri == "g" && p.color.icc != nullptr);

    // Reading again resets what was there.
    ReadPaint(p, "url(#h)");
    EXPECT_TRUE(Flags(p) == "10000" && Rgb(p) == 0u && p.color.icc == nullptr);
    ReadPaint(p, "garbage");
    EXPECT_TRUE(Flags(p) == "00000" && p.uri.empty());
    p = Read("blue icc-color(a, 1)");
    ResetPaint(p);
    EXPECT_TRUE(Flags(p) == "00000" && Rgb(p) == 0u && p.color.icc == nullptr);
    ReadPaint(p, nullptr);
    EXPECT_EQ(Flags(p), "00000");
}

TEST(ReadPaintValue, AlphaMultipliesTheOpacity) {
    SvgPaint p = Read("rgba(255, 0, 0, 0.5) icc-color(acme, 1)");
    EXPECT_EQ(Flags(p), "10010");
    EXPECT_NE(p.color.icc, nullptr);
    EXPECT_EQ(ToArgb(p.color, 255), 0x80FF0000u);
    EXPECT_EQ(ToArgb(p.color, 127), 0x40FF0000u); // 127 x 128 / 255, rounded
    EXPECT_EQ(ToArgb(Read("transparent").color, 255), 0u);
    SvgPaint copy;
    copy.color = Read("#0000ff33").color;
    EXPECT_EQ(ToArgb(copy.color, 255), 0x330000FFu);
    SetPacked(copy.color, 0x00FF0000u); // a packed colour is opaque
    EXPECT_EQ(ToArgb(copy.color, 255), 0xFF00FF00u);
}

TEST(ReadColorPropertyValue, ColoursInheritAndOtherText) {
    SvgPaint q;
    ReadColorProperty(q, "inherit");
    EXPECT_EQ(Flags(q), "11000");
    ReadColorProperty(q, "#123456"); // a colour clears inherit
    EXPECT_TRUE(Flags(q) == "10010" && Rgb(q) == 0x12345600u);

    // Other text changes only currentColor.
    SvgPaint p;
    ReadColorProperty(p, "red");
    p.currentColor = 1;
    for (const char* text : {"currentColor", "none", "url(#g)", "bogus", ""}) {
        ReadColorProperty(p, text);
        EXPECT_TRUE(Flags(p) == "10010" && Rgb(p) == 0xFF000000u && p.uri.empty()) << text;
    }
    SvgPaint unset;
    ReadColorProperty(unset, "bogus");
    EXPECT_EQ(Flags(unset), "00000");
}

} // namespace
