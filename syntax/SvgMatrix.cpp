#include "syntax/SvgMatrix.h"

#include <cfloat>
#include <cmath>

namespace {

// The formulas are written once over the arithmetic type, so that a result
// that turned undefined in double (opposite infinities from overflowing
// products) can be recomputed in the wider long double.
template <typename T> struct Six { T a, b, c, d, e, f; };

template <typename T> Six<T> widen(const SvgMatrix& m) {
    return {T(m.getA()), T(m.getB()), T(m.getC()), T(m.getD()), T(m.getE()), T(m.getF())};
}

template <typename T> Six<T> product(const Six<T>& l, const Six<T>& r) {
    return {l.a * r.a + l.c * r.b, l.b * r.a + l.d * r.b,       l.a * r.c + l.c * r.d,
            l.b * r.c + l.d * r.d, l.a * r.e + l.c * r.f + l.e, l.b * r.e + l.d * r.f + l.f};
}

template <typename T> Six<T> inverted(const Six<T>& m, T det) {
    return {m.d / det,
            -m.b / det,
            -m.c / det,
            m.a / det,
            (m.c * m.f - m.d * m.e) / det,
            (m.b * m.e - m.a * m.f) / det};
}

// long double to double without leaving the double range undefined.
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

bool allFinite(const SvgMatrix& m) {
    return std::isfinite(m.getA()) && std::isfinite(m.getB()) && std::isfinite(m.getC()) &&
           std::isfinite(m.getD()) && std::isfinite(m.getE()) && std::isfinite(m.getF());
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
    Six<double> r = product(widen<double>(*this), widen<double>(other));
    if (anyNan(r) && allFinite(*this) && allFinite(other))
        return toMatrix(product(widen<long double>(*this), widen<long double>(other)));
    return toMatrix(r);
}

SvgMatrix SvgMatrix::inverse() const {
    double det = m_a * m_d - m_b * m_c;
    if (std::isnan(det) && allFinite(*this)) {
        Six<long double> w = widen<long double>(*this);
        det = narrow(w.a * w.d - w.b * w.c);
    }
    if (std::fabs(det) < 1e-18)
        return SvgMatrix();
    Six<double> r = inverted(widen<double>(*this), det);
    if (anyNan(r) && allFinite(*this)) {
        Six<long double> w = widen<long double>(*this);
        return toMatrix(inverted(w, w.a * w.d - w.b * w.c));
    }
    return toMatrix(r);
}

SvgMatrix SvgMatrix::translate(double tx, double ty) const {
    SvgMatrix moved = multiply(SvgMatrix(1, 0, 0, 1, tx, ty));
    return SvgMatrix(m_a, m_b, m_c, m_d, moved.m_e, moved.m_f);
}

SvgMatrix SvgMatrix::scale(double s) const {
    return SvgMatrix(m_a * s, m_b * s, m_c * s, m_d * s, m_e, m_f);
}

SvgMatrix SvgMatrix::scaleNonUniform(double sx, double sy) const {
    return SvgMatrix(m_a * sx, m_b * sx, m_c * sy, m_d * sy, m_e, m_f);
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

void SvgMatrix::transformPoint(double x, double y, double* outX, double* outY) const {
    if (outX)
        *outX = m_a * x + m_c * y + m_e;
    if (outY)
        *outY = m_b * x + m_d * y + m_f;
}
