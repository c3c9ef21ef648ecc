#include "style/SvgValueReaders.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

// ReadEnum

TEST(ValueEnum, KeywordsAreExactAndCaseSensitive) {
    SvgEnumValue v(9);
    EXPECT_TRUE(ReadEnum(v, "bold", kFontWeightKeywords, true));
    EXPECT_TRUE(v.set);
    EXPECT_FALSE(v.inherit);
    EXPECT_EQ(v.value, 10u);
    EXPECT_EQ(v.computed, 10u);
    SvgEnumValue w(9);
    EXPECT_FALSE(ReadEnum(w, "Bold", kFontWeightKeywords, true));
    EXPECT_FALSE(ReadEnum(w, "bold ", kFontWeightKeywords, true));
    EXPECT_FALSE(ReadEnum(w, " bold", kFontWeightKeywords, true));
    EXPECT_FALSE(ReadEnum(w, "", kFontWeightKeywords, true));
    EXPECT_FALSE(w.set);
    EXPECT_EQ(w.value, 9u);
}

TEST(ValueEnum, InheritKeepsTheValue) {
    SvgEnumValue v(4);
    EXPECT_TRUE(ReadEnum(v, "inherit", kFontStretchKeywords, true));
    EXPECT_TRUE(v.set);
    EXPECT_TRUE(v.inherit);
    EXPECT_EQ(v.value, 4u);
    SvgEnumValue w;
    EXPECT_FALSE(ReadEnum(w, "inherit", kFontStretchKeywords, false));
    EXPECT_FALSE(w.set);
}

TEST(ValueEnum, TableValues) {
    SvgEnumValue v;
    ReadEnum(v, "evenodd", kFillRuleKeywords, true);
    EXPECT_EQ(v.value, 2u);
    SvgEnumValue m;
    ReadEnum(m, "tb", kWritingModeKeywords, true);
    EXPECT_EQ(m.value, 2u);
    SvgEnumValue d;
    ReadEnum(d, "table-caption", kDisplayKeywords, true);
    EXPECT_EQ(d.value, 16u);
    SvgEnumValue r(7);
    EXPECT_TRUE(ReadEnum(r, "crispEdges", kShapeRenderingKeywords, true));
    EXPECT_EQ(r.value, 0u);
    SvgEnumValue n;
    EXPECT_FALSE(ReadEnum(n, "auto", nullptr, true));
    EXPECT_FALSE(ReadEnum(n, nullptr, kDisplayKeywords, true));
}

// ReadLength

SvgLength length(const char* text, bool* ok = nullptr) {
    SvgLength l(-1.0f);
    bool r = ReadLength(l, text);
    if (ok)
        *ok = r;
    return l;
}

TEST(ValueLength, AbsoluteUnits) {
    EXPECT_EQ(length("12").computed, 12.0f);
    EXPECT_EQ(length("12").unit, SvgUnitNone);
    EXPECT_EQ(length("12px").computed, 12.0f);
    EXPECT_EQ(length("12px").unit, SvgUnitPx);
    EXPECT_EQ(length("1in").computed, 90.0f);
    EXPECT_FLOAT_EQ(length("10mm").computed, 35.433071f);
    EXPECT_FLOAT_EQ(length("1cm").computed, 35.433071f);
    EXPECT_EQ(length("2pc").computed, 30.0f);
    EXPECT_EQ(length("3pt").computed, 3.75f);
    EXPECT_EQ(length("3pt").unit, SvgUnitPt);
    SvgLength l = length(" -4.5e1");
    EXPECT_TRUE(l.set);
    EXPECT_EQ(l.computed, -45.0f);
    EXPECT_EQ(l.value, -1.0f); // absolute units leave value alone
}

TEST(ValueLength, RelativeUnitsWriteValueOnly) {
    SvgLength em = length("2em");
    EXPECT_EQ(em.unit, SvgUnitEm);
    EXPECT_EQ(em.value, 2.0f);
    EXPECT_EQ(em.computed, -1.0f);
    EXPECT_EQ(length("3ex").unit, SvgUnitEx);
    SvgLength pc = length("50%");
    EXPECT_EQ(pc.unit, SvgUnitPercent);
    EXPECT_EQ(pc.value, 0.5f);
    EXPECT_EQ(pc.computed, -1.0f);
}

TEST(ValueLength, RejectedTextChangesNothing) {
    for (const char* text : {"12 px", "12PX", "12px ", "px", "", "12em5", "1e400", "1e39in", "0x10",
                             "inf", "nan", "12\xb0", "Inherit"}) {
        bool ok = true;
        SvgLength l = length(text, &ok);
        EXPECT_FALSE(ok) << text;
        EXPECT_FALSE(l.set) << text;
        EXPECT_EQ(l.computed, -1.0f) << text;
        EXPECT_EQ(l.unit, SvgUnitNone) << text;
    }
}

TEST(ValueLength, Inherit) {
    SvgLength l = length("inherit");
    EXPECT_TRUE(l.set);
    EXPECT_TRUE(l.inherit);
    EXPECT_EQ(l.computed, -1.0f);
}

TEST(ValueLength, DecimalPointIsAFullStopInAnyLocale) {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (scripts/setup generates it)";
    SvgLength a = length("1.5");
    bool commaOk = true;
    length("1,5", &commaOk);
    float f = 0.0f;
    bool parsed = ParseNumber("0.25", f);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(a.computed, 1.5f);
    EXPECT_FALSE(commaOk);
    EXPECT_TRUE(parsed);
    EXPECT_EQ(f, 0.25f);
}

// ReadFontSize

TEST(ValueFontSize, Keywords) {
    SvgFontSize s;
    EXPECT_TRUE(ReadFontSize(s, "large"));
    EXPECT_EQ(s.type, SvgFontSizeLiteral);
    EXPECT_EQ(s.value, 4u);
    EXPECT_TRUE(s.set);
    SvgFontSize t;
    EXPECT_FALSE(ReadFontSize(t, "xxx-large"));
    EXPECT_FALSE(ReadFontSize(t, "big"));
    EXPECT_FALSE(ReadFontSize(t, "Large"));
    EXPECT_FALSE(ReadFontSize(t, "medium "));
    EXPECT_FALSE(t.set);
}

TEST(ValueFontSize, LengthsAndPercentages) {
    SvgFontSize s;
    EXPECT_TRUE(ReadFontSize(s, "12pt"));
    EXPECT_EQ(s.type, SvgFontSizeLength);
    EXPECT_EQ(s.computed, 15.0f);
    SvgFontSize p;
    EXPECT_TRUE(ReadFontSize(p, "150%"));
    EXPECT_EQ(p.type, SvgFontSizePercentage);
    EXPECT_EQ(p.value, 98305u);
    ReadFontSize(p, "50%");
    EXPECT_EQ(p.value, 32768u);
    ReadFontSize(p, "100%");
    EXPECT_EQ(p.value, 65536u);
    SvgFontSize e;
    EXPECT_FALSE(ReadFontSize(e, "2em"));
    EXPECT_FALSE(ReadFontSize(e, "2ex"));
    EXPECT_FALSE(e.set);
}

TEST(ValueFontSize, HugeAndNegativePercentagesStayIn24Bits) {
    SvgFontSize p;
    EXPECT_TRUE(ReadFontSize(p, "1e300%"));
    EXPECT_LE(p.value, 0xFFFFFFu);
    EXPECT_TRUE(ReadFontSize(p, "-100%"));
    EXPECT_EQ(p.value, 0x1000000u - 65536u);
}

// ReadLengthOrNormal

TEST(ValueLengthOrNormal, NormalLengthAndRejection) {
    SvgLengthOrNormal r;
    r.unit = SvgUnitPercent;
    r.value = 1.0f;
    EXPECT_TRUE(ReadLengthOrNormal(r, "normal"));
    EXPECT_TRUE(r.set);
    EXPECT_TRUE(r.normal);
    EXPECT_EQ(r.unit, SvgUnitNone);
    EXPECT_EQ(r.value, 0.0f);
    EXPECT_TRUE(ReadLengthOrNormal(r, "2em"));
    EXPECT_FALSE(r.normal);
    EXPECT_EQ(r.unit, SvgUnitEm);
    EXPECT_EQ(r.value, 2.0f);
    EXPECT_TRUE(ReadLengthOrNormal(r, "3px"));
    EXPECT_EQ(r.computed, 3.0f);
    // Unaccepted text keeps the previous state.
    EXPECT_FALSE(ReadLengthOrNormal(r, "Normal"));
    EXPECT_EQ(r.unit, SvgUnitPx);
    EXPECT_EQ(r.computed, 3.0f);
    EXPECT_TRUE(ReadLengthOrNormal(r, "inherit"));
    EXPECT_TRUE(r.inherit);
    EXPECT_FALSE(r.normal);
}

// ParseNumber, ReadNumber, ReadDashOffset

TEST(ValueNumber, ParseNumberIgnoresTheRest) {
    float f = -1.0f;
    EXPECT_TRUE(ParseNumber("4px", f));
    EXPECT_EQ(f, 4.0f);
    EXPECT_TRUE(ParseNumber(" 50%", f));
    EXPECT_EQ(f, 50.0f);
    f = -1.0f;
    for (const char* text : {"", "px", "inf", "nan", "0x", "1e39", "1e400", "+"}) {
        bool ok = ParseNumber(text, f);
        if (std::string(text) == "0x") {
            EXPECT_TRUE(ok);
            EXPECT_EQ(f, 0.0f);
            f = -1.0f;
        } else {
            EXPECT_FALSE(ok) << text;
            EXPECT_EQ(f, -1.0f) << text;
        }
    }
}

TEST(ValueNumber, ReadNumber) {
    SvgNumber n(4.0f);
    EXPECT_FALSE(ReadNumber(n, "x"));
    EXPECT_FALSE(n.set);
    EXPECT_EQ(n.value, 4.0f);
    EXPECT_TRUE(ReadNumber(n, "10"));
    EXPECT_EQ(n.value, 10.0f);
    EXPECT_TRUE(n.set);
    SvgNumber i(4.0f);
    EXPECT_TRUE(ReadNumber(i, "inherit"));
    EXPECT_TRUE(i.inherit);
    EXPECT_EQ(i.value, 4.0f);
}

TEST(ValueNumber, DashOffset) {
    double d = 9.0;
    EXPECT_TRUE(ReadDashOffset("2px", d));
    EXPECT_EQ(d, 2.0);
    EXPECT_FALSE(ReadDashOffset("inherit", d));
    EXPECT_FALSE(ReadDashOffset("", d));
    EXPECT_EQ(d, 2.0);
}

// ReadScale24

unsigned scale(const char* text) {
    SvgScale24 s(SvgScale24::One);
    ReadScale24(s, text);
    return s.value;
}

TEST(ValueScale24, FixedPointAndClamping) {
    EXPECT_EQ(scale("0.5"), 8355840u);
    EXPECT_EQ(scale("1.5"), 16711680u);
    EXPECT_EQ(scale("-1"), 0u);
    EXPECT_EQ(scale("0"), 0u);
    EXPECT_EQ(scale("50%"), 16711680u);
    EXPECT_EQ(scale("0.25"), 4177920u);
    SvgScale24 s(123u);
    EXPECT_FALSE(ReadScale24(s, "half"));
    EXPECT_EQ(s.value, 123u);
    EXPECT_FALSE(s.set);
    EXPECT_TRUE(ReadScale24(s, "inherit"));
    EXPECT_TRUE(s.inherit);
    EXPECT_EQ(s.value, 123u);
}

// ReadTextDecoration

SvgTextDecoration decoration(const char* text, bool* ok = nullptr) {
    SvgTextDecoration d;
    d.blink = 1;
    bool r = ReadTextDecoration(d, text);
    if (ok)
        *ok = r;
    return d;
}

TEST(ValueTextDecoration, Words) {
    SvgTextDecoration d = decoration("underline line-through");
    EXPECT_TRUE(d.set);
    EXPECT_TRUE(d.underline);
    EXPECT_TRUE(d.lineThrough);
    EXPECT_FALSE(d.overline);
    EXPECT_FALSE(d.blink); // exactly the lines found
    d = decoration("underline wavy overline");
    EXPECT_TRUE(d.underline);
    EXPECT_FALSE(d.overline);
    d = decoration("  overline  ");
    EXPECT_TRUE(d.overline);
}

TEST(ValueTextDecoration, NoneInheritAndRejection) {
    SvgTextDecoration d = decoration("none");
    EXPECT_TRUE(d.set);
    EXPECT_FALSE(d.blink);
    d = decoration("inherit");
    EXPECT_TRUE(d.inherit);
    EXPECT_TRUE(d.blink);
    for (const char* text : {"underlined", "", "   ", "Underline", "underline\t", "x underline"}) {
        bool ok = true;
        d = decoration(text, &ok);
        EXPECT_FALSE(ok) << text;
        EXPECT_FALSE(d.set) << text;
        EXPECT_TRUE(d.blink) << text;
    }
}

// ReadStringValue and Dequote

TEST(ValueString, ReadStringValue) {
    SvgStringValue s;
    s.value = "old";
    EXPECT_TRUE(ReadStringValue(s, "url(#m)"));
    EXPECT_TRUE(s.set);
    EXPECT_EQ(s.value, "url(#m)");
    EXPECT_TRUE(ReadStringValue(s, "inherit"));
    EXPECT_TRUE(s.inherit);
    EXPECT_EQ(s.value, "");
}

TEST(ValueString, DequoteRemovesOneMatchingPair) {
    EXPECT_EQ(Dequote("'Times New Roman'"), "Times New Roman");
    EXPECT_EQ(Dequote("\"Arial\""), "Arial");
    EXPECT_EQ(Dequote("'A', B"), "'A', B");
    EXPECT_EQ(Dequote("'A', 'B'"), "A', 'B");
    EXPECT_EQ(Dequote("'A\""), "'A\"");
    EXPECT_EQ(Dequote("'"), "'");
    EXPECT_EQ(Dequote("''"), "");
    EXPECT_EQ(Dequote(""), "");
    EXPECT_EQ(Dequote(nullptr), "");
}

// ReadDashArray

TEST(ValueDashArray, Entries) {
    SvgDashArray d;
    EXPECT_TRUE(ReadDashArray(d, "5,3,2"));
    EXPECT_TRUE(d.dasharraySet);
    ASSERT_EQ(d.dashCount, 3);
    EXPECT_EQ(d.dashes[0], 5.0);
    EXPECT_EQ(d.dashes[2], 2.0);
    ReadDashArray(d, "5,-3");
    ASSERT_EQ(d.dashCount, 2);
    EXPECT_EQ(d.dashes[1], 3.0); // the sign is skipped as a separator
    ReadDashArray(d, "1 .5");
    ASSERT_EQ(d.dashCount, 2);
    EXPECT_EQ(d.dashes[1], 5.0);
    ReadDashArray(d, "5px 3");
    EXPECT_EQ(d.dashCount, 1);
    ReadDashArray(d, "0 4");
    ASSERT_EQ(d.dashCount, 2);
    EXPECT_EQ(d.dashes[0], 0.0);
}

TEST(ValueDashArray, NoDashing) {
    SvgDashArray d;
    ReadDashArray(d, "4 4");
    ReadDashArray(d, "0,0");
    EXPECT_EQ(d.dashCount, 0);
    EXPECT_EQ(d.dashes, nullptr);
    ReadDashArray(d, "4 4");
    ReadDashArray(d, "none");
    EXPECT_EQ(d.dashCount, 0);
    EXPECT_EQ(d.dashes, nullptr);
    EXPECT_FALSE(d.dasharrayInherit);
    ReadDashArray(d, "garbage");
    EXPECT_EQ(d.dashCount, 0);
    EXPECT_TRUE(d.dasharraySet);
}

TEST(ValueDashArray, InheritKeepsTheEntries) {
    SvgDashArray d;
    ReadDashArray(d, "4 2");
    ReadDashArray(d, "inherit");
    EXPECT_TRUE(d.dasharrayInherit);
    EXPECT_EQ(d.dashCount, 2);
}

TEST(ValueDashArray, AtMost64Entries) {
    std::string text;
    for (int i = 1; i <= 70; ++i)
        text += std::to_string(i) + ",";
    SvgDashArray d;
    ReadDashArray(d, text.c_str());
    ASSERT_EQ(d.dashCount, 64);
    EXPECT_EQ(d.dashes[63], 64.0);
}

TEST(ValueDashArray, CopiesOwnTheirEntries) {
    SvgDashArray a;
    ReadDashArray(a, "1 2 3");
    SvgDashArray b(a);
    SvgDashArray c;
    c = a;
    ReadDashArray(a, "none");
    ASSERT_EQ(b.dashCount, 3);
    EXPECT_EQ(b.dashes[2], 3.0);
    ASSERT_EQ(c.dashCount, 3);
    c = c;
    EXPECT_EQ(c.dashes[1], 2.0);
}

// Every reader on hostile text: nothing crashes or reads out of bounds.

TEST(ValueReadersHostile, StrangeTexts) {
    std::string digits(10000, '9');
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high.push_back(static_cast<char>(b));
    std::string separators(5000, ',');
    std::string longNumber = "0." + std::string(10000, '3') + "px";
    for (const std::string& text :
         {std::string(), digits, high, separators, longNumber, std::string("/* open"),
          std::string("\xff\xfe"), digits + "%", std::string(100000, ' ')}) {
        const char* t = text.c_str();
        SvgEnumValue e;
        ReadEnum(e, t, kDisplayKeywords, true);
        SvgLength l;
        ReadLength(l, t);
        SvgFontSize fs;
        ReadFontSize(fs, t);
        SvgLengthOrNormal ln;
        ReadLengthOrNormal(ln, t);
        SvgNumber n;
        ReadNumber(n, t);
        SvgScale24 s;
        ReadScale24(s, t);
        SvgTextDecoration td;
        ReadTextDecoration(td, t);
        SvgDashArray da;
        ReadDashArray(da, t);
        EXPECT_LE(da.dashCount, SvgDashArray::MaxDashes);
        EXPECT_EQ(da.dashCount == 0, da.dashes == nullptr);
        double offset = 0.0;
        ReadDashOffset(t, offset);
        EXPECT_EQ(Dequote(t).size() + 2 >= text.size(), true);
    }
    SvgLength l;
    EXPECT_TRUE(ReadLength(l, longNumber.c_str()));
    EXPECT_FLOAT_EQ(l.computed, 1.0f / 3.0f);
    SvgDashArray da;
    ReadDashArray(da, digits.c_str()); // overflows: no entry
    EXPECT_EQ(da.dashCount, 0);
}

} // namespace
