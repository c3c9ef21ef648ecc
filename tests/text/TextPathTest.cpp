// Text on paths, on shifted and aligned baselines, and written top to bottom.
// Expected places come from the path's geometry and the font's own advances
// and metrics, read here through HarfBuzz.

#include "FontMetrics.h"
#include "SvgTestSupport.h"

#include "document/SvgPositionGlyphElement.h"
#include "render/SvgPositionGlyphFigure.h"
#include "render/SvgTextFigure.h"

#include <hb-ot.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const std::string kSans = "font-family='DejaVu Sans' font-size='20' ";
const std::string kCjk = "font-family='WenQuanYi Micro Hei' font-size='20' ";

// Where each glyph of the character data of the text at path was put.
std::vector<std::pair<double, double>> Glyphs(ParsedDocument& svg,
                                              std::initializer_list<size_t> path) {
    std::vector<std::pair<double, double>> places;
    for (SvgElement* child : svg.At(path)->GetChildren()) {
        if (auto* glyph = dynamic_cast<SvgPositionGlyphElement*>(child))
            places.emplace_back(glyph->GetGlyphFigure()->x, glyph->GetGlyphFigure()->y);
    }
    return places;
}

void ExpectRunAt(ParsedDocument& svg, std::initializer_list<size_t> path, double x, double y,
                 double tolerance = 1e-3) {
    SvgTextFigure* run = svg.FigureAt<SvgTextFigure>(path);
    ASSERT_NE(run, nullptr);
    EXPECT_NEAR(run->x, x, tolerance);
    EXPECT_NEAR(run->y, y, tolerance);
}

} // namespace

TEST(TextOnPath, GlyphsFollowThePath) {
    FontMetrics sans("DejaVu Sans");
    double kernedA = sans.Advance("AB", 20) - sans.Advance("B", 20), r = std::sqrt(0.5);
    // Along a diagonal from 10 units in: each glyph starts its advance's
    // half before the point its middle is on; what follows the path goes on
    // from where the path's text ended.
    ParsedDocument svg("<path id='p' d='M10,10 L110,110'/><text " + kSans +
                           "><textPath href='#p' startOffset='10'>A<tspan>B</tspan></textPath>C"
                           "</text><text " +
                           kSans + "><textPath href='#later'>A</textPath></text><text " + kSans +
                           "><textPath path='M10,50 L110,50' startOffset='50%' "
                           "text-anchor='middle'>HH</textPath></text><path id='later' "
                           "d='M20,10 L20,110'/>",
                       200, 200);
    ExpectRunAt(svg, {1, 0}, 10 + 10 * r, 10 + 10 * r);
    ExpectRunAt(svg, {1, 0, 0}, 10 + (10 + kernedA) * r, 10 + (10 + kernedA) * r);
    double end = 10 + sans.Advance("AB", 20);
    ASSERT_EQ(Glyphs(svg, {1}).size(), 1u);
    EXPECT_NEAR(Glyphs(svg, {1})[0].first, 10 + end * r, 1e-3);
    EXPECT_NEAR(Glyphs(svg, {1})[0].second, 10 + end * r, 1e-3);
    // A path named before it is loaded; the path attribute, anchored.
    ExpectRunAt(svg, {2, 0}, 20, 10);
    ExpectRunAt(svg, {3, 0}, 60 - sans.Advance("HH", 20) / 2, 50);

    double h = sans.Advance("H", 20);
    // On a half circle of radius 40, a glyph centred a quarter round sits
    // on the top, level.
    ParsedDocument arc("<path id='p' d='M10,50 A40,40 0 0 1 90,50'/><text " + kSans +
                           "><textPath href='#p' startOffset='" +
                           std::to_string(std::acos(-1.0) * 20 - h / 2) + "'>H</textPath></text>",
                       100, 100);
    ExpectRunAt(arc, {1, 0}, 50 - h / 2, 10, 0.1);

    // Glyphs whose middle is past the end are left out; on the right side the
    // path is walked backwards, the glyphs upside down below it.
    InkBox cut = FindInk(Draw("<path id='p' d='M10,50 L30,50'/><text " + kSans +
                              "><textPath href='#p'>HHHH</textPath></text>"));
    EXPECT_FALSE(cut.Empty());
    EXPECT_LT(cut.right, 10 + h + 1);
    InkBox right =
        FindInk(Draw("<path id='p' d='M10,50 L110,50'/><text " + kSans +
                         "><textPath href='#p' side='right' startOffset='10'>H</textPath>"
                         "</text>",
                     120, 100));
    EXPECT_GE(right.top, 49);
    EXPECT_LE(right.right, 101);
    EXPECT_GE(right.left, 100 - h - 1);
    // No path, or a path on a path: nothing drawn.
    EXPECT_TRUE(
        FindInk(Draw("<text " + kSans + "><textPath href='#none'>H</textPath></text>")).Empty());
}

TEST(TextBaselines, ShiftsAndAlignmentFromTheFont) {
    FontMetrics sans("DejaVu Sans");
    double ascent = sans.Metric(HB_OT_METRICS_TAG_HORIZONTAL_ASCENDER, 20);
    double descent = sans.Metric(HB_OT_METRICS_TAG_HORIZONTAL_DESCENDER, 20);
    double xHeight = sans.Metric(HB_OT_METRICS_TAG_X_HEIGHT, 20);
    double super = sans.Metric(HB_OT_METRICS_TAG_SUPERSCRIPT_EM_Y_OFFSET, 20);
    double sub = sans.Metric(HB_OT_METRICS_TAG_SUBSCRIPT_EM_Y_OFFSET, 20);
    ASSERT_GT(super, 0);
    ASSERT_GT(sub, 0);
    ParsedDocument svg(
        "<text x='10' y='50' " + kSans +
            ">a<tspan dominant-baseline='central'>b</tspan><tspan "
            "alignment-baseline='hanging'>c</tspan><tspan dominant-baseline='middle'>d</tspan>"
            "<tspan style='dominant-baseline: text-before-edge'>e</tspan><tspan "
            "baseline-shift='10'>f<tspan baseline-shift='50%'>g</tspan></tspan><tspan "
            "baseline-shift='super'>h</tspan><tspan baseline-shift='sub'>i</tspan></text>",
        200, 100);
    EXPECT_NEAR(Glyphs(svg, {0})[0].second, 50, 1e-3);
    EXPECT_NEAR(svg.FigureAt<SvgTextFigure>({0, 1})->y, 50 + (ascent + descent) / 2, 1e-3);
    EXPECT_NEAR(svg.FigureAt<SvgTextFigure>({0, 2})->y,
                50 + sans.Baseline(HB_OT_LAYOUT_BASELINE_TAG_HANGING, 20, 0.8 * ascent / 20), 1e-3);
    EXPECT_NEAR(svg.FigureAt<SvgTextFigure>({0, 3})->y, 50 + xHeight / 2, 1e-3);
    EXPECT_NEAR(svg.FigureAt<SvgTextFigure>({0, 4})->y, 50 + ascent, 1e-3);
    // Nested shifts add up; a percentage is of the font size.
    EXPECT_NEAR(svg.FigureAt<SvgTextFigure>({0, 5})->y, 40, 1e-3);
    EXPECT_NEAR(svg.FigureAt<SvgTextFigure>({0, 5, 0})->y, 30, 1e-3);
    EXPECT_NEAR(svg.FigureAt<SvgTextFigure>({0, 6})->y, 50 - super, 1e-3);
    EXPECT_NEAR(svg.FigureAt<SvgTextFigure>({0, 7})->y, 50 + sub, 1e-3);
}

TEST(VerticalText, IdeographsUprightLatinSideways) {
    FontMetrics sans("DejaVu Sans"), cjk("WenQuanYi Micro Hei");
    // Upright glyphs hang from their vertical origin, as the font's vertical
    // metrics place it.
    double dayX, dayY, dayAdvance, bookX, bookY, bookAdvance, bX, bY, aAdvance, bAdvance;
    cjk.Vertical(0x65E5, 20, dayX, dayY, dayAdvance);
    cjk.Vertical(0x672C, 20, bookX, bookY, bookAdvance);
    sans.Vertical('A', 20, bX, bY, aAdvance);
    sans.Vertical('B', 20, bX, bY, bAdvance);
    double central = (sans.Metric(HB_OT_METRICS_TAG_HORIZONTAL_ASCENDER, 20) +
                      sans.Metric(HB_OT_METRICS_TAG_HORIZONTAL_DESCENDER, 20)) /
                     2;
    double kernedA = sans.Advance("AB", 20) - sans.Advance("B", 20);
    const std::string day = "\xE6\x97\xA5", book = "\xE6\x9C\xAC";
    ParsedDocument svg("<text x='50' y='10' writing-mode='tb' " + kCjk + ">" + day + book +
                           "</text><text x='50' y='10' writing-mode='vertical-rl' " + kSans +
                           ">AB</text><text x='50' y='90' writing-mode='tb' text-anchor='end' " +
                           kCjk + ">" + day + book + "</text><text x='50' y='10' " + kSans +
                           "writing-mode='vertical-lr' glyph-orientation-vertical='0'>AB</text>",
                       100, 100);
    // Ideographs stand on x, one vertical advance after another from y down.
    auto ideographs = Glyphs(svg, {0});
    ASSERT_EQ(ideographs.size(), 2u);
    EXPECT_NEAR(ideographs[0].first, 50 - dayX, 1e-3);
    EXPECT_NEAR(ideographs[0].second, 10 + dayY, 1e-3);
    EXPECT_NEAR(ideographs[1].second, 10 + dayAdvance + bookY, 1e-3);
    EXPECT_NEAR(Glyphs(svg, {2})[0].second, 90 - dayAdvance - bookAdvance + dayY, 1e-3);
    // Latin lies on its side, its central baseline on x, kerned down the line.
    auto latin = Glyphs(svg, {1});
    EXPECT_NEAR(latin[0].first, 50 - central, 1e-3);
    EXPECT_NEAR(latin[1].second, 10 + kernedA, 1e-3);
    InkBox sideways =
        FindInk(Draw("<text x='50' y='10' writing-mode='tb' " + kSans + ">HHHH</text>"));
    EXPECT_GT(sideways.Height(), 2 * sideways.Width());
    // Upright Latin takes its vertical advance down the line.
    EXPECT_NEAR(Glyphs(svg, {3})[1].second, 10 + aAdvance + bY, 1e-3);
    EXPECT_NEAR(Glyphs(svg, {3})[1].first, 50 - bX, 1e-3);
}
