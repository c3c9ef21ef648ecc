#include "syntax/SvgPathBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct Segment {
    int kind;
    std::vector<float> coordinates;
};

// Reads a record back into segments, checking its layout on the way.
std::vector<Segment> segmentsOf(const SvgPathData& record) {
    std::vector<Segment> segments;
    const float* coordinates = record.coordinates();
    std::size_t used = 0;
    for (std::size_t i = 0; i < record.segmentCount; ++i) {
        const int kind = record.segmentKind(i);
        const std::size_t count = kind == 2 ? 6 : kind == 3 ? 0 : 2;
        EXPECT_LE(used + count, record.coordinateCount);
        if (used + count > record.coordinateCount)
            break;
        segments.push_back(
            {kind, std::vector<float>(coordinates + used, coordinates + used + count)});
        used += count;
    }
    EXPECT_EQ(used, record.coordinateCount);
    return segments;
}

std::vector<Segment> build(const std::string& text) {
    SvgPathData record;
    SvgPathBuilder builder(&record);
    builder.parseData(text);
    return segmentsOf(record);
}

std::string kinds(const std::vector<Segment>& segments) {
    std::string s;
    for (const Segment& segment : segments)
        s += "MLCZ"[segment.kind];
    return s;
}

void expectNear(const std::vector<float>& actual, const std::vector<float>& expected,
                float tolerance = 1e-4f) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "coordinate " << i;
}

TEST(PathBuilder, LinesAbsoluteAndRelative) {
    SvgPathData record;
    SvgPathBuilder builder(&record);
    builder.parseData("M10 10 h5 v 5 z");
    const auto s = segmentsOf(record);
    ASSERT_EQ(kinds(s), "MLLZ");
    expectNear(s[0].coordinates, {10, 10});
    expectNear(s[1].coordinates, {15, 10});
    expectNear(s[2].coordinates, {15, 15});
    EXPECT_EQ(builder.currentX(), 10);
    EXPECT_EQ(builder.currentY(), 10);
    EXPECT_EQ(builder.lastCommand(), SvgPathSegClosePath);

    const auto relative = build("m10 10 l5 0");
    ASSERT_EQ(kinds(relative), "ML");
    expectNear(relative[0].coordinates, {10, 10});
    expectNear(relative[1].coordinates, {15, 10});

    const auto mixed = build("M1 2 H7 V9 h-1 v-1 L3 4 l1 1 3 3");
    ASSERT_EQ(kinds(mixed), "MLLLLLLL");
    expectNear(mixed[1].coordinates, {7, 2});
    expectNear(mixed[2].coordinates, {7, 9});
    expectNear(mixed[3].coordinates, {6, 9});
    expectNear(mixed[4].coordinates, {6, 8});
    expectNear(mixed[5].coordinates, {3, 4});
    expectNear(mixed[6].coordinates, {4, 5});
    expectNear(mixed[7].coordinates, {7, 8});
}

TEST(PathBuilder, MovesAndClosesTrackTheSubpathStart) {
    // After a close, a relative move starts from the closed subpath's start.
    const auto s = build("M10 10 L20 10 z m5 5 l1 0 Z l2 2");
    ASSERT_EQ(kinds(s), "MLZMLZL");
    expectNear(s[3].coordinates, {15, 15});
    expectNear(s[4].coordinates, {16, 15});
    expectNear(s[6].coordinates, {17, 17});
    // Two moves in a row both stay in the record.
    const auto moves = build("M1 1 M2 2 m1 1");
    ASSERT_EQ(kinds(moves), "MMM");
    expectNear(moves[2].coordinates, {3, 3});
}

TEST(PathBuilder, CubicsAndTheirSmoothReflections) {
    const auto s = build("M0 0 C0 10 10 10 10 0 S20 -10 20 0");
    ASSERT_EQ(kinds(s), "MCC");
    expectNear(s[1].coordinates, {0, 10, 10, 10, 10, 0});
    expectNear(s[2].coordinates, {10, -10, 20, -10, 20, 0});

    // After a line the first control point is the current point.
    const auto afterLine = build("M0 0 L5 5 S20 -10 20 0");
    ASSERT_EQ(kinds(afterLine), "MLC");
    expectNear(afterLine[2].coordinates, {5, 5, 20, -10, 20, 0});

    // Relative forms, and a smooth cubic after a smooth cubic.
    const auto relative = build("m10 10 c0 10 10 10 10 0 s10 -10 10 0 s10 10 10 0");
    ASSERT_EQ(kinds(relative), "MCCC");
    expectNear(relative[1].coordinates, {10, 20, 20, 20, 20, 10});
    expectNear(relative[2].coordinates, {20, 0, 30, 0, 30, 10});
    expectNear(relative[3].coordinates, {30, 20, 40, 20, 40, 10});

    // A smooth cubic after a quadratic does not reflect.
    const auto afterQuad = build("M0 0 Q5 10 10 0 S20 -10 20 0");
    expectNear(afterQuad[2].coordinates, {10, 0, 20, -10, 20, 0});
}

TEST(PathBuilder, QuadraticsAreRaisedToCubics) {
    const auto s = build("M0 0 Q5 10 10 0");
    ASSERT_EQ(kinds(s), "MC");
    expectNear(s[1].coordinates, {3.333333f, 6.666667f, 6.666667f, 6.666667f, 10, 0});
    // The float factors nearest to 2/3 and 1/3 are used, exactly.
    EXPECT_EQ(s[1].coordinates[0], float(5 * double(0.6666667f)));
    EXPECT_EQ(s[1].coordinates[2], float(5 + 5 * double(0.33333334f)));

    // A smooth quadratic reflects the last control point to (15, -10).
    const auto smooth = build("M0 0 Q5 10 10 0 T20 0");
    ASSERT_EQ(kinds(smooth), "MCC");
    expectNear(smooth[2].coordinates, {10 + 5 * 0.6666667f, -10 * 0.6666667f, 15 + 5 * 0.33333334f,
                                       -10 + 10 * 0.33333334f, 20, 0});
    // Chained smooth quadratics keep reflecting; relative forms resolve.
    const auto chain = build("M0 0 q5 10 10 0 t10 0 t10 0");
    ASSERT_EQ(kinds(chain), "MCCC");
    // Third control point reflects (15, -10) about (20, 0): (25, 10).
    expectNear(chain[3].coordinates, {20 + 5 * 0.6666667f, 10 * 0.6666667f, 25 + 5 * 0.33333334f,
                                      10 - 10 * 0.33333334f, 30, 0});

    // After something else, the smooth quadratic is a straight cubic.
    const auto afterLine = build("M0 0 L10 0 T20 0");
    expectNear(afterLine[2].coordinates, {10, 0, 10 + 10 * 0.33333334f, 0, 20, 0});
}

TEST(PathBuilder, ArcHalfTurnsBothWays) {
    const auto cw = build("M0 0 A10 10 0 0 1 20 0");
    ASSERT_EQ(kinds(cw), "MCC");
    expectNear({cw[1].coordinates[4], cw[1].coordinates[5]}, {10, -10});
    expectNear({cw[2].coordinates[4], cw[2].coordinates[5]}, {20, 0});
    // Quarter-circle handles: 10 * 4/3 * tan(pi/8).
    const float handle = 10 * 4.0f / 3 * std::tan(3.14159265f / 8);
    expectNear(cw[1].coordinates, {0, -handle, 10 - handle, -10, 10, -10}, 1e-3f);

    const auto ccw = build("M0 0 A10 10 0 0 0 20 0");
    ASSERT_EQ(kinds(ccw), "MCCC");
    expectNear({ccw[1].coordinates[4], ccw[1].coordinates[5]}, {5, 8.660254f});
    expectNear({ccw[2].coordinates[4], ccw[2].coordinates[5]}, {15, 8.660254f});
    expectNear({ccw[3].coordinates[4], ccw[3].coordinates[5]}, {20, 0});
    // The first handle leaves (0, 0) straight down the tangent, into +y.
    EXPECT_NEAR(ccw[1].coordinates[0], 0, 1e-4);
    EXPECT_GT(ccw[1].coordinates[1], 0);
}

TEST(PathBuilder, ArcLargeFlagChoosesTheCentre) {
    // Radius 10 from (0, 0) to (10, 0): the two centres are (5, ±8.66).
    const auto small = build("M0 0 A10 10 0 0 1 10 0");
    const auto large = build("M0 0 A10 10 0 1 1 10 0");
    ASSERT_EQ(kinds(small), "MC");
    ASSERT_EQ(kinds(large), "MCCCC");
    // Centre (5, 8.66), a sixth of a turn over the top: handles 10 * 4/3 * tan(15 deg).
    expectNear(small[1].coordinates, {3.0940f, -1.7863f, 6.9060f, -1.7863f, 10, 0}, 1e-3f);
    // The large arc goes round the far side, reaching y = -18.66.
    float lowest = 0;
    for (const Segment& s : large)
        for (std::size_t i = 1; i < s.coordinates.size(); i += 2)
            lowest = std::min(lowest, s.coordinates[i]);
    EXPECT_NEAR(lowest, -18.66f, 0.8f);
    expectNear({large[4].coordinates[4], large[4].coordinates[5]}, {10, 0});
}

TEST(PathBuilder, ArcRadiiTooSmallAreEnlarged) {
    const auto s = build("M0 0 A1 1 0 0 1 20 0");
    const auto reference = build("M0 0 A10 10 0 0 1 20 0");
    ASSERT_EQ(kinds(s), "MCC");
    for (int i = 1; i < 3; ++i)
        expectNear(s[i].coordinates, reference[i].coordinates);
    // Negative radii are taken by their size.
    SvgPathBuilder builder(nullptr);
    builder.moveTo(true, 0, 0);
    EXPECT_TRUE(builder.arcTo(true, 20, 0, -10, -10, 0, false, true));
}

TEST(PathBuilder, ArcDegenerateCases) {
    EXPECT_EQ(kinds(build("M0 0 A10 10 0 0 1 0 0")), "M");
    const auto line = build("M0 0 A0 10 0 0 1 20 0");
    ASSERT_EQ(kinds(line), "ML");
    expectNear(line[1].coordinates, {20, 0});
    EXPECT_EQ(kinds(build("M0 0 A10 0 0 0 1 20 0")), "ML");
    // Relative arcs resolve their end point only.
    const auto relative = build("M10 10 a10 10 0 0 1 20 0 l0 5");
    ASSERT_EQ(kinds(relative), "MCCL");
    expectNear(relative[2].coordinates, {25.522847f, 0, 30, 4.477153f, 30, 10}, 1e-3f);
    expectNear(relative[3].coordinates, {30, 15});
}

TEST(PathBuilder, RotatedEllipticalArc) {
    // An ellipse with radii 20 and 10 turned 90 degrees, from its left to its
    // right end along the long axis, which now runs vertically.
    const auto s = build("M0 0 A20 10 90 0 1 0 40");
    ASSERT_GE(s.size(), 3u);
    expectNear({s.back().coordinates[4], s.back().coordinates[5]}, {0, 40});
    // The half turn bulges 10 units to the side of the long axis.
    float widest = 0;
    float x0 = 0;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const std::vector<float>& c = s[i].coordinates;
        for (int step = 0; step <= 64; ++step) {
            const float t = step / 64.0f, u = 1 - t;
            const float x =
                u * u * u * x0 + 3 * u * u * t * c[0] + 3 * u * t * t * c[2] + t * t * t * c[4];
            widest = std::max(widest, std::fabs(x));
        }
        x0 = c[4];
    }
    EXPECT_NEAR(widest, 10, 0.01);
}

TEST(PathBuilder, ArcsEndExactlyAtTheirEndPoint) {
    const auto s = build("M0.1 0.3 A7.77 3.33 33 1 0 13.7 -9.1");
    ASSERT_GE(s.size(), 2u);
    EXPECT_EQ(s.back().coordinates[4], 13.7f);
    EXPECT_EQ(s.back().coordinates[5], -9.1f);
}

TEST(PathBuilder, ErrorsKeepTheOutlineBeforeThem) {
    EXPECT_EQ(kinds(build("M0 0 L10 10 X 5")), "ML");
    EXPECT_EQ(kinds(build("M0 0 L10 10 L5")), "ML");
    EXPECT_TRUE(build("L10 10").empty());
    EXPECT_TRUE(build("").empty());
}

TEST(PathBuilder, ParseDataReplacesTheRecord) {
    SvgPathData record;
    {
        SvgPathBuilder builder(&record);
        builder.parseData("M0 0 L1 1 L2 2");
    }
    ASSERT_EQ(record.segmentCount, 3u);
    ASSERT_EQ(record.coordinateCount, 6u);
    EXPECT_EQ(record.data[0], 0.0f);
    EXPECT_EQ(record.data[1], 1.0f);
    EXPECT_EQ(record.data[3], 0.0f); // first coordinate follows the kinds
    {
        SvgPathBuilder builder(&record);
        builder.parseData("M5 5 z");
    }
    ASSERT_EQ(kinds(segmentsOf(record)), "MZ");
    EXPECT_EQ(record.coordinates()[0], 5.0f);
    {
        SvgPathBuilder builder(&record);
        builder.parseData("garbage");
    }
    EXPECT_TRUE(record.empty());
    EXPECT_EQ(record.data, nullptr);
    EXPECT_EQ(record.coordinateCount, 0u);
    // Without an output record nothing happens.
    SvgPathBuilder detached;
    detached.parseData("M0 0 L1 1");
    EXPECT_EQ(detached.currentX(), 0);
}

TEST(PathBuilder, LastCommandCodes) {
    struct Case {
        const char* text;
        SvgPathSegType type;
    };
    const Case cases[] = {
        {"M0 0", SvgPathSegMoveToAbs},
        {"m0 0", SvgPathSegMoveToRel},
        {"M0 0 1 1", SvgPathSegLineToAbs},
        {"m0 0 1 1", SvgPathSegLineToRel},
        {"M0 0c1 1 2 2 3 3", SvgPathSegCurveToCubicRel},
        {"M0 0Q1 1 2 2", SvgPathSegCurveToQuadraticAbs},
        {"M0 0a1 1 0 0 0 0 0", SvgPathSegArcRel},
        {"M0 0H1", SvgPathSegLineToHorizontalAbs},
        {"M0 0v1", SvgPathSegLineToVerticalRel},
        {"M0 0S1 1 2 2", SvgPathSegCurveToCubicSmoothAbs},
        {"M0 0t1 1", SvgPathSegCurveToQuadraticSmoothRel},
    };
    for (const Case& c : cases) {
        SvgPathData record;
        SvgPathBuilder builder(&record);
        builder.parseData(c.text);
        EXPECT_EQ(builder.lastCommand(), c.type) << c.text;
    }
}

} // namespace
