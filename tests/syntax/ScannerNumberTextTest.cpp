#include "syntax/SvgNumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

// Reads text with Scan; returns the bytes consumed and the value (NaN if none).
std::size_t scan(const std::string& text, double& value) {
    value = std::numeric_limits<double>::quiet_NaN();
    return SvgNumberText::Scan(text.data(), text.data() + text.size(), value);
}

TEST(ScannerNumberText, DecimalSyntaxRoundingAndRange) {
    const struct {
        std::string text;
        size_t consumed; // 0: no number, the value untouched
        double value;
    } rows[] = {
        {"-1.5e2", 6, -150},
        {".5", 2, 0.5},
        {"+7.", 3, 7},
        {"  \t\n12px", 6, 12}, // leading white space counts as consumed
        {"3e", 1, 3},          // an exponent needs digits
        {"3e+", 1, 3},
        {"3E-2x", 4, 0.03},
        {"1.2.3", 3, 1.2},
        {"0x1p3", 1, 0}, // hexadecimal stops at the x
        // Correctly rounded, ties to even.
        {"0.1", 3, 0.1},
        {"2.2250738585072014e-308", 23, 2.2250738585072014e-308},
        {"9007199254740993", 16, 9007199254740992.0},
        {"1.7976931348623157e308", 22, 1.7976931348623157e308},
        // Overflow is refused, underflow is zero.
        {"1e309", 0, 42},
        {"-1e400", 0, 42},
        {std::string(400, '9'), 0, 42},
        {"1e-400", 6, 0},
        {"4e-320", 6, 4e-320}, // subnormal
    };
    for (const auto& row : rows) {
        double v = 42;
        EXPECT_EQ(SvgNumberText::Scan(row.text.data(), row.text.data() + row.text.size(), v),
                  row.consumed)
            << row.text;
        EXPECT_EQ(v, row.value) << row.text;
    }
    double v = 1;
    EXPECT_EQ(scan("-0", v), 2u);
    EXPECT_TRUE(std::signbit(v));
    const char digits[] = "12345";
    EXPECT_EQ(SvgNumberText::Scan(digits, digits + 2, v), 2u); // stops at the end given
    EXPECT_EQ(v, 12.0);
    for (const char* text : {"", "+", "-", ".", "e3", "+.e1", " ",
                             "\x1c"
                             "1",
                             "inf", "INF", "nan", "NaN", "infinity", "abc",
                             "\xa0"
                             "1"}) {
        v = 42.0;
        EXPECT_EQ(SvgNumberText::Scan(text, v), 0u) << text;
        EXPECT_EQ(v, 42.0) << text;
    }
}

TEST(ScannerNumberText, LongDigitRuns) {
    std::string digits(10000, '1');
    double v = 0.0;
    EXPECT_EQ(scan("0." + digits, v), digits.size() + 2);
    EXPECT_NEAR(v, 1.0 / 9.0, 1e-15);
    std::string zeros = "0." + std::string(10000, '0') + "5e10000";
    EXPECT_EQ(scan(zeros, v), zeros.size());
    EXPECT_EQ(v, 0.5);
}

TEST(ScannerNumberText, ConvertWantsAWholeMatch) {
    double v = 3.0;
    const char* text = "12abc";
    EXPECT_FALSE(SvgNumberText::Convert(text, text + 5, v));
    EXPECT_EQ(v, 3.0);
    EXPECT_TRUE(SvgNumberText::Convert(text, text + 2, v));
    EXPECT_EQ(v, 12.0);
    EXPECT_FALSE(SvgNumberText::Convert(text, text, v));
    EXPECT_EQ(SvgNumberText::MatchDecimal(text, text + 5), 2u);
}

} // namespace
