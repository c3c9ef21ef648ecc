// Ordinary files drawn as SVG viewers draw them: subpaths, exact shapes, style
// given on svg and symbol or by style sheets, use copies, hidden content,
// viewports. Each row is a small document and the colours of a few pixels (the
// style sheets' checked against rsvg-convert and resvg).

#include "SvgTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Row {
    const char* what;
    const char* svgAttributes; // null: width and height 100
    std::string body;
    std::vector<PixelProbe> probes;
};

const uint32_t kClear = 0, kBlack = 0xFF000000, kRed = 0xFFFF0000, kBlue = 0xFF0000FF,
               kGreen = 0xFF008000, kLime = 0xFF00FF00, kPurple = 0xFF800080;

const Row kRows[] = {
    {"later moves start new subpaths",
     nullptr,
     "<path d='M10 10 L40 10 M60 10 L90 10' stroke='blue' stroke-width='4'/>"
     "<path d='M10 90 L30 90 L20 70 M70 40 L90 40 L80 60' fill='red'/>",
     {{25, 10, kBlue}, {50, 10, kClear}, {20, 85, kRed}, {80, 45, kRed}, {50, 60, kClear}}},
    {"a points list ends at a huge number",
     nullptr,
     "<polygon points='10,10 90,10 90,90 10,90 1e39,50' fill='red'/>",
     {{50, 50, kRed}, {95, 50, kClear}}},
    {"a missing or auto radius takes the other",
     nullptr,
     "<ellipse cx='25' cy='25' ry='20'/><ellipse cx='75' cy='25' rx='20' ry='auto'/>"
     "<rect y='50' width='40' height='40' rx='auto' ry='20' fill='red'/>",
     {{25, 7, kBlack},
      {7, 25, kBlack},
      {93, 25, kBlack},
      {75, 7, kBlack},
      {2, 52, kClear},
      {20, 70, kRed}}},
    {"rectangles keep their exact size",
     "width='100' height='100' viewBox='0 0 10 10'",
     "<rect x='0.5' y='0.5' width='8.9' height='8.9'/>",
     {{5, 5, kBlack}, {4, 4, kClear}, {93, 93, kBlack}, {94, 94, kClear}}},
    {"style on the root is inherited",
     "width='100' height='100' fill='none' stroke='currentColor' stroke-width='4' "
     "style='stroke-linecap:round'",
     "<path d='M20 50 H80'/><circle cx='50' cy='50' r='30'/>",
     {{50, 50, kBlack}, {50, 20, kBlack}, {50, 35, kClear}, {50, 46, kClear}}},
    {"style on nested svg and symbol is inherited",
     nullptr,
     "<svg width='50' height='50' fill='green' color='blue'><rect width='20' "
     "height='20'/><rect y='25' width='20' height='20' fill='currentColor'/></svg>"
     "<symbol id='s' fill='red'><rect width='20' height='20'/></symbol>"
     "<use xlink:href='#s' x='50'/>",
     {{10, 10, kGreen}, {10, 35, kBlue}, {60, 10, kRed}}},
    {"copies keep their own style and inherit the rest from the use",
     nullptr,
     "<defs><g fill='green'><circle id='red' cx='10' cy='10' r='8' fill='red'/></g>"
     "<rect id='plain' width='20' height='20'/><g id='group' fill='red'><rect "
     "width='10' height='20'/><rect x='10' width='10' height='20' fill='blue'/></g>"
     "</defs><use xlink:href='#red' fill='blue'/><use xlink:href='#plain' x='25' "
     "fill='blue'/><use xlink:href='#plain' x='50'/><use xlink:href='#group' x='75' "
     "fill='green'/><g fill='green'><use xlink:href='#plain' y='50'/></g>",
     {{10, 10, kRed},
      {35, 10, kBlue},
      {60, 10, kBlack},
      {80, 10, kRed},
      {90, 10, kBlue},
      {10, 60, kGreen}}},
    // The source's transform applies inside the use's offset; 1em follows the
    // font size the copy inherits (4), not the source's (20).
    {"copies keep their transform, not what the source inherited",
     nullptr,
     "<g font-size='20'><line id='l' x2='40' stroke='black' stroke-width='1em' "
     "transform='translate(0 50)'/></g><use xlink:href='#l' x='50' font-size='4'/>",
     {{20, 42, kBlack}, {70, 42, kClear}, {70, 50, kBlack}}},
    {"copies keep the geometry of every shape",
     nullptr,
     "<defs><path id='a' d='M0 0 h20 v20 h-20 z'/><polygon id='b' points='0,0 20,0 "
     "20,20 0,20'/><polyline id='c' points='0,0 20,0 20,20 0,20'/><line id='d' y1='10' "
     "x2='20' y2='10' stroke-width='6'/></defs><use xlink:href='#a' x='5' y='5' "
     "fill='red'/><use xlink:href='#b' x='30' y='5' fill='red'/><use xlink:href='#c' "
     "x='55' y='5' fill='red'/><use xlink:href='#d' x='5' y='50' stroke='red'/>",
     {{15, 15, kRed}, {40, 15, kRed}, {65, 15, kRed}, {15, 60, kRed}}},
    // As flags draw rows of stars.
    {"uses and svgs in a copied group keep their place",
     nullptr,
     "<g id='row'><rect id='dot' width='10' height='10' fill='red'/><use "
     "xlink:href='#dot' x='20'/><svg x='40' width='10' height='10' viewBox='0 0 1 "
     "1'><rect width='1' height='1' fill='blue'/></svg></g><use xlink:href='#row' "
     "y='50'/>",
     {{5, 55, kRed}, {25, 55, kRed}, {45, 55, kBlue}, {15, 55, kClear}}},
    {"a paint reference to an element that is no paint server takes the fallback",
     nullptr,
     "<rect id='r' width='20' height='20' fill='url(#r) red'/>",
     {{10, 10, kRed}}},
    {"display none hides the subtree, but not a symbol's use",
     nullptr,
     "<rect width='20' height='20' display='none'/><g style='display:none'><rect "
     "x='25' width='20' height='20'/></g><rect id='r' x='50' width='20' height='20' "
     "display='none'/><use xlink:href='#r' y='25' display='inline'/><use "
     "xlink:href='#r' x='-50' y='50' display='none'/><svg y='75' width='20' "
     "height='20' display='none'><rect width='20' height='20'/></svg><symbol id='s' "
     "display='none'><rect width='20' height='20'/></symbol><use xlink:href='#s' "
     "x='75' fill='blue'/>",
     {{10, 10, kClear},
      {35, 10, kClear},
      {60, 35, kClear},
      {10, 60, kClear},
      {10, 85, kClear},
      {85, 10, kBlue}}},
    {"visibility is inherited and hides only own painting",
     nullptr,
     "<rect width='20' height='20' visibility='hidden'/><g visibility='hidden'><rect "
     "x='25' width='20' height='20'/><rect x='50' width='20' height='20' "
     "visibility='visible' fill='green'/></g><g style='visibility:collapse'><rect "
     "y='25' width='20' height='20' visibility='inherit'/></g>",
     {{10, 10, kClear}, {35, 10, kClear}, {60, 10, kGreen}, {10, 35, kClear}}},
    {"a root without size or viewBox draws one unit per pixel",
     "width='100%' height='100%'",
     "<rect x='10' y='10' width='20' height='20'/>",
     {{10, 10, kBlack}, {29, 29, kBlack}, {30, 30, kClear}}},
    {"meet centres the viewBox",
     "viewBox='0 0 10 20' preserveAspectRatio='xMidYMid meet'",
     "<rect width='10' height='20'/>",
     {{25, 50, kBlack}, {24, 50, kClear}, {74, 50, kBlack}}},
    {"meet after white space, as the keyword alone",
     "viewBox='0 0 20 10' preserveAspectRatio=' xMinYMax\tmeet '",
     "<rect width='20' height='10'/>",
     {{0, 50, kBlack}, {50, 49, kClear}}},
    {"none stretches, whatever follows",
     "viewBox='0 0 20 10' preserveAspectRatio='none slice'",
     "<rect width='20' height='10'/>",
     {{0, 0, kBlack}, {99, 99, kBlack}}},
    {"slice covers the viewport",
     "viewBox='0 0 10 20' preserveAspectRatio='xMidYMax slice'",
     "<rect y='15' width='10' height='5' fill='red'/>",
     {{0, 50, kRed}, {99, 99, kRed}, {50, 49, kClear}}},
};

const Row kSheetRows[] = {
    {"classes of a design-tool export, the sheet in CDATA after the shapes",
     nullptr,
     "<rect class='cls-1' width='40' height='40'/><circle class='cls-2' cx='75' cy='25' "
     "r='15'/><defs><style type='text/css'><![CDATA[\n .cls-1{fill:#f00}\n "
     ".cls-2{fill:none;stroke:#00f;stroke-width:6}\n]]></style></defs>",
     {{20, 20, kRed}, {75, 10, kBlue}, {75, 25, kClear}}},
    {"presentation attribute < sheet < style attribute, !important above all",
     nullptr,
     "<style>rect{fill:red} .x{fill:blue} #y{fill:green}</style><rect width='20' "
     "height='20' fill='yellow'/><rect class='x' x='25' width='20' height='20' "
     "style='fill:lime'/><rect id='y' class='x' x='50' width='20' height='20'/><rect "
     "id='z' class='x' x='75' width='20' height='20' style='fill:lime'/><style>#z{fill:"
     "purple!important}</style>",
     {{10, 10, kRed}, {35, 10, kLime}, {60, 10, kGreen}, {85, 10, kPurple}}},
    {"copies of use keep the style the sheet gave their source",
     nullptr,
     "<defs><rect id='r' class='a' width='20' height='20'/><rect id='p' width='20' "
     "height='20'/></defs><style>.a{fill:red} g.b rect{fill:blue} "
     "use.c{fill:green}</style><use xlink:href='#r'/><g class='b'><use xlink:href='#r' "
     "x='50'/><rect x='50' y='50' width='20' height='20'/></g><use class='c' "
     "xlink:href='#p' y='50'/>",
     {{10, 10, kRed}, {60, 10, kRed}, {60, 60, kBlue}, {10, 60, kGreen}}},
    {"stop colours from a sheet",
     nullptr,
     "<style>.s1{stop-color:red} .s2{stop-color:#00f}</style><linearGradient id='g'><stop "
     "offset='0' class='s1'/><stop offset='1' class='s2'/></linearGradient><rect "
     "width='100' height='100' fill='url(#g)'/>",
     {{0, 50, 0xFFFC0003}, {99, 50, 0xFF0300FC}}},
    {"text and tspan",
     nullptr,
     "<style>text{font-family:DejaVu Sans;font-size:50px;fill:green} .t{fill:red}</style>"
     "<text y='60'>\xE2\x96\x88<tspan class='t'>\xE2\x96\x88</tspan></text>",
     {{10, 40, kGreen}, {45, 40, kRed}}},
    {"the root styled, children inherit; a child combinator",
     nullptr,
     "<style>svg{fill:green;stroke:blue;stroke-width:4} svg > g > rect{stroke:none}"
     "</style><g><rect x='10' y='10' width='30' height='30'/></g><rect x='60' y='10' "
     "width='30' height='30'/>",
     {{25, 25, kGreen}, {25, 10, kGreen}, {75, 25, kGreen}, {60, 10, kBlue}}},
    {"broken sheets and other types are passed over, the rest applies",
     nullptr,
     "<style type='text/xsl'>rect{fill:red}</style><style>rect{fill:blue} "
     ".a{fill:green</style><style>}}}}{{{ /* open</style><style>@media "
     "screen{rect{fill:red}} circle{fill:lime}</style><rect width='20' height='20' "
     "class='a'/><rect x='50' width='20' height='20'/><circle cx='10' cy='60' r='10'/>",
     {{10, 10, kGreen}, {60, 10, kBlue}, {10, 60, kLime}}},
};

void Check(const Row* rows, size_t count, int tolerance) {
    for (const Row* row = rows; row != rows + count; ++row) {
        SCOPED_TRACE(row->what);
        ExpectPixels(
            RenderSvg(Svg(row->svgAttributes ? row->svgAttributes : "width=\"100\" height=\"100\"",
                          row->body),
                      100, 100),
            row->probes, tolerance);
    }
}

} // namespace

TEST(OrdinaryFiles, DrawAsSvgViewersDo) {
    Check(kRows, sizeof kRows / sizeof kRows[0], 1);
}

TEST(StyleSheets, DrawAsSvgViewersDo) {
    Check(kSheetRows, sizeof kSheetRows / sizeof kSheetRows[0], 8);
}
