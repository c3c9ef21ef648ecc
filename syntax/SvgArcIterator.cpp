#include "syntax/SvgArcIterator.h"

#include <cmath>

namespace {

constexpr double degreesToRadians = 0.017453292222222222; // 3.1415926 / 180
constexpr double fullTurn = 6.2831852;
constexpr double quarterTurnsPerRadian = 0.6366197832271441; // 2 / 3.1415926

bool isFinite(double v) {
    return std::isfinite(v);
}

// Angle from a to b, in [0, fullTurn).
double angleBetween(double ax, double ay, double bx, double by) {
    const double a = std::atan2(ay, ax);
    const double b = std::atan2(by, bx);
    const double d = b - a;
    return d >= 0 ? d : fullTurn - (a - b);
}

} // namespace

bool SvgArcIterator::init(float x1, float y1, float x2, float y2, float rx, float ry,
                          float rotationDegrees, bool largeArc, bool sweep) {
    m_pieces = 0;
    m_produced = 0;
    if (!isFinite(x1) || !isFinite(y1) || !isFinite(x2) || !isFinite(y2) || !isFinite(rx) ||
        !isFinite(ry) || !isFinite(rotationDegrees))
        return false;
    if ((x1 == x2 && y1 == y2) || rx == 0 || ry == 0)
        return false;

    double radiusX = std::fabs(rx);
    double radiusY = std::fabs(ry);
    const double phi = rotationDegrees * degreesToRadians;
    const float sinPhi = static_cast<float>(std::sin(phi));
    const float cosPhi = static_cast<float>(std::cos(phi));

    // Start point in the ellipse's frame, relative to the chord's middle.
    const float dx = x1 - x2;
    const float dy = y1 - y2;
    const double x1p = (cosPhi * static_cast<double>(dx) + sinPhi * static_cast<double>(dy)) * 0.5;
    const double y1p = (cosPhi * static_cast<double>(dy) - sinPhi * static_cast<double>(dx)) * 0.5;

    const double rx2 = radiusX * radiusX;
    const double ry2 = radiusY * radiusY;
    double s = rx2 * ry2;
    const float sFloat = static_cast<float>(s);
    if (sFloat != 0 && std::isfinite(sFloat))
        s = sFloat; // kept as a float where it fits one
    const double n = s - rx2 * y1p * y1p - ry2 * x1p * x1p;
    double k = 0;
    if (n < 0) {
        // Radii too small to reach the end point: enlarge them just enough.
        const double scale = std::sqrt(1 - n / s);
        radiusX *= scale;
        radiusY *= scale;
    } else {
        k = std::sqrt(n / (rx2 * y1p * y1p + ry2 * x1p * x1p));
        if (largeArc == sweep)
            k = -k;
    }
    m_rx = static_cast<float>(radiusX);
    m_ry = static_cast<float>(radiusY);

    const double cxp = k * radiusX * y1p / radiusY;
    const double cyp = -k * radiusY * x1p / radiusX;
    const double cx = cosPhi * cxp - sinPhi * cyp + (static_cast<double>(x1) + x2) / 2;
    const double cy = sinPhi * cxp + cosPhi * cyp + (static_cast<double>(y1) + y2) / 2;

    const double ux = (x1p - cxp) / radiusX;
    const double uy = (y1p - cyp) / radiusY;
    const double vx = (-x1p - cxp) / radiusX;
    const double vy = (-y1p - cyp) / radiusY;
    const double theta1 = angleBetween(1, 0, ux, uy);
    double sweepAngle = angleBetween(ux, uy, vx, vy);
    if (!sweep && sweepAngle > 0)
        sweepAngle -= fullTurn;
    else if (sweep && sweepAngle < 0)
        sweepAngle += fullTurn;

    const double pieces = std::ceil(std::fabs(sweepAngle * quarterTurnsPerRadian));
    if (!isFinite(pieces) || pieces < 1 || pieces > 5)
        return false;
    const double delta = sweepAngle / pieces;
    const double t =
        2.6666666666666665 * std::sin(delta / 4) * std::sin(delta / 4) / std::sin(delta / 2);

    m_theta = static_cast<float>(theta1);
    m_delta = static_cast<float>(delta);
    m_t = static_cast<float>(t);
    m_sinPhi = sinPhi;
    m_cosPhi = cosPhi;
    m_cx = static_cast<float>(cx);
    m_cy = static_cast<float>(cy);
    m_x = x1;
    m_y = y1;
    m_endX = x2;
    m_endY = y2;
    if (!isFinite(m_rx) || !isFinite(m_ry) || !isFinite(m_cx) || !isFinite(m_cy) ||
        !isFinite(m_theta) || !isFinite(m_delta) || !isFinite(m_t) || m_rx == 0 || m_ry == 0)
        return false;
    m_pieces = static_cast<int>(pieces);
    return true;
}

bool SvgArcIterator::next(float& cx1, float& cy1, float& cx2, float& cy2, float& x, float& y) {
    if (m_produced >= m_pieces)
        return false;
    const float theta2 = m_theta + m_delta;
    const double cos1 = std::cos(m_theta), sin1 = std::sin(m_theta);
    const double cos2 = std::cos(theta2), sin2 = std::sin(theta2);
    const double rx = m_rx, ry = m_ry, cosPhi = m_cosPhi, sinPhi = m_sinPhi, t = m_t;

    double ex = cos2 * rx * cosPhi - sin2 * ry * sinPhi + m_cx;
    double ey = sin2 * ry * cosPhi + cos2 * rx * sinPhi + m_cy;
    if (m_produced + 1 == m_pieces) {
        // End exactly where the arc was asked to end, whatever the rounding.
        ex = m_endX;
        ey = m_endY;
    }
    cx1 = static_cast<float>(m_x + t * (-sin1 * rx * cosPhi - cos1 * ry * sinPhi));
    cy1 = static_cast<float>(m_y + t * (cos1 * ry * cosPhi - sin1 * rx * sinPhi));
    cx2 = static_cast<float>(ex + t * (sin2 * rx * cosPhi + cos2 * ry * sinPhi));
    cy2 = static_cast<float>(ey + t * (sin2 * rx * sinPhi - cos2 * ry * cosPhi));
    x = static_cast<float>(ex);
    y = static_cast<float>(ey);
    m_theta = theta2;
    m_x = x;
    m_y = y;
    ++m_produced;
    return true;
}
