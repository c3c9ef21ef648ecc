#include "engine/GdiMatrix.h"
#include "syntax/SvgMatrix.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectMatrix(const SvgMatrix& m, double a, double b, double c, double d, double e, double f,
                  double tolerance = 1e-12) {
    EXPECT_NEAR(m.getA(), a, tolerance);
    EXPECT_NEAR(m.getB(), b, tolerance);
    EXPECT_NEAR(m.getC(), c, tolerance);
    EXPECT_NEAR(m.getD(), d, tolerance);
    EXPECT_NEAR(m.getE(), e, tolerance);
    EXPECT_NEAR(m.getF(), f, tolerance);
}

bool AnyNan(const SvgMatrix& m) {
    return std::isnan(m.getA()) || std::isnan(m.getB()) || std::isnan(m.getC()) ||
           std::isnan(m.getD()) || std::isnan(m.getE()) || std::isnan(m.getF());
}

TEST(SvgMatrixAlgebra, MultiplyAppliesTheRightOperandFirst) {
    SvgMatrix scale(2, 0, 0, 2, 0, 0);
    SvgMatrix move(1, 0, 0, 1, 5, 0);
    double x, y;
    scale.multiply(move).transformPoint(1, 0, &x, &y); // moved, then scaled
    EXPECT_DOUBLE_EQ(x, 12);
    move.multiply(scale).transformPoint(1, 0, &x, &y); // scaled, then moved
    EXPECT_DOUBLE_EQ(x, 7);

    SvgMatrix l(1, 2, 3, 4, 5, 6), r(7, 8, 9, 10, 11, 12);
    ExpectMatrix(l.multiply(r), 31, 46, 39, 58, 52, 76, 0);
    ExpectMatrix(l, 1, 2, 3, 4, 5, 6, 0); // operands untouched
    ExpectMatrix(r, 7, 8, 9, 10, 11, 12, 0);
}

TEST(SvgMatrixAlgebra, InverseUndoesTheMap) {
    SvgMatrix m(1, 2, 3, 4, 5, 6);
    SvgMatrix inv = m.inverse();
    ExpectMatrix(inv, -2, 1, 1.5, -0.5, 1, -2);
    ExpectMatrix(m.multiply(inv), 1, 0, 0, 1, 0, 0);
    ExpectMatrix(inv.multiply(m), 1, 0, 0, 1, 0, 0);
}

TEST(SvgMatrixAlgebra, InverseOfSingularMatrixIsIdentity) {
    ExpectMatrix(SvgMatrix(0, 0, 0, 0, 0, 0).inverse(), 1, 0, 0, 1, 0, 0, 0);
    ExpectMatrix(SvgMatrix(1, 2, 2, 4, 7, 8).inverse(), 1, 0, 0, 1, 0, 0, 0);
    // A determinant just below 1e-18 counts as singular; just above it does not.
    ExpectMatrix(SvgMatrix(1e-9, 0, 0, 0.9e-9, 0, 0).inverse(), 1, 0, 0, 1, 0, 0, 0);
    EXPECT_NEAR(SvgMatrix(1e-9, 0, 0, 2e-9, 0, 0).inverse().getA(), 1e9, 1);
}

TEST(SvgMatrixAlgebra, ElementaryOperations) {
    SvgMatrix m(1, 2, 3, 4, 5, 6);
    ExpectMatrix(m.translate(10, 20), 1, 2, 3, 4, 75, 106);
    ExpectMatrix(m.scale(2), 2, 4, 6, 8, 5, 6);
    ExpectMatrix(m.scaleNonUniform(2, 3), 2, 4, 9, 12, 5, 6);
    ExpectMatrix(m.flipX(), -1, -2, 3, 4, 5, 6);
    ExpectMatrix(m.flipY(), 1, 2, -3, -4, 5, 6);
    ExpectMatrix(m, 1, 2, 3, 4, 5, 6, 0);
}

TEST(SvgMatrixAlgebra, RotationsAndSkews) {
    const double quarter = std::acos(-1.0) / 2;
    double x, y;
    SvgMatrix().rotate(quarter).transformPoint(1, 0, &x, &y);
    EXPECT_NEAR(x, 0, 1e-12);
    EXPECT_NEAR(y, 1, 1e-12); // x axis turns towards y
    ExpectMatrix(SvgMatrix().rotateFromVector(0, 5), 0, 1, -1, 0, 0, 0);
    ExpectMatrix(SvgMatrix().rotateFromVector(0, 0), 1, 0, 0, 1, 0, 0);
    ExpectMatrix(SvgMatrix(1, 0, 0, 1, 7, 8).rotate(quarter), 0, 1, -1, 0, 7, 8);

    const double eighth = quarter / 2;
    ExpectMatrix(SvgMatrix().skewX(eighth), 1, 0, 1, 1, 0, 0);
    ExpectMatrix(SvgMatrix().skewY(eighth), 1, 1, 0, 1, 0, 0);
    ExpectMatrix(SvgMatrix(2, 0, 0, 3, 0, 0).skewX(eighth), 2, 0, 2, 3, 0, 0);
}

TEST(SvgMatrixAlgebra, OverflowNeverGivesUndefinedValues) {
    // Opposite infinite products would make a NaN in plain double arithmetic.
    SvgMatrix l(1e200, 0, 1e200, 1, 0, 0), r(1e200, -1e200, 0, 1, 0, 0);
    SvgMatrix p = l.multiply(r);
    EXPECT_FALSE(AnyNan(p));
    EXPECT_EQ(p.getA(), 0.0);

    SvgMatrix big = SvgMatrix(1e200, 0, 0, 1e200, 0, 0).multiply(SvgMatrix(1e200, 0, 0, 1, 0, 0));
    EXPECT_FALSE(AnyNan(big));
    EXPECT_TRUE(std::isinf(big.getA()));

    // The determinant overflows; the inverse is still well defined.
    SvgMatrix inv = SvgMatrix(1e200, 0, 0, 1e200, 1e300, 1e300).inverse();
    EXPECT_FALSE(AnyNan(inv));
    EXPECT_NEAR(inv.getA(), 1e-200, 1e-210);
    EXPECT_NEAR(inv.getE(), -1e100, 1e90);

    SvgMatrix moved = SvgMatrix(1e300, 0, -1e300, 1, 0, 0).translate(1e300, 1e300);
    EXPECT_FALSE(AnyNan(moved));
}

TEST(SvgMatrixAlgebra, InfinitiesFromOverflowSaturate) {
    const double inf = HUGE_VAL;
    SvgMatrix overflowed(inf, 0, 0, inf, 0, 0);
    EXPECT_FALSE(AnyNan(overflowed.multiply(SvgMatrix(0, 0, 0, 0, 0, 0))));
    EXPECT_FALSE(AnyNan(overflowed.multiply(SvgMatrix(1, -1, 1, 1, 3, 4))));
    EXPECT_FALSE(AnyNan(overflowed.scale(0)));
    EXPECT_FALSE(AnyNan(overflowed.scaleNonUniform(0, 2)));
    EXPECT_FALSE(AnyNan(overflowed.skewX(0)));
    EXPECT_FALSE(AnyNan(overflowed.rotate(1)));
    EXPECT_FALSE(AnyNan(overflowed.translate(0, 5)));
    EXPECT_FALSE(AnyNan(overflowed.inverse()));
    EXPECT_FALSE(AnyNan(SvgMatrix(inf, inf, inf, inf, 0, 0).inverse()));
    // A NaN operand is the one way to get a NaN back; its inverse is the identity.
    const double nan = std::nan("");
    ExpectMatrix(SvgMatrix(nan, 0, 0, 1, 0, 0).inverse(), 1, 0, 0, 1, 0, 0, 0);
}

TEST(SvgMatrixBackEnd, WritesTheSixValuesInGdiOrder) {
    GdiMatrix* matrix = GdiMatrix::Create();
    ASSERT_NE(matrix, nullptr);
    EXPECT_EQ(SvgMatrix(1, 2, 3, 4, 5, 6).toGdiMatrix(*matrix), Gdiplus::Ok);
    Gdiplus::REAL e[6] = {};
    ASSERT_EQ(Gdiplus::GdipGetMatrixElements(matrix->handle, e), Gdiplus::Ok);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(e[i], i + 1) << i;
    EXPECT_EQ(matrix->status, Gdiplus::Ok);
    delete matrix;
}

TEST(SvgMatrixBackEnd, ValuesBeyondFloatRangeReachTheBackEndAsInfinities) {
    GdiMatrix* matrix = GdiMatrix::Create();
    ASSERT_NE(matrix, nullptr);
    // The back end either refuses the matrix (and the wrapper records it) or
    // holds an infinity: never a silently clipped finite value.
    Gdiplus::Status status = SvgMatrix(1e39, 0, 0, 1e39, 0, 0).toGdiMatrix(*matrix);
    Gdiplus::REAL e[6] = {};
    ASSERT_EQ(Gdiplus::GdipGetMatrixElements(matrix->handle, e), Gdiplus::Ok);
    if (status == Gdiplus::Ok) {
        EXPECT_TRUE(std::isinf(e[0]));
    } else {
        EXPECT_EQ(matrix->status, status);
        EXPECT_FALSE(e[0] > 1e38f && !std::isinf(e[0]));
    }
    delete matrix;
}

} // namespace
