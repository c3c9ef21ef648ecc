#pragma once

#include "platform/gdiplus/GdiPlus.h"

class GdiMatrix;

// An affine map with the SVG meaning of its six values:
//   x' = a*x + c*y + e,  y' = b*x + d*y + f
// A new matrix is the identity. Matrices are values: every operation that
// yields a matrix returns a new one and leaves this one unchanged.
// Angles are in radians here; the parsers and SvgTransform hold degrees.
// Overflow saturates: a value beyond the double range becomes +-infinity,
// and no operation makes a NaN unless an operand holds one.
class SvgMatrix {
public:
    SvgMatrix() = default;
    SvgMatrix(double a, double b, double c, double d, double e, double f)
        : m_a(a), m_b(b), m_c(c), m_d(d), m_e(e), m_f(f) {}
    virtual ~SvgMatrix() = default;

    virtual double getA() const { return m_a; }
    virtual void setA(double a) { m_a = a; }
    virtual double getB() const { return m_b; }
    virtual void setB(double b) { m_b = b; }
    virtual double getC() const { return m_c; }
    virtual void setC(double c) { m_c = c; }
    virtual double getD() const { return m_d; }
    virtual void setD(double d) { m_d = d; }
    virtual double getE() const { return m_e; }
    virtual void setE(double e) { m_e = e; }
    virtual double getF() const { return m_f; }
    virtual void setF(double f) { m_f = f; }

    // this x other: other's map is applied first, then this one.
    virtual SvgMatrix multiply(const SvgMatrix& other) const;
    // The identity when the determinant's magnitude is below 1e-18 (or the
    // matrix holds a NaN).
    virtual SvgMatrix inverse() const;
    virtual SvgMatrix translate(double tx, double ty) const;
    virtual SvgMatrix scale(double s) const;
    virtual SvgMatrix scaleNonUniform(double sx, double sy) const;
    virtual SvgMatrix rotate(double angle) const;
    virtual SvgMatrix rotateFromVector(double x, double y) const;
    virtual SvgMatrix flipX() const;
    virtual SvgMatrix flipY() const;
    virtual SvgMatrix skewX(double angle) const;
    virtual SvgMatrix skewY(double angle) const;

    // Writes a, b, c, d, e, f (as m11, m12, m21, m22, dx, dy), each narrowed to
    // a float, into the back-end matrix with GdipSetMatrixElements. A failing
    // status is stored in the wrapper and returned.
    virtual Gdiplus::Status toGdiMatrix(GdiMatrix& matrix) const;
    // The same on a bare handle; a failing status is also stored in *lastStatus
    // when it is given.
    Gdiplus::Status toGdiMatrix(Gdiplus::GpMatrix* matrix, Gdiplus::Status* lastStatus) const;

    // Applies the map to a point (x, y).
    void transformPoint(double x, double y, double* outX, double* outY) const;

private:
    double m_a = 1.0;
    double m_b = 0.0;
    double m_c = 0.0;
    double m_d = 1.0;
    double m_e = 0.0;
    double m_f = 0.0;
};
