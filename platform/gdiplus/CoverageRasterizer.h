#pragma once

// Anti-aliased filling of small outlines with one colour, straight into a
// premultiplied 32-bit pixel buffer.
//
// Cairo's fill costs a few microseconds of set-up whatever the size of the
// shape; a picture of many thousands of small shapes spends most of its
// drawing there. This rasteriser takes outlines already in pixel
// coordinates and gives each pixel the exact area the outline covers in it:
// every edge adds its signed share of area to the cells it crosses, and a
// sum along each row gives the winding-weighted coverage, to which the fill
// rule applies. The coverage of a pixel depends only on the outline and the
// pixel, never on the clip, so that a picture drawn in bands is the picture
// drawn whole.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Gdiplus {

class CoverageRasterizer {
public:
    // Largest outline taken, in pixels across and down, and in lines.
    static constexpr double kMaxExtent = 256;
    static constexpr std::size_t kMaxLines = 1024;

    // Starts a new outline.
    void Reset();
    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    // A cubic Bézier from the current point, flattened to within a tenth of a pixel.
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3);
    // Closes the current figure (every figure is closed for filling anyway).
    void Close();

    // Whether the outline can be filled here: finite, at most kMaxExtent
    // across and down, at most kMaxLines lines.
    bool Fits() const { return !empty && !TooLarge(); }
    // Whether the outline so far is already past what Fits allows.
    bool TooLarge() const;

    // Fills the outline, by the nonzero or the even-odd rule, with a
    // premultiplied colour (0xAARRGGBB), compositing over the pixels. The
    // buffer's pixel (0, 0) is at pixels, rows stride bytes apart; only the
    // pixels of clip columns [clipX0, clipX1) and rows [clipY0, clipY1)
    // are touched. Call only when Fits().
    void Fill(unsigned char* pixels, int stride, int clipX0, int clipY0, int clipX1, int clipY1,
              bool nonzero, uint32_t color);

private:
    struct Line {
        double x0, y0, x1, y1;
    };

    void AddLine(double x0, double y0, double x1, double y1);
    // Adds line's signed area to the cells of rows [firstRow, endRow), in
    // cell coordinates (left at column 0, firstRow at row 0).
    void Accumulate(const Line& line, double left, int firstRow, int endRow, int width);

    std::vector<Line> lines;
    std::vector<float> cells; // signed area per cell, rows of width + 2
    double startX = 0, startY = 0, lastX = 0, lastY = 0;
    bool open = false;
    bool finite = true;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool empty = true;
};

} // namespace Gdiplus
