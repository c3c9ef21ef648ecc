#include "style/SvgCssTransform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using SvgCssTransform::Context;

Context Box() {
    Context context;
    context.fontSize = 10;
    context.boxWidth = 200;
    context.boxHeight = 100;
    return context;
}

void ExpectNear(const SvgMatrix& m, const double (&e)[6], const char* text) {
    const double got[6] = {m.getA(), m.getB(), m.getC(), m.getD(), m.getE(), m.getF()};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(got[i], e[i], 1e-9) << text << " [" << i << "]";
}

TEST(CssTransform, FunctionsUnitsAndOrder) {
    const double h = std::sqrt(0.5);
    const struct {
        const char* text;
        double m[6];
    } rows[] = {
        {"none", {1, 0, 0, 1, 0, 0}},
        {" NONE ", {1, 0, 0, 1, 0, 0}},
        {"translate(10px, 20px)", {1, 0, 0, 1, 10, 20}},
        {"translate(1in)", {1, 0, 0, 1, 96, 0}},
        {"translate(2em, 50%)", {1, 0, 0, 1, 20, 50}}, // % of the box height
        {"translateX(10%) translateY(1ex)", {1, 0, 0, 1, 20, 5}},
        {"Scale(2, 3)", {2, 0, 0, 3, 0, 0}},
        {"scaleX(2)scaleY(3)", {2, 0, 0, 3, 0, 0}},
        {"rotate(45deg)", {h, h, -h, h, 0, 0}},
        {"rotate(0.125turn)", {h, h, -h, h, 0, 0}},
        {"rotate(50grad)", {h, h, -h, h, 0, 0}},
        {"rotate(0)", {1, 0, 0, 1, 0, 0}},
        {"skewX(45deg)", {1, 0, 1, 1, 0, 0}},
        {"skew(0, 45deg)", {1, 1, 0, 1, 0, 0}},
        {"matrix(1, 2, 3, 4, 5, 6)", {1, 2, 3, 4, 5, 6}},
        // The first function is outermost: scale, then the translation inside it.
        {"scale(2) translate(10px, 0)", {2, 0, 0, 2, 20, 0}},
        {"translate(10px, 0) scale(2)", {2, 0, 0, 2, 10, 0}},
    };
    for (const auto& row : rows) {
        SvgMatrix m;
        ASSERT_TRUE(SvgCssTransform::Parse(row.text, Box(), m)) << row.text;
        ExpectNear(m, row.m, row.text);
    }
}

TEST(CssTransform, RejectedTextLeavesTheMatrix) {
    for (const char* text :
         {"", "  ", "translate(10, 20)", "translate(10px 20px)", "rotate(45)", "rotate(1px)",
          "rotate(45deg, 10px, 10px)", "scale(2px)", "translate(1px,)", "translate(1px",
          "translate()", "matrix(1, 2, 3, 4, 5)", "spin(1deg)", "none none", "translate(1px) none",
          "translate(1px);", "translate (1px)", "rotate(1e999deg)"}) {
        SvgMatrix m(7, 7, 7, 7, 7, 7);
        EXPECT_FALSE(SvgCssTransform::Parse(text, Box(), m)) << text;
        EXPECT_EQ(m.getA(), 7) << text;
    }
}

TEST(CssTransform, OriginKeywordsLengthsAndOrder) {
    const struct {
        const char* text;
        double x, y;
    } rows[] = {
        {"center", 100, 50},
        {"left", 0, 50},
        {"top", 100, 0},
        {"right bottom", 200, 100},
        {"bottom right", 200, 100},
        {"center top", 100, 0},
        {"10px 20%", 10, 20},
        {"1em center", 10, 50},
        {"left top 5px", 0, 0},
        {"25%", 50, 50},
        {"center left", 0, 50},
    };
    for (const auto& row : rows) {
        double x = -1, y = -1;
        ASSERT_TRUE(SvgCssTransform::ParseOrigin(row.text, Box(), x, y)) << row.text;
        EXPECT_DOUBLE_EQ(x, row.x) << row.text;
        EXPECT_DOUBLE_EQ(y, row.y) << row.text;
    }
    for (const char* text : {"", "10", "10px 20px 30px 40px", "middle", "left right", "10px left",
                             "top 10px", "top bottom", "1px 2px 3%", "1px 2px top"}) {
        double x = -1, y = -1;
        EXPECT_FALSE(SvgCssTransform::ParseOrigin(text, Box(), x, y)) << text;
        EXPECT_EQ(x, -1) << text;
    }
    // Attributes may leave px out.
    EXPECT_EQ(SvgCssTransform::OriginFromAttribute("10 2.5e1 left"), "10px 2.5e1px left");
}

} // namespace
