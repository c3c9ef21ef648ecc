// The rasteriser for small solid fills: exact area coverage, fill rules,
// compositing, clips that leave each pixel's coverage alone, and the shapes
// it leaves to Cairo.

#include "platform/gdiplus/CoverageRasterizer.h"
#include "Canvas.h"

#include <cmath>
#include <vector>

namespace {

// A transparent premultiplied image filled through the rasteriser.
struct Pixels {
    int width, height;
    std::vector<uint32_t> data;
    Pixels(int w, int h, uint32_t background = 0) : width(w), height(h), data(w * h, background) {}
    void Fill(CoverageRasterizer& r, uint32_t color, bool nonzero = true) {
        Fill(r, color, nonzero, 0, 0, width, height);
    }
    void Fill(CoverageRasterizer& r, uint32_t color, bool nonzero, int x0, int y0, int x1, int y1) {
        ASSERT_TRUE(r.Fits());
        r.Fill(reinterpret_cast<unsigned char*>(data.data()), width * 4, x0, y0, x1, y1, nonzero,
               color);
    }
    unsigned Alpha(int x, int y) const { return data[y * width + x] >> 24; }
};

void Rectangle(CoverageRasterizer& r, double x0, double y0, double x1, double y1,
               bool clockwise = true) {
    r.MoveTo(x0, y0);
    if (clockwise) {
        r.LineTo(x1, y0);
        r.LineTo(x1, y1);
        r.LineTo(x0, y1);
    } else {
        r.LineTo(x0, y1);
        r.LineTo(x1, y1);
        r.LineTo(x1, y0);
    }
    r.Close();
}

TEST(CoverageRasterizer, GivesEachPixelTheAreaCovered) {
    CoverageRasterizer r;
    r.Reset();
    Rectangle(r, 2.25, 1.5, 6.75, 4.5);
    Pixels p(10, 6);
    p.Fill(r, 0xFF000000);
    EXPECT_EQ(255u, p.Alpha(4, 2)); // inside
    EXPECT_EQ(191u, p.Alpha(2, 2)); // three quarters of a column
    EXPECT_EQ(191u, p.Alpha(6, 3));
    EXPECT_EQ(128u, p.Alpha(4, 1)); // half a row
    EXPECT_EQ(96u, p.Alpha(2, 1));  // both: 3/8
    EXPECT_EQ(0u, p.Alpha(1, 2) + p.Alpha(7, 2) + p.Alpha(4, 0) + p.Alpha(4, 5));

    // A slanted triangle: the alpha of all its pixels adds up to its area.
    r.Reset();
    r.MoveTo(1.2, 0.7);
    r.LineTo(8.9, 3.1);
    r.LineTo(3.3, 8.6);
    Pixels triangle(10, 10);
    triangle.Fill(r, 0xFF000000);
    double area = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            area += triangle.Alpha(x, y) / 255.0;
    EXPECT_NEAR(0.5 * std::fabs(7.7 * 7.9 - 2.1 * 2.4), area, 0.05);

    // A circle of radius 3, flattened to within a tenth of a pixel: between
    // the area of a 16-gon in it and its own.
    r.Reset();
    r.MoveTo(8, 5);
    const double k = 0.5522847498 * 3;
    r.CurveTo(8, 5 + k, 5 + k, 8, 5, 8);
    r.CurveTo(5 - k, 8, 2, 5 + k, 2, 5);
    r.CurveTo(2, 5 - k, 5 - k, 2, 5, 2);
    r.CurveTo(5 + k, 2, 8, 5 - k, 8, 5);
    Pixels circle(10, 10);
    circle.Fill(r, 0xFF000000);
    area = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            area += circle.Alpha(x, y) / 255.0;
    EXPECT_GE(area, 8 * 9 * std::sin(M_PI / 8) - 0.05);
    EXPECT_LE(area, M_PI * 9 + 0.05);
}

TEST(CoverageRasterizer, FollowsTheFillRule) {
    // Two squares, one inside the other. Drawn the same way round, nonzero
    // fills the inner one and even-odd leaves it empty; drawn opposite ways
    // round, both leave it empty.
    for (bool sameWay : {true, false}) {
        for (bool nonzero : {true, false}) {
            CoverageRasterizer r;
            r.Reset();
            Rectangle(r, 1, 1, 9, 9);
            Rectangle(r, 3, 3, 7, 7, sameWay);
            Pixels p(10, 10);
            p.Fill(r, 0xFF000000, nonzero);
            EXPECT_EQ(255u, p.Alpha(2, 5));
            EXPECT_EQ(sameWay && nonzero ? 255u : 0u, p.Alpha(5, 5))
                << "same way " << sameWay << ", nonzero " << nonzero;
        }
    }
}

TEST(CoverageRasterizer, CompositesOverWhatIsThere) {
    CoverageRasterizer r;
    r.Reset();
    Rectangle(r, 0, 0, 4, 1.5);
    Pixels p(4, 2, 0xFF0000FF); // opaque blue
    p.Fill(r, 0x80800000);      // half-transparent red, premultiplied
    EXPECT_EQ(0xFF80007Fu, p.data[0]);
    // Half covered: a quarter of red's alpha over the blue.
    EXPECT_EQ(0xFF4000BFu, p.data[4]);
    // An opaque colour replaces what it covers.
    r.Reset();
    Rectangle(r, 0, 0, 4, 2);
    p.Fill(r, 0xFF00FF00);
    EXPECT_EQ(0xFF00FF00u, p.data[5]);
}

TEST(CoverageRasterizer, ClipsWithoutChangingCoverage) {
    // A slanted shape drawn in two bands of rows, and in two of columns,
    // gives the pixels of the one drawn whole.
    auto shape = [](CoverageRasterizer& r) {
        r.Reset();
        r.MoveTo(1.3, 0.7);
        r.LineTo(17.9, 5.2);
        r.LineTo(9.1, 15.6);
        r.CurveTo(4, 12, 8, 6, 1.3, 0.7);
    };
    CoverageRasterizer r;
    Pixels whole(20, 16), rows(20, 16), columns(20, 16);
    shape(r);
    whole.Fill(r, 0xFF336699);
    for (int band = 0; band < 2; ++band) {
        shape(r);
        rows.Fill(r, 0xFF336699, true, 0, band * 7, 20, band ? 16 : 7);
        shape(r);
        columns.Fill(r, 0xFF336699, true, band * 9, 0, band ? 20 : 9, 16);
    }
    EXPECT_EQ(whole.data, rows.data);
    EXPECT_EQ(whole.data, columns.data);
}

TEST(CoverageRasterizer, LeavesLargeAndUnusableOutlinesToCairo) {
    CoverageRasterizer r;
    r.Reset();
    EXPECT_FALSE(r.Fits()); // nothing to fill
    Rectangle(r, 0, 0, 300, 10);
    EXPECT_FALSE(r.Fits());
    r.Reset();
    Rectangle(r, 0, 0, NAN, 10);
    EXPECT_FALSE(r.Fits());
    r.Reset();
    for (int i = 0; i < 2000; ++i)
        r.LineTo(i % 2 ? 0 : 10, i * 0.1);
    EXPECT_TRUE(r.TooLarge());
}

TEST(CoverageRasterizer, BackEndFillsMatchCairos) {
    // The same small shapes filled by the back end's own rasteriser and, in
    // a layer (where Cairo fills), differ only at their edges and there by
    // little.
    Canvas fast(40, 40), cairo(40, 40);
    GpPath* path = nullptr;
    ASSERT_EQ(Ok, GdipCreatePath(FillModeAlternate, &path));
    GdipAddPathEllipse(path, 3.3, 4.1, 30.2, 22.7);
    GdipAddPathRectangle(path, 10.5, 10.5, 8, 8);
    for (GpGraphics* g : {fast.graphics, cairo.graphics})
        GdipSetSmoothingMode(g, SmoothingModeAntiAlias);
    ASSERT_EQ(Ok, KelFillPathColor(fast.graphics, 0xFF204080, path));
    GdipSetClipRect(cairo.graphics, 0.5, 0, 40, 40, CombineModeReplace); // not whole pixels
    ASSERT_EQ(Ok, KelFillPathColor(cairo.graphics, 0xFF204080, path));
    GdipDeletePath(path);
    int differing = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 1; x < 40; ++x) {
            ARGB a = fast.Pixel(x, y), b = cairo.Pixel(x, y);
            for (int shift = 0; shift < 32; shift += 8)
                EXPECT_LE(std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)), 24)
                    << x << "," << y;
            differing += a != b;
        }
    }
    EXPECT_EQ(0xFFFFFFFF, fast.Pixel(14, 14)); // even-odd: the square is a hole
    EXPECT_LT(differing, 200);
}

TEST(CoverageRasterizer, BackEndKeepsWithinAClipOfWholePixels) {
    Canvas c(30, 30);
    GdipSetSmoothingMode(c.graphics, SmoothingModeAntiAlias);
    ASSERT_EQ(Ok, GdipSetClipRect(c.graphics, 10, 10, 10, 10, CombineModeReplace));
    GpPath* path = nullptr;
    ASSERT_EQ(Ok, GdipCreatePath(FillModeAlternate, &path));
    GdipAddPathEllipse(path, 0.5, 0.5, 29, 29);
    ASSERT_EQ(Ok, KelFillPathColor(c.graphics, 0xFF204080, path));
    GdipDeletePath(path);
    EXPECT_EQ(0, c.CountNot(0xFF204080, 10, 10, 20, 20));
    EXPECT_EQ(0xFFFFFFFF, c.Pixel(9, 15));
    EXPECT_EQ(0xFFFFFFFF, c.Pixel(15, 20));
    EXPECT_EQ(30 * 30 - 100, c.CountNot(0xFF204080, 0, 0, 30, 30));
}

} // namespace
