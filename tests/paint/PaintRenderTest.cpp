// Colours with alpha, blend modes and isolation, dashes in every unit, focal
// radii, shape-rendering and paint on text, drawn into 100 x 100 documents.
// Expected colours are worked out from the CSS and SVG formulas.

#include "SvgTestSupport.h"

#include "render/SvgFigure.h"
#include "style/SvgLength.h"
#include "style/SvgStyle.h"
#include "style/SvgValueReaders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Rect(const std::string& attributes) {
    return "<rect width='100' height='100' " + attributes + "/>";
}

TEST(PaintRender, ColoursWithAlphaMultiplyTheirOpacity) {
    ExpectRows({{"alpha forms",
                 "<rect width='20' height='20' fill='rgba(255,0,0,0.5)'/>"
                 "<rect x='20' width='20' height='20' fill='#00f8' fill-opacity='0.5'/>"
                 "<rect x='40' width='20' height='20' fill='RGB(0 0 255)'/>"
                 "<rect x='60' width='20' height='20' fill='transparent' stroke='none'/>"
                 "<line y1='30' x2='100' y2='30' stroke-width='10' "
                 "stroke='hsl(120 100% 25% / 50%)'/>",
                 // 0.5 of 255 rounds to 128; 127 (fill-opacity) x 0x88 / 255 to 68.
                 {Px(10, 10, 0x80FF0000), Px(30, 10, 0x440000FF), Px(50, 10, 0xFF0000FF),
                  Px(70, 10, 0), Px(50, 30, 0x80008000)}},
                {"stops: alpha, currentColor from the gradient or above it, inherit",
                 "<defs color='blue'><linearGradient id='a'><stop stop-color='rgba(0,0,255,0.5)' "
                 "stop-opacity='0.5'/></linearGradient><linearGradient id='c' color='lime'>"
                 "<stop stop-color='currentColor'/></linearGradient><linearGradient id='i' "
                 "stop-color='red'><stop stop-color='inherit'/></linearGradient></defs>"
                 "<g color='#ff0'><linearGradient id='o'><stop stop-color='currentcolor'/>"
                 "</linearGradient></g><rect width='20' height='20' fill='url(#a)'/>"
                 "<rect x='20' width='20' height='20' fill='url(#c)'/>"
                 "<rect x='40' width='20' height='20' fill='url(#i)'/>"
                 "<rect x='60' width='20' height='20' fill='url(#o)'/>"
                 "<rect x='80' width='20' height='20' fill='#00f icc-color(p, 1)'/>",
                 {Px(10, 10, 0x400000FF), Px(30, 10, 0xFF00FF00), Px(50, 10, 0xFFFF0000),
                  Px(70, 10, 0xFFFFFF00), Px(90, 10, 0xFF0000FF)}}},
               1);
}

// Backdrop rgb(255, 128, 0), source rgb(0, 128, 255): each mode's formula.
TEST(PaintRender, BlendModesMixWithWhatLiesBelow) {
    const std::pair<const char*, uint32_t> modes[] = {
        {"normal", 0xFF0080FF},     {"multiply", 0xFF004000},   {"screen", 0xFFFFC0FF},
        {"darken", 0xFF008000},     {"lighten", 0xFFFF80FF},    {"difference", 0xFFFF00FF},
        {"exclusion", 0xFFFF80FF},  {"hard-light", 0xFF0080FF}, {"overlay", 0xFFFF8000},
        {"color-dodge", 0xFFFFFF00}};
    for (auto [mode, argb] : modes) {
        std::string body = Rect("fill='rgb(255,128,0)'") + "<rect x='10' y='10' width='50' " +
                           "height='50' fill='rgb(0,128,255)' style='mix-blend-mode:" + mode +
                           "'/>";
        SCOPED_TRACE(mode);
        ExpectPixels(Draw(body), {Px(30, 30, argb), Px(80, 80, 0xFFFF8000)}, 2);
    }
    ExpectRows(
        {{"non-separable: red in colour mode over grey keeps the grey's luminosity",
          Rect("fill='rgb(128,128,128)'") + "<rect width='50' height='50' fill='red' "
                                            "style='mix-blend-mode:color'/>",
          {Px(20, 20, 0xFFFF4A4A)}},
         {"a group blends whole; isolation and opacity keep its children's modes inside; "
          "not an attribute",
          Rect("fill='rgb(255,128,0)'") +
              "<g style='mix-blend-mode:difference'><rect width='30' height='30' fill='white'/>"
              "<rect y='10' width='30' height='10' fill='black'/></g>"
              "<g style='isolation:isolate'><rect x='40' width='30' height='30' fill='blue' "
              "style='mix-blend-mode:multiply'/></g><g opacity='0.999'><rect x='70' width='30' "
              "height='30' fill='blue' style='mix-blend-mode:multiply'/></g>"
              "<rect y='50' width='30' height='30' fill='blue' style='mix-blend-mode:multiply'/>"
              "<rect x='40' y='50' width='30' height='30' fill='white' opacity='0.5' "
              "style='mix-blend-mode:difference'/><rect x='80' y='50' width='20' height='20' "
              "fill='blue' mix-blend-mode='multiply'/>",
          {Px(15, 5, 0xFF007FFF), Px(15, 15, 0xFFFF8000), Px(55, 15, 0xFF0000FF),
           Px(85, 15, 0xFF0000FF), Px(15, 65, 0xFF000000), Px(55, 65, 0xFF808080),
           Px(90, 60, 0xFF0000FF), Px(90, 90, 0xFFFF8000)}},
         {"over nothing, a blend mode draws the source",
          "<rect width='50' height='50' fill='blue' style='mix-blend-mode:multiply'/>",
          {Px(20, 20, 0xFF0000FF)}}},
        2);
}

TEST(PaintRender, DashesInEveryUnit) {
    auto line = [](int y, const std::string& attributes) {
        return "<line x1='0' y1='" + std::to_string(y) + "' x2='100' y2='" + std::to_string(y) +
               "' stroke='black' stroke-width='4' " + attributes + "/>";
    };
    // A quarter inch is whatever a length of 0.25in is.
    SvgLength quarter;
    ASSERT_TRUE(ReadLength(quarter, "0.25in"));
    int inch = int(quarter.computed);
    ExpectRows(
        {{"em, ex, % (of the viewport's diagonal over root 2) and absolute units",
          line(10, "font-size='20' stroke-dasharray='1em'") +
              line(20, "font-size='40' stroke-dasharray='0.5ex, 1ex'") +
              line(30, "stroke-dasharray='10%'") + line(40, "stroke-dasharray='0.25in 10px'") +
              line(50, "font-size='10' stroke-dasharray='20' stroke-dashoffset='1em'") +
              line(60, "stroke-dasharray='20' stroke-dashoffset='5%'"),
          {Px(10, 10, 0xFF000000), Px(30, 10, 0), Px(50, 10, 0xFF000000), Px(5, 20, 0xFF000000),
           Px(15, 20, 0), Px(35, 20, 0xFF000000), Px(5, 30, 0xFF000000), Px(15, 30, 0),
           Px(inch - 2, 40, 0xFF000000), Px(inch + 2, 40, 0), Px(5, 50, 0xFF000000), Px(20, 50, 0),
           Px(40, 50, 0xFF000000), Px(10, 60, 0xFF000000), Px(20, 60, 0)}},
         {"em dashes are of the element that gives them; inherited ones are not recomputed",
          "<g font-size='10' stroke-dasharray='2em'>" + line(10, "font-size='40'") + "</g>",
          {Px(10, 10, 0xFF000000), Px(30, 10, 0), Px(50, 10, 0xFF000000)}},
         {"an unknown unit ends the list",
          line(10, "stroke-dasharray='10 20 5q 40'"),
          {Px(5, 10, 0xFF000000), Px(20, 10, 0), Px(35, 10, 0xFF000000)}},
         {"a rounded rectangle's dashes start where its top edge starts, after the corner",
          "<rect x='10' y='10' width='80' height='80' rx='5' fill='none' stroke='black' "
          "stroke-width='2' stroke-dasharray='7'/>",
          {Px(20, 10, 0xFF000000), Px(25, 10, 0), Px(32, 10, 0xFF000000)}}},
        1);
}

TEST(PaintRender, MiterLimitsBelowOneAreIgnored) {
    ParsedDocument doc("<g stroke-miterlimit='10'><rect id='a' stroke-miterlimit='0.5'/>"
                       "<rect id='b' style='stroke-miterlimit:1'/></g>");
    EXPECT_EQ(doc.Find("a")->GetFigure()->GetStyle()->strokeMiterlimit.value, 10.0f);
    EXPECT_EQ(doc.Find("b")->GetFigure()->GetStyle()->strokeMiterlimit.value, 1.0f);
}

TEST(PaintRender, FocalRadius) {
    // Red at the focal circle, blue at the circle: at d from the centre,
    // (d - fr) / (r - fr) of the way (29.5 at x = 79).
    std::string gradients =
        "<defs><radialGradient id='f' gradientUnits='userSpaceOnUse' cx='50' cy='50' r='40' "
        "fr='20'><stop stop-color='red'/><stop offset='1' stop-color='blue'/></radialGradient>"
        "<radialGradient id='p' href='#f' gradientUnits='objectBoundingBox' cx='0.5' cy='0.5' "
        "r='0.5' fr='25%'/><radialGradient id='n' href='#f' fr='-5'/></defs>";
    ExpectRows({{"user units",
                 gradients + Rect("fill='url(#f)'"),
                 {Px(60, 50, 0xFFFF0000), Px(79, 50, 0xFF860079), Px(50, 89, 0xFF0600F9)}},
                {"box units and percentages",
                 gradients + "<rect x='10' y='10' width='80' height='80' fill='url(#p)'/>",
                 {Px(60, 50, 0xFFFF0000), Px(79, 50, 0xFF860079)}},
                {"a negative radius is none",
                 gradients + Rect("fill='url(#n)'"),
                 {Px(70, 50, 0xFF7C0083)}}},
               3);
}

TEST(PaintRender, CrispEdgesAndOptimizeSpeedDrawWithoutAntiAliasing) {
    // Edges on half pixels: anti-aliased, the edge pixels are half covered.
    Picture picture = Draw(
        "<rect x='10.5' y='10.5' width='20' height='20' shape-rendering='crispEdges'/>"
        "<g style='shape-rendering:optimizeSpeed'><circle cx='60' cy='20' r='10.5'/>"
        "<path d='M40.5 40.5h20v20h-20z' fill='none' stroke='red' stroke-width='3'/></g>"
        "<rect x='70.5' y='70.5' width='20' height='20' shape-rendering='geometricPrecision'/>");
    int partial = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 70; ++x)
            partial += Picture::Alpha(picture.At(x, y)) % 255 != 0;
    EXPECT_EQ(partial, 0);
    EXPECT_NEAR(Picture::Alpha(picture.At(70, 80)), 128, 2);
    EXPECT_NEAR(Picture::Alpha(picture.At(80, 70)), 128, 2);
}

TEST(PaintRender, PaintOnTextUsesTheTextsBox) {
    // Two glyph runs under one red-to-blue gradient in box units: the colour
    // runs across the whole text, not across each run.
    Picture picture =
        Draw("<defs><linearGradient id='g'><stop stop-color='red'/><stop offset='1' "
             "stop-color='blue'/></linearGradient></defs><text y='60' font-family='DejaVu Sans' "
             "font-size='40' fill='url(#g)'>&#x2588;<tspan>&#x2588;</tspan></text>");
    InkBox ink = FindInk(picture);
    ASSERT_GT(ink.Width(), 30);
    int y = (ink.top + ink.bottom) / 2;
    ExpectPixels(picture, {Px(ink.left + 1, y, 0xFFFF0000), Px(ink.right - 1, y, 0xFF0000FF)}, 12);
    for (int x : {ink.left + ink.Width() / 2 - 2, ink.left + ink.Width() / 2 + 2})
        ExpectPixels(picture, {Px(x, y, 0xFF800080)}, 16);
}

} // namespace
