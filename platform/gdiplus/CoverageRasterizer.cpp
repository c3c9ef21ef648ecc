#include "platform/gdiplus/CoverageRasterizer.h"

#include <algorithm>
#include <cmath>

namespace Gdiplus {

namespace {

// Greatest distance of a flattened curve from the curve, in pixels.
constexpr double kFlatness = 0.1;
// Most lines one curve is flattened into.
constexpr int kMaxCurveLines = 100;

// Each byte of x times a / 255, rounded.
inline uint32_t MultiplyBytes(uint32_t x, uint32_t a) {
    uint32_t rb = (x & 0xFF00FF) * a + 0x800080;
    rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    uint32_t ag = ((x >> 8) & 0xFF00FF) * a + 0x800080;
    ag = (ag + ((ag >> 8) & 0xFF00FF)) & 0xFF00FF00;
    return rb | ag;
}

// Each byte of x plus the same byte of y, at most 255.
inline uint32_t AddBytes(uint32_t x, uint32_t y) {
    uint32_t rb = (x & 0xFF00FF) + (y & 0xFF00FF);
    rb = (rb | (0x1000100 - ((rb >> 8) & 0xFF00FF))) & 0xFF00FF;
    uint32_t ag = ((x >> 8) & 0xFF00FF) + ((y >> 8) & 0xFF00FF);
    ag = (ag | (0x1000100 - ((ag >> 8) & 0xFF00FF))) & 0xFF00FF;
    return rb | (ag << 8);
}

// Composites the colour, times a coverage of 1 to 255, over a pixel.
inline void Blend(uint32_t* pixel, uint32_t color, unsigned coverage) {
    uint32_t source = coverage == 255 ? color : MultiplyBytes(color, coverage);
    uint32_t alpha = source >> 24;
    if (alpha == 255)
        *pixel = source;
    else if (source != 0)
        *pixel = AddBytes(source, MultiplyBytes(*pixel, 255 - alpha));
}

// Blend over pixels [from, to) of a row, all with one coverage.
inline void FillRun(uint32_t* row, int from, int to, uint32_t color, unsigned coverage) {
    if (coverage == 255 && color >> 24 == 255) {
        if (from < to)
            std::fill(row + from, row + to, color);
        return;
    }
    for (int x = from; x < to; ++x)
        Blend(row + x, color, coverage);
}

} // namespace

void CoverageRasterizer::Reset() {
    lines.clear();
    open = false;
    finite = true;
    empty = true;
}

void CoverageRasterizer::MoveTo(double x, double y) {
    Close();
    startX = lastX = x;
    startY = lastY = y;
    open = true;
    if (!std::isfinite(x) || !std::isfinite(y))
        finite = false;
}

void CoverageRasterizer::LineTo(double x, double y) {
    if (!open) {
        MoveTo(x, y);
        return;
    }
    AddLine(lastX, lastY, x, y);
    lastX = x;
    lastY = y;
}

void CoverageRasterizer::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    if (!open)
        MoveTo(x1, y1);
    double x0 = lastX, y0 = lastY;
    // Lines enough that none strays further than kFlatness from the curve:
    // the distance is at most 3/4 of the larger second difference of the
    // control points, divided by the square of the count.
    double bend = std::max(std::hypot(x0 - 2 * x1 + x2, y0 - 2 * y1 + y2),
                           std::hypot(x1 - 2 * x2 + x3, y1 - 2 * y2 + y3));
    if (!std::isfinite(bend)) {
        finite = false;
        return;
    }
    int lines =
        int(std::clamp(std::ceil(std::sqrt(0.75 * bend / kFlatness)), 1.0, double(kMaxCurveLines)));
    for (int i = 1; i < lines; ++i) {
        double t = double(i) / lines, u = 1 - t;
        double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        LineTo(a * x0 + b * x1 + c * x2 + d * x3, a * y0 + b * y1 + c * y2 + d * y3);
    }
    LineTo(x3, y3);
}

void CoverageRasterizer::Close() {
    if (open && (lastX != startX || lastY != startY))
        AddLine(lastX, lastY, startX, startY);
    lastX = startX;
    lastY = startY;
}

void CoverageRasterizer::AddLine(double x0, double y0, double x1, double y1) {
    if (!std::isfinite(x1) || !std::isfinite(y1)) {
        finite = false;
        return;
    }
    if (empty) {
        minX = maxX = x0;
        minY = maxY = y0;
        empty = false;
    }
    minX = std::min({minX, x0, x1});
    maxX = std::max({maxX, x0, x1});
    minY = std::min({minY, y0, y1});
    maxY = std::max({maxY, y0, y1});
    // Horizontal lines cover no area; past the limit, Fits says no.
    if (y0 != y1 && lines.size() <= kMaxLines)
        lines.push_back({x0, y0, x1, y1});
}

bool CoverageRasterizer::TooLarge() const {
    return !finite || lines.size() > kMaxLines ||
           (!empty && (maxX - minX > kMaxExtent || maxY - minY > kMaxExtent));
}

void CoverageRasterizer::Accumulate(const Line& line, double left, int firstRow, int endRow,
                                    int width) {
    double x0 = line.x0 - left, y0 = line.y0, x1 = line.x1 - left, y1 = line.y1;
    float direction = 1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        direction = -1;
    }
    double top = std::max(y0, double(firstRow)), bottom = std::min(y1, double(endRow));
    if (!(top < bottom))
        return;
    double dxdy = (x1 - x0) / (y1 - y0);
    double x = x0 + (top - y0) * dxdy;
    const size_t rowCells = size_t(width) + 2;
    const double right = width;
    int endY = int(std::ceil(bottom));
    for (int y = int(std::floor(top)); y < endY; ++y) {
        double dy = std::min(double(y + 1), bottom) - std::max(double(y), top);
        double next = x + dxdy * dy;
        float d = float(dy) * direction;
        double xa = std::clamp(std::min(x, next), 0.0, right);
        double xb = std::clamp(std::max(x, next), 0.0, right);
        x = next;
        float* row = &cells[size_t(y - firstRow) * rowCells];
        double floorA = std::floor(xa), ceilB = std::ceil(xb);
        int a = int(floorA), b = int(ceilB);
        if (b <= a + 1) {
            // Within one cell: the part of the row's coverage right of the
            // line's middle starts in the next cell.
            float middle = float(0.5 * (xa + xb) - floorA);
            row[a] += d * (1 - middle);
            row[a + 1] += d * middle;
            continue;
        }
        // Across cells: the area right of the line grows with x, as a
        // parabola in the first and last cell and linearly between.
        double slope = 1 / (xb - xa);
        double fa = xa - floorA, fb = xb - ceilB + 1;
        double first = 0.5 * slope * (1 - fa) * (1 - fa);
        double last = 0.5 * slope * fb * fb;
        row[a] += d * float(first);
        if (b == a + 2) {
            row[a + 1] += d * float(1 - first - last);
        } else {
            double second = slope * (1.5 - fa);
            row[a + 1] += d * float(second - first);
            float step = d * float(slope);
            for (int i = a + 2; i < b - 1; ++i)
                row[i] += step;
            double beforeLast = second + (b - a - 3) * slope;
            row[b - 1] += d * float(1 - beforeLast - last);
        }
        row[b] += d * float(last);
    }
}

void CoverageRasterizer::Fill(unsigned char* pixels, int stride, int clipX0, int clipY0, int clipX1,
                              int clipY1, bool nonzero, uint32_t color) {
    Close();
    if (lines.empty())
        return;
    // Rows the outline touches within the clip; all the columns it touches
    // (coverage sums along the row from its left end).
    double top = std::max(double(clipY0), std::floor(minY));
    double bottom = std::min(double(clipY1), std::ceil(maxY));
    double left = std::floor(minX), right = std::ceil(maxX);
    double from = std::max(double(clipX0), left), to = std::min(double(clipX1), right);
    if (!(top < bottom && from < to))
        return;
    int firstRow = int(top), endRow = int(bottom), width = int(right - left);
    size_t rowCells = size_t(width) + 2;
    // The cells are all zero between fills: each row is cleared as it is read.
    size_t needed = size_t(endRow - firstRow) * rowCells;
    if (cells.size() < needed)
        cells.resize(needed, 0.0f);
    int leftPixel = int(left), firstCell = int(from - left), endCell = int(to - left);
    // The pixels are far apart in a large picture: ask for their rows now,
    // so that memory fetches them while the edges are summed.
    for (int row = firstRow; row < endRow; ++row) {
        const unsigned char* line = pixels + size_t(row) * stride;
        __builtin_prefetch(line + size_t(leftPixel + firstCell) * 4, 1);
        __builtin_prefetch(line + size_t(leftPixel + endCell) * 4 - 1, 1);
    }
    for (const Line& line : lines)
        Accumulate(line, left, firstRow, endRow, width);

    for (int row = firstRow; row < endRow; ++row) {
        float* cell = &cells[size_t(row - firstRow) * rowCells];
        uint32_t* out = reinterpret_cast<uint32_t*>(pixels + size_t(row) * stride) + leftPixel;
        float sum = 0;
        unsigned coverage = 0;
        for (int c = 0; c < endCell;) {
            // Where no edge passes, the coverage is that of the pixel before:
            // a run of one coverage, filled at once.
            int run = c;
            while (run < endCell && cell[run] == 0)
                ++run;
            if (coverage)
                FillRun(out, std::max(c, firstCell), run, color, coverage);
            if (run == endCell)
                break;
            sum += cell[run];
            cell[run] = 0;
            float amount = std::fabs(sum);
            if (nonzero) {
                amount = std::min(amount, 1.0f);
            } else {
                amount = std::fmod(amount, 2.0f);
                if (amount > 1)
                    amount = 2 - amount;
            }
            coverage = unsigned(amount * 255 + 0.5f);
            if (coverage && run >= firstCell)
                Blend(out + run, color, coverage);
            c = run + 1;
        }
        std::fill(cell + endCell, cell + rowCells, 0.0f);
    }
}

} // namespace Gdiplus
