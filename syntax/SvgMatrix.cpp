#include "syntax/SvgMatrix.h"

#include "engine/GdiMatrix.h"

#include <cfloat>
#include <cmath>

namespace {

// The formulas are written once over the arithmetic type. When a result in
// double turns NaN although no operand is NaN (opposite infinities, or an
// infinity times zero, after an overflow), it is recomputed in long double
// with infinities taken as the largest finite double: overflow saturates and
// never makes a value undefined.
template <typename T> struct Six { T a, b, c, d, e, f; };

Six<double> values(const SvgMatrix& m) {
    return {m.getA(), m.getB(), m.getC(), m.getD(), m.getE(), m.getF()};
}

long double saturate(double v) {
    if (v == HUGE_VAL)
        return DBL_MAX;
    if (v == -HUGE_VAL)
        return -DBL_MAX;
    return v;
}

Six<long double> saturated(const SvgMatrix& m) {
    return {saturate(m.getA()), saturate(m.getB()), saturate(m.getC()),
            saturate(m.getD()), saturate(m.getE()), saturate(m.getF())};
}

template <typename T> Six<T> product(const Six<T>& l, const Six<T>& r) {
    return {l.a * r.a + l.c * r.b, l.b * r.a + l.d * r.b,       l.a * r.c + l.c * r.d,
            l.b * r.c + l.d * r.d, l.a * r.e + l.c * r.f + l.e, l.b * r.e + l.d * r.f + l.f};
}

template <typename T> T determinant(const Six<T>& m) {
    return m.a * m.d - m.b * m.c;
}

template <typename T> Six<T> inverted(const Six<T>& m, T det) {
    return {m.d / det,
            -m.b / det,
            -m.c / det,
            m.a / det,
            (m.c * m.f - m.d * m.e) / det,
            (m.b * m.e - m.a * m.f) / det};
}

// long double to double; beyond the double range becomes an infinity
// explicitly (the plain conversion is undefined there).
double narrow(long double v) {
    if (v > static_cast<long double>(DBL_MAX))
        return HUGE_VAL;
    if (v < -static_cast<long double>(DBL_MAX))
        return -HUGE_VAL;
    return static_cast<double>(v);
}

SvgMatrix toMatrix(const Six<double>& s) {
    return SvgMatrix(s.a, s.b, s.c, s.d, s.e, s.f);
}

SvgMatrix toMatrix(const Six<long double>& s) {
    return SvgMatrix(narrow(s.a), narrow(s.b), narrow(s.c), narrow(s.d), narrow(s.e), narrow(s.f));
}

bool anyNan(const Six<double>& s) {
    return std::isnan(s.a) || std::isnan(s.b) || std::isnan(s.c) || std::isnan(s.d) ||
           std::isnan(s.e) || std::isnan(s.f);
}

// x times s, where an infinity times zero (an overflowed value scaled to
// nothing) is zero rather than NaN.
double times(double x, double s) {
    double r = x * s;
    if (std::isnan(r) && !std::isnan(x) && !std::isnan(s))
        return 0.0;
    return r;
}

// Double to float for the back end: out-of-range values become infinities
// explicitly (the plain conversion is undefined for them).
Gdiplus::REAL toReal(double v) {
    if (v > FLT_MAX)
        return HUGE_VALF;
    if (v < -FLT_MAX)
        return -HUGE_VALF;
    return static_cast<Gdiplus::REAL>(v);
}

} // namespace

SvgMatrix SvgMatrix::multiply(const SvgMatrix& other) const {
    Six<double> l = values(*this), r = values(other);
    Six<double> p = product(l, r);
    if (anyNan(p) && !anyNan(l) && !anyNan(r))
        return toMatrix(product(saturated(*this), saturated(other)));
    return toMatrix(p);
}

SvgMatrix SvgMatrix::inverse() const {
    Six<double> m = values(*this);
    if (anyNan(m))
        return SvgMatrix();
    double det = determinant(m);
    if (!std::isnan(det) && std::fabs(det) < 1e-18)
        return SvgMatrix();
    if (!std::isnan(det)) {
        Six<double> r = inverted(m, det);
        if (!anyNan(r))
            return toMatrix(r);
    }
    Six<long double> w = saturated(*this);
    long double wideDet = determinant(w);
    if (std::fabs(wideDet) < 1e-18L)
        return SvgMatrix();
    return toMatrix(inverted(w, wideDet));
}

SvgMatrix SvgMatrix::translate(double tx, double ty) const {
    SvgMatrix moved = multiply(SvgMatrix(1, 0, 0, 1, tx, ty));
    return SvgMatrix(m_a, m_b, m_c, m_d, moved.m_e, moved.m_f);
}

SvgMatrix SvgMatrix::scale(double s) const {
    return SvgMatrix(times(m_a, s), times(m_b, s), times(m_c, s), times(m_d, s), m_e, m_f);
}

SvgMatrix SvgMatrix::scaleNonUniform(double sx, double sy) const {
    return SvgMatrix(times(m_a, sx), times(m_b, sx), times(m_c, sy), times(m_d, sy), m_e, m_f);
}

SvgMatrix SvgMatrix::rotate(double angle) const {
    double cs = std::cos(angle);
    double sn = std::sin(angle);
    return multiply(SvgMatrix(cs, sn, -sn, cs, 0, 0));
}

SvgMatrix SvgMatrix::rotateFromVector(double x, double y) const {
    return rotate(std::atan2(y, x));
}

SvgMatrix SvgMatrix::flipX() const {
    return SvgMatrix(-m_a, -m_b, m_c, m_d, m_e, m_f);
}

SvgMatrix SvgMatrix::flipY() const {
    return SvgMatrix(m_a, m_b, -m_c, -m_d, m_e, m_f);
}

SvgMatrix SvgMatrix::skewX(double angle) const {
    return multiply(SvgMatrix(1, 0, std::tan(angle), 1, 0, 0));
}

SvgMatrix SvgMatrix::skewY(double angle) const {
    return multiply(SvgMatrix(1, std::tan(angle), 0, 1, 0, 0));
}

Gdiplus::Status SvgMatrix::toGdiMatrix(Gdiplus::GpMatrix* matrix,
                                       Gdiplus::Status* lastStatus) const {
    Gdiplus::Status status = Gdiplus::GdipSetMatrixElements(
        matrix, toReal(m_a), toReal(m_b), toReal(m_c), toReal(m_d), toReal(m_e), toReal(m_f));
    if (status != Gdiplus::Ok && lastStatus)
        *lastStatus = status;
    return status;
}

Gdiplus::Status SvgMatrix::toGdiMatrix(GdiMatrix& matrix) const {
    return toGdiMatrix(matrix.handle, &matrix.status);
}

void SvgMatrix::transformPoint(double x, double y, double* outX, double* outY) const {
    if (outX)
        *outX = m_a * x + m_c * y + m_e;
    if (outY)
        *outY = m_b * x + m_d * y + m_f;
}
