// Filters drawn from documents: each row is a small 100 x 100 document and
// the colours of a few pixels, worked out from the formulas of the filter
// primitives (turbulence: as resvg and librsvg both draw it).

#include "HostBitmap.h"
#include "ImageBytes.h"
#include "SvgTestSupport.h"

#include "interface/KelSvg.h"

#include <gtest/gtest.h>

namespace {

// A filter over the whole document, in user space, in sRGB.
std::string UserFilter(const std::string& id, const std::string& primitives) {
    return "<filter id='" + id +
           "' filterUnits='userSpaceOnUse' x='0' y='0' width='100' height='100' "
           "color-interpolation-filters='sRGB'>" +
           primitives + "</filter>";
}

const std::vector<PictureRow> kRows = {
    {"the region defaults to -10 % and 120 % of the box; a flood fills it",
     "<filter id='f'><feFlood flood-color='blue' flood-opacity='0.5'/></filter>"
     "<rect x='20' y='20' width='50' height='50' filter='url(#f)'/>",
     {Px(15, 40, 0x800000FF), Px(74, 74, 0x800000FF), Px(14, 40, 0), Px(75, 40, 0), Px(40, 14, 0)}},
    {"user-space regions and primitive subregions in box units",
     "<filter id='u' filterUnits='userSpaceOnUse' x='10' y='10' width='30' height='30'>"
     "<feFlood flood-color='lime'/></filter>"
     "<filter id='b' primitiveUnits='objectBoundingBox'>"
     "<feFlood flood-color='red' x='0.5' width='50%'/></filter>"
     "<rect width='100' height='100' filter='url(#u)'/>"
     "<rect x='50' y='50' width='40' height='40' filter='url(#b)'/>",
     {Px(10, 10, 0xFF00FF00), Px(39, 39, 0xFF00FF00), Px(40, 20, 0), Px(9, 20, 0),
      Px(71, 60, 0xFFFF0000), Px(89, 93, 0xFFFF0000), Px(65, 60, 0), Px(91, 60, 0)}},
    {"offsets by whole pixels and a quarter, merged in order",
     UserFilter("o", "<feOffset dx='10' result='moved'/><feOffset in='SourceGraphic' dx='0.25' "
                     "dy='50' result='half'/><feMerge><feMergeNode in='half'/>"
                     "<feMergeNode in='moved'/></feMerge>") +
         "<rect x='10' y='10' width='20' height='20' fill='blue' filter='url(#o)'/>"
         "<rect x='50' y='10' width='20' height='20' fill='red' filter='url(#o)'/>",
     {Px(15, 20, 0), Px(20, 20, 0xFF0000FF), Px(39, 20, 0xFF0000FF), Px(40, 20, 0), Px(55, 20, 0),
      Px(60, 20, 0xFFFF0000), Px(10, 70, 0xBF0000FF), Px(20, 70, 0xFF0000FF),
      Px(30, 70, 0x400000FF), Px(31, 70, 0)}},
    {"colour matrices and transfer functions on straight colour",
     UserFilter("s", "<feColorMatrix type='saturate' values='0'/>") +
         UserFilter("l", "<feColorMatrix type='luminanceToAlpha'/>") +
         UserFilter("t", "<feComponentTransfer><feFuncR type='table' tableValues='1 0'/>"
                         "<feFuncG type='discrete' tableValues='0 1'/><feFuncB type='linear' "
                         "slope='0.5' intercept='0.25'/><feFuncA type='gamma' exponent='2'/>"
                         "</feComponentTransfer>") +
         "<rect width='30' height='30' fill='rgb(200,100,50)' filter='url(#s)'/>"
         "<rect x='35' width='30' height='30' fill='white' filter='url(#l)'/>"
         "<rect x='70' width='30' height='30' fill='rgb(200,100,50)' fill-opacity='0.5' "
         "filter='url(#t)'/>",
     {Px(15, 15, 0xFF767676), Px(50, 15, 0xFF000000), Px(85, 15, 0x40370059)}},
    {"composite operators and blend modes",
     UserFilter("a", "<feFlood flood-color='blue' x='0' y='0' width='20' height='20'/>"
                     "<feComposite in='SourceGraphic' "
                     "operator='arithmetic' k2='0.5' k3='0.5'/>") +
         UserFilter("i", "<feFlood flood-color='blue' x='0' y='0' width='100' height='50'/>"
                         "<feComposite in='SourceGraphic' operator='in'/>") +
         UserFilter("x", "<feFlood flood-color='blue' x='40' y='0' width='20' height='50'/>"
                         "<feComposite in='SourceGraphic' operator='xor'/>") +
         UserFilter("m", "<feFlood flood-color='yellow' x='60' y='80' width='20' height='20'/>"
                         "<feBlend in='SourceGraphic' "
                         "mode='multiply'/>") +
         UserFilter("c", "<feFlood flood-color='blue' x='80' y='80' width='20' height='20'/>"
                         "<feBlend in='SourceGraphic' "
                         "mode='screen'/>") +
         "<rect width='20' height='20' fill='red' filter='url(#a)'/>"
         "<rect x='20' y='40' width='20' height='20' fill='red' filter='url(#i)'/>"
         "<rect x='40' y='40' width='20' height='20' fill='red' filter='url(#x)'/>"
         "<rect x='60' y='80' width='20' height='20' fill='red' filter='url(#m)'/>"
         "<rect x='80' y='80' width='20' height='20' fill='red' filter='url(#c)'/>",
     {Px(10, 10, 0xFF800080), Px(30, 45, 0xFFFF0000), Px(30, 55, 0), Px(30, 10, 0), Px(50, 45, 0),
      Px(50, 55, 0xFFFF0000), Px(50, 30, 0xFF0000FF), Px(70, 90, 0xFFFF0000),
      Px(90, 90, 0xFFFF00FF)}},
    {"morphology and convolution",
     UserFilter("d", "<feMorphology operator='dilate' radius='2'/>") +
         UserFilter("e", "<feMorphology radius='2 4'/>") +
         UserFilter("k", "<feConvolveMatrix order='3' kernelMatrix='0 0 0 1 0 0 0 0 0' "
                         "edgeMode='none'/>") +
         "<rect x='10' y='10' width='20' height='20' fill='blue' filter='url(#d)'/>"
         "<rect x='40' y='10' width='20' height='20' fill='blue' filter='url(#e)'/>"
         "<rect x='70' y='10' width='20' height='20' fill='blue' filter='url(#k)'/>",
     {Px(8, 20, 0xFF0000FF), Px(7, 20, 0), Px(31, 31, 0xFF0000FF), Px(42, 20, 0xFF0000FF),
      Px(41, 20, 0), Px(50, 13, 0), Px(50, 14, 0xFF0000FF), Px(69, 20, 0xFF0000FF), Px(89, 20, 0)}},
    {"diffuse and specular light on a flat surface, in linear light",
     "<filter id='d'><feDiffuseLighting lighting-color='red'><feDistantLight elevation='30'/>"
     "</feDiffuseLighting></filter>"
     "<filter id='s'><feSpecularLighting><feDistantLight elevation='90'/>"
     "</feSpecularLighting></filter>"
     "<rect x='10' y='10' width='30' height='30' filter='url(#d)'/>"
     "<rect x='60' y='10' width='30' height='30' filter='url(#s)'/>"
     "<filter id='c' filterUnits='userSpaceOnUse' x='50' y='50' width='50' height='50' "
     "color-interpolation-filters='sRGB'><feDiffuseLighting><feDistantLight elevation='90'/>"
     "</feDiffuseLighting></filter><rect x='60' y='60' width='30' height='30' "
     "filter='url(#c)'/>"
     "<filter id='g'><feDiffuseLighting lighting-color='#ffe0a0'><feDistantLight "
     "elevation='90'/></feDiffuseLighting></filter><rect x='10' y='60' width='30' "
     "height='30' filter='url(#g)'/>",
     // Beside the square's corner the slopes are 3/4 along x and 1/4 along
     // y: the normal's height is 1 / |(-3/4, -1/4, 1)| = 0.784. A full light
     // shows its colour as written, whatever the space it lights in.
     {Px(25, 25, 0xFFBC0000), Px(75, 25, 0xFFFFFFFF), Px(59, 60, 0xFFC8C8C8),
      Px(75, 75, 0xFFFFFFFF), Px(25, 75, 0xFFFFE0A0)}},
    {"a displacement map, a tile and a drop shadow",
     UserFilter("m", "<feFlood flood-color='red' result='map'/>"
                     "<feDisplacementMap in='SourceGraphic' in2='map' scale='20' "
                     "xChannelSelector='R' yChannelSelector='B'/>") +
         "<filter id='t' filterUnits='userSpaceOnUse' x='0' y='50' width='40' height='50'>"
         "<feOffset x='0' y='50' width='20' height='20'/><feTile/></filter>" +
         UserFilter("s", "<feDropShadow dx='5' dy='5' stdDeviation='0' flood-color='blue'/>") +
         "<rect x='40' y='10' width='20' height='20' fill='green' filter='url(#m)'/>"
         "<rect y='50' width='10' height='20' fill='green' filter='url(#t)'/>"
         "<rect x='70' y='10' width='20' height='20' fill='red' filter='url(#s)'/>",
     {Px(29, 25, 0), Px(30, 25, 0xFF008000), Px(49, 25, 0xFF008000), Px(50, 25, 0), Px(40, 19, 0),
      Px(40, 20, 0xFF008000), Px(25, 60, 0xFF008000), Px(35, 60, 0), Px(5, 95, 0xFF008000),
      Px(80, 20, 0xFFFF0000), Px(92, 32, 0xFF0000FF)}},
    {"turbulence and fractal noise, pixel for pixel",
     UserFilter("t", "<feTurbulence baseFrequency='0.05' numOctaves='2' seed='3'/>") +
         "<rect width='100' height='100' filter='url(#t)'/>",
     {Px(0, 0, 0), Px(1, 0, 0x131B1B1B), Px(10, 10, 0x0E003780), Px(33, 47, 0x4C6B3C6B),
      Px(50, 50, 0x193D3D00), Px(70, 20, 0x1473330D)}},
    {"CSS filter functions, in sRGB",
     "<g fill='rgb(200,100,50)'>"
     "<rect width='20' height='20' style='filter: grayscale(1)'/>"
     "<rect x='20' width='20' height='20' filter='sepia(100%)'/>"
     "<rect x='40' width='20' height='20' filter='brightness(0.5)'/>"
     "<rect x='60' width='20' height='20' filter='contrast(50%)'/>"
     "<rect x='80' width='20' height='20' filter='invert(0.25) opacity(0.5)'/>"
     "<rect y='40' width='20' height='20' filter='saturate(0)'/>"
     "<rect x='30' y='40' width='20' height='20' filter='hue-rotate(0.5turn) hue-rotate(180deg)'/>"
     "<rect x='70' y='40' width='20' height='20' filter='drop-shadow(blue 5px 5px 0)'/></g>",
     {Px(10, 10, 0xFF767676), Px(30, 10, 0xFFA59372), Px(50, 10, 0xFF643219),
      Px(70, 10, 0xFFA47259), Px(90, 10, 0x80A47259), Px(10, 50, 0xFF767676),
      Px(40, 50, 0xFFC86432), Px(80, 50, 0xFFC86432), Px(92, 62, 0xFF0000FF)}},
    {"references to nothing, or to no filter, are ignored; an empty filter hides",
     "<linearGradient id='g'/><filter id='e'/>"
     "<rect width='20' height='20' fill='blue' filter='url(#missing)'/>"
     "<rect x='30' width='20' height='20' fill='blue' filter='url(#g)'/>"
     "<rect x='60' width='20' height='20' fill='blue' filter='url(#e)'/>"
     "<rect y='40' width='20' height='20' fill='blue' filter='url(#e) url(#missing)'/>"
     "<line x1='40' y1='50' x2='90' y2='50' stroke='blue' stroke-width='4' filter='url(#e)'/>",
     {Px(10, 10, 0xFF0000FF), Px(40, 10, 0xFF0000FF), Px(70, 10, 0), Px(10, 50, 0xFF0000FF),
      Px(60, 50, 0)}},
    {"filters apply before clip paths and opacity, their own and their groups'; a list applies "
     "in order",
     "<clipPath id='c'><rect width='50' height='100'/></clipPath>"
     "<filter id='f' filterUnits='userSpaceOnUse' x='0' y='0' width='100' height='60'>"
     "<feFlood flood-color='blue'/></filter>" +
         UserFilter("o", "<feOffset dx='10'/>") +
         "<rect x='10' y='10' width='10' height='10' clip-path='url(#c)' opacity='0.5' "
         "filter='url(#f)'/>"
         "<rect y='70' width='10' height='10' fill='red' filter='url(#o) url(#o) sepia(0)'/>"
         "<g opacity='0.5'><rect x='70' y='70' width='10' height='10' fill='blue' "
         "filter='url(#o)'/></g>",
     {Px(40, 40, 0x800000FF), Px(60, 40, 0), Px(25, 75, 0xFFFF0000), Px(15, 75, 0),
      Px(85, 75, 0x800000FF), Px(75, 75, 0)}},
    {"BackgroundImage is empty, FillPaint and StrokePaint are the paints",
     UserFilter("b", "<feOffset in='BackgroundImage'/>") +
         "<filter id='p' filterUnits='userSpaceOnUse' x='0' y='50' width='100' height='50'>"
         "<feOffset in='FillPaint' x='0' y='0' width='50' height='100' result='f'/>"
         "<feOffset in='StrokePaint' x='50' y='0' width='50' height='100' result='s'/>"
         "<feMerge><feMergeNode in='f'/><feMergeNode in='s'/></feMerge></filter>"
         "<rect width='100' height='100' fill='lime'/>"
         "<rect width='20' height='20' fill='blue' filter='url(#b)'/>"
         "<rect x='30' y='60' width='10' height='10' fill='blue' stroke='white' "
         "filter='url(#p)'/>",
     {Px(10, 10, 0xFF00FF00), Px(10, 90, 0xFF0000FF), Px(90, 90, 0xFFFFFFFF)}},
    {"feImage draws an element where it stands, or a picture in its subregion",
     "<defs><rect id='r' x='5' y='5' width='10' height='10' fill='blue'/></defs>" +
         UserFilter("i", "<feImage href='#r'/>") +
         UserFilter("p", "<feImage x='60' y='60' width='20' height='10' "
                         "preserveAspectRatio='none' href='" +
                             DataUrl(PngFromArgb(2, 1, {0xFFFF0000, 0xFF00FF00})) + "'/>") +
         "<rect width='100' height='100' filter='url(#i)' transform='translate(30 0)'/>"
         "<rect width='100' height='100' filter='url(#p)'/>",
     {Px(40, 10, 0xFF0000FF), Px(10, 10, 0), Px(62, 65, 0xFFFF0000), Px(77, 65, 0xFF00FF00),
      Px(70, 75, 0)}},
};

TEST(Filters, PrimitivesDrawAsTheirFormulasSay) {
    ExpectRows(kRows, 2);
}

// A blur of deviation 3: boxes of 6, 6 and 7 pixels, the first two half a
// pixel off centre; a step edge gets the mass of the kernel beyond it.
TEST(Filters, GaussianBlurUsesThreeBoxes) {
    Picture p = RenderSvg(Svg("width='100' height='20'",
                              "<filter id='b' filterUnits='userSpaceOnUse' x='0' y='0' "
                              "width='100' height='20'><feGaussianBlur stdDeviation='3 0'/>"
                              "</filter><rect x='50' width='50' height='20' filter='url(#b)'/>"),
                          100, 20);
    // The three boxes convolved: weights of offsets -8..8.
    std::vector<double> kernel{1};
    for (auto [left, right] : {std::pair{3, 2}, {2, 3}, {3, 3}}) {
        std::vector<double> next(kernel.size() + size_t(left + right), 0);
        for (size_t i = 0; i < kernel.size(); ++i)
            for (int k = 0; k <= left + right; ++k)
                next[i + size_t(k)] += kernel[i] / (left + right + 1);
        kernel = next;
    }
    for (int x = 40; x < 60; ++x) {
        double covered = 0; // kernel mass on source pixels from 50 on
        for (size_t i = 0; i < kernel.size(); ++i)
            covered += x + int(i) - 8 >= 50 ? kernel[i] : 0;
        EXPECT_NEAR(double(Picture::Alpha(p.At(x, 10))), covered * 255, 2) << x;
    }
}

// A picture drawn 4 times larger filters at its own resolution: an offset
// of 10 units moves by 40 pixels and a blur spreads 4 times as far.
TEST(Filters, RunAtTheResolutionOfTheTarget) {
    std::string body = "<filter id='f' filterUnits='userSpaceOnUse' x='0' y='0' width='100' "
                       "height='100'><feOffset dx='10'/><feGaussianBlur stdDeviation='2'/>"
                       "</filter><rect x='20' y='20' width='40' height='40' filter='url(#f)'/>";
    Picture small =
        RenderSvg(Svg("width='100' height='100' viewBox='0 0 100 100'", body), 100, 100);
    Picture large =
        RenderSvg(Svg("width='100' height='100' viewBox='0 0 100 100'", body), 400, 400);
    InkBox a = FindInk(small), b = FindInk(large);
    EXPECT_EQ(a.left, 30);
    EXPECT_NEAR(b.left, 4 * a.left, 2);
    EXPECT_NEAR(b.Width(), 4 * a.Width(), 3);
    // A rotated element: its offset turns with it.
    Picture turned = RenderSvg(
        Svg("width='100' height='100'", "<g transform='rotate(90 50 50)'>" + body + "</g>"), 100,
        100);
    InkBox c = FindInk(turned);
    EXPECT_NEAR(c.top, 30, 1);
    EXPECT_NEAR(c.left, 40, 1);
    // Turned a quarter, a downward offset of 10 moves the square 10 pixels left.
    Picture down = RenderSvg(
        Svg("width='100' height='100'",
            "<filter id='d' filterUnits='userSpaceOnUse' x='0' y='0' width='100' height='100'>"
            "<feOffset dy='10'/></filter><rect x='20' y='20' width='40' height='40' "
            "filter='url(#d)' transform='rotate(90 50 50)'/>"),
        100, 100);
    InkBox d = FindInk(down);
    EXPECT_EQ(d.left, 30);
    EXPECT_EQ(d.top, 20);
}

// Filters draw alike onto a graphics, a device context and the bitmap cache.
TEST(Filters, EveryTargetDrawsTheSame) {
    Picture drawn =
        ExpectEveryTargetDrawsTheSame(Svg("width='100' height='100'", RowsScaledDown(kRows)));
    EXPECT_GT(PixelsNotOf(drawn, kWhite), 500);
}

// A cache build is a draw: its filter budget starts afresh, its memory goes.
TEST(Filters, CacheBuildStartsAfreshAndKeepsNoMemory) {
    SvgEngine engine;
    ParseText(engine, Svg("width='9' height='9'", "<filter id='f'><feOffset/></filter>"
                                                  "<rect width='5' height='5' filter='url(#f)'/>"));
    engine.GetRenderContext().filterPixels = 1e12; // spent by earlier draws
    engine.BuildBitmapCache();
    EXPECT_GT(engine.GetRenderContext().filterPixels, 0); // the filter ran, within the budget
    EXPECT_LT(engine.GetRenderContext().filterPixels, 1e6);
    EXPECT_FALSE(engine.GetRenderContext().filterPool);
}

} // namespace
