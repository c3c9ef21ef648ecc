#include "render/SvgPathBounds.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

using namespace Gdiplus;

namespace {

struct Box {
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;

    void Add(double x, double y) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
};

// The coordinate of a cubic Bézier (one axis) at t.
double At(double p0, double p1, double p2, double p3, double t) {
    double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

// Parameters in (0, 1) where one axis of the curve turns: the roots of its
// derivative, a quadratic a t² + b t + c.
int Turns(double p0, double p1, double p2, double p3, double t[2]) {
    double a = -p0 + 3 * p1 - 3 * p2 + p3;
    double b = 2 * (p0 - 2 * p1 + p2);
    double c = p1 - p0;
    double roots[2];
    int n = 0;
    if (std::fabs(a) < 1e-12) {
        if (std::fabs(b) > 1e-12)
            roots[n++] = -c / b;
    } else {
        double d = b * b - 4 * a * c;
        if (d >= 0) {
            double s = std::sqrt(d);
            roots[n++] = (-b + s) / (2 * a);
            roots[n++] = (-b - s) / (2 * a);
        }
    }
    int kept = 0;
    for (int i = 0; i < n; ++i)
        if (roots[i] > 0 && roots[i] < 1)
            t[kept++] = roots[i];
    return kept;
}

} // namespace

RectF SvgPathBounds::Of(GpPath* path) {
    INT count = 0;
    if (GdipGetPointCount(path, &count) != Ok || count <= 0)
        return RectF();
    std::vector<PointF> points(count);
    std::vector<BYTE> types(count);
    if (GdipGetPathPoints(path, points.data(), count) != Ok ||
        GdipGetPathTypes(path, types.data(), count) != Ok)
        return RectF();
    Box box;
    for (INT i = 0; i < count; ++i) {
        // A curve is three points after the one it starts from; its inner
        // two are control points, counted only where the curve turns.
        bool curve = (types[i] & PathPointTypePathTypeMask) == PathPointTypeBezier;
        if (!curve || i == 0 || i + 2 >= count) {
            box.Add(points[i].X, points[i].Y);
            continue;
        }
        const PointF& p0 = points[i - 1];
        const PointF& p1 = points[i];
        const PointF& p2 = points[i + 1];
        const PointF& p3 = points[i + 2];
        double t[2];
        // Each turn widens one axis; p0 is in the box already.
        for (int k = 0, n = Turns(p0.X, p1.X, p2.X, p3.X, t); k < n; ++k)
            box.Add(At(p0.X, p1.X, p2.X, p3.X, t[k]), p0.Y);
        for (int k = 0, n = Turns(p0.Y, p1.Y, p2.Y, p3.Y, t); k < n; ++k)
            box.Add(p0.X, At(p0.Y, p1.Y, p2.Y, p3.Y, t[k]));
        box.Add(p3.X, p3.Y);
        i += 2;
    }
    if (!(box.right >= box.left) || !(box.bottom >= box.top))
        return RectF();
    // A box wider than a float can say is cut to the widest one.
    auto size = [](double extent) { return REAL(std::min(extent, double(FLT_MAX))); };
    return RectF(REAL(box.left), REAL(box.top), size(box.right - box.left),
                 size(box.bottom - box.top));
}
