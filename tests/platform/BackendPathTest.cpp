// Paths: the figure model, arcs and refused input, checked through points and
// through pixels (fill rules: the path drawing tests).

#include <cmath>
#include <vector>

#include "Canvas.h"

namespace {

std::vector<BYTE> Types(GpPath* path) {
    INT n = 0;
    GdipGetPointCount(path, &n);
    std::vector<BYTE> types(size_t(n > 0 ? n : 1));
    if (n > 0)
        GdipGetPathTypes(path, types.data(), n);
    types.resize(size_t(n));
    return types;
}

std::vector<PointF> Points(GpPath* path) {
    INT n = 0;
    GdipGetPointCount(path, &n);
    std::vector<PointF> points(size_t(n > 0 ? n : 1));
    if (n > 0)
        GdipGetPathPoints(path, points.data(), n);
    points.resize(size_t(n));
    return points;
}

void Stroke(Canvas& c, GpPath* path, REAL width) {
    GpPen* pen = nullptr;
    ASSERT_EQ(Ok, GdipCreatePen1(kBlack, width, UnitWorld, &pen));
    EXPECT_EQ(Ok, GdipDrawPath(c.graphics, pen, path));
    GdipDeletePen(pen);
}

TEST(BackendPath, LineJoinsTheOpenFigureButNotAClosedOne) {
    for (bool close : {false, true}) {
        Path path;
        ASSERT_EQ(Ok, GdipAddPathLine(path, 10, 10, 50, 10));
        if (close) {
            ASSERT_EQ(Ok, GdipClosePathFigure(path));
        }
        ASSERT_EQ(Ok, GdipAddPathLine(path, 50, 50, 90, 50));
        EXPECT_EQ(close ? (std::vector<BYTE>{PathPointTypeStart,
                                             PathPointTypeLine | PathPointTypeCloseSubpath,
                                             PathPointTypeStart, PathPointTypeLine})
                        : (std::vector<BYTE>{PathPointTypeStart, PathPointTypeLine,
                                             PathPointTypeLine, PathPointTypeLine}),
                  Types(path));
        Canvas c(100, 100);
        Stroke(c, path, 3);
        EXPECT_EQ(close ? kWhite : kBlack, c.Pixel(50, 30)) << "the gap between the lines";
        EXPECT_EQ(kBlack, c.Pixel(70, 50));
        EXPECT_EQ(kBlack, c.Pixel(30, 10));
    }
}

TEST(BackendPath, EllipseAndRectangleAreFiguresOfTheirOwn) {
    Path path;
    ASSERT_EQ(Ok, GdipAddPathLine(path, 0, 0, 10, 0));
    ASSERT_EQ(Ok, GdipAddPathEllipse(path, 20, 20, 40, 20));
    ASSERT_EQ(Ok, GdipAddPathLine(path, 5, 5, 6, 6));
    ASSERT_EQ(Ok, GdipAddPathRectangleI(path, 1, 2, 3, 4));
    std::vector<BYTE> types = Types(path);
    std::vector<PointF> points = Points(path);
    ASSERT_EQ(2u + 13u + 2u + 4u, types.size());
    EXPECT_EQ(PathPointTypeStart, types[2]); // the ellipse starts a figure
    EXPECT_FLOAT_EQ(60, points[2].X);        // at its rightmost point
    EXPECT_FLOAT_EQ(30, points[2].Y);
    EXPECT_TRUE(types[14] & PathPointTypeCloseSubpath);
    EXPECT_EQ(PathPointTypeStart, types[15]); // and the next line does too
    EXPECT_EQ(PathPointTypeStart, types[17]);
    EXPECT_TRUE(types[20] & PathPointTypeCloseSubpath);
    EXPECT_FLOAT_EQ(4, points[19].X);
    EXPECT_FLOAT_EQ(6, points[19].Y);
}

TEST(BackendPath, ArcEndsWhereItsAnglesSay) {
    Path path;
    ASSERT_EQ(Ok, GdipAddPathArc(path, 0, 0, 100, 50, 0, 90));
    std::vector<PointF> points = Points(path);
    ASSERT_EQ(4u, points.size());
    EXPECT_NEAR(100, points.front().X, 1e-3);
    EXPECT_NEAR(25, points.front().Y, 1e-3);
    EXPECT_NEAR(50, points.back().X, 1e-3);
    EXPECT_NEAR(50, points.back().Y, 1e-3);

    // An arc joins the open figure; a full turn is four curves.
    ASSERT_EQ(Ok, GdipAddPathArc(path, 0, 0, 10, 10, 45, 720));
    std::vector<BYTE> types = Types(path);
    ASSERT_EQ(4u + 1u + 12u, types.size());
    EXPECT_EQ(PathPointTypeLine, types[4]);
}

TEST(BackendPath, RefusedAdditionsAddNothing) {
    Path path;
    PointF pts[2] = {PointF(0, 0), PointF(1, 1)};
    EXPECT_EQ(InvalidParameter, GdipAddPathArc(path, 0, 0, 0, 10, 0, 90));
    EXPECT_EQ(InvalidParameter, GdipAddPathArc(path, 0, 0, 10, 0, 0, 90));
    EXPECT_EQ(InvalidParameter, GdipAddPathLine2(path, pts, 0));
    EXPECT_EQ(InvalidParameter, GdipAddPathLine2(path, nullptr, 2));
    EXPECT_EQ(InvalidParameter, GdipAddPathLine(path, NAN, 0, 1, 1));
    EXPECT_EQ(InvalidParameter, GdipAddPathBezier(path, 0, 0, INFINITY, 0, 1, 1, 2, 2));
    EXPECT_EQ(InvalidParameter, GdipAddPathBeziers(path, pts, 2));
    EXPECT_EQ(InvalidParameter, GdipAddPathArc(path, 0, 0, 10, 10, NAN, 90));
    EXPECT_EQ(InvalidParameter, GdipSetPathFillMode(path, FillMode(7)));
    // Empty and reversed rectangles are accepted but add nothing.
    EXPECT_EQ(Ok, GdipAddPathRectangle(path, 70, 10, -50, 40));
    EXPECT_EQ(Ok, GdipAddPathRectangleI(path, 10, 10, 20, 0));
    EXPECT_TRUE(Types(path).empty());
}

TEST(BackendPath, HugeAnglesAreHandledWithoutLooping) {
    Path path;
    EXPECT_EQ(Ok, GdipAddPathArc(path, 0, 0, 10, 10, 1e30f, 1e30f));
    EXPECT_EQ(Ok, GdipAddPathArc(path, 0, 0, 10, 10, -3e38f, -1e-30f));
    EXPECT_LE(Types(path).size(), 20u);
}

TEST(BackendPath, ResetEmptiesRestoresAlternateFillAndTheNextFillDrawsTheChanges) {
    Canvas c(100, 100);
    Path path(FillModeWinding);
    GdipAddPathRectangle(path, 0, 0, 10, 10);
    c.Fill(path, kBlack);
    GdipAddPathRectangle(path, 50, 50, 10, 10);
    c.Fill(path, kRed);
    EXPECT_EQ(kRed, c.Pixel(55, 55));
    ASSERT_EQ(Ok, GdipResetPath(path));
    FillMode mode = FillModeWinding;
    GdipGetPathFillMode(path, &mode);
    EXPECT_EQ(FillModeAlternate, mode);
    EXPECT_TRUE(Types(path).empty());
    GdipAddPathRectangle(path, 80, 80, 10, 10);
    EXPECT_EQ(PathPointTypeStart, Types(path)[0]); // a fresh figure
    c.Fill(path, kBlue);
    EXPECT_EQ(kBlue, c.Pixel(85, 85));
    EXPECT_EQ(kRed, c.Pixel(5, 5));
}

TEST(BackendPath, CloneIsIndependentAndTransformMovesPoints) {
    Path path;
    GdipAddPathLine(path, 1, 2, 3, 4);
    GpPath* clone = nullptr;
    ASSERT_EQ(Ok, GdipClonePath(path, &clone));
    GpMatrix* m = nullptr;
    GdipCreateMatrix2(2, 0, 0, 2, 10, 0, &m);
    ASSERT_EQ(Ok, GdipTransformPath(path, m));
    EXPECT_FLOAT_EQ(12, Points(path)[0].X);
    EXPECT_FLOAT_EQ(1, Points(clone)[0].X);
    GdipDeleteMatrix(m);
    GdipDeletePath(clone);
}

} // namespace
