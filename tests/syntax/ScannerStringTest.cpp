#include "syntax/SvgString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string narrow(SvgString& s) {
    return s.c_str();
}

TEST(ScannerString, WidensBytesBySignExtension) {
    SvgString s("a\x80\xff");
    ASSERT_EQ(s.length(), 3);
    EXPECT_EQ(s.charAt(0), 'a');
    EXPECT_EQ(s.charAt(1), 0xFF80);
    EXPECT_EQ(s.charAt(2), 0xFFFF);
    // The narrow copy holds the low bytes again.
    EXPECT_EQ(narrow(s), std::string("a\x80\xff"));
}

TEST(ScannerString, NullAndEmptyTextGiveEmptyString) {
    SvgString a(static_cast<const char*>(nullptr));
    SvgString b("");
    SvgString c;
    EXPECT_EQ(a.length(), 0);
    EXPECT_EQ(b.length(), 0);
    EXPECT_EQ(c.length(), 0);
    EXPECT_STREQ(c.c_str(), "");
}

TEST(ScannerString, CharAtOutsideIsZero) {
    SvgString s("ab");
    EXPECT_EQ(s.charAt(-1), 0);
    EXPECT_EQ(s.charAt(2), 0);
    EXPECT_EQ(s[1], 'b');
}

TEST(ScannerString, CompareWithCString) {
    SvgString s("ab");
    EXPECT_LT(s.compare("abc"), 0);
    EXPECT_EQ(s.compare("ab"), 0);
    EXPECT_GT(s.compare("a"), 0);
    EXPECT_EQ(s.compare("abcd"), -2); // length difference when one is a prefix
    EXPECT_EQ(s.compare("ac"), 'b' - 'c');
    EXPECT_EQ(s.compare(static_cast<const char*>(nullptr)), 1);
    EXPECT_TRUE(s == "ab");
    EXPECT_FALSE(s == "ab ");
    EXPECT_FALSE(s == "Ab");
    EXPECT_TRUE(s != "a");
    EXPECT_TRUE(s < "abc");
    EXPECT_TRUE(s <= "ab");
    EXPECT_TRUE(s > "a");
    EXPECT_TRUE(s >= "ab");
}

TEST(ScannerString, HighBytesCompareEqualToTheirOwnText) {
    SvgString s("caf\xe9");
    EXPECT_TRUE(s == "caf\xe9");
    EXPECT_TRUE(s == std::string("caf\xe9"));
    EXPECT_TRUE(s == SvgString("caf\xe9"));
    EXPECT_GT(s.compare("cafe"), 0);
}

TEST(ScannerString, CompareWithStdStringAndSvgString) {
    SvgString s("abc");
    EXPECT_EQ(s.compare(std::string("abc")), 0);
    EXPECT_LT(s.compare(SvgString("abd")), 0);
    EXPECT_TRUE(s < SvgString("abcd"));
    EXPECT_TRUE(s >= std::string("abb"));
    // An embedded zero counts inside a std::string.
    EXPECT_LT(s.compare(std::string("abc\0", 4)), 0);
}

TEST(ScannerString, EditingOperations) {
    SvgString s("hello");
    s.append(" world");
    EXPECT_EQ(narrow(s), "hello world");
    s.insert(5, ",");
    EXPECT_EQ(narrow(s), "hello, world");
    s.prepend(std::string(">"));
    EXPECT_EQ(narrow(s), ">hello, world");
    s.replace(1, 5, "bye");
    EXPECT_EQ(narrow(s), ">bye, world");
    s.assign(SvgString("x"));
    EXPECT_EQ(narrow(s), "x");
    s += SvgString("y");
    s.append(static_cast<const SvgString*>(nullptr));
    EXPECT_EQ(narrow(s), "xy");
    s.erase(0, 1);
    EXPECT_EQ(narrow(s), "y");
    s.clear();
    EXPECT_EQ(s.length(), 0);
}

TEST(ScannerString, EditsClampOutOfRangeArguments) {
    SvgString s("abc");
    s.insert(99, "d");
    EXPECT_EQ(narrow(s), "abcd");
    s.insert(-5, "_");
    EXPECT_EQ(narrow(s), "_abcd");
    s.replace(3, 100, "X");
    EXPECT_EQ(narrow(s), "_abX");
    s.erase(2, 1000);
    EXPECT_EQ(narrow(s), "_a");
    s.erase(-3, 1);
    EXPECT_EQ(narrow(s), "a");
    s.erase(5, 1);
    EXPECT_EQ(narrow(s), "a");
}

TEST(ScannerString, SubstringClampsAndIsEmptyWhenReversed) {
    SvgString s("abcdef");
    SvgString mid = s.substring(1, 4);
    EXPECT_EQ(narrow(mid), "bcd");
    EXPECT_EQ(s.substring(4, 2).length(), 0);
    EXPECT_EQ(s.substring(3, 100).length(), 3);
    EXPECT_EQ(s.substring(-2, 2).length(), 2);
}

TEST(ScannerString, OperationsWithItselfAsArgument) {
    SvgString s("ab");
    s.append(s);
    EXPECT_EQ(narrow(s), "abab");
    s.insert(1, s);
    EXPECT_EQ(narrow(s), "aababbab");
    s.assign(s);
    EXPECT_EQ(narrow(s), "aababbab");
    s.prepend(s);
    EXPECT_EQ(s.length(), 16);
    // Assigning from its own narrow copy.
    SvgString t("xyz");
    t.assign(t.c_str());
    EXPECT_EQ(narrow(t), "xyz");
}

TEST(ScannerString, PushGrowsAndCopiesAreIndependent) {
    SvgString s;
    for (int i = 0; i < 1000; ++i)
        s.push(static_cast<unsigned short>('a' + i % 26));
    EXPECT_EQ(s.length(), 1000);
    EXPECT_EQ(s.charAt(999), 'a' + 999 % 26);
    SvgString copy(s);
    s.clear();
    EXPECT_EQ(copy.length(), 1000);
    SvgString moved(std::move(copy));
    EXPECT_EQ(moved.length(), 1000);
    s = moved;
    EXPECT_EQ(s.length(), 1000);
}

TEST(ScannerString, NarrowCopyIsRebuiltOnRequest) {
    SvgString s("ab");
    const char* first = s.c_str();
    EXPECT_STREQ(first, "ab");
    s.push('c');
    EXPECT_STREQ(s.c_str(), "abc");
    s.push(0x0141); // a unit beyond a byte: its low byte stands for it
    EXPECT_EQ(static_cast<unsigned char>(s.c_str()[3]), 0x41);
}

} // namespace
