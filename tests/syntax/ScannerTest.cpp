#include "syntax/SvgCharClass.h"
#include "syntax/SvgDeclaration.h"
#include "syntax/SvgRect.h"
#include "syntax/SvgScanner.h"

#include <gtest/gtest.h>

#include <clocale>
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

TEST(ScannerPrimitives, CharAtAndMatchesAt) {
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
}

TEST(ScannerPrimitives, SkipSpaceSkipsCommentsAndWhiteSpace) {
    SvgScanner s;
    s.setText(SvgString(" \t<!-- a -->/* b */\x1c x"));
    EXPECT_EQ(s.skipSpace(0), 21);
    EXPECT_EQ(s.charAt(21), 'x');
    s.setText(SvgString("\xa0x"));
    EXPECT_EQ(s.skipSpace(0), 0); // a no-break space byte is not white space
    s.setText(SvgString("a"));
    EXPECT_EQ(s.skipSpace(1), 1);
    EXPECT_EQ(s.skipSpace(-1), -1);
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

TEST(ScannerPrimitives, SkipSpaceOnUnclosedComments) {
    SvgScanner s;
    for (const char* text : {"/* never closed", "<!-- never closed -", "  /*", "<!--", "/**"}) {
        s.setText(SvgString(text));
        EXPECT_EQ(s.skipSpace(0), -1) << text;
    }
    s.setText(SvgString("/**/<!---->"));
    EXPECT_EQ(s.skipSpace(0), 11);
}

TEST(ScannerPrimitives, ReadNumber) {
    SvgScanner s;
    double v = 7.0;
    s.setText(SvgString("-1.5e2,"));
    EXPECT_EQ(s.readNumber(0, v), 6);
    EXPECT_EQ(v, -150.0);
    s.setText(SvgString(".5"));
    EXPECT_EQ(s.readNumber(0, v), 2);
    EXPECT_EQ(v, 0.5);
    v = 7.0;
    for (const char* text : {"+", "e3", "", "x1", "0x10" + 1, "inf", "nan"}) {
        s.setText(SvgString(text));
        EXPECT_EQ(s.readNumber(0, v), 0) << text;
    }
    EXPECT_EQ(v, 7.0);
    s.setText(SvgString("1 2"));
    EXPECT_EQ(s.readNumber(1, v), 3); // leading white space is taken with the number
    EXPECT_EQ(v, 2.0);
    EXPECT_EQ(s.readNumber(3, v), 3);
    EXPECT_EQ(s.readNumber(-4, v), -4);
}

TEST(ScannerPrimitives, ReadNumberLooksAt63CharactersAtMost) {
    SvgScanner s;
    std::string text = std::string(70, '1');
    s.setText(SvgString(text));
    double v = 0.0;
    EXPECT_EQ(s.readNumber(0, v), 63);
    EXPECT_DOUBLE_EQ(v, 1.1111111111111111e62);
    EXPECT_EQ(s.readNumber(63, v), 70);
    EXPECT_EQ(v, 1111111.0);
    // A high byte in the window is not part of the number.
    s.setText(SvgString("12\xb3"));
    EXPECT_EQ(s.readNumber(0, v), 2);
}

TEST(ScannerPrimitives, ReadName) {
    SvgScanner s;
    SvgString name("unchanged");
    s.setText(SvgString("skewX(1)"));
    EXPECT_EQ(s.readName(0, name), 5);
    EXPECT_TRUE(name == "skewX");
    s.setText(SvgString("rot\\zate x"));
    EXPECT_EQ(s.readName(0, name), 8);
    EXPECT_TRUE(name == "rotate");
    s.setText(SvgString("a-b_c9!"));
    EXPECT_EQ(s.readName(0, name), 6);
    EXPECT_TRUE(name == "a-b_c9");
    name.assign("unchanged");
    for (const char* text : {"_a", "1a", "", "\xe9t\xe9", "-x"}) {
        s.setText(SvgString(text));
        EXPECT_EQ(s.readName(0, name), 0) << text;
    }
    EXPECT_TRUE(name == "unchanged");
    // A backslash at the very end does not step past the text.
    s.setText(SvgString("ab\\"));
    EXPECT_EQ(s.readName(0, name), 3);
    EXPECT_TRUE(name == "ab");
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

TEST(ScannerNumberList, SeparatorsAndResults) {
    bool ok = false;
    EXPECT_EQ(numbers("10, 20 30", &ok), (std::vector<float>{10, 20, 30}));
    EXPECT_TRUE(ok);
    EXPECT_EQ(numbers("10 20 ", &ok), (std::vector<float>{10, 20}));
    EXPECT_FALSE(ok);
    EXPECT_EQ(numbers("10,,20", &ok), (std::vector<float>{10}));
    EXPECT_FALSE(ok);
    EXPECT_TRUE(numbers("", &ok).empty());
    EXPECT_TRUE(ok);
    EXPECT_EQ(numbers(" /* c */ 1 <!-- d -->,2", &ok), (std::vector<float>{1, 2}));
    EXPECT_TRUE(ok);
    EXPECT_EQ(numbers("1-2+3.5.5", &ok), (std::vector<float>{1, -2, 3.5f, 0.5f}));
    EXPECT_TRUE(ok);
    EXPECT_EQ(numbers("1 /* open", &ok), (std::vector<float>{1}));
    EXPECT_FALSE(ok);
}

TEST(ScannerNumberList, NumbersBeyondFloatAreRefused) {
    bool ok = true;
    EXPECT_EQ(numbers("1 1e39 2", &ok), (std::vector<float>{1}));
    EXPECT_FALSE(ok);
    EXPECT_EQ(numbers("1e400", &ok), std::vector<float>{});
    EXPECT_FALSE(ok);
}

TEST(ScannerNumberList, HostileText) {
    bool ok = true;
    // Only separators.
    EXPECT_TRUE(numbers(" , ", &ok).empty());
    EXPECT_FALSE(ok);
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
}

TEST(ScannerRect, RejectedTextLeavesTheRectangle) {
    for (const char* text : {"0,0,100,50", "0 0 100 50 ", "0 0 100 50 7", "0 0 100", "", "   ",
                             "0 0 100 x", "0 0 100 50 /* open", "/*"}) {
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

TEST(ScannerLocale, CommaLocaleStillReadsFullStops) {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (scripts/setup generates it)";
    bool ok = false;
    std::vector<float> list = numbers("1.5 2,5", &ok);
    SvgRect r;
    bool rectOk = rect("0.5 1.5 2.5 3.5", r);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(list, (std::vector<float>{1.5f, 2, 5}));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(rectOk);
    EXPECT_EQ(r.getHeight(), 3.5);
}

} // namespace
