// Documents styled by style sheets, drawn as SVG viewers draw them (the
// expected pixels were checked against rsvg-convert and resvg). Each row is a
// small document and the colours of a few pixels.

#include "SvgTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Probe {
    int x, y;
    uint32_t argb;
};

struct Row {
    const char* what;
    std::string body;
    std::vector<Probe> probes;
};

const uint32_t kClear = 0, kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF008000,
               kLime = 0xFF00FF00, kPurple = 0xFF800080;

const Row kRows[] = {
    {"classes of a design-tool export, the sheet in CDATA after the shapes",
     "<rect class='cls-1' width='40' height='40'/><circle class='cls-2' cx='75' cy='25' "
     "r='15'/><defs><style type='text/css'><![CDATA[\n .cls-1{fill:#f00}\n "
     ".cls-2{fill:none;stroke:#00f;stroke-width:6}\n]]></style></defs>",
     {{20, 20, kRed}, {75, 10, kBlue}, {75, 25, kClear}}},
    {"presentation attribute < sheet < style attribute, !important above all",
     "<style>rect{fill:red} .x{fill:blue} #y{fill:green}</style><rect width='20' "
     "height='20' fill='yellow'/><rect class='x' x='25' width='20' height='20' "
     "style='fill:lime'/><rect id='y' class='x' x='50' width='20' height='20'/><rect "
     "id='z' class='x' x='75' width='20' height='20' style='fill:lime'/><style>#z{fill:"
     "purple!important}</style>",
     {{10, 10, kRed}, {35, 10, kLime}, {60, 10, kGreen}, {85, 10, kPurple}}},
    {"copies of use keep the style the sheet gave their source",
     "<defs><rect id='r' class='a' width='20' height='20'/><rect id='p' width='20' "
     "height='20'/></defs><style>.a{fill:red} g.b rect{fill:blue} "
     "use.c{fill:green}</style><use xlink:href='#r'/><g class='b'><use xlink:href='#r' "
     "x='50'/><rect x='50' y='50' width='20' height='20'/></g><use class='c' "
     "xlink:href='#p' y='50'/>",
     {{10, 10, kRed}, {60, 10, kRed}, {60, 60, kBlue}, {10, 60, kGreen}}},
    {"stop colours from a sheet",
     "<style>.s1{stop-color:red} .s2{stop-color:#00f}</style><linearGradient id='g'><stop "
     "offset='0' class='s1'/><stop offset='1' class='s2'/></linearGradient><rect "
     "width='100' height='100' fill='url(#g)'/>",
     {{0, 50, 0xFFFC0003}, {99, 50, 0xFF0300FC}}},
    {"text and tspan",
     "<style>text{font-family:DejaVu Sans;font-size:50px;fill:green} .t{fill:red}</style>"
     "<text y='60'>\xE2\x96\x88<tspan class='t'>\xE2\x96\x88</tspan></text>",
     {{10, 40, kGreen}, {45, 40, kRed}}},
    {"the root styled, children inherit; a child combinator",
     "<style>svg{fill:green;stroke:blue;stroke-width:4} svg > g > rect{stroke:none}"
     "</style><g><rect x='10' y='10' width='30' height='30'/></g><rect x='60' y='10' "
     "width='30' height='30'/>",
     {{25, 25, kGreen}, {25, 10, kGreen}, {75, 25, kGreen}, {60, 10, kBlue}}},
    {"broken sheets and other types are passed over, the rest applies",
     "<style type='text/xsl'>rect{fill:red}</style><style>rect{fill:blue} "
     ".a{fill:green</style><style>}}}}{{{ /* open</style><style>@media "
     "screen{rect{fill:red}} circle{fill:lime}</style><rect width='20' height='20' "
     "class='a'/><rect x='50' width='20' height='20'/><circle cx='10' cy='60' r='10'/>",
     {{10, 10, kGreen}, {60, 10, kBlue}, {10, 60, kLime}}},
};

} // namespace

TEST(StyleSheets, DrawAsSvgViewersDo) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.what);
        Picture p = RenderSvg(Svg("width=\"100\" height=\"100\"", row.body), 100, 100);
        for (const Probe& probe : row.probes)
            EXPECT_TRUE(NearArgb(p.At(probe.x, probe.y), probe.argb, 8))
                << "at " << probe.x << ", " << probe.y;
    }
}
