// Paths: GDI+'s points and point types, the figure model, and their Cairo
// form, made afresh at each draw from the points alone.

#include <algorithm>
#include <new>

#include "platform/gdiplus/GdipObjects.h"

namespace Gdiplus {

namespace {

constexpr double kPi = 3.14159265358979323846;

bool Finite(std::initializer_list<REAL> values) {
    for (REAL v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

bool FinitePoints(const GpPointF* points, INT count) {
    for (INT i = 0; i < count; ++i)
        if (!std::isfinite(points[i].X) || !std::isfinite(points[i].Y))
            return false;
    return true;
}

// A GDI+ angle (degrees, measured on the ellipse's bounding circle as seen on
// screen) as the parameter of the ellipse x = cx + rx·cos t, y = cy + ry·sin t.
double EllipseParameter(double degrees, double rx, double ry) {
    double a = degrees * kPi / 180.0;
    double c = std::cos(a), s = std::sin(a);
    if (std::fabs(c) < 1e-5 || std::fabs(s) < 1e-5)
        return a;
    double t = std::atan2(s / ry, c / rx);
    // Keep t in the same turn as a.
    double turns = std::round(a / (2 * kPi)) - std::round(t / (2 * kPi));
    return t + turns * 2 * kPi;
}

// Appends the Bézier pieces of an elliptical arc; the first point joins the
// open figure.
void AddArc(GpPath* path, double x, double y, double w, double h, double start, double sweep) {
    double rx = w / 2, ry = h / 2, cx = x + rx, cy = y + ry;
    sweep = std::clamp(sweep, -360.0, 360.0);
    start = std::fmod(start, 360.0); // keeps the turn arithmetic below exact
    double t0 = EllipseParameter(start, rx, ry);
    double t1 = (std::fabs(sweep) >= 360.0) ? t0 + (sweep > 0 ? 2 * kPi : -2 * kPi)
                                            : EllipseParameter(start + sweep, rx, ry);
    // Parameters must move in the sweep's direction by at most one turn.
    for (int i = 0; i < 4 && sweep > 0 && t1 < t0; ++i)
        t1 += 2 * kPi;
    for (int i = 0; i < 4 && sweep < 0 && t1 > t0; ++i)
        t1 -= 2 * kPi;
    path->Join(PointF(REAL(cx + rx * std::cos(t0)), REAL(cy + ry * std::sin(t0))));
    double total = std::clamp(t1 - t0, -2 * kPi, 2 * kPi);
    t1 = t0 + total;
    if (total == 0)
        return;
    int pieces = std::max(1, int(std::ceil(std::fabs(total) / (kPi / 2) - 1e-9)));
    double step = total / pieces;
    double k = 4.0 / 3.0 * std::tan(step / 4);
    double t = t0;
    for (int i = 0; i < pieces; ++i) {
        double c0 = std::cos(t), s0 = std::sin(t);
        double t2 = (i == pieces - 1) ? t1 : t + step;
        double c1 = std::cos(t2), s1 = std::sin(t2);
        path->Add(PointF(REAL(cx + rx * (c0 - k * s0)), REAL(cy + ry * (s0 + k * c0))),
                  PathPointTypeBezier);
        path->Add(PointF(REAL(cx + rx * (c1 + k * s1)), REAL(cy + ry * (s1 - k * c1))),
                  PathPointTypeBezier);
        path->Add(PointF(REAL(cx + rx * c1), REAL(cy + ry * s1)), PathPointTypeBezier);
        t = t2;
    }
}

void AddClosedPolygon(GpPath* path, const PointF* points, size_t count) {
    path->startFigure = true;
    for (size_t i = 0; i < count; ++i)
        path->Join(points[i]);
    path->CloseFigure();
}

} // namespace

void GpPath::Join(const PointF& p) {
    if (startFigure || points.empty()) {
        Add(p, PathPointTypeStart);
        startFigure = false;
        return;
    }
    const PointF& last = points.back();
    if (last.X != p.X || last.Y != p.Y)
        Add(p, PathPointTypeLine);
}

void GpPath::CloseFigure() {
    if (!startFigure && !points.empty())
        types.back() |= PathPointTypeCloseSubpath;
    startFigure = true;
}

void GpPath::AppendTo(cairo_t* cr) const {
    size_t n = points.size();
    for (size_t i = 0; i < n;) {
        BYTE type = types[i] & PathPointTypePathTypeMask;
        size_t last = i;
        if (type == PathPointTypeBezier && i + 2 < n) {
            cairo_curve_to(cr, points[i].X, points[i].Y, points[i + 1].X, points[i + 1].Y,
                           points[i + 2].X, points[i + 2].Y);
            last = i + 2;
        } else if (type == PathPointTypeStart) {
            cairo_move_to(cr, points[i].X, points[i].Y);
        } else {
            cairo_line_to(cr, points[i].X, points[i].Y);
        }
        bool closes = false;
        for (size_t j = i; j <= last; ++j)
            closes |= (types[j] & PathPointTypeCloseSubpath) != 0;
        if (closes)
            cairo_close_path(cr);
        i = last + 1;
    }
}

bool GpPath::Bounds(RectF* bounds, const cairo_matrix_t* m) const {
    if (points.empty()) {
        *bounds = RectF();
        return true;
    }
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (const PointF& p : points) {
        double x = p.X, y = p.Y;
        if (m)
            cairo_matrix_transform_point(m, &x, &y);
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
    }
    *bounds = RectF(REAL(minX), REAL(minY), REAL(maxX - minX), REAL(maxY - minY));
    return true;
}

extern "C" {

Status WINGDIPAPI GdipCreatePath(GpFillMode brushMode, GpPath** path) {
    if (!path)
        return InvalidParameter;
    *path = nullptr;
    if (brushMode != FillModeAlternate && brushMode != FillModeWinding)
        return InvalidParameter;
    *path = new (std::nothrow) GpPath;
    if (!*path)
        return OutOfMemory;
    (*path)->fillMode = brushMode;
    return Ok;
}

Status WINGDIPAPI GdipClonePath(GpPath* path, GpPath** clonePath) {
    if (!Valid(path) || !clonePath)
        return InvalidParameter;
    GpPath* copy = new (std::nothrow) GpPath;
    if (!copy) {
        *clonePath = nullptr;
        return OutOfMemory;
    }
    copy->points = path->points;
    copy->types = path->types;
    copy->fillMode = path->fillMode;
    copy->startFigure = path->startFigure;
    copy->isEllipse = path->isEllipse;
    copy->ellipse = path->ellipse;
    *clonePath = copy;
    return Ok;
}

Status WINGDIPAPI GdipDeletePath(GpPath* path) {
    if (!Valid(path))
        return InvalidParameter;
    delete path;
    return Ok;
}

Status WINGDIPAPI GdipResetPath(GpPath* path) {
    if (!Valid(path))
        return InvalidParameter;
    path->points.clear();
    path->types.clear();
    path->fillMode = FillModeAlternate;
    path->startFigure = true;
    path->Changed();
    return Ok;
}

Status WINGDIPAPI GdipGetPointCount(GpPath* path, INT* count) {
    if (!Valid(path) || !count)
        return InvalidParameter;
    *count = INT(path->points.size());
    return Ok;
}

Status WINGDIPAPI GdipGetPathTypes(GpPath* path, BYTE* types, INT count) {
    if (!Valid(path) || !types || count <= 0)
        return InvalidParameter;
    if (size_t(count) < path->types.size())
        return InsufficientBuffer;
    std::copy(path->types.begin(), path->types.end(), types);
    return Ok;
}

Status WINGDIPAPI GdipGetPathPoints(GpPath* path, GpPointF* points, INT count) {
    if (!Valid(path) || !points || count <= 0)
        return InvalidParameter;
    if (size_t(count) < path->points.size())
        return InsufficientBuffer;
    std::copy(path->points.begin(), path->points.end(), points);
    return Ok;
}

Status WINGDIPAPI GdipGetPathFillMode(GpPath* path, GpFillMode* fillmode) {
    if (!Valid(path) || !fillmode)
        return InvalidParameter;
    *fillmode = path->fillMode;
    return Ok;
}

Status WINGDIPAPI GdipSetPathFillMode(GpPath* path, GpFillMode fillmode) {
    if (!Valid(path) || (fillmode != FillModeAlternate && fillmode != FillModeWinding))
        return InvalidParameter;
    path->fillMode = fillmode;
    return Ok;
}

Status WINGDIPAPI GdipStartPathFigure(GpPath* path) {
    if (!Valid(path))
        return InvalidParameter;
    path->startFigure = true;
    return Ok;
}

Status WINGDIPAPI GdipClosePathFigure(GpPath* path) {
    if (!Valid(path))
        return InvalidParameter;
    if (!path->startFigure && !path->points.empty())
        path->Changed();
    path->CloseFigure();
    return Ok;
}

Status WINGDIPAPI GdipClosePathFigures(GpPath* path) {
    if (!Valid(path))
        return InvalidParameter;
    for (size_t i = 0; i < path->types.size(); ++i)
        if (i + 1 == path->types.size() ||
            (path->types[i + 1] & PathPointTypePathTypeMask) == PathPointTypeStart)
            path->types[i] |= PathPointTypeCloseSubpath;
    path->startFigure = true;
    path->Changed();
    return Ok;
}

Status WINGDIPAPI GdipAddPathLine(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2) {
    if (!Valid(path) || !Finite({x1, y1, x2, y2}))
        return InvalidParameter;
    path->Changed();
    path->Join(PointF(x1, y1));
    path->Add(PointF(x2, y2), PathPointTypeLine);
    return Ok;
}

Status WINGDIPAPI GdipAddPathLine2(GpPath* path, GDIPCONST GpPointF* points, INT count) {
    if (!Valid(path) || !points || count <= 0 || !FinitePoints(points, count))
        return InvalidParameter;
    path->Changed();
    path->Join(points[0]);
    for (INT i = 1; i < count; ++i)
        path->Add(points[i], PathPointTypeLine);
    return Ok;
}

Status WINGDIPAPI GdipAddPathBezier(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3,
                                    REAL y3, REAL x4, REAL y4) {
    if (!Valid(path) || !Finite({x1, y1, x2, y2, x3, y3, x4, y4}))
        return InvalidParameter;
    path->Changed();
    path->Join(PointF(x1, y1));
    path->Add(PointF(x2, y2), PathPointTypeBezier);
    path->Add(PointF(x3, y3), PathPointTypeBezier);
    path->Add(PointF(x4, y4), PathPointTypeBezier);
    return Ok;
}

Status WINGDIPAPI GdipAddPathBeziers(GpPath* path, GDIPCONST GpPointF* points, INT count) {
    if (!Valid(path) || !points || count < 4 || (count - 1) % 3 != 0 ||
        !FinitePoints(points, count))
        return InvalidParameter;
    path->Changed();
    path->Join(points[0]);
    for (INT i = 1; i < count; ++i)
        path->Add(points[i], PathPointTypeBezier);
    return Ok;
}

Status WINGDIPAPI GdipAddPathArc(GpPath* path, REAL x, REAL y, REAL width, REAL height,
                                 REAL startAngle, REAL sweepAngle) {
    if (!Valid(path) || !Finite({x, y, width, height, startAngle, sweepAngle}) || width <= 0 ||
        height <= 0)
        return InvalidParameter;
    path->Changed();
    AddArc(path, x, y, width, height, startAngle, sweepAngle);
    return Ok;
}

Status WINGDIPAPI GdipAddPathEllipse(GpPath* path, REAL x, REAL y, REAL width, REAL height) {
    if (!Valid(path) || !Finite({x, y, width, height}))
        return InvalidParameter;
    bool alone = path->points.empty();
    path->Changed();
    path->startFigure = true;
    AddArc(path, x, y, width, height, 0, 360);
    path->CloseFigure();
    if (alone && width > 0 && height > 0) {
        path->isEllipse = true;
        path->ellipse = RectF(x, y, width, height);
    }
    return Ok;
}

Status WINGDIPAPI GdipAddPathRectangle(GpPath* path, REAL x, REAL y, REAL width, REAL height) {
    if (!Valid(path) || !Finite({x, y, width, height}))
        return InvalidParameter;
    // As GDI+ does, an empty or reversed rectangle adds nothing: a negative
    // width must not draw the rectangle mirrored to the other side of x.
    if (!(width > 0) || !(height > 0))
        return Ok;
    path->Changed();
    const PointF corners[4] = {PointF(x, y), PointF(x + width, y), PointF(x + width, y + height),
                               PointF(x, y + height)};
    path->startFigure = true;
    path->Add(corners[0], PathPointTypeStart);
    for (int i = 1; i < 4; ++i)
        path->Add(corners[i], PathPointTypeLine);
    path->startFigure = false;
    path->CloseFigure();
    return Ok;
}

Status WINGDIPAPI GdipAddPathRectangleI(GpPath* path, INT x, INT y, INT width, INT height) {
    return GdipAddPathRectangle(path, REAL(x), REAL(y), REAL(width), REAL(height));
}

Status WINGDIPAPI GdipAddPathPolygon(GpPath* path, GDIPCONST GpPointF* points, INT count) {
    if (!Valid(path) || !points || count < 3 || !FinitePoints(points, count))
        return InvalidParameter;
    path->Changed();
    AddClosedPolygon(path, points, size_t(count));
    return Ok;
}

Status WINGDIPAPI GdipAddPathPath(GpPath* path, GDIPCONST GpPath* addingPath, BOOL connect) {
    if (!Valid(path) || !Valid(addingPath) || path == addingPath)
        return InvalidParameter;
    if (addingPath->points.empty())
        return Ok;
    bool joinFirst = connect && !path->startFigure && !path->points.empty();
    path->Changed();
    size_t first = path->points.size();
    path->points.insert(path->points.end(), addingPath->points.begin(), addingPath->points.end());
    path->types.insert(path->types.end(), addingPath->types.begin(), addingPath->types.end());
    if (joinFirst)
        path->types[first] =
            BYTE((path->types[first] & ~PathPointTypePathTypeMask) | PathPointTypeLine);
    path->startFigure = addingPath->startFigure;
    return Ok;
}

Status WINGDIPAPI GdipTransformPath(GpPath* path, GpMatrix* matrix) {
    if (!Valid(path))
        return InvalidParameter;
    if (!matrix)
        return Ok;
    if (!Valid(matrix))
        return InvalidParameter;
    for (PointF& p : path->points) {
        double x = p.X, y = p.Y;
        cairo_matrix_transform_point(&matrix->m, &x, &y);
        if (!std::isfinite(x) || !std::isfinite(y))
            return InvalidParameter;
    }
    for (PointF& p : path->points) {
        double x = p.X, y = p.Y;
        cairo_matrix_transform_point(&matrix->m, &x, &y);
        p.X = REAL(x);
        p.Y = REAL(y);
    }
    path->Changed();
    return Ok;
}

Status WINGDIPAPI GdipGetPathWorldBounds(GpPath* path, GpRectF* bounds, GDIPCONST GpMatrix* matrix,
                                         GDIPCONST GpPen* pen) {
    if (!Valid(path) || !bounds || (matrix && !Valid(matrix)) || (pen && !Valid(pen)))
        return InvalidParameter;
    path->Bounds(bounds, matrix ? &matrix->m : nullptr);
    if (pen && !path->points.empty()) {
        REAL half = pen->width / 2;
        bounds->X -= half;
        bounds->Y -= half;
        bounds->Width += 2 * half;
        bounds->Height += 2 * half;
    }
    return Ok;
}

} // extern "C"

} // namespace Gdiplus
