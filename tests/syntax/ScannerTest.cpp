#include "syntax/SvgCharClass.h"
#include "syntax/SvgDeclaration.h"
#include "syntax/SvgNumberText.h"
#include "syntax/SvgPathBuilder.h"
#include "syntax/SvgRect.h"
#include "syntax/SvgRotationReport.h"
#include "syntax/SvgScanner.h"
#include "syntax/SvgTransformList.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<float> numbers(const std::string& text, bool* ok = nullptr) {
    SvgScanner scanner;
    std::vector<float> list;
    bool result = scanner.readNumberList(list, SvgString(text));
    if (ok)
        *ok = result;
    return list;
}

struct Declarations {
    std::vector<std::unique_ptr<SvgDeclaration>> items;
    bool result = false;
};

Declarations declarations(const std::string& text) {
    SvgScanner scanner;
    std::vector<SvgDeclaration*> raw;
    Declarations d;
    d.result = scanner.readDeclarations(raw, SvgString(text));
    for (SvgDeclaration* p : raw)
        d.items.emplace_back(p);
    return d;
}

bool rect(const std::string& text, SvgRect& out) {
    SvgScanner scanner;
    return scanner.readRect(out, SvgString(text));
}

// Primitives

TEST(ScannerPrimitives, CharAtMatchesAtAndSkipSpace) {
    SvgScanner s;
    s.setText(SvgString("ab\xe9"));
    EXPECT_EQ(s.length(), 3);
    EXPECT_EQ(s.charAt(0), 'a');
    EXPECT_EQ(s.charAt(2), 0xE9);
    EXPECT_EQ(s.charAt(3), 0);
    EXPECT_EQ(s.charAt(-1), 0);
    EXPECT_TRUE(s.matchesAt(0, "ab"));
    EXPECT_TRUE(s.matchesAt(1, ""));
    EXPECT_FALSE(s.matchesAt(1, "b\xe9x"));
    EXPECT_FALSE(s.matchesAt(-1, "a"));
    // Comments and white space are skipped; an unclosed comment gives -1; a
    // no-break space byte is not white space.
    const struct {
        const char* text;
        int from, to;
    } skips[] = {{" \t<!-- a -->/* b */\x1c x", 0, 21},
                 {"\xa0x", 0, 0},
                 {"a", 1, 1},
                 {"a", -1, -1},
                 {"/**/<!---->", 0, 11},
                 {"/* never closed", 0, -1},
                 {"<!-- never closed -", 0, -1},
                 {"  /*", 0, -1},
                 {"<!--", 0, -1},
                 {"/**", 0, -1}};
    for (const auto& k : skips) {
        s.setText(SvgString(k.text));
        EXPECT_EQ(s.skipSpace(k.from), k.to) << k.text;
    }
}

TEST(ScannerCharClass, AsciiMembersAndSpotValuesBeyond) {
    for (int c = 0; c < 0x80; ++c) {
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        bool digit = c >= '0' && c <= '9';
        bool space = (c >= 0x09 && c <= 0x0D) || (c >= 0x1C && c <= 0x1F) || c == 0x20;
        EXPECT_EQ(isLetter(c), letter) << c;
        EXPECT_EQ(isDigit(c), digit) << c;
        EXPECT_EQ(isLetterOrDigit(c), letter || digit) << c;
        EXPECT_EQ(isWhitespace(c), space) << c;
    }
    // High bytes read sign-extended belong to no class.
    for (int b = 0x80; b <= 0xFF; ++b) {
        unsigned short c = static_cast<unsigned short>(static_cast<signed char>(b));
        EXPECT_FALSE(isLetter(c) || isDigit(c) || isWhitespace(c) || isSpaceChar(c)) << b;
    }
    // Range ends of the XML letter and digit productions and of the Unicode
    // space classes (no-break spaces are no white space).
    const struct {
        bool (*test)(unsigned short);
        unsigned short c;
        bool member;
    } spots[] = {
        {isBaseChar, 0x00E9, true},        {isBaseChar, 0x00D7, false},
        {isBaseChar, 0x0386, true},        {isBaseChar, 0x0387, false},
        {isBaseChar, 0xD7A3, true},        {isBaseChar, 0xD7A4, false},
        {isIdeographic, 0x3007, true},     {isIdeographic, 0x3020, false},
        {isLetter, 0x9FA5, true},          {isDigit, 0x0660, true},
        {isDigit, 0x0F29, true},           {isDigit, 0x0F2A, false},
        {isDigit, 0x0BE6, false},          {isSpaceSeparator, 0x3000, true},
        {isSpaceSeparator, 0x2028, false}, {isSpaceChar, 0x2028, true},
        {isNoBreakSpace, 0x2007, true},    {isWhitespace, 0x00A0, false},
        {isWhitespace, 0x202F, false},     {isWhitespace, 0x2003, true},
        {isWhitespace, 0x2029, true},
    };
    for (const auto& spot : spots)
        EXPECT_EQ(spot.test(spot.c), spot.member) << std::hex << spot.c;
}

TEST(ScannerPrimitives, ReadNumberLooksAt63CharactersAtMost) {
    // The position after the number (leading white space included), the value;
    // no number leaves the value and the position.
    const struct {
        std::string text;
        int from, to;
        double value;
    } rows[] = {{"-1.5e2,", 0, 6, -150}, {".5", 0, 2, 0.5},
                {"1 2", 1, 3, 2},        {"12\xb3", 0, 2, 12},
                {"+", 0, 0, 7},          {"e3", 0, 0, 7},
                {"", 0, 0, 7},           {"x1", 0, 0, 7},
                {"x10", 0, 0, 7},        {"inf", 0, 0, 7},
                {"nan", 0, 0, 7},        {"1 2", 3, 3, 7},
                {"1 2", -4, -4, 7},      {std::string(70, '1'), 63, 70, 1111111.0}};
    for (const auto& row : rows) {
        SvgScanner s;
        s.setText(SvgString(row.text));
        double v = 7.0;
        EXPECT_EQ(s.readNumber(row.from, v), row.to) << row.text;
        EXPECT_EQ(v, row.value) << row.text;
    }
    SvgScanner s;
    s.setText(SvgString(std::string(70, '1')));
    double v = 0.0;
    EXPECT_EQ(s.readNumber(0, v), 63);
    EXPECT_DOUBLE_EQ(v, 1.1111111111111111e62);
}

TEST(ScannerPrimitives, ReadName) {
    // Escapes are dropped, a backslash at the very end does not step past the
    // text; no name leaves the output alone.
    const struct {
        const char* text;
        int to;
        const char* name;
    } rows[] = {{"skewX(1)", 5, "skewX"}, {"rot\\zate x", 8, "rotate"},  {"a-b_c9!", 6, "a-b_c9"},
                {"ab\\", 3, "ab"},        {"_a", 0, "unchanged"},        {"1a", 0, "unchanged"},
                {"", 0, "unchanged"},     {"\xe9t\xe9", 0, "unchanged"}, {"-x", 0, "unchanged"}};
    for (const auto& row : rows) {
        SvgScanner s;
        s.setText(SvgString(row.text));
        SvgString name("unchanged");
        EXPECT_EQ(s.readName(0, name), row.to) << row.text;
        EXPECT_TRUE(name == row.name) << row.text;
    }
}

TEST(ScannerPrimitives, ReadPropertyNameAndValue) {
    SvgScanner s;
    SvgString out;
    s.setText(SvgString(" fi ll :  red ; x"));
    int pos = s.readPropertyName(0, out);
    EXPECT_EQ(pos, 8);
    EXPECT_TRUE(out == "fill");
    pos = s.readPropertyValue(pos, out);
    EXPECT_EQ(pos, 15);
    EXPECT_TRUE(out == "  red ");
    EXPECT_EQ(s.readPropertyValue(pos, out), 17);
    EXPECT_TRUE(out == " x");
}

// readNumberList

TEST(ScannerNumberList, SeparatorsResultsAndRange) {
    // The numbers read, and whether the whole text was a list of numbers that fit a float.
    const struct {
        const char* text;
        bool ok;
        std::vector<float> list;
    } rows[] = {{"10, 20 30", true, {10, 20, 30}},
                {"10 20 ", false, {10, 20}},
                {"10,,20", false, {10}},
                {"", true, {}},
                {" , ", false, {}},
                {" /* c */ 1 <!-- d -->,2", true, {1, 2}},
                {"1-2+3.5.5", true, {1, -2, 3.5f, 0.5f}},
                {"1 /* open", false, {1}},
                {"1 1e39 2", false, {1}},
                {"1e400", false, {}}};
    for (const auto& row : rows) {
        bool ok = !row.ok;
        EXPECT_EQ(numbers(row.text, &ok), row.list) << row.text;
        EXPECT_EQ(ok, row.ok) << row.text;
    }
}

TEST(ScannerNumberList, HostileText) {
    bool ok = true;
    // 10,000 digits: read 63 at a time, never beyond the text.
    std::vector<float> list = numbers(std::string(10000, '0'), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(list.size(), 10000u / 63 + 1);
    // 63 sevens are far beyond a float.
    EXPECT_TRUE(numbers(std::string(10000, '7'), &ok).empty());
    EXPECT_FALSE(ok);
    // Every high byte stops the list at once.
    for (int b = 0x80; b <= 0xFF; ++b) {
        std::string text = "1 ";
        text.push_back(static_cast<char>(b));
        EXPECT_EQ(numbers(text, &ok).size(), 1u) << b;
        EXPECT_FALSE(ok) << b;
    }
}

// readRect

TEST(ScannerRect, FourNumbersExactly) {
    SvgRect r;
    ASSERT_TRUE(rect("0 0 100 50", r));
    EXPECT_EQ(r.getWidth(), 100.0);
    EXPECT_EQ(r.getHeight(), 50.0);
    ASSERT_TRUE(rect("  \n-1.5 2/**/3e1 4", r));
    EXPECT_EQ(r.getX(), -1.5);
    EXPECT_EQ(r.getY(), 2.0);
    EXPECT_EQ(r.getWidth(), 30.0);
    EXPECT_EQ(r.getHeight(), 4.0);
    ASSERT_TRUE(rect("0,0 , 64,32\t", r));
    EXPECT_EQ(r.getWidth(), 64.0);
    EXPECT_EQ(r.getHeight(), 32.0);
}

TEST(ScannerRect, RejectedTextLeavesTheRectangle) {
    for (const char* text : {"0 0 100 50 7", "0 0 100", "", "   ", "0 0 100 x", "0,,0,100,50",
                             ",0 0 100 50", "0 0 100 50,", "0 0 100 50 /* open", "/*"}) {
        SvgRect r(1, 2, 3, 4);
        EXPECT_FALSE(rect(text, r)) << text;
        EXPECT_EQ(r.getX(), 1.0) << text;
        EXPECT_EQ(r.getHeight(), 4.0) << text;
    }
}

// readDeclarations

TEST(ScannerDeclarations, NamesAndValues) {
    const struct {
        const char* text;
        const char* read; // name=value, separated by |
    } rows[] = {
        {"fill : red ; stroke:blue", "fill=red |stroke=blue"},
        {"fill:red; ", "fill=red|="}, // a trailing semicolon and space: an empty one
        {"fill:red;", "fill=red"},
        {"", ""},
        {"/* a */ fill:/* b */red;<!-- c -->opacity:0.5", "fill=red|opacity=0.5"},
        {"fill:red; /* open", "fill=red"}, // an unclosed comment ends the list
        {"fill red", "fillred="},          // no colon: the whole text is the name
        {"font-family:caf\xe9", "font-family=caf\xe9"},
    };
    for (const auto& row : rows) {
        Declarations d = declarations(row.text);
        EXPECT_TRUE(d.result) << row.text;
        std::string read;
        for (const auto& item : d.items)
            read += (&item == &d.items.front() ? "" : "|") + item->name + "=" + item->value;
        EXPECT_EQ(read, row.read) << row.text;
    }
}

TEST(ScannerDeclarations, ManyEmptyDeclarations) {
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += ":;";
    Declarations d = declarations(text);
    EXPECT_EQ(d.items.size(), 10000u);
}

// Numbers, lists, rectangles, path data and the rotate line keep the full stop
// as the decimal point in a locale whose decimal point is a comma.
TEST(CommaLocale, FullStopIsStillTheDecimalPoint) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (scripts/setup generates it)";
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    double v = 0.0;
    EXPECT_EQ(SvgNumberText::Scan("1,5", v), 1u);
    EXPECT_EQ(v, 1.0);
    EXPECT_EQ(SvgNumberText::Scan("1e-400", v), 6u); // the out-of-range path too
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(SvgNumberText::Scan("2.5e-310", v), 8u);
    EXPECT_NEAR(v, 2.5e-310, 1e-320);
    bool ok = false;
    EXPECT_EQ(numbers("1.5 2,5", &ok), (std::vector<float>{1.5f, 2, 5}));
    EXPECT_TRUE(ok);
    SvgRect r;
    EXPECT_TRUE(rect("0.5 1.5 2.5 3.5", r));
    EXPECT_EQ(r.getHeight(), 3.5);
    SvgPathData record;
    SvgPathBuilder(&record).parseData("M0 0L1.5 2.25");
    EXPECT_EQ(record.coordinateCount == 4 ? record.coordinates()[3] : 0.0f, 2.25f);
    std::vector<std::string> lines;
    SvgRotationScope scope(&SvgRotationScope::Collect, &lines);
    SvgTransformList list;
    SvgScanner().readTransformList(list, SvgString("rotate(1.5 2.25 3)"));
    EXPECT_EQ(lines, std::vector<std::string>{"rotate: 1.500000 2.250000 3.000000\n"});
    std::setlocale(LC_ALL, saved.c_str());
}

} // namespace
