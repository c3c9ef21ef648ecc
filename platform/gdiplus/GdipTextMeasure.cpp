// GdipMeasureString over the public text and path functions: the run is laid
// out with and without an underline, and the underline bars (one per line that
// holds text, spanning exactly that line's advance) give the widths. A second
// layout with the line block's bottom on the layout point gives its height.

#include "platform/gdiplus/GdipTextMeasure.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Gdiplus {

namespace {

const INT kUnderline = 4;
const INT kStrikeout = 8;

// A scratch path, deleted with the object.
class ScratchPath {
public:
    ScratchPath() { GdipCreatePath(FillModeAlternate, &path); }
    ~ScratchPath() {
        if (path)
            GdipDeletePath(path);
    }
    ScratchPath(const ScratchPath&) = delete;
    ScratchPath& operator=(const ScratchPath&) = delete;

    GpPath* path = nullptr;
};

// The path's points, or an empty list.
std::vector<GpPointF> Points(GpPath* path) {
    INT count = 0;
    std::vector<GpPointF> points;
    if (GdipGetPointCount(path, &count) != Ok || count <= 0)
        return points;
    points.resize(size_t(count));
    if (GdipGetPathPoints(path, points.data(), count) != Ok)
        points.clear();
    return points;
}

struct Bar {
    float left, top, width;
};

// The underline bars of `underlined`: the groups of four points that `plain`
// (the same layout without underline) does not hold.
std::vector<Bar> Bars(const std::vector<GpPointF>& plain, const std::vector<GpPointF>& underlined) {
    std::vector<Bar> bars;
    size_t i = 0, j = 0;
    while (j + 4 <= underlined.size()) {
        if (i < plain.size() && plain[i].X == underlined[j].X && plain[i].Y == underlined[j].Y) {
            ++i;
            ++j;
            continue;
        }
        const GpPointF* p = &underlined[j];
        bars.push_back(
            {std::min(p[0].X, p[1].X), std::min(p[0].Y, p[2].Y), std::fabs(p[1].X - p[0].X)});
        j += 4;
    }
    return bars;
}

} // namespace

extern "C" {

Status WINGDIPAPI GdipMeasureString(GpGraphics*, GDIPCONST WCHAR* string, INT length,
                                    GDIPCONST GpFont* font, GDIPCONST RectF* layoutRect,
                                    GDIPCONST GpStringFormat* stringFormat, RectF* boundingBox,
                                    INT* codepointsFitted, INT* linesFilled) {
    if (!string || !font || !layoutRect || !boundingBox || length < -1)
        return InvalidParameter;
    GpFont* f = const_cast<GpFont*>(font);
    REAL size = 0;
    INT style = 0;
    Status status = GdipGetFontSize(f, &size);
    if (status == Ok)
        status = GdipGetFontStyle(f, &style);
    GpFontFamily* family = nullptr;
    if (status == Ok)
        status = GdipGetFamily(f, &family);
    if (status != Ok)
        return status;

    // The caller's format with the line block's top, then its bottom, on the layout point.
    GpStringFormat* format = nullptr;
    StringAlignment lineAlign = StringAlignmentNear;
    if (stringFormat)
        GdipGetStringFormatLineAlign(const_cast<GpStringFormat*>(stringFormat), &lineAlign);
    status = stringFormat ? GdipCloneStringFormat(stringFormat, &format)
                          : GdipCreateStringFormat(0, 0, &format);
    ScratchPath plain, underlined, raised;
    style &= ~(kUnderline | kStrikeout);
    if (status == Ok && (!plain.path || !underlined.path || !raised.path))
        status = OutOfMemory;
    if (status == Ok)
        status = GdipSetStringFormatLineAlign(format, StringAlignmentNear);
    if (status == Ok)
        status =
            GdipAddPathString(plain.path, string, length, family, style, size, layoutRect, format);
    if (status == Ok)
        status = GdipAddPathString(underlined.path, string, length, family, style | kUnderline,
                                   size, layoutRect, format);
    RectF point(layoutRect->X, layoutRect->Y, layoutRect->Width, 0);
    if (status == Ok)
        status = GdipSetStringFormatLineAlign(format, StringAlignmentFar);
    if (status == Ok)
        status = GdipAddPathString(raised.path, string, length, family, style | kUnderline, size,
                                   &point, format);
    if (format)
        GdipDeleteStringFormat(format);
    GdipDeleteFontFamily(family);
    if (status != Ok)
        return status;

    std::vector<GpPointF> underlinedPoints = Points(underlined.path);
    std::vector<GpPointF> raisedPoints = Points(raised.path);
    std::vector<Bar> bars = Bars(Points(plain.path), underlinedPoints);
    RectF box(layoutRect->X, layoutRect->Y, 0, 0);
    if (!bars.empty()) {
        box.X = bars[0].left;
        for (const Bar& bar : bars) {
            if (bar.width > box.Width) {
                box.X = bar.left;
                box.Width = bar.width;
            }
        }
        // Near line alignment puts the block's top on the rectangle's top; far
        // alignment on a rectangle of height 0 puts its bottom there. The whole
        // layout moves by the block's height.
        if (!raisedPoints.empty())
            box.Height = std::max(0.0f, underlinedPoints[0].Y - raisedPoints[0].Y);
        if (lineAlign == StringAlignmentCenter)
            box.Y += (layoutRect->Height - box.Height) / 2;
        else if (lineAlign == StringAlignmentFar)
            box.Y += layoutRect->Height - box.Height;
    }
    *boundingBox = box;
    if (codepointsFitted) {
        INT n = 0;
        if (length >= 0) {
            n = length;
        } else {
            while (string[n] != 0 && n < (1 << 20))
                ++n;
        }
        *codepointsFitted = n;
    }
    if (linesFilled)
        *linesFilled = INT(bars.size());
    return Ok;
}

} // extern "C"

} // namespace Gdiplus
