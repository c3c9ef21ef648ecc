#include "syntax/SvgPathBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

// Checks that a record is self-consistent and finite; returns its segment count.
std::size_t checkRecord(const SvgPathData& record) {
    std::size_t expected = 0;
    for (std::size_t i = 0; i < record.segmentCount; ++i) {
        const int kind = record.segmentKind(i);
        EXPECT_TRUE(kind >= 0 && kind <= 3);
        if (i == 0) {
            EXPECT_EQ(kind, SvgPathSegmentMove);
        }
        expected += kind == 2 ? 6 : kind == 3 ? 0 : 2;
    }
    EXPECT_EQ(expected, record.coordinateCount);
    for (std::size_t i = 0; i < record.coordinateCount; ++i)
        if (!std::isfinite(record.coordinates()[i])) {
            ADD_FAILURE() << "coordinate " << i << " is not finite";
            break;
        }
    return record.segmentCount;
}

std::size_t buildAndCheck(const std::string& text, SvgPathData& record) {
    SvgPathBuilder builder(&record);
    builder.parseData(text);
    return checkRecord(record);
}

TEST(PathRobustness, NonFiniteArcsAreDropped) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    SvgPathData record;
    SvgPathBuilder builder(&record);
    builder.parseData("M0 0");
    // Callbacks made directly, as no text yields these numbers.
    builder.arcTo(true, 20, 0, nan, 10, 0, false, true);
    builder.arcTo(true, 20, 0, 10, inf, 0, false, true);
    builder.arcTo(true, 20, 0, 10, 10, nan, false, true);
    builder.arcTo(true, inf, 0, 10, 10, 0, false, true);
    builder.arcTo(false, nan, nan, 10, 10, 0, false, true);
    EXPECT_EQ(builder.currentX(), 0);
    EXPECT_EQ(builder.currentY(), 0);
    builder.arcTo(true, 20, 0, 10, 10, 0, false, true);
    EXPECT_EQ(builder.currentX(), 20);
}

TEST(PathRobustness, OverflowingSumsAreLeftOut) {
    SvgPathData record;
    // Each sum exceeds the float range: those segments are left out, and the
    // current point stays where it was.
    EXPECT_EQ(buildAndCheck("M3e38 0 l3e38 0 L1 1", record), 2u);
    EXPECT_EQ(record.coordinates()[2], 1.0f);
    EXPECT_EQ(buildAndCheck("M3e38 3e38 a10 10 0 0 1 3e38 3e38", record), 1u);
    // A reflected control point beyond the range leaves its curve out.
    EXPECT_EQ(buildAndCheck("M0 0 C0 0 -3e38 0 3e38 0 S1 1 2 2 L5 5", record), 3u);
    EXPECT_EQ(buildAndCheck("M0 0 Q-3e38 0 3e38 0 T1 1 L5 5", record), 3u);
    // Intermediate sums beyond the range do not matter while the result fits.
    EXPECT_EQ(buildAndCheck("M-3e38 0 Q3e38 0 3e38 0", record), 2u);
    EXPECT_GE(buildAndCheck("M0 0 A3e38 3e38 0 0 1 3e38 3e38", record), 2u);
    EXPECT_GE(buildAndCheck("M0 0 A1e-40 3e38 45 1 0 1e-40 3e38", record), 2u);
}

TEST(PathRobustness, ExtremeRadiiStillReachTheEndPoint) {
    SvgPathData record;
    const char* texts[] = {"M0 0 A1e30 1e30 0 0 1 20 0", "M0 0 A1e7 1e7 0 1 1 20 0",
                           "M0 0 A1e-30 1e-30 0 0 1 20 0", "M0 0 A1e20 1e-20 10 0 0 20 0",
                           "M0 0 A3e38 1e-45 0 1 0 20 0"};
    for (const char* text : texts) {
        ASSERT_GE(buildAndCheck(text, record), 2u) << text;
        const float* end = record.coordinates() + record.coordinateCount - 2;
        EXPECT_EQ(end[0], 20.0f) << text;
        EXPECT_EQ(end[1], 0.0f) << text;
    }
}

TEST(PathRobustness, LongAndDegenerateTexts) {
    SvgPathData record;
    // Ten million bytes of blanks after a move, then a line.
    std::string text = "M0 0" + std::string(10'000'000, ' ') + "L1 1";
    EXPECT_EQ(buildAndCheck(text, record), 2u);
    // Separators only: nothing, and no failure beyond an empty record.
    EXPECT_EQ(buildAndCheck(std::string(1'000'000, ','), record), 0u);
    EXPECT_EQ(buildAndCheck(std::string(1'000'000, ' '), record), 0u);
    // A million closes.
    EXPECT_EQ(buildAndCheck("M0 0" + std::string(1'000'000, 'z'), record), 1'000'001u);
    // A number with a million digits.
    EXPECT_EQ(buildAndCheck("M0 0L0." + std::string(1'000'000, '3') + " 1", record), 2u);
    EXPECT_NEAR(record.coordinates()[2], 1.0f / 3, 1e-7);
    // Many exponent digits.
    EXPECT_EQ(buildAndCheck("M0 0L1e-" + std::string(100'000, '9') + " 1", record), 2u);
}

TEST(PathRobustness, AMillionCommandsBuildCompletely) {
    std::string text = "M0 0";
    text.reserve(16'000'000);
    const char* pieces[] = {
        "l1 1", "c1 2 3 4 5 6", "q1 1 2 0", "a5 5 0 0 1 10 0", "h-3", "v2", "s1 1 2 2",
        "t3 0", "L7 7",         "z"};
    for (int i = 0; i < 1'000'000; ++i)
        text += pieces[i % 10];
    SvgPathData record;
    // Each arc is a half turn of radius 5: two pieces.
    EXPECT_EQ(buildAndCheck(text, record), 1 + 1'000'000u + 100'000u);
}

TEST(PathRobustness, RandomTextsNeverBreakTheRecord) {
    // Texts drawn from the bytes path data is made of, plus a few others.
    const char alphabet[] = "MmLlHhVvCcSsQqTtAaZz0123456789.+-eE ,\t\n\f01 .-e9x";
    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    SvgPathData record;
    for (int round = 0; round < 3000; ++round) {
        std::string text = (round % 3) ? "M1 2" : "";
        const int length = static_cast<int>(next() % 200);
        for (int i = 0; i < length; ++i)
            text += alphabet[next() % (sizeof alphabet - 1)];
        buildAndCheck(text, record);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "text: " << text;
            return;
        }
    }
}

TEST(PathRobustness, OutputGrowsAtMostLinearlyWithTheText) {
    // Arcs are the largest expansion: a dozen bytes become up to four cubics.
    std::string text = "M0 0";
    for (int i = 0; i < 100'000; ++i)
        text += (i % 2) ? "a1 1 0 1 1 1 0" : "a1 1 0 1 0 1 0";
    SvgPathData record;
    buildAndCheck(text, record);
    const std::size_t bytes = (record.segmentCount + record.coordinateCount) * sizeof(float);
    EXPECT_LT(bytes, text.size() * 16);
}

} // namespace
