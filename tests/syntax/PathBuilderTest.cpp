#include "syntax/SvgPathBuilder.h"

#include <gtest/gtest.h>

#include <charconv>
#include <string>

namespace {

// The record as text, "M 0 0 L 1 2 C ... Z", coordinates to three decimals.
// Also checks the record's layout: kinds first, then the coordinates.
std::string describe(const SvgPathData& record) {
    std::string s;
    std::size_t used = 0;
    for (std::size_t i = 0; i < record.segmentCount; ++i) {
        const int kind = record.segmentKind(i);
        const std::size_t count = kind == 2 ? 6 : kind == 3 ? 0 : 2;
        if (used + count > record.coordinateCount)
            return s + " <record too short>";
        s += s.empty() ? "" : " ";
        s += "MLCZ"[kind];
        for (std::size_t k = 0; k < count; ++k) {
            char buffer[48];
            char* end = std::to_chars(buffer, buffer + sizeof buffer,
                                      record.coordinates()[used + k], std::chars_format::fixed, 3)
                            .ptr;
            while (end[-1] == '0')
                --end;
            if (end[-1] == '.')
                --end;
            std::string number(buffer, end);
            s += ' ' + (number == "-0" ? "0" : number);
        }
        used += count;
    }
    return used == record.coordinateCount ? s : s + " <record too long>";
}

std::string build(const std::string& text) {
    SvgPathData record;
    SvgPathBuilder builder(&record);
    builder.parseData(text);
    return describe(record);
}

TEST(PathBuilder, Segments) {
    const struct {
        const char* text;
        const char* outline;
    } cases[] = {
        // Lines, absolute and relative; a first relative move is from (0, 0).
        {"M10 10 h5 v 5 z", "M 10 10 L 15 10 L 15 15 Z"},
        {"m10 10 l5 0", "M 10 10 L 15 10"},
        {"M1 2 H7 V9 h-1 v-1 L3 4 l1 1 3 3", "M 1 2 L 7 2 L 7 9 L 6 9 L 6 8 L 3 4 L 4 5 L 7 8"},
        // A close returns to the subpath's start; moves stay in the record.
        {"M10 10 L20 10 z m5 5 l1 0 Z l2 2", "M 10 10 L 20 10 Z M 15 15 L 16 15 Z L 17 17"},
        {"M1 1 M2 2 m1 1", "M 1 1 M 2 2 M 3 3"},
        // Smooth cubics reflect after a cubic, not after a line or a quadratic.
        {"M0 0 C0 10 10 10 10 0 S20 -10 20 0", "M 0 0 C 0 10 10 10 10 0 C 10 -10 20 -10 20 0"},
        {"M0 0 L5 5 S20 -10 20 0", "M 0 0 L 5 5 C 5 5 20 -10 20 0"},
        {"m10 10 c0 10 10 10 10 0 s10 -10 10 0 s10 10 10 0",
         "M 10 10 C 10 20 20 20 20 10 C 20 0 30 0 30 10 C 30 20 40 20 40 10"},
        {"M0 0 Q5 10 10 0 S20 -10 20 0", "M 0 0 C 3.333 6.667 6.667 6.667 10 0 C 10 0 20 -10 20 0"},
        // Quadratics raised to cubics; smooth ones reflect after a quadratic only.
        {"M0 0 Q5 10 10 0 T20 0",
         "M 0 0 C 3.333 6.667 6.667 6.667 10 0 C 13.333 -6.667 16.667 -6.667 20 0"},
        {"M0 0 q5 10 10 0 t10 0 t10 0",
         "M 0 0 C 3.333 6.667 6.667 6.667 10 0 C 13.333 -6.667 16.667 -6.667 20 0 "
         "C 23.333 6.667 26.667 6.667 30 0"},
        {"M0 0 L10 0 T20 0", "M 0 0 L 10 0 C 10 0 13.333 0 20 0"},
        {"M0 0 C1 1 2 2 3 3 T9 9", "M 0 0 C 1 1 2 2 3 3 C 3 3 5 5 9 9"},
        // Half turns both ways: a hair under two quarters, a hair over.
        {"M0 0 A10 10 0 0 1 20 0", "M 0 0 C 0 -5.523 4.477 -10 10 -10 C 15.523 -10 20 -5.523 20 0"},
        {"M0 0 A10 10 0 0 0 20 0", "M 0 0 C 0 3.573 1.906 6.874 5 8.66 "
                                   "C 8.094 10.447 11.906 10.447 15 8.66 "
                                   "C 18.094 6.874 20 3.573 20 0"},
        // The large-arc flag picks the centre: (5, 8.66) or (5, -8.66).
        {"M0 0 A10 10 0 0 1 10 0", "M 0 0 C 3.094 -1.786 6.906 -1.786 10 0"},
        {"M0 0 A10 10 0 1 1 10 0",
         "M 0 0 C -3.92 -2.263 -5.831 -6.877 -4.659 -11.248 C -3.488 -15.62 0.474 -18.66 5 -18.66 "
         "C 9.526 -18.66 13.488 -15.62 14.659 -11.248 C 15.831 -6.877 13.92 -2.263 10 0"},
        // Radii too small are enlarged: these match the radius-10 half turn.
        {"M0 0 A1 1 0 0 1 20 0", "M 0 0 C 0 -5.523 4.477 -10 10 -10 C 15.523 -10 20 -5.523 20 0"},
        // Equal end points append nothing; a zero radius draws a line.
        {"M0 0 A10 10 0 0 1 0 0", "M 0 0"},
        {"M0 0 A0 10 0 0 1 20 0", "M 0 0 L 20 0"},
        {"M0 0 A10 0 0 0 1 20 0 l1 1", "M 0 0 L 20 0 L 21 1"},
        // A relative arc resolves its end point only; a rotated ellipse.
        {"M10 10 a10 10 0 0 1 20 0 l0 5",
         "M 10 10 C 10 4.477 14.477 0 20 0 C 25.523 0 30 4.477 30 10 L 30 15"},
        {"M0 0 A20 10 90 0 1 0 40", "M 0 0 C 3.573 0 6.874 3.812 8.66 10 "
                                    "C 10.447 16.188 10.447 23.812 8.66 30 "
                                    "C 6.874 36.188 3.573 40 0 40"},
        // Errors end the outline after the last command recognised.
        {"M0 0 L10 10 X 5", "M 0 0 L 10 10"},
        {"M0 0 L10 10 L5", "M 0 0 L 10 10"},
        {"L10 10", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(build(c.text), c.outline) << c.text;
}

TEST(PathBuilder, StateAndRecord) {
    SvgPathData record;
    SvgPathBuilder builder(&record);
    builder.parseData("M10 10 h5 v5 z");
    EXPECT_EQ(builder.currentX(), 10);
    EXPECT_EQ(builder.currentY(), 10);
    EXPECT_EQ(builder.lastCommand(), SvgPathSegClosePath);
    ASSERT_EQ(record.segmentCount, 4u);
    ASSERT_EQ(record.coordinateCount, 6u);
    EXPECT_EQ(record.data[1], 1.0f); // kinds as floats ...
    EXPECT_EQ(record.data[3], 3.0f);
    EXPECT_EQ(record.data[4], 10.0f); // ... then the coordinates
    // The exact float factors for quadratics: 0.6666667 and 0.33333334.
    builder.parseData("M0 0 Q5 10 10 0");
    EXPECT_EQ(record.coordinates()[2], float(5 * double(0.6666667f)));
    EXPECT_EQ(record.coordinates()[4], float(5 + 5 * double(0.33333334f)));
    // Arcs end exactly at their end point.
    builder.parseData("M0.1 0.3 A7.77 3.33 33 1 0 13.7 -9.1");
    EXPECT_EQ(record.coordinates()[record.coordinateCount - 2], 13.7f);
    EXPECT_EQ(record.coordinates()[record.coordinateCount - 1], -9.1f);
    // A new parse replaces the record; a failed one empties it.
    builder.parseData("garbage");
    EXPECT_TRUE(record.empty());
    EXPECT_EQ(record.data, nullptr);
    EXPECT_EQ(record.coordinateCount, 0u);

    const struct {
        const char* text;
        SvgPathSegType type;
    } last[] = {{"m0 0", SvgPathSegMoveToRel},
                {"M0 0 1 1", SvgPathSegLineToAbs},
                {"M0 0c1 1 2 2 3 3", SvgPathSegCurveToCubicRel},
                {"M0 0Q1 1 2 2", SvgPathSegCurveToQuadraticAbs},
                {"M0 0a1 1 0 0 0 0 0", SvgPathSegArcRel},
                {"M0 0v1", SvgPathSegLineToVerticalRel},
                {"M0 0S1 1 2 2", SvgPathSegCurveToCubicSmoothAbs},
                {"M0 0t1 1", SvgPathSegCurveToQuadraticSmoothRel}};
    for (const auto& c : last) {
        builder.parseData(c.text);
        EXPECT_EQ(builder.lastCommand(), c.type) << c.text;
    }
}

} // namespace
