#include "style/SvgColorReaders.h"
#include "style/SvgStringValue.h"

#include <gtest/gtest.h>

namespace {

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
    const bool flags[] = {p.set != 0, p.inherit != 0, p.currentColor != 0, p.colorSet != 0,
                          p.noneSet != 0};
    std::string s;
    for (bool f : flags)
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
    const Row rows[] = {
        {"none", "10001", "", 0},
        {"  none", "10001", "", 0},
        {"inherit", "11000", "", 0},
        {"currentColor", "10100", "", 0},
        // Keywords are whole, case-sensitive texts: trailing space is not "none".
        {"none ", "00000", "", 0},
        {"None", "00000", "", 0},
        {"currentcolor", "00000", "", 0},
        {"inherit;", "00000", "", 0},
        {"nonsense", "00000", "", 0},
        {"", "00000", "", 0},
        {"   ", "00000", "", 0},
        {"red", "10010", "", 0xFF000000u},
        {"black", "10010", "", 0},
        {" #00f ", "10010", "", 0x0000FF00u},
        {"rgb(0%, 100%, 0%)", "10010", "", 0x00FF0000u},
        {"url(#grad)", "10000", "grad", 0},
        {"url('#grad') none", "10001", "grad", 0},
        {"url(#grad) currentColor", "10100", "grad", 0},
        {"url( \"#grad\" )#0f0", "10010", "grad", 0x00FF0000u},
        // An empty reference is no reference, but its fallback still counts.
        {"url(#)", "00000", "", 0},
        {"url(#) blue", "10010", "", 0x0000FF00u},
        // A malformed reference gives nothing.
        {"url(#grad", "00000", "", 0},
        {"url(#grad red", "00000", "", 0},
        {"url('#grad) red", "00000", "", 0},
        {"url", "00000", "", 0},
        // Fallback text that is no colour leaves the reference alone.
        {"url(#grad) bogus", "10000", "grad", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        SvgPaint p = Read(row.text);
        EXPECT_EQ(Flags(p), row.flags);
        EXPECT_EQ(p.uri, row.uri);
        EXPECT_EQ(Rgb(p), row.rgb);
        EXPECT_EQ(p.color.icc, nullptr);
    }
}

TEST(ReadPaintValue, IccColourFollowingAColour) {
    SvgPaint p = Read("red icc-color(acme, 0.1, 0.2)");
    EXPECT_EQ(Flags(p), "10010");
    EXPECT_EQ(Rgb(p), 0xFF000000u);
    ASSERT_NE(p.color.icc, nullptr);
    EXPECT_EQ(p.color.icc->profileName, "acme");
    EXPECT_EQ(p.color.icc->components.size(), 2u);

    p = Read("#f00 icc-color(acme, 0.1");
    EXPECT_EQ(Flags(p), "10010");
    EXPECT_EQ(Rgb(p), 0xFF000000u);
    EXPECT_EQ(p.color.icc, nullptr);

    p = Read("url(#g) red icc-color(x)");
    EXPECT_EQ(p.uri, "g");
    ASSERT_NE(p.color.icc, nullptr);
    EXPECT_TRUE(p.color.icc->components.empty());
}

TEST(ReadPaintValue, ReadingResetsWhatWasThere) {
    SvgPaint p = Read("red icc-color(acme, 1)");
    ReadPaint(p, "url(#g)");
    EXPECT_EQ(Flags(p), "10000");
    EXPECT_EQ(Rgb(p), 0u);
    EXPECT_EQ(p.color.icc, nullptr);
    ReadPaint(p, "garbage");
    EXPECT_EQ(Flags(p), "00000");
    EXPECT_TRUE(p.uri.empty());
    ReadPaint(p, nullptr);
    EXPECT_EQ(Flags(p), "00000");

    p = Read("blue icc-color(a, 1)");
    ResetPaint(p);
    EXPECT_EQ(Flags(p), "00000");
    EXPECT_EQ(Rgb(p), 0u);
    EXPECT_EQ(p.color.icc, nullptr);
}

TEST(ReadColorPropertyValue, ColoursAndInherit) {
    SvgPaint p;
    ReadColorProperty(p, "green");
    EXPECT_EQ(Flags(p), "10010");
    EXPECT_EQ(Rgb(p), 0x00800000u);
    ReadColorProperty(p, "black");
    EXPECT_EQ(Rgb(p), 0u);

    SvgPaint q;
    ReadColorProperty(q, "inherit");
    EXPECT_EQ(Flags(q), "11000");
    ReadColorProperty(q, "#123456");
    EXPECT_EQ(Flags(q), "10010"); // a colour clears inherit
    EXPECT_EQ(Rgb(q), 0x12345600u);
}

TEST(ReadColorPropertyValue, OtherTextChangesOnlyCurrentColor) {
    SvgPaint p;
    ReadColorProperty(p, "red");
    p.currentColor = 1;
    for (const char* text : {"currentColor", "none", "url(#g)", "bogus", ""}) {
        ReadColorProperty(p, text);
        EXPECT_EQ(Flags(p), "10010") << text;
        EXPECT_EQ(Rgb(p), 0xFF000000u) << text;
        EXPECT_TRUE(p.uri.empty());
    }
    SvgPaint unset;
    ReadColorProperty(unset, "bogus");
    EXPECT_EQ(Flags(unset), "00000");
}

TEST(ReadFilterValue, ReferencesAndKeywords) {
    SvgStringValue v;
    ReadFilter(v, "url(#blur)");
    EXPECT_TRUE(v.set);
    EXPECT_FALSE(v.inherit);
    EXPECT_EQ(v.value, "blur");

    ReadFilter(v, "bogus"); // other text changes nothing
    EXPECT_EQ(v.value, "blur");
    ReadFilter(v, "inherit");
    EXPECT_TRUE(v.set);
    EXPECT_TRUE(v.inherit);
    EXPECT_EQ(v.value, "");
    ReadFilter(v, "none");
    EXPECT_TRUE(v.set);
    EXPECT_FALSE(v.inherit);

    SvgStringValue broken;
    ReadFilter(broken, "url(#blur");
    EXPECT_TRUE(broken.set);
    EXPECT_EQ(broken.value, "");
    SvgStringValue untouched;
    ReadFilter(untouched, "None");
    EXPECT_FALSE(untouched.set);
}

} // namespace
