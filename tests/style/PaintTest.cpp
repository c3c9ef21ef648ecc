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

TEST(ReadPaintValue, Keywords) {
    EXPECT_EQ(Flags(Read("none")), "10001");
    EXPECT_EQ(Flags(Read("  none")), "10001");
    EXPECT_EQ(Flags(Read("inherit")), "11000");
    EXPECT_EQ(Flags(Read("currentColor")), "10100");
    // Keywords are whole, case-sensitive texts: trailing space is not "none".
    for (const char* text : {"none ", "None", "currentcolor", "inherit;", "nonsense", "", "   "})
        EXPECT_EQ(Flags(Read(text)), "00000") << text;
}

TEST(ReadPaintValue, Colours) {
    SvgPaint p = Read("red");
    EXPECT_EQ(Flags(p), "10010");
    EXPECT_EQ(Rgb(p), 0xFF000000u);
    EXPECT_TRUE(p.uri.empty());
    EXPECT_EQ(p.color.icc, nullptr);

    p = Read("black");
    EXPECT_EQ(Flags(p), "10010");
    EXPECT_EQ(Rgb(p), 0u);
    EXPECT_EQ(Rgb(Read(" #00f ")), 0x0000FF00u);
    EXPECT_EQ(Rgb(Read("rgb(0%, 100%, 0%)")), 0x00FF0000u);
}

TEST(ReadPaintValue, ReferencesAndFallbacks) {
    SvgPaint p = Read("url(#grad)");
    EXPECT_EQ(Flags(p), "10000");
    EXPECT_EQ(p.uri, "grad");

    p = Read("url('#grad') none");
    EXPECT_EQ(Flags(p), "10001");
    EXPECT_EQ(p.uri, "grad");
    p = Read("url(#grad) currentColor");
    EXPECT_EQ(Flags(p), "10100");
    EXPECT_EQ(p.uri, "grad");
    p = Read("url( \"#grad\" )#0f0");
    EXPECT_EQ(Flags(p), "10010");
    EXPECT_EQ(p.uri, "grad");
    EXPECT_EQ(Rgb(p), 0x00FF0000u);

    // An empty reference is no reference, but its fallback still counts.
    p = Read("url(#)");
    EXPECT_EQ(Flags(p), "00000");
    p = Read("url(#) blue");
    EXPECT_EQ(Flags(p), "10010");
    EXPECT_TRUE(p.uri.empty());

    // A malformed reference gives nothing.
    for (const char* text : {"url(#grad", "url(#grad red", "url('#grad) red", "url"}) {
        p = Read(text);
        EXPECT_EQ(Flags(p), "00000") << text;
        EXPECT_TRUE(p.uri.empty()) << text;
    }
    // Fallback text that is no colour leaves the reference alone.
    p = Read("url(#grad) bogus");
    EXPECT_EQ(Flags(p), "10000");
    EXPECT_EQ(p.uri, "grad");
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
