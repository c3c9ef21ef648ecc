// Transform lists: the parser, the list operations the renderer uses, and
// degenerate transforms drawn through the whole library.
#include "SvgTestSupport.h"

#include "syntax/SvgScanner.h"
#include "syntax/SvgTransformList.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void ExpectMatrix(const SvgMatrix& m, double a, double b, double c, double d, double e, double f,
                  double tolerance = 1e-9) {
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

// Parses text into a fresh list, keeping the standard output it wrote.
struct Parsed {
    bool ok;
    SvgTransformList list;
    std::string output;
};

Parsed Parse(const char* text) {
    Parsed p;
    testing::internal::CaptureStdout();
    SvgScanner scanner;
    p.ok = scanner.readTransformList(p.list, SvgString(text));
    std::fflush(stdout);
    p.output = testing::internal::GetCapturedStdout();
    return p;
}

SvgMatrix Consolidated(const char* text) {
    return Parse(text).list.consolidate().getMatrix();
}

TEST(SvgTransformItem, DegreeFactorIsTheTenDigitPi) {
    // cos 90 degrees comes out slightly off zero.
    SvgTransform t;
    t.setRotate(90, 0, 0);
    SvgMatrix m = t.getMatrix();
    EXPECT_NEAR(m.getA(), 4.49e-11, 0.01e-11);
    EXPECT_EQ(m.getB(), 1);
    EXPECT_EQ(m.getC(), -1);
    EXPECT_NEAR(m.getD(), 4.49e-11, 0.01e-11);
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
    ExpectMatrix(Consolidated("translate(10)"), 1, 0, 0, 1, 10, 0);
    ExpectMatrix(Consolidated("translate(10, -5)"), 1, 0, 0, 1, 10, -5);
    ExpectMatrix(Consolidated("scale(2)"), 2, 0, 0, 2, 0, 0);
    ExpectMatrix(Consolidated("scale(2,3)"), 2, 0, 0, 3, 0, 0);
    SvgMatrix m = Consolidated("matrix(1 2 3 4 5 6)");
    ExpectMaps(m, 1, 0, 6, 8);
    ExpectMaps(m, 0, 1, 8, 10);
    ExpectMaps(Consolidated("rotate(90)"), 1, 0, 0, 1);
    ExpectMaps(Consolidated("rotate(90 10 10)"), 20, 10, 10, 20);
    ExpectMaps(Consolidated("rotate(90,10,10)"), 10, 10, 10, 10);
    ExpectMaps(Consolidated("skewX(45)"), 0, 1, 1, 1);
    ExpectMaps(Consolidated("skewY(45)"), 1, 0, 1, 1);
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

TEST(ReadTransformList, RotateLineKeepsFullStopInCommaLocale) {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
        GTEST_SKIP() << "no German locale installed";
    Parsed p = Parse("rotate(1.5 2.25 3)");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(p.output, "rotate: 1.500000 2.250000 3.000000\n");
    ExpectMaps(p.list.getItem(0).getMatrix(), 2.25, 3, 2.25, 3);
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
