// Matrices and transform lists: the algebra, the parser, the list operations the
// renderer uses, and degenerate transforms drawn through the whole library.
#include "SvgTestSupport.h"

#include "engine/GdiMatrix.h"
#include "syntax/SvgMatrix.h"
#include "syntax/SvgRotationReport.h"
#include "syntax/SvgScanner.h"
#include "syntax/SvgTransformList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

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

void ExpectMaps(const SvgMatrix& m, double x, double y, double toX, double toY) {
    double ox, oy;
    m.transformPoint(x, y, &ox, &oy);
    EXPECT_NEAR(ox, toX, 1e-9) << "x of (" << x << ", " << y << ")";
    EXPECT_NEAR(oy, toY, 1e-9) << "y of (" << x << ", " << y << ")";
}

bool AnyNan(const SvgMatrix& m) {
    return std::isnan(m.getA()) || std::isnan(m.getB()) || std::isnan(m.getC()) ||
           std::isnan(m.getD()) || std::isnan(m.getE()) || std::isnan(m.getF());
}

TEST(SvgMatrixAlgebra, MultiplyAppliesTheRightOperandFirstAndSkews) {
    SvgMatrix scale(2, 0, 0, 2, 0, 0), move(1, 0, 0, 1, 5, 0);
    ExpectMaps(scale.multiply(move), 1, 0, 12, 0); // moved, then scaled
    ExpectMaps(move.multiply(scale), 1, 0, 7, 0);  // scaled, then moved
    SvgMatrix l(1, 2, 3, 4, 5, 6), r(7, 8, 9, 10, 11, 12);
    ExpectMatrix(l.multiply(r), 31, 46, 39, 58, 52, 76, 0);
    ExpectMatrix(l, 1, 2, 3, 4, 5, 6, 0); // operands untouched
    ExpectMatrix(r, 7, 8, 9, 10, 11, 12, 0);
    const double eighth = std::acos(-1.0) / 4;
    ExpectMatrix(SvgMatrix().skewX(eighth), 1, 0, 1, 1, 0, 0);
    ExpectMatrix(SvgMatrix().skewY(eighth), 1, 1, 0, 1, 0, 0);
    ExpectMatrix(SvgMatrix(2, 0, 0, 3, 0, 0).skewX(eighth), 2, 0, 2, 3, 0, 0);
}

TEST(SvgMatrixAlgebra, OverflowNeverGivesUndefinedValues) {
    // Opposite infinite products would make a NaN in plain double arithmetic.
    const double inf = HUGE_VAL;
    const SvgMatrix zero(0, 0, 0, 0, 0, 0), overflowed(inf, 0, 0, inf, 0, 0);
    const SvgMatrix products[] = {
        SvgMatrix(1e200, 0, 1e200, 1, 0, 0).multiply(SvgMatrix(1e200, -1e200, 0, 1, 0, 0)),
        SvgMatrix(1e200, 0, 0, 1e200, 0, 0).multiply(SvgMatrix(1e200, 0, 0, 1, 0, 0)),
        overflowed.multiply(zero),
        overflowed.multiply(SvgMatrix(1, -1, 1, 1, 3, 4)),
        zero.multiply(overflowed),
        overflowed.skewX(0)};
    for (const SvgMatrix& m : products)
        EXPECT_FALSE(AnyNan(m));
    EXPECT_EQ(products[0].getA(), 0.0);
    EXPECT_TRUE(std::isinf(products[1].getA()));
}

TEST(SvgMatrixBackEnd, SixValuesInGdiOrderAndBeyondFloatRangeAsInfinities) {
    GdiMatrix* matrix = GdiMatrix::Create();
    ASSERT_NE(matrix, nullptr);
    EXPECT_EQ(SvgMatrix(1, 2, 3, 4, 5, 6).toGdiMatrix(*matrix), Gdiplus::Ok);
    Gdiplus::REAL e[6] = {};
    ASSERT_EQ(Gdiplus::GdipGetMatrixElements(matrix->handle, e), Gdiplus::Ok);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(e[i], i + 1) << i;
    EXPECT_EQ(matrix->status, Gdiplus::Ok);
    // The back end either refuses the matrix (and the wrapper records it) or
    // holds an infinity: never a silently clipped finite value.
    Gdiplus::Status status = SvgMatrix(1e39, 0, 0, 1e39, 0, 0).toGdiMatrix(*matrix);
    ASSERT_EQ(Gdiplus::GdipGetMatrixElements(matrix->handle, e), Gdiplus::Ok);
    if (status == Gdiplus::Ok) {
        EXPECT_TRUE(std::isinf(e[0]));
    } else {
        EXPECT_EQ(matrix->status, status);
        EXPECT_FALSE(e[0] > 1e38f && !std::isinf(e[0]));
    }
    delete matrix;
}

// Parses text into a fresh list, keeping the rotate lines it reported and
// checking that nothing went to standard output.
struct Parsed {
    bool ok;
    SvgTransformList list;
    std::string output;
};

Parsed Parse(const char* text) {
    Parsed p;
    std::vector<std::string> lines;
    testing::internal::CaptureStdout();
    {
        SvgRotationScope scope(&SvgRotationScope::Collect, &lines);
        SvgScanner scanner;
        p.ok = scanner.readTransformList(p.list, SvgString(text));
    }
    SvgTransformList silent;
    SvgScanner().readTransformList(silent, SvgString(text)); // no callback: reported nowhere
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    for (const std::string& line : lines)
        p.output += line;
    return p;
}

SvgMatrix Consolidated(const char* text) {
    return Parse(text).list.consolidate().getMatrix();
}

TEST(SvgTransformListDom, IndicesPastTheEndChangeNothing) {
    SvgTransformList list;
    SvgTransform a;
    a.setTranslate(1, 2);
    list.appendItem(a);
    for (unsigned index : {1u, 2u, 0xFFFFFFFFu}) {
        EXPECT_EQ(list.getItem(index).getType(), SVG_TRANSFORM_UNKNOWN);
        EXPECT_EQ(list.replaceItem(SvgTransform(), index).getType(), SVG_TRANSFORM_UNKNOWN);
        EXPECT_EQ(list.removeItem(index).getType(), SVG_TRANSFORM_UNKNOWN);
    }
    ASSERT_EQ(list.numberOfItems(), 1u);
    ExpectMatrix(list.getItem(0).getMatrix(), 1, 0, 0, 1, 1, 2, 0);
}

TEST(SvgTransformListDom, ConsolidateMakesTheFirstItemOutermost) {
    SvgTransformList list;
    SvgTransform move, turn;
    move.setTranslate(10, 0);
    turn.setRotate(90, 0, 0);
    list.appendItem(move);
    list.appendItem(turn);
    SvgTransform one = list.consolidate();
    EXPECT_EQ(one.getType(), SVG_TRANSFORM_MATRIX);
    EXPECT_EQ(one.getAngle(), 0);
    ASSERT_EQ(list.numberOfItems(), 1u);
    ExpectMaps(one.getMatrix(), 1, 0, 10, 1);
    ExpectMaps(list.getItem(0).getMatrix(), 1, 0, 10, 1);

    SvgTransformList empty;
    ExpectMatrix(empty.consolidate().getMatrix(), 1, 0, 0, 1, 0, 0, 0);
    EXPECT_EQ(empty.numberOfItems(), 1u);
}

TEST(ReadTransformList, EachFunction) {
    // Where each function takes two points.
    const struct {
        const char* text;
        double x0, y0, x1, y1;
    } rows[] = {{"translate(10)", 10, 0, 11, 1},
                {"translate(10, -5)", 10, -5, 11, -4},
                {"scale(2)", 0, 0, 2, 2},
                {"scale(2,3)", 0, 0, 2, 3},
                {"matrix(1 2 3 4 5 6)", 5, 6, 9, 12},
                {"rotate(90)", 0, 0, -1, 1},
                {"rotate(90 10 10)", 20, 0, 19, 1},
                {"rotate(90,10,10)", 20, 0, 19, 1},
                {"skewX(45)", 0, 0, 2, 1},
                {"skewY(45)", 0, 0, 1, 2}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        ExpectMaps(Consolidated(row.text), 0, 0, row.x0, row.y0);
        ExpectMaps(Consolidated(row.text), 1, 1, row.x1, row.y1);
    }
}

TEST(ReadTransformList, SeparatorsAndComments) {
    for (const char* text :
         {"scale(2)translate(5)", "scale(2), translate(5)", " scale( 2 ) ,translate( 5 , 0 ) ",
          "scale(2)/* c */translate(5)", "<!-- a -->scale(/* two */2) translate(5 /**/ 0)"}) {
        Parsed p = Parse(text);
        EXPECT_TRUE(p.ok) << text;
        EXPECT_EQ(p.list.numberOfItems(), 2u) << text;
        ExpectMaps(p.list.consolidate().getMatrix(), 1, 0, 12, 0);
    }
    EXPECT_TRUE(Parse("matrix(1,0,0,1,5,6,)").ok);
    EXPECT_EQ(Parse("matrix(1,0,0,1,5,6,)").list.numberOfItems(), 1u);

    for (const char* text : {"", "   ", "\t\n"}) {
        Parsed p = Parse(text);
        EXPECT_TRUE(p.ok);
        EXPECT_EQ(p.list.numberOfItems(), 0u);
    }
}

TEST(ReadTransformList, MalformedFunctionsKeepWhatCameBefore) {
    struct Case {
        const char* text;
        bool ok;
        unsigned items;
    };
    const Case cases[] = {
        {"translate(10) scale(", false, 1}, // the rest is ignored
        {"rotate(45 10)", false, 0},        // a centre needs both coordinates
        {"matrix(1 0 0 1 5)", false, 0},
        {"matrix(1 0 0 1 5 6 7)", false, 0},
        {"matrix(", false, 0},
        {"matrix 1 0 0 1 5 6", false, 0},
        {"translate()", false, 0},
        {"translate(1 2 3)", false, 0},
        {"scale(2", false, 0},
        {"skewX(10 20)", false, 0},
        {"skewY()", false, 0},
        {"rotate(10 /* never closed", false, 0},
        {"skewZ(3) scale(2)", true, 0}, // unknown name, then a parenthesis
        {"foo scale(2)", true, 1},      // a bare unknown word is passed over
        {"Scale(2)", true, 0},          // case-sensitive
        {"scale(2) /* never closed", true, 1},
        {"scale(2),,scale(3)", true, 1}, // at most one comma between functions
        {"scale(1e999)", false, 0},      // overflow is no number
        {"translate(0x10)", false, 0},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(c.text);
        EXPECT_EQ(p.ok, c.ok) << c.text;
        EXPECT_EQ(p.list.numberOfItems(), c.items) << c.text;
    }
    ExpectMatrix(Consolidated("translate(10) scale("), 1, 0, 0, 1, 10, 0);
}

TEST(ReadTransformList, AppendsToWhatTheListHolds) {
    SvgTransformList list;
    SvgScanner scanner;
    EXPECT_TRUE(scanner.readTransformList(list, SvgString("scale(2)")));
    EXPECT_TRUE(scanner.readTransformList(list, SvgString("translate(5)")));
    EXPECT_EQ(list.numberOfItems(), 2u);
}

TEST(ReadTransformList, RotateWritesOneLineEach) {
    EXPECT_EQ(Parse("rotate(90)").output, "rotate: 90.000000 0.000000 0.000000\n");
    EXPECT_EQ(Parse("rotate(-12.5 3 4) scale(2) rotate(1e2)").output,
              "rotate: -12.500000 3.000000 4.000000\nrotate: 100.000000 0.000000 0.000000\n");
    EXPECT_EQ(Parse("rotate(45 10)").output, ""); // failed functions write nothing
    EXPECT_EQ(Parse("scale(2)").output, "");
}

TEST(ReadTransformList, DegenerateTransformsStayDefined) {
    for (const char* text :
         {"scale(0)", "matrix(0 0 0 0 0 0)", "scale(1e39)", "scale(1e300) scale(1e300)",
          "rotate(1e300 1e300 1e300)", "skewX(90) skewY(-90)",
          "scale(1e200 -1e200) matrix(1e200 1e200 1e200 1e200 0 0)"}) {
        SvgMatrix m = Consolidated(text);
        for (double v : {m.getA(), m.getB(), m.getC(), m.getD(), m.getE(), m.getF()})
            EXPECT_FALSE(std::isnan(v)) << text;
    }
}

TEST(TransformRendering, DegenerateTransformLeavesSiblingsAlone) {
    const char* transforms[] = {"scale(0)", "matrix(0 0 0 0 0 0)", "scale(1e39)",
                                "scale(1e300) scale(1e300)",
                                "scale(1e200 -1e200) matrix(1e200 1e200 1e200 1e200 0 0)"};
    for (const char* transform : transforms) {
        std::string body =
            "<rect x=\"0\" y=\"0\" width=\"10\" height=\"20\" fill=\"#0000ff\"/>"
            "<g transform=\"" +
            std::string(transform) +
            "\"><rect width=\"20\" height=\"20\" fill=\"red\"/>"
            "<rect transform=\"translate(1 1)\" width=\"5\" height=\"5\" fill=\"red\"/></g>"
            "<g transform=\"translate(10 0)\"><rect width=\"10\" height=\"20\" fill=\"lime\"/></g>";
        std::vector<uint32_t> pixels = Draw(body, 20, 20).pixels;
        EXPECT_EQ(pixels[10 * 20 + 5], 0xFF0000FFu) << transform;  // drawn before
        EXPECT_EQ(pixels[10 * 20 + 15], 0xFF00FF00u) << transform; // drawn after
        for (uint32_t p : pixels)
            if (p == 0xFFFF0000u) {
                ADD_FAILURE() << transform << " drew its shape";
                break;
            }
    }
}

} // namespace
