#include "syntax/SvgNumberText.h"

#include <gtest/gtest.h>

#include <clocale>
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

TEST(ScannerNumberText, DecimalSyntax) {
    double v;
    EXPECT_EQ(scan("-1.5e2", v), 6u);
    EXPECT_EQ(v, -150.0);
    EXPECT_EQ(scan(".5", v), 2u);
    EXPECT_EQ(v, 0.5);
    EXPECT_EQ(scan("+7.", v), 3u);
    EXPECT_EQ(v, 7.0);
    EXPECT_EQ(scan("  \t\n12px", v), 6u); // leading white space counts as consumed
    EXPECT_EQ(v, 12.0);
    EXPECT_EQ(scan("3e", v), 1u); // an exponent needs digits
    EXPECT_EQ(scan("3e+", v), 1u);
    EXPECT_EQ(scan("3E-2x", v), 4u);
    EXPECT_DOUBLE_EQ(v, 0.03);
    EXPECT_EQ(scan("1.2.3", v), 3u);
    EXPECT_EQ(scan("-0", v), 2u);
    EXPECT_TRUE(std::signbit(v));
}

TEST(ScannerNumberText, NotNumbers) {
    double v = 42.0;
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

TEST(ScannerNumberText, HexadecimalStopsAtTheX) {
    double v;
    EXPECT_EQ(scan("0x1p3", v), 1u);
    EXPECT_EQ(v, 0.0);
}

TEST(ScannerNumberText, ConversionIsCorrectlyRounded) {
    double v;
    ASSERT_GT(scan("0.1", v), 0u);
    EXPECT_EQ(v, 0.1);
    ASSERT_GT(scan("2.2250738585072014e-308", v), 0u);
    EXPECT_EQ(v, 2.2250738585072014e-308);
    ASSERT_GT(scan("9007199254740993", v), 0u); // halfway: rounds to even
    EXPECT_EQ(v, 9007199254740992.0);
    ASSERT_GT(scan("1.7976931348623157e308", v), 0u);
    EXPECT_EQ(v, 1.7976931348623157e308);
}

TEST(ScannerNumberText, OverflowIsRefusedUnderflowIsZero) {
    double v = 1.0;
    EXPECT_EQ(scan("1e309", v), 0u);
    EXPECT_EQ(scan("-1e400", v), 0u);
    EXPECT_EQ(scan(std::string(400, '9'), v), 0u);
    EXPECT_EQ(scan("1e-400", v), 6u);
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(scan("4e-320", v), 6u); // subnormal
    EXPECT_GT(v, 0.0);
    EXPECT_LT(v, 1e-319);
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

TEST(ScannerNumberText, StopsAtTheEndGiven) {
    const char text[] = "12345";
    double v = 0.0;
    EXPECT_EQ(SvgNumberText::Scan(text, text + 2, v), 2u);
    EXPECT_EQ(v, 12.0);
}

// Restores the numeric locale after a test changes it.
class CommaLocale : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (scripts/setup generates it)";
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    }
    void TearDown() override { std::setlocale(LC_ALL, saved_.c_str()); }

private:
    std::string saved_;
};

TEST_F(CommaLocale, FullStopIsStillTheDecimalPoint) {
    double v = 0.0;
    EXPECT_EQ(scan("1.5", v), 3u);
    EXPECT_EQ(v, 1.5);
    EXPECT_EQ(scan("1,5", v), 1u);
    EXPECT_EQ(v, 1.0);
    EXPECT_EQ(scan("1e-400", v), 6u); // the out-of-range path too
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(scan("2.5e-310", v), 8u);
    EXPECT_NEAR(v, 2.5e-310, 1e-320);
}

} // namespace
