#include "document/SvgPathWalk.h"

#include "syntax/SvgPathData.h"

#include <algorithm>
#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;
// Turns between pieces up to this (radians) are a curve's, not corners.
const double kSmoothTurn = 0.35;

} // namespace

SvgPathWalk::SvgPathWalk(const SvgPathData& data, const SvgMatrix& matrix) {
    const float* c = data.coordinates();
    size_t used = 0;
    auto map = [&](size_t k, double& x, double& y) {
        x = matrix.getA() * c[k] + matrix.getC() * c[k + 1] + matrix.getE();
        y = matrix.getB() * c[k] + matrix.getD() * c[k + 1] + matrix.getF();
    };
    double startX = 0, startY = 0, lastX = 0, lastY = 0;
    bool open = false;
    for (size_t i = 0; i < data.segmentCount; ++i) {
        int kind = data.segmentKind(i);
        size_t need = kind == SvgPathSegmentCubic ? 6 : kind == SvgPathSegmentClose ? 0 : 2;
        if (used + need > data.coordinateCount)
            break;
        double x = 0, y = 0;
        if (kind == SvgPathSegmentMove || (!open && kind != SvgPathSegmentClose)) {
            // A piece without a move before it starts where the last ended.
            if (kind == SvgPathSegmentMove)
                map(used, x, y);
            else
                x = lastX, y = lastY;
            Add(x, y, true);
            startX = lastX = x;
            startY = lastY = y;
            open = true;
            if (kind == SvgPathSegmentMove) {
                used += need;
                continue;
            }
        }
        if (kind == SvgPathSegmentLine) {
            map(used, x, y);
            Add(x, y, false);
        } else if (kind == SvgPathSegmentCubic) {
            double x1, y1, x2, y2;
            map(used, x1, y1);
            map(used + 2, x2, y2);
            map(used + 4, x, y);
            // Pieces from the length of the control polygon: a few units of
            // curve each, fewer once the budget runs short.
            double hull = std::hypot(x1 - lastX, y1 - lastY) + std::hypot(x2 - x1, y2 - y1) +
                          std::hypot(x - x2, y - y2);
            double wanted = std::isfinite(hull) ? std::ceil(std::sqrt(hull) * 2) : 1;
            size_t pieces = size_t(std::clamp(wanted, 1.0, 64.0));
            size_t left = data.segmentCount - i;
            if (points.size() + pieces + left > kMaxPoints)
                pieces = 1;
            for (size_t k = 1; k < pieces; ++k) {
                double t = double(k) / double(pieces), u = 1 - t;
                double px =
                    u * u * u * lastX + 3 * u * u * t * x1 + 3 * u * t * t * x2 + t * t * t * x;
                double py =
                    u * u * u * lastY + 3 * u * u * t * y1 + 3 * u * t * t * y2 + t * t * t * y;
                Add(px, py, false);
            }
            Add(x, y, false);
        } else if (kind == SvgPathSegmentClose) {
            if (open)
                Add(startX, startY, false);
            x = startX, y = startY;
            open = false;
        }
        lastX = x;
        lastY = y;
        used += need;
    }
}

void SvgPathWalk::Add(double x, double y, bool first) {
    if (points.size() >= kMaxPoints || !(std::fabs(x) <= 1e30) || !(std::fabs(y) <= 1e30))
        return;
    if (!first && !points.empty()) {
        const Point& last = points.back();
        double step = std::hypot(x - last.x, y - last.y);
        if (std::isfinite(step))
            total += step;
    }
    if (first && !starts.empty() && starts.back()) {
        // A move after a move: only the last counts.
        points.back() = {total, float(x), float(y)};
        return;
    }
    starts.push_back(first || points.empty());
    points.push_back({total, float(x), float(y)});
}

bool SvgPathWalk::At(double distance, double& x, double& y, double& angle, bool backwards) const {
    if (!(distance >= 0 && distance <= total) || !(total > 0))
        return false;
    if (backwards) {
        if (!At(total - distance, x, y, angle))
            return false;
        angle += angle > 0 ? -kPi : kPi;
        return true;
    }
    // The piece that reaches the distance: it ends at the first point at or
    // past it that does not start a subpath (no two starts follow each other).
    size_t end = size_t(std::lower_bound(points.begin() + 1, points.end(), distance,
                                         [](const Point& p, double d) { return p.at < d; }) -
                        points.begin());
    if (end < points.size() && starts[end])
        ++end;
    if (end >= points.size())
        return false;
    const Point& a = points[end - 1];
    const Point& b = points[end];
    double step = b.at - a.at;
    double t = step > 0 ? std::clamp((distance - a.at) / step, 0.0, 1.0) : 0.0;
    x = a.x + (b.x - a.x) * t;
    y = a.y + (b.y - a.y) * t;
    // The direction of the nearest piece of some length, back to the start
    // of the subpath, else forwards.
    size_t piece = end;
    while (points[piece].at == points[piece - 1].at && piece > 1 && !starts[piece - 1])
        --piece;
    while (points[piece].at == points[piece - 1].at && piece + 1 < points.size() &&
           !starts[piece + 1])
        ++piece;
    angle = Direction(piece);
    // A curve cut into pieces turns a little at each point between them:
    // there the direction is taken halfway between the two pieces, and
    // between points it turns evenly, so text on a curve turns smoothly.
    // Real corners (a larger turn) keep their pieces' own directions.
    auto turn = [&](size_t from, size_t to) {
        double d = std::remainder(Direction(to) - Direction(from), 2 * kPi);
        return std::fabs(d) < kSmoothTurn ? d : 0.0;
    };
    if (piece == end && step > 0) {
        if (end >= 2 && !starts[end - 1])
            angle -= (1 - t) * turn(end - 1, end) / 2;
        if (end + 1 < points.size() && !starts[end + 1])
            angle += t * turn(end, end + 1) / 2;
    }
    return true;
}

double SvgPathWalk::Direction(size_t piece) const {
    return std::atan2(double(points[piece].y) - points[piece - 1].y,
                      double(points[piece].x) - points[piece - 1].x);
}
