#include "style/SvgValueReaders.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(ValueEnum, KeywordsInheritAndRejection) {
    SvgEnumValue v(9);
    EXPECT_TRUE(ReadEnum(v, "bold", kFontWeightKeywords, true));
    EXPECT_TRUE(v.set && !v.inherit && v.value == 10u && v.computed == 10u);
    for (const char* text : {"Bold", "bold ", " bold", "", "inherit"}) {
        SvgEnumValue w(9);
        EXPECT_FALSE(ReadEnum(w, text, kFontWeightKeywords, false) || w.set || w.value != 9u)
            << text;
    }
    SvgEnumValue i(4);
    EXPECT_TRUE(ReadEnum(i, "inherit", kFontStretchKeywords, true));
    EXPECT_TRUE(i.set && i.inherit && i.value == 4u);
    EXPECT_FALSE(ReadEnum(i, "auto", nullptr, true) ||
                 ReadEnum(i, nullptr, kDisplayKeywords, true));
}

// ReadLength: computed starts at -1 so untouched fields show.
SvgLength length(const char* text, bool* ok = nullptr) {
    SvgLength l(-1.0f);
    bool r = ReadLength(l, text);
    if (ok)
        *ok = r;
    return l;
}

TEST(ValueLength, UnitsAndFactors) {
    struct Case {
        const char* text;
        unsigned unit;
        float value, computed;
    } cases[] = {{"12", SvgUnitNone, -1, 12},        {"12px", SvgUnitPx, -1, 12},
                 {"1in", SvgUnitIn, -1, 96},         {"10mm", SvgUnitMm, -1, 37.795276f},
                 {"1cm", SvgUnitCm, -1, 37.795276f}, {"2pc", SvgUnitPc, -1, 32},
                 {"3pt", SvgUnitPt, -1, 4},          {" -4.5e1", SvgUnitNone, -1, -45},
                 {"2em", SvgUnitEm, 2, -1},          {"3ex", SvgUnitEx, 3, -1},
                 {"50%", SvgUnitPercent, 0.5f, -1}};
    for (const Case& c : cases) {
        bool ok = false;
        SvgLength l = length(c.text, &ok);
        EXPECT_TRUE(ok && l.set && !l.inherit) << c.text;
        EXPECT_EQ(l.unit, c.unit) << c.text;
        EXPECT_FLOAT_EQ(l.value, c.value) << c.text;
        EXPECT_FLOAT_EQ(l.computed, c.computed) << c.text;
    }
    SvgLength i = length("inherit");
    EXPECT_TRUE(i.set && i.inherit);
    EXPECT_EQ(i.computed, -1.0f);
}

// 96 user units per inch unless a resolution says otherwise, on this thread
// only, for as long as it lives; one out of range keeps the one in force.
TEST(ValueLength, AbsoluteUnitsFollowTheResolution) {
    EXPECT_FLOAT_EQ(length("1in").computed, 96);
    {
        SvgResolution print(300);
        EXPECT_FLOAT_EQ(length("1in").computed, 300);
        EXPECT_FLOAT_EQ(length("72pt").computed, 300);
        EXPECT_FLOAT_EQ(length("2.54cm").computed, 300);
        EXPECT_FLOAT_EQ(length("12px").computed, 12);
        {
            SvgResolution refused(0);
            EXPECT_FLOAT_EQ(length("6pc").computed, 300);
        }
        std::thread other([] { EXPECT_FLOAT_EQ(length("25.4mm").computed, 96); });
        other.join();
        SvgFontSize size;
        ReadFontSize(size, "0.5in");
        EXPECT_FLOAT_EQ(size.computed, 150);
    }
    EXPECT_FLOAT_EQ(length("1in").computed, 96);
}

TEST(ValueLength, RejectedTextChangesNothing) {
    for (const char* text : {"12 px", "12PX", "12px ", "px", "", "12em5", "1e400", "1e39in", "0x10",
                             "inf", "nan", "12\xb0", "Inherit"}) {
        bool ok = true;
        SvgLength l = length(text, &ok);
        EXPECT_FALSE(ok || l.set) << text;
        EXPECT_EQ(l.computed, -1.0f) << text;
        EXPECT_EQ(l.unit, SvgUnitNone) << text;
    }
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

TEST(ValueLengthOrNormal, NormalLengthAndRejection) {
    SvgLengthOrNormal r;
    r.unit = SvgUnitPercent;
    r.value = 1.0f;
    EXPECT_TRUE(ReadLengthOrNormal(r, "normal"));
    EXPECT_TRUE(r.set && r.normal && r.unit == SvgUnitNone && r.value == 0.0f);
    EXPECT_TRUE(ReadLengthOrNormal(r, "2em"));
    EXPECT_TRUE(!r.normal && r.unit == SvgUnitEm && r.value == 2.0f);
    EXPECT_TRUE(ReadLengthOrNormal(r, "3px"));
    // Unaccepted text keeps the previous state.
    EXPECT_FALSE(ReadLengthOrNormal(r, "Normal"));
    EXPECT_TRUE(r.unit == SvgUnitPx && r.computed == 3.0f);
    EXPECT_TRUE(ReadLengthOrNormal(r, "inherit"));
    EXPECT_TRUE(r.inherit && !r.normal);
}

TEST(ValueNumber, ParseNumberReadNumberDashOffset) {
    float f = -1.0f;
    EXPECT_TRUE(ParseNumber("4px", f) && f == 4.0f);
    EXPECT_TRUE(ParseNumber(" 50%", f) && f == 50.0f);
    EXPECT_TRUE(ParseNumber("0x1", f) && f == 0.0f); // the zero before the x
    for (const char* text : {"", "px", "inf", "nan", "1e39", "1e400", "+"})
        EXPECT_FALSE(ParseNumber(text, f) || f != 0.0f) << text;
    SvgNumber n(4.0f);
    EXPECT_FALSE(ReadNumber(n, "x") || n.set);
    EXPECT_TRUE(ReadNumber(n, "inherit") && n.inherit && n.value == 4.0f);
    EXPECT_TRUE(ReadNumber(n, "10") && n.value == 10.0f);
    double d = 9.0;
    unsigned char unit = 9;
    EXPECT_TRUE(ReadDashOffset("2px", d, unit) && d == 2.0 && unit == SvgDashArray::OffsetUser);
    EXPECT_TRUE(ReadDashOffset("3em", d, unit) && d == 3.0 && unit == SvgDashArray::OffsetEm);
    EXPECT_TRUE(ReadDashOffset("50%", d, unit) && d == 0.5 && unit == SvgDashArray::OffsetPercent);
    for (const char* text : {"inherit", "2q", "1e38in"})
        EXPECT_FALSE(ReadDashOffset(text, d, unit) || d != 0.5) << text;
}

TEST(ValueScale24, FixedPointAndClamping) {
    // clang-format off
    for (auto [text, value] : {std::make_pair("0.5", 0x7F8000u), {"1.5", 0xFF0000u}, {"-1", 0u}, {"0.25", 4177920u},
                               {"50%", 0x7F8000u}, {"150%", 0xFF0000u}, {"half", 123u}}) {
        // clang-format on
        SvgScale24 s(123u);
        ReadScale24(s, text);
        EXPECT_EQ(s.value, value) << text;
    }
    SvgScale24 s(123u);
    EXPECT_TRUE(ReadScale24(s, "inherit"));
    EXPECT_TRUE(s.inherit);
    EXPECT_EQ(s.value, 123u);
}

TEST(ValueTextDecoration, WordsNoneInheritRejection) {
    auto read = [](const char* text, bool* ok = nullptr) {
        SvgTextDecoration d;
        d.blink = 1;
        bool r = ReadTextDecoration(d, text);
        if (ok)
            *ok = r;
        return d;
    };
    SvgTextDecoration d = read("underline line-through"); // exactly the lines found
    EXPECT_TRUE(d.set && d.underline && d.lineThrough && !d.overline && !d.blink);
    d = read("underline wavy overline");
    EXPECT_TRUE(d.underline && !d.overline);
    EXPECT_TRUE(read("  overline  ").overline);
    EXPECT_TRUE(read("none").set && !read("none").blink);
    EXPECT_TRUE(read("inherit").inherit && read("inherit").blink);
    for (const char* text : {"underlined", "", "   ", "Underline", "underline\t", "x underline"}) {
        bool ok = true;
        d = read(text, &ok);
        EXPECT_FALSE(ok || d.set || !d.blink) << text;
    }
}

TEST(ValueString, ReadStringValueAndDequote) {
    SvgStringValue s;
    s.value = "old";
    EXPECT_TRUE(ReadStringValue(s, "url(#m)") && s.set && s.value == "url(#m)");
    EXPECT_TRUE(ReadStringValue(s, "inherit") && s.inherit && s.value.empty());
    // clang-format off
    for (auto [text, unquoted] : {std::make_pair("'Times New Roman'", "Times New Roman"), {"\"Arial\"", "Arial"},
             {"'A', B", "'A', B"}, {"'A', 'B'", "A', 'B"}, {"'A\"", "'A\""}, {"'", "'"}, {"''", ""}})
        EXPECT_EQ(Dequote(text), unquoted) << text;
    // clang-format on
    EXPECT_EQ(Dequote(nullptr), "");
}

TEST(ValueDashArray, EntriesAndSeparators) {
    struct Case {
        const char* text;
        std::vector<double> dashes;
    } cases[] = {{"5,3,2", {5, 3, 2}},
                 {"5,-3", {5, -3}},
                 {"1 .5", {1, 0.5}},
                 {"2,.5 , 1", {2, 0.5, 1}},
                 {"5px 3px", {5, 3}},
                 {"4 5q 3", {4}},
                 {"5em 3ex 10%", {5, 3, 0.1}},
                 {"5EM 3", {}},
                 {"0 4", {0, 4}},
                 {"0,0", {}},
                 {"none", {}},
                 {"garbage", {}},
                 {"4;3", {4}}};
    for (const Case& c : cases) {
        SvgDashArray d;
        ReadDashArray(d, "9 9");
        EXPECT_TRUE(ReadDashArray(d, c.text));
        EXPECT_TRUE(d.dasharraySet && !d.dasharrayInherit);
        ASSERT_EQ(d.dashCount, static_cast<int>(c.dashes.size())) << c.text;
        EXPECT_EQ(d.dashes == nullptr, c.dashes.empty()) << c.text;
        for (int i = 0; i < d.dashCount; ++i)
            EXPECT_EQ(d.dashes[i], c.dashes[i]) << c.text;
    }
}

TEST(ValueDashArray, InheritAndCopies) {
    SvgDashArray d;
    ReadDashArray(d, "4 2");
    ReadDashArray(d, "inherit");
    EXPECT_TRUE(d.dasharrayInherit);
    EXPECT_EQ(d.dashCount, 2);
    SvgDashArray copy(d), assigned;
    assigned = d;
    ReadDashArray(d, "none");
    ASSERT_EQ(copy.dashCount, 2);
    ASSERT_EQ(assigned.dashCount, 2);
    EXPECT_EQ(assigned.dashes[1], 2.0);
}

// Every reader on hostile text: nothing crashes, reads out of bounds or
// leaves a record half written.
TEST(ValueReadersHostile, StrangeTexts) {
    std::string digits(10000, '9');
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high.push_back(static_cast<char>(b));
    std::string longNumber = "0." + std::string(10000, '3') + "px";
    for (const std::string& text :
         {std::string(), digits, high, std::string(5000, ','), longNumber, std::string("/* open"),
          digits + "%", std::string(100000, ' ')}) {
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
        unsigned char unit = 0;
        ReadDashOffset(t, offset, unit);
    }
    SvgLength l;
    EXPECT_TRUE(ReadLength(l, longNumber.c_str()));
    EXPECT_FLOAT_EQ(l.computed, 1.0f / 3.0f);
    SvgDashArray da;
    ReadDashArray(da, digits.c_str()); // overflows: no entry
    EXPECT_EQ(da.dashCount, 0);
}

} // namespace
