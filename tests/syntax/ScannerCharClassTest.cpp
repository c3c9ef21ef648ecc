#include "syntax/SvgCharClass.h"

#include <gtest/gtest.h>

namespace {

unsigned short signExtended(int byte) {
    return static_cast<unsigned short>(static_cast<signed char>(byte));
}

TEST(ScannerCharClass, AsciiMembers) {
    for (int c = 0; c < 0x80; ++c) {
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        bool digit = c >= '0' && c <= '9';
        bool space = (c >= 0x09 && c <= 0x0D) || (c >= 0x1C && c <= 0x1F) || c == 0x20;
        EXPECT_EQ(isLetter(c), letter) << c;
        EXPECT_EQ(isDigit(c), digit) << c;
        EXPECT_EQ(isLetterOrDigit(c), letter || digit) << c;
        EXPECT_EQ(isWhitespace(c), space) << c;
    }
}

TEST(ScannerCharClass, SignExtendedHighBytesBelongToNoClass) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        unsigned short c = signExtended(b);
        EXPECT_FALSE(isLetter(c)) << b;
        EXPECT_FALSE(isDigit(c)) << b;
        EXPECT_FALSE(isWhitespace(c)) << b;
        EXPECT_FALSE(isSpaceChar(c)) << b;
    }
}

TEST(ScannerCharClass, XmlProductionsBeyondAscii) {
    EXPECT_TRUE(isBaseChar(0x00E9));  // e acute
    EXPECT_FALSE(isBaseChar(0x00D7)); // multiplication sign
    EXPECT_TRUE(isBaseChar(0x0386));
    EXPECT_FALSE(isBaseChar(0x0387));
    EXPECT_TRUE(isBaseChar(0xAC00));
    EXPECT_TRUE(isBaseChar(0xD7A3));
    EXPECT_FALSE(isBaseChar(0xD7A4));
    EXPECT_TRUE(isIdeographic(0x4E00));
    EXPECT_TRUE(isIdeographic(0x3007));
    EXPECT_FALSE(isIdeographic(0x3020));
    EXPECT_TRUE(isLetter(0x9FA5));
    EXPECT_TRUE(isDigit(0x0660));
    EXPECT_TRUE(isDigit(0x0F29));
    EXPECT_FALSE(isDigit(0x0F2A));
    EXPECT_FALSE(isDigit(0x0BE6)); // the Tamil range starts at 0x0BE7
}

TEST(ScannerCharClass, SpaceClasses) {
    EXPECT_TRUE(isSpaceSeparator(0x3000));
    EXPECT_TRUE(isSpaceChar(0x2028));
    EXPECT_FALSE(isSpaceSeparator(0x2028));
    EXPECT_TRUE(isNoBreakSpace(0x2007));
    // No-break spaces are not white space; other separators are.
    EXPECT_FALSE(isWhitespace(0x00A0));
    EXPECT_FALSE(isWhitespace(0x202F));
    EXPECT_TRUE(isWhitespace(0x2003));
    EXPECT_TRUE(isWhitespace(0x2029));
}

} // namespace
