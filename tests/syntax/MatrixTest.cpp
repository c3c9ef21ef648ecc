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

TEST(SvgMatrixAlgebra, Skews) {
    const double eighth = std::acos(-1.0) / 4;
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
}

TEST(SvgMatrixAlgebra, InfinitiesFromOverflowSaturate) {
    const double inf = HUGE_VAL;
    SvgMatrix overflowed(inf, 0, 0, inf, 0, 0);
    EXPECT_FALSE(AnyNan(overflowed.multiply(SvgMatrix(0, 0, 0, 0, 0, 0))));
    EXPECT_FALSE(AnyNan(overflowed.multiply(SvgMatrix(1, -1, 1, 1, 3, 4))));
    EXPECT_FALSE(AnyNan(SvgMatrix(0, 0, 0, 0, 0, 0).multiply(overflowed)));
    EXPECT_FALSE(AnyNan(overflowed.skewX(0)));
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
