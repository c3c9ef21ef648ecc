#include "syntax/SvgArcIterator.h"
#include "syntax/SvgPathBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

const float inf = std::numeric_limits<float>::infinity();
const float nan = std::numeric_limits<float>::quiet_NaN();

// Builds a text and checks the record: consistent counts, a move first,
// finite coordinates. Returns the number of segments.
std::size_t buildChecked(const std::string& text, SvgPathData& record) {
    SvgPathBuilder builder(&record);
    builder.parseData(text);
    std::size_t coordinates = 0;
    for (std::size_t i = 0; i < record.segmentCount; ++i) {
        const int kind = record.segmentKind(i);
        EXPECT_TRUE(i > 0 ? kind >= 0 && kind <= 3 : kind == 0);
        coordinates += kind == 2 ? 6 : kind == 3 ? 0 : 2;
    }
    EXPECT_EQ(coordinates, record.coordinateCount);
    for (std::size_t i = 0; i < record.coordinateCount; ++i)
        if (!std::isfinite(record.coordinates()[i])) {
            ADD_FAILURE() << "coordinate " << i << " is not finite";
            break;
        }
    return record.segmentCount;
}

const float* lastPoint(const SvgPathData& record) {
    return record.coordinates() + record.coordinateCount - 2;
}

TEST(PathRobustness, ArcPieceCounts) {
    // Radius 10 from (0, 0). The turn constants are a hair under pi, so an
    // exact quarter or half turn may count one piece more.
    const struct {
        float x2, y2;
        bool large, sweep;
        int pieces;
    } cases[] = {{10, 10, false, true, 2}, {20, 0, false, true, 2}, {20, 0, false, false, 3},
                 {10, 10, true, false, 3}, {5, 5, false, true, 1},  {0.5f, 0, false, true, 1}};
    for (const auto& c : cases) {
        SvgArcIterator arc;
        ASSERT_TRUE(arc.init(0, 0, c.x2, c.y2, 10, 10, 0, c.large, c.sweep));
        EXPECT_EQ(arc.pieceCount(), c.pieces) << c.x2 << ' ' << c.large << c.sweep;
        float x1, y1, x2, y2, x, y;
        int produced = 0;
        while (arc.next(x1, y1, x2, y2, x, y))
            ++produced;
        EXPECT_EQ(produced, c.pieces);
        EXPECT_FALSE(arc.next(x1, y1, x2, y2, x, y));
    }
    // Enlarged radii keep their ratio.
    SvgArcIterator arc;
    ASSERT_TRUE(arc.init(0, 0, 40, 0, 2, 1, 0, false, true));
    EXPECT_NEAR(arc.radiusX(), 20, 1e-3);
    EXPECT_NEAR(arc.radiusY(), 10, 1e-3);
}

TEST(PathRobustness, NonFiniteArcsAreDropped) {
    SvgArcIterator arc;
    EXPECT_FALSE(arc.init(0, 0, 20, 0, nan, 10, 0, false, true));
    EXPECT_FALSE(arc.init(0, 0, inf, 0, 10, 10, 0, false, true));
    EXPECT_FALSE(arc.init(0, 0, 20, 0, 10, 10, inf, false, true));

    SvgPathData record;
    SvgPathBuilder builder(&record);
    builder.parseData("M0 0");
    // Called directly, as no path text yields these numbers.
    builder.arcTo(true, 20, 0, nan, 10, 0, false, true);
    builder.arcTo(true, 20, 0, 10, inf, 0, false, true);
    builder.arcTo(true, 20, 0, 10, 10, nan, false, true);
    builder.arcTo(false, nan, inf, 10, 10, 0, false, true);
    EXPECT_EQ(builder.currentX(), 0);
    builder.arcTo(true, 20, 0, 10, 10, 0, false, true);
    EXPECT_EQ(builder.currentX(), 20);
}

TEST(PathRobustness, ExtremeNumbers) {
    SvgPathData record;
    // Sums beyond the float range leave their segment out; the rest stays.
    EXPECT_EQ(buildChecked("M3e38 0 l3e38 0 L1 1", record), 2u);
    EXPECT_EQ(buildChecked("M3e38 3e38 a10 10 0 0 1 3e38 3e38 z", record), 2u);
    EXPECT_EQ(buildChecked("M0 0 C0 0 -3e38 0 3e38 0 S1 1 2 2 L5 5", record), 3u);
    EXPECT_EQ(buildChecked("M0 0 Q-3e38 0 3e38 0 T1 1 L5 5", record), 3u);
    EXPECT_EQ(buildChecked("M-3e38 0 Q3e38 0 3e38 0", record), 2u);
    // Extreme radii still reach the end point, as an arc or a line.
    for (const char* text : {"M0 0 A1e30 1e30 0 0 1 20 0", "M0 0 A1e7 1e7 0 1 1 20 0",
                             "M0 0 A1e-30 1e-30 0 0 1 20 0", "M0 0 A1e20 1e-20 10 0 0 20 0",
                             "M0 0 A3e38 1e-45 0 1 0 20 0", "M0 0 A3e38 3e38 0 1 0 20 0"}) {
        ASSERT_GE(buildChecked(text, record), 2u) << text;
        EXPECT_EQ(lastPoint(record)[0], 20.0f) << text;
        EXPECT_EQ(lastPoint(record)[1], 0.0f) << text;
    }
    // Tiny equal radii are enlarged to the half circle over the chord.
    EXPECT_EQ(buildChecked("M0 0 A1e-30 1e-30 0 0 1 20 0", record), 3u);
}

TEST(PathRobustness, LongTexts) {
    SvgPathData record;
    EXPECT_EQ(buildChecked("M0 0" + std::string(10'000'000, ' ') + "L1 1", record), 2u);
    EXPECT_EQ(buildChecked(std::string(1'000'000, ','), record), 0u);
    EXPECT_EQ(buildChecked("M0 0" + std::string(1'000'000, 'z'), record), 1'000'001u);
    EXPECT_EQ(buildChecked("M0 0L1e-" + std::string(100'000, '9') + " 1", record), 2u);

    // A million commands of every kind; each arc is a half turn in two pieces.
    std::string text = "M0 0";
    const char* pieces[] = {
        "l1 1", "c1 2 3 4 5 6", "q1 1 2 0", "a5 5 0 0 1 10 0", "h-3", "v2", "s1 1 2 2",
        "t3 0", "L7 7",         "z"};
    for (int i = 0; i < 1'000'000; ++i)
        text += pieces[i % 10];
    EXPECT_EQ(buildChecked(text, record), 1 + 1'000'000u + 100'000u);

    // Output stays proportional to the text, even for arcs, the largest expansion.
    text = "M0 0";
    for (int i = 0; i < 100'000; ++i)
        text += (i % 2) ? "a1 1 0 1 1 1 0" : "a1 1 0 1 0 1 0";
    buildChecked(text, record);
    EXPECT_LT((record.segmentCount + record.coordinateCount) * sizeof(float), text.size() * 16);
}

} // namespace
