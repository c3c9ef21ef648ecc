// Opacity, clip paths and masks drawn as SVG viewers draw them. Each row is a
// small 100 x 100 document and the colours of a few pixels, as resvg and
// librsvg draw them where they agree; where they differ the row says whose
// picture it follows.

#include "HostBitmap.h"
#include "SvgTestSupport.h"

#include "interface/KelSvg.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Where the two differ: a nested svg's opacity applies once (resvg applies it
// twice); a clipPath's transform applies after its box units, and clip paths
// on a clipPath and on its parts apply (as in resvg; librsvg ignores them); a
// clip-path naming an element that is no clipPath is ignored (as in librsvg
// and browsers; resvg draws nothing); mask-type in a style attribute applies
// (as in librsvg and browsers; resvg reads only the attribute).
const std::vector<PictureRow> kRows = {
    {"a group's opacity composites its children once",
     "<g opacity='0.5'><rect x='10' y='10' width='40' height='40' fill='red'/>"
     "<rect x='30' y='30' width='40' height='40' fill='blue'/></g><g opacity='0.5'>"
     "<g opacity='50%'><rect x='80' width='20' height='20' fill='green'/></g></g>"
     "<rect x='80' y='30' width='20' height='20' fill='green' opacity='0'/>",
     {Px(20, 20, 0x80FF0000), Px(40, 40, 0x800000FF), Px(60, 60, 0x800000FF),
      Px(90, 10, 0x40008000), Px(90, 40, 0x00000000)}},
    {"a shape's opacity covers its fill and stroke together",
     "<rect x='10' y='10' width='40' height='40' fill='red' stroke='blue' stroke-width='10' "
     "opacity='0.5'/>"
     "<rect x='60' y='10' width='30' height='30' fill='red' opacity='0.5'/>"
     "<rect x='60' y='60' width='30' height='30' fill='none' stroke='red' stroke-width='10' "
     "stroke-opacity='0.5' opacity='0.5'/>",
     {Px(30, 30, 0x80FF0000), Px(12, 30, 0x800000FF), Px(7, 30, 0x800000FF), Px(75, 25, 0x80FF0000),
      Px(60, 75, 0x40FF0000)}},
    {"use, svg and text take their opacity",
     "<defs><rect id='r' width='20' height='20' fill='blue'/></defs>"
     "<use xlink:href='#r' x='10' y='10' opacity='0.5'/>"
     "<svg x='40' y='10' width='20' height='20' opacity='0.5'><rect width='20' height='20'/>"
     "<rect width='10' height='10' fill='red'/></svg>"
     "<text x='10' y='90' font-family='DejaVu Sans' font-size='40' fill='green' "
     "opacity='0.5'>&#x2588;</text>",
     {Px(20, 20, 0x800000FF), Px(45, 15, 0x80FF0000), Px(55, 25, 0x80000000),
      Px(22, 75, 0x80008000)}},
    {"a clip path cuts shapes, groups and uses in their user space",
     "<defs><clipPath id='c'><circle cx='20' cy='20' r='15'/></clipPath>"
     "<rect id='sq' width='40' height='40' fill='green'/></defs>"
     "<rect width='40' height='40' fill='blue' clip-path='url(#c)'/>"
     "<g transform='translate(50 0)' clip-path='url(#c)'>"
     "<rect width='20' height='40' fill='red'/>"
     "<rect x='20' width='20' height='40' fill='blue'/></g>"
     "<use xlink:href='#sq' x='10' y='50' clip-path='url(#c)'/>",
     {Px(20, 20, 0xFF0000FF), Px(3, 3, 0x00000000), Px(58, 20, 0xFFFF0000), Px(75, 20, 0xFF0000FF),
      Px(52, 3, 0x00000000), Px(30, 70, 0xFF008000), Px(12, 52, 0x00000000),
      Px(45, 70, 0x00000000)}},
    {"units, transform and clip-rule of a clip path",
     "<defs><clipPath id='b' clipPathUnits='objectBoundingBox' transform='translate(10 0)'>"
     "<rect width='0.5' height='1'/></clipPath><clipPath id='e' clip-rule='evenodd'>"
     "<path d='M0 50 h40 v40 h-40 z M10 60 h20 v20 h-20 z'/></clipPath></defs>"
     "<rect width='40' height='40' fill='blue' clip-path='url(#b)'/>"
     "<rect y='50' width='40' height='40' fill='blue' clip-path='url(#e)'/>"
     "<line x1='50' y1='60' x2='90' y2='60' stroke='red' stroke-width='4' clip-path='url(#b)'/>",
     {Px(5, 20, 0x00000000), Px(15, 20, 0xFF0000FF), Px(25, 20, 0xFF0000FF), Px(35, 20, 0x00000000),
      Px(5, 55, 0xFF0000FF), Px(20, 70, 0x00000000), Px(85, 60, 0xFFFF0000)}},
    {"a clip path's parts join, each with its own transform and clip path",
     "<defs><clipPath id='strip'><rect x='10' width='10' height='100'/></clipPath>"
     "<clipPath id='two'><rect width='10' height='10'/>"
     "<rect width='10' height='10' transform='translate(20 20)'/>"
     "<rect y='30' width='40' height='10' clip-path='url(#strip)'/></clipPath>"
     "<clipPath id='cut' clip-path='url(#strip)'><rect width='100' height='10'/>"
     "<rect y='15' width='100' height='5'/></clipPath></defs>"
     "<rect width='40' height='40' fill='blue' clip-path='url(#two)'/>"
     "<rect y='50' width='40' height='40' fill='red' transform='translate(0 -50)' "
     "clip-path='url(#cut)' opacity='0.5'/>",
     {Px(5, 5, 0xFF0000FF), Px(25, 25, 0xFF0000FF), Px(15, 5, 0x00000000), Px(15, 35, 0xFF0000FF),
      Px(5, 35, 0x00000000), Px(15, 17, 0x00000000), Px(35, 17, 0x00000000)}},
    {"text, use, display and visibility inside a clip path",
     "<defs><rect id='u' x='40' width='10' height='20'/><g id='ug'>"
     "<rect x='60' width='10' height='20'/></g><clipPath id='p'>"
     "<text x='0' y='40' font-family='DejaVu Sans' font-size='40'>&#x2588;</text>"
     "<use xlink:href='#u'/><use xlink:href='#ug'/>"
     "<rect x='80' width='10' height='20' display='none'/>"
     "<rect x='90' width='10' height='20' visibility='hidden'/><g>"
     "<rect y='60' width='100' height='20'/></g>"
     "<rect y='90' width='100' height='10' fill='none' opacity='0'/></clipPath></defs>"
     "<rect width='100' height='100' fill='blue' clip-path='url(#p)'/>",
     {Px(12, 20, 0xFF0000FF), Px(45, 10, 0xFF0000FF), Px(65, 10, 0x00000000),
      Px(85, 10, 0x00000000), Px(95, 10, 0x00000000), Px(50, 70, 0x00000000),
      Px(50, 95, 0xFF0000FF)}},
    {"a layer keeps a fractional shape's edge pixels; a clip path of one use takes its offset",
     "<g opacity='0.5'><rect x='10.5' y='60' width='20' height='20' fill='blue'/></g>"
     "<defs><rect id='s' width='20' height='20'/>"
     "<clipPath id='o'><use xlink:href='#s' x='30' y='0'/></clipPath></defs>"
     "<rect width='100' height='50' fill='green' clip-path='url(#o)'/>",
     {Px(9, 70, 0x00000000), Px(10, 70, 0x400000FF), Px(20, 70, 0x800000FF), Px(30, 70, 0x400000FF),
      Px(40, 10, 0xFF008000), Px(29, 10, 0x00000000), Px(10, 40, 0x00000000),
      Px(40, 25, 0x00000000)}},
    {"what a clip path reference to nothing, or to no clip path, does",
     "<defs><clipPath id='none'/><clipPath id='self' clip-path='url(#self)'>"
     "<rect width='10' height='20'/></clipPath></defs>"
     "<rect id='r' width='5' height='5' fill='green'/>"
     "<rect x='10' width='20' height='20' fill='blue' clip-path='url(#missing)'/>"
     "<rect x='40' width='20' height='20' fill='blue' clip-path='url(#none)'/>"
     "<rect y='40' width='20' height='20' fill='blue' clip-path='url(#self)'/>"
     "<rect x='60' y='40' width='20' height='20' fill='blue' clip-path='url(#r)'/>",
     {Px(20, 10, 0xFF0000FF), Px(50, 10, 0x00000000), Px(5, 50, 0x00000000), Px(15, 50, 0x00000000),
      Px(70, 50, 0xFF0000FF)}},
    {"a mask by luminance, or by alpha",
     "<defs><mask id='m' maskContentUnits='userSpaceOnUse'>"
     "<rect width='25' height='100' fill='rgb(128,64,200)'/>"
     "<rect x='25' width='25' height='100' fill='red'/>"
     "<rect x='50' width='25' height='100' fill='lime' fill-opacity='0.5'/></mask>"
     "<mask id='a' mask-type='alpha'>"
     "<rect width='100' height='100' fill='black' fill-opacity='0.5'/></mask>"
     "<mask id='s' style='mask-type: alpha' mask-type='luminance'>"
     "<rect width='100' height='100' fill='black' fill-opacity='0.5'/></mask></defs>"
     "<rect width='100' height='50' mask='url(#m)'/>"
     "<rect y='50' width='50' height='50' fill='blue' mask='url(#a)'/>"
     "<rect x='50' y='50' width='50' height='50' fill='blue' mask='url(#s)'/>",
     {Px(10, 20, 0x57000000), Px(35, 20, 0x36000000), Px(60, 20, 0x5B000000),
      Px(90, 20, 0x00000000), Px(25, 75, 0x800000FF), Px(75, 75, 0x800000FF)}},
    {"a mask's region and units",
     "<defs><mask id='d'><rect x='-50' y='-50' width='300' height='300' fill='white'/></mask>"
     "<mask id='u' maskUnits='userSpaceOnUse' x='60' y='0' width='15' height='40'>"
     "<rect width='100' height='100' fill='white'/></mask>"
     "<mask id='b' maskContentUnits='objectBoundingBox'>"
     "<rect width='0.5' height='1' fill='white'/></mask><mask id='z' width='0'>"
     "<rect width='100' height='100' fill='white'/></mask></defs>"
     "<rect x='10' y='10' width='20' height='20' fill='blue' stroke='green' stroke-width='10' "
     "mask='url(#d)'/>"
     "<rect x='50' width='40' height='40' fill='blue' mask='url(#u)'/>"
     "<rect y='60' width='40' height='20' fill='blue' mask='url(#b)'/>"
     "<rect x='60' y='60' width='40' height='20' fill='blue' mask='url(#z)'/>",
     {Px(20, 20, 0xFF0000FF), Px(8, 20, 0xFF008000), Px(4, 20, 0x00000000), Px(55, 20, 0x00000000),
      Px(65, 20, 0xFF0000FF), Px(80, 20, 0x00000000), Px(10, 70, 0xFF0000FF),
      Px(30, 70, 0x00000000), Px(80, 70, 0x00000000)}},
    {"masks and clips through use, with opacity, and referring to themselves",
     "<defs><clipPath id='c'><rect width='50' height='100'/></clipPath>"
     "<g id='g' clip-path='url(#c)'><rect width='100' height='30' fill='blue'/></g>"
     "<mask id='w'><rect width='100' height='100' fill='white'/></mask>"
     "<mask id='self' mask='url(#self)'><rect width='100' height='100' fill='white'/></mask>"
     "</defs><use xlink:href='#g' y='40'/><g mask='url(#w)' opacity='0.5'>"
     "<rect y='80' width='50' height='20' fill='red'/></g>"
     "<rect x='60' y='80' width='40' height='20' fill='green' mask='url(#self)'/>",
     {Px(25, 15, 0x00000000), Px(25, 55, 0xFF0000FF), Px(75, 55, 0x00000000),
      Px(25, 90, 0x80FF0000), Px(80, 90, 0xFF008000)}},
    {"a mask's content inherits from the mask, not from the element masked",
     "<g fill='red'><mask id='i' fill='white'><rect width='50' height='100'/>"
     "<rect x='50' width='50' height='100' fill='inherit'/></mask></g>"
     "<mask id='j'><rect width='100' height='100'/></mask>"
     "<rect width='100' height='50' fill='blue' mask='url(#i)'/>"
     "<g fill='white'><rect y='50' width='100' height='50' fill='blue' mask='url(#j)'/></g>",
     {Px(25, 25, 0xFF0000FF), Px(75, 25, 0xFF0000FF), Px(25, 75, 0)}},
    {"a layer holds all its element draws: miters and square caps",
     "<polyline points='10,95 30,35 50,95' fill='yellow' stroke='blue' stroke-width='8' "
     "stroke-miterlimit='10' opacity='0.5'/>"
     "<line x1='60' y1='50' x2='90' y2='50' stroke='red' stroke-width='10' "
     "stroke-linecap='square' opacity='0.5'/>"
     "<g opacity='0.5' transform='scale(0.5)'><path d='M130 20 h40' stroke='green' "
     "stroke-width='20' stroke-linecap='square'/></g>",
     {Px(30, 28, 0x800000FF), Px(94, 50, 0x80FF0000), Px(56, 50, 0x80FF0000),
      Px(62, 10, 0x80008000)}},
};

} // namespace

TEST(Layers, OpacityClipPathsAndMasksDrawAsSvgViewersDo) {
    ExpectRows(kRows, 2);
}

// Layers work on every target: a graphics, a device context, the bitmap cache.
TEST(Layers, EveryTargetDrawsTheSame) {
    Picture drawn =
        ExpectEveryTargetDrawsTheSame(Svg("width='100' height='100'", RowsScaledDown(kRows)));
    EXPECT_GT(PixelsNotOf(drawn, kWhite), 500);
}
