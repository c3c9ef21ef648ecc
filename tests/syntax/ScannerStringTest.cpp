#include "syntax/SvgString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string narrow(SvgString& s) {
    return s.c_str();
}

TEST(ScannerString, WideningAndNarrowCopy) {
    SvgString s("a\x80\xff");
    ASSERT_EQ(s.length(), 3);
    EXPECT_EQ(s.charAt(1), 0xFF80); // sign extension
    EXPECT_EQ(s.charAt(2), 0xFFFF);
    EXPECT_EQ(narrow(s), std::string("a\x80\xff"));
    EXPECT_EQ(s.charAt(-1), 0);
    EXPECT_EQ(s.charAt(3), 0);
    s.push(0x0141); // a unit beyond a byte: its low byte stands for it
    EXPECT_EQ(static_cast<unsigned char>(s.c_str()[3]), 0x41);
    EXPECT_EQ(SvgString(static_cast<const char*>(nullptr)).length(), 0);
    SvgString empty;
    EXPECT_STREQ(empty.c_str(), "");
}

TEST(ScannerString, Compare) {
    SvgString s("ab");
    EXPECT_LT(s.compare("abc"), 0);
    EXPECT_GT(s.compare("a"), 0);
    EXPECT_LT(s.compare("ac"), 0);
    EXPECT_GT(s.compare(static_cast<const char*>(nullptr)), 0);
    EXPECT_TRUE(s == "ab" && s != "ab " && s != "Ab");
    EXPECT_TRUE(s < "abc" && s <= "ab" && s > "a" && s >= "ab");
    EXPECT_TRUE(s < SvgString("abd") && s >= std::string("aa"));
    EXPECT_LT(s.compare(std::string("ab\0", 3)), 0); // an embedded zero counts
    // High bytes compare equal to their own text.
    SvgString cafe("caf\xe9");
    EXPECT_TRUE(cafe == "caf\xe9" && cafe == std::string("caf\xe9") &&
                cafe == SvgString("caf\xe9"));
}

TEST(ScannerString, AssignFromItself) {
    SvgString s("xyz");
    s.assign(s);
    EXPECT_EQ(narrow(s), "xyz");
    s.assign(s.c_str()); // from its own narrow copy
    EXPECT_EQ(narrow(s), "xyz");
}

TEST(ScannerString, GrowthAndIndependentCopies) {
    SvgString s;
    for (int i = 0; i < 1000; ++i)
        s.push(static_cast<unsigned short>('a' + i % 26));
    EXPECT_EQ(s.charAt(999), 'a' + 999 % 26);
    SvgString copy(s);
    s.clear();
    EXPECT_EQ(s.length(), 0);
    EXPECT_EQ(copy.length(), 1000);
    SvgString moved(std::move(copy));
    s = moved;
    EXPECT_EQ(s.length(), 1000);
}

} // namespace
