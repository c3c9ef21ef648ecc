// Patterns as SVG viewers draw them. Each row is a 100 x 100 document and the
// colours of a few pixels, worked out from the tile's place and size.

#include "HostBitmap.h"
#include "SvgTestSupport.h"

#include "interface/KelSvg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const uint32_t kClear = 0; // and kRed, kGreen, kBlue of HostBitmap.h

const std::vector<PictureRow> kRows = {
    {"a user-space tile repeats from the origin, not from the shape",
     "<defs><pattern id='p' width='20' height='20' patternUnits='userSpaceOnUse'>"
     "<rect width='10' height='10' fill='red'/></pattern></defs>"
     "<rect x='5' y='5' width='90' height='90' fill='url(#p)'/>",
     {Px(7, 7, kRed), Px(15, 7, kClear), Px(27, 27, kRed), Px(94, 94, kClear), Px(3, 3, kClear)}},
    {"box units: the tile is a share of each shape's box",
     "<defs><pattern id='p' width='0.25' height='0.5'><rect width='10' height='10' fill='blue'/>"
     "</pattern></defs><rect x='10' y='10' width='80' height='40' fill='url(#p)'/>"
     "<rect x='10' y='60' width='40' height='40' fill='url(#p)'/>",
     {Px(15, 15, kBlue), Px(25, 15, kClear), Px(35, 35, kBlue), Px(15, 65, kBlue),
      Px(25, 65, kBlue), Px(15, 75, kClear)}},
    {"box units: x is a share of the box, counted from its corner",
     "<defs><pattern id='p' x='0.1' width='0.25' height='1'><rect width='10' height='10' "
     "fill='blue'/></pattern></defs><rect x='10' y='10' width='80' height='40' fill='url(#p)'/>",
     {Px(22, 15, kBlue), Px(15, 15, kClear), Px(32, 15, kClear), Px(42, 15, kBlue)}},
    {"content in box units, and a viewBox fitted into the tile",
     "<defs><pattern id='c' width='.5' height='.5' patternContentUnits='objectBoundingBox'>"
     "<rect width='.25' height='.25' fill='red'/></pattern>"
     "<pattern id='v' width='40' height='20' patternUnits='userSpaceOnUse' viewBox='0 0 10 10'>"
     "<rect width='10' height='10' fill='blue'/></pattern></defs>"
     "<rect x='10' y='10' width='80' height='40' fill='url(#c)'/>"
     "<rect y='60' width='100' height='40' fill='url(#v)'/>",
     {Px(15, 15, kRed), Px(35, 15, kClear), Px(55, 15, kRed), Px(5, 70, kClear), Px(15, 70, kBlue),
      Px(35, 70, kClear), Px(55, 70, kBlue)}},
    {"patternTransform moves and scales the tiles",
     "<defs><pattern id='p' width='10' height='10' patternUnits='userSpaceOnUse' "
     "patternTransform='translate(10 0) scale(2)'><rect width='5' height='5' fill='green'/>"
     "</pattern></defs><rect width='100' height='100' fill='url(#p)'/>",
     {Px(5, 5, kClear), Px(15, 5, kGreen), Px(25, 5, kClear), Px(15, 15, kClear)}},
    {"href: attributes and children along the chain, cycles ended",
     "<defs><pattern id='base' width='20' height='20' patternUnits='userSpaceOnUse'>"
     "<rect width='10' height='10' fill='green'/></pattern>"
     "<pattern id='p' xlink:href='#base' width='40'/>"
     "<pattern id='a' href='#b' width='20' height='20' patternUnits='userSpaceOnUse'>"
     "<rect width='10' height='10' fill='blue'/></pattern><pattern id='b' href='#a'/></defs>"
     "<rect width='100' height='40' fill='url(#p)'/><rect y='60' width='100' height='40' "
     "fill='url(#b)'/>",
     {Px(5, 5, kGreen), Px(15, 5, kClear), Px(25, 5, kClear), Px(45, 5, kGreen), Px(5, 65, kBlue),
      Px(15, 65, kClear)}},
    {"a pattern inside a pattern, and one inside itself paints nothing there",
     "<defs><pattern id='in' width='4' height='4' patternUnits='userSpaceOnUse'>"
     "<rect width='2' height='2' fill='red'/></pattern>"
     "<pattern id='out' width='20' height='20' patternUnits='userSpaceOnUse'>"
     "<rect width='20' height='10' fill='url(#in)'/>"
     "<rect y='10' width='10' height='10' fill='url(#out)'/></pattern></defs>"
     "<rect width='100' height='100' fill='url(#out)'/>",
     {Px(1, 1, kRed), Px(3, 3, kClear), Px(5, 5, kRed), Px(5, 15, kClear)}},
    {"strokes, opacities, and a tile without area",
     "<defs><pattern id='s' width='10' height='10' patternUnits='userSpaceOnUse'>"
     "<rect width='10' height='10' fill='blue'/></pattern>"
     "<pattern id='z' width='0' height='10'><rect width='10' height='10' "
     "fill='red'/></pattern></defs>"
     "<rect x='10' y='10' width='30' height='30' fill='none' stroke='url(#s)' stroke-width='6'/>"
     "<rect x='60' y='10' width='30' height='30' fill='url(#s)' fill-opacity='0.5'/>"
     "<rect x='10' y='60' width='30' height='30' fill='green'/>"
     "<rect x='10' y='60' width='30' height='30' fill='url(#z)'/>",
     {Px(10, 25, kBlue), Px(25, 25, kClear), Px(75, 25, 0x7F0000FF), Px(25, 75, kGreen)}},
    {"a tile far below a pixel, along both sides or one, shows its average colour",
     "<defs><pattern id='p' width='0.01' height='0.01' patternUnits='userSpaceOnUse'>"
     "<rect width='0.005' height='0.01' fill='red'/></pattern>"
     "<pattern id='s' width='0.000001' height='20' patternUnits='userSpaceOnUse'>"
     "<rect width='0.0000005' height='10' fill='blue'/></pattern></defs>"
     "<rect width='100' height='50' fill='url(#p)'/><rect y='60' width='100' height='40' "
     "fill='url(#s)'/>",
     {Px(0, 0, 0x80FF0000), Px(50, 25, 0x80FF0000), Px(99, 49, 0x80FF0000), Px(50, 65, 0x800000FF),
      Px(50, 75, kClear), Px(50, 85, 0x800000FF)}},
};

} // namespace

TEST(Patterns, DrawAsSvgViewersDo) {
    ExpectRows(kRows, 2);
}

// The tile is rendered at the resolution it is seen with: a picture drawn four
// times larger keeps the content's edges sharp.
TEST(Patterns, TilesAreRenderedAtTheTargetsResolution) {
    std::string body = "<defs><pattern id='p' width='10' height='10' patternUnits='userSpaceOnUse'>"
                       "<rect width='5' height='5' fill='blue'/></pattern></defs>"
                       "<rect width='25' height='25' fill='url(#p)'/>";
    Picture big = RenderSvg(Svg("width='25' height='25'", body), 100, 100);
    ExpectPixels(big,
                 {Px(0, 0, kBlue), Px(19, 19, kBlue), Px(20, 20, kClear), Px(59, 41, kBlue),
                  Px(60, 40, kClear)},
                 0);
}

// Text takes a pattern like a shape, the tile placed on the text's box.
TEST(Patterns, FillText) {
    Picture text = Draw("<defs><pattern id='p' width='1' height='1'>"
                        "<rect width='200' height='200' fill='green'/></pattern></defs>"
                        "<text x='10' y='80' font-family='DejaVu Sans' font-size='80' "
                        "fill='url(#p)'>&#x2588;</text>");
    ExpectPixels(text, {Px(30, 40, kGreen), Px(5, 40, kClear)});
}

// Patterns and markers draw the same on every target: a graphics, a device
// context, the bitmap cache; and the same at a second draw.
TEST(Patterns, EveryTargetDrawsTheSame) {
    Picture drawn = ExpectEveryTargetDrawsTheSame(Svg(
        "width='100' height='100'",
        RowsScaledDown(kRows) +
            "<defs><marker id='m' viewBox='0 0 4 4' markerWidth='12' markerHeight='12' refX='2' "
            "refY='2' orient='auto'><path d='M0 0 L4 2 L0 4 z' "
            "fill='context-stroke'/></marker></defs><polyline "
            "points='10,90 50,60 90,90' fill='none' stroke='blue' "
            "marker-mid='url(#m)' marker-end='url(#m)'/>"));
    EXPECT_EQ(drawn.At(92, 91), kBlue); // an arrow head in the stroke's colour
}
