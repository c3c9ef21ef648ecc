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

TEST(ParseColorSyntax, HexForms) {
    EXPECT_EQ(Parse("#f00"), 0xFF000000u);
    EXPECT_EQ(Parse("#FF0000"), 0xFF000000u);
    EXPECT_EQ(Parse("#abc"), 0xAABBCC00u);
    EXPECT_EQ(Parse("#12aB9f"), 0x12AB9F00u);
    EXPECT_EQ(Parse("  \t#000"), 0u);
    for (const char* bad : {"#ff00", "#fffffff", "#", "#ffg", "# fff", "#ff", "#0000000000000000"})
        EXPECT_EQ(Parse(bad), kNoColor) << bad;
    EXPECT_EQ(Parse("#ff0000;x"), 0xFF000000u); // stops at the first non-digit
}

TEST(ParseColorSyntax, RgbFunction) {
    for (const char* red : {"rgb(255,0,0)", "rgb( 255 , 0 , 0 )", "rgb(100%,0%,0%)",
                            "rgb(300,-5,0)", "rgb(255.9,0.5,0)", "rgb(120%, -3%, 0%)"})
        EXPECT_EQ(Parse(red), 0xFF000000u) << red;
    EXPECT_EQ(Parse("rgb(50%,50%,50%)"), 0x7F7F7F00u);
    EXPECT_EQ(Parse("rgb(1,2,3)"), 0x01020300u);
    for (const char* bad :
         {"rgb(100%,0,0)", "rgb(255,0)", "rgb(255,0,0", "rgb(255 0 0)", "rgb(,0,0)", "RGB(255,0,0)",
          "rgb (255,0,0)", "rgb(255,0,0,1)", "rgb(1e999,0,0)", "rgb(255 %,0,0)", "rgb(0x10,0,0)"})
        EXPECT_EQ(Parse(bad), kNoColor) << bad;
}

TEST(ParseColorSyntax, Keywords) {
    EXPECT_EQ(Parse("red"), 0xFF000000u);
    EXPECT_EQ(Parse("RED"), 0xFF000000u);
    EXPECT_EQ(Parse("Red"), 0xFF000000u);
    EXPECT_EQ(Parse("black"), 0u);
    EXPECT_EQ(Parse("red;"), 0xFF000000u);
    EXPECT_EQ(Parse("  red garbage"), 0xFF000000u);
    EXPECT_EQ(Parse("LightGoldenRodYellow"), 0xFAFAD200u);
    EXPECT_EQ(Parse("gray"), Parse("grey"));
    EXPECT_EQ(Parse("green"), 0x00800000u);
    for (const char* bad : {"", "   ", "redd", "re d", "red)", ";red", "transparent",
                            "aliceblueeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee"})
        EXPECT_EQ(Parse(bad), kNoColor) << bad;
    EXPECT_EQ(ParseColor(nullptr, nullptr, 7u), 7u);
}

TEST(ParseColorSyntax, EndPointsAfterTheColour) {
    const char* text = " #abc rest";
    const char* end = nullptr;
    ParseColor(text, &end, kNoColor);
    EXPECT_EQ(end, text + 5);
    text = "rgb(1, 2, 3) x";
    ReadColor(text, &end, kNoColor);
    EXPECT_EQ(end, text + 12);
    text = "Navy;";
    ReadColor(text, &end, kNoColor);
    EXPECT_EQ(end, text + 4);

    const char* untouched = "sentinel";
    end = untouched;
    EXPECT_EQ(ReadColor("nocolour", &end, 0x12u), 0x12u);
    EXPECT_EQ(end, untouched);
}

TEST(ColorKeywordTable, HasTheSvgNamesInOrder) {
    ASSERT_EQ(kSvgColorKeywordCount, 147u);
    EXPECT_STREQ(kSvgColorKeywords[0].name, "aliceblue");
    EXPECT_STREQ(kSvgColorKeywords[146].name, "yellowgreen");
    for (std::size_t i = 0; i < kSvgColorKeywordCount; ++i) {
        const SvgColorKeyword& k = kSvgColorKeywords[i];
        EXPECT_EQ(k.packed & 0xFFu, 0u) << k.name;
        uint32_t found = 1;
        EXPECT_TRUE(LookupColorKeyword(k.name, std::strlen(k.name), found)) << k.name;
        EXPECT_EQ(found, k.packed) << k.name;
    }
    // Where X11 and CSS differ, the CSS values hold.
    EXPECT_EQ(Parse("maroon"), 0x80000000u);
    EXPECT_EQ(Parse("purple"), 0x80008000u);
    EXPECT_EQ(Parse("darkgrey"), 0xA9A9A900u);
    EXPECT_EQ(Parse("rebeccapurple"), kNoColor);
}

TEST(ColorRecord, SetPackedAndToArgb) {
    SvgColor c;
    EXPECT_EQ(ToArgb(c, 255), 0xFF000000u); // a new colour is black
    SetPacked(c, 0xFFFFFF00u);
    EXPECT_EQ(ToArgb(c, 255), 0xFFFFFFFFu);
    c.r = 1.0f;
    c.g = 0.5f;
    c.b = 0.0f;
    EXPECT_EQ(ToArgb(c, 128), 0x80FF7F00u);
    for (uint32_t v : {0u, 1u, 127u, 128u, 254u, 255u}) {
        SetPacked(c, v << 24 | v << 16 | v << 8);
        EXPECT_EQ(ToArgb(c, v), v << 24 | v << 16 | v << 8 | v) << v;
    }
    // Components outside [0, 1] are clamped, not wrapped.
    c.r = 1.5f;
    c.g = -0.5f;
    c.b = std::nanf("");
    EXPECT_EQ(ToArgb(c, 300), 0xFFFF0000u);
}

TEST(ColorRecord, CopiesAreDeep) {
    SvgColor a;
    a.r = 0.25f;
    a.icc = std::make_unique<SvgIccColor>();
    a.icc->profileName = "p";
    a.icc->components = {1, 2};
    SvgColor b(a);
    ASSERT_NE(b.icc, nullptr);
    EXPECT_NE(b.icc.get(), a.icc.get());
    EXPECT_EQ(b.icc->components.size(), 2u);
    EXPECT_EQ(b.r, 0.25f);
    SvgColor c;
    c = a;
    a.icc.reset();
    ASSERT_NE(c.icc, nullptr);
    EXPECT_EQ(c.icc->profileName, "p");
    c = a;
    EXPECT_EQ(c.icc, nullptr);
}

TEST(IccColorReader, ProfileAndComponents) {
    SvgIccColor icc;
    const char* text = "  icc-color(acme-2, 0.5, -1e1 +.25,3) tail";
    const char* end = nullptr;
    ASSERT_TRUE(ReadIccColor(text, &end, &icc));
    EXPECT_EQ(icc.profileName, "acme-2");
    ASSERT_EQ(icc.components.size(), 4u);
    EXPECT_EQ(icc.components[0], 0.5);
    EXPECT_EQ(icc.components[1], -10);
    EXPECT_EQ(icc.components[2], 0.25);
    EXPECT_EQ(icc.components[3], 3);
    EXPECT_EQ(std::string(end), " tail");

    SvgIccColor none;
    EXPECT_TRUE(ReadIccColor("icc-color(p)", nullptr, &none));
    EXPECT_TRUE(none.components.empty());
    EXPECT_TRUE(ReadIccColor("icc-color(p, 1)", nullptr, nullptr));
    EXPECT_TRUE(ReadIccColor("icc-color(p, 0, -0.0e-999, 1e-300)", nullptr, &none));
    EXPECT_EQ(none.components.size(), 3u);
}

TEST(IccColorReader, FailuresEmptyTheComponents) {
    for (const char* bad :
         {"icc-color(1p, 1)", "icc-color(, 1)", "icc-color(p, 1", "icc-color(p 1 x)",
          "icc-color p, 1)", "ICC-color(p, 1)", "icc-color(p, 1e999)", "icc-color(p, 1e-999)",
          "icc-color(p, -)", "icc-color(p, +, 1)", "icc-color(p, .)", ""}) {
        SvgIccColor icc;
        icc.components = {9};
        const char* end = nullptr;
        EXPECT_FALSE(ReadIccColor(bad, &end, &icc)) << bad;
        EXPECT_TRUE(icc.components.empty()) << bad;
        EXPECT_EQ(end, bad) << bad;
    }
    EXPECT_FALSE(ReadIccColor(nullptr, nullptr, nullptr));
}

TEST(UrlReader, Forms) {
    for (const char* text : {"url(#g1)", "url( #g1 )", "url('#g1')", "url(\"#g1\")",
                             "url ( '#g1' ) ", "url(\t#g1\t)"}) {
        auto r = ReadUrl(text, nullptr);
        ASSERT_TRUE(r.has_value()) << text;
        EXPECT_EQ(*r, "g1") << text;
    }
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
        EXPECT_FALSE(ReadUrl(bad, &end).has_value()) << bad;
        EXPECT_EQ(end, untouched) << bad;
    }
    EXPECT_FALSE(ReadUrl(nullptr, nullptr).has_value());
}

} // namespace
