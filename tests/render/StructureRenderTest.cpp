// Ordinary files drawn as SVG viewers draw them: subpaths, exact shapes, style
// given on svg and symbol or by style sheets, use copies, hidden content,
// viewports. Each row is a small document and the colours of a few pixels (the
// style sheets' checked against rsvg-convert and resvg).

#include "SvgTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const uint32_t kClear = 0, kBlack = 0xFF000000, kRed = 0xFFFF0000, kBlue = 0xFF0000FF,
               kGreen = 0xFF008000, kLime = 0xFF00FF00, kPurple = 0xFF800080;

const std::vector<PictureRow> kRows = {
    {"later moves start new subpaths",
     "<path d='M10 10 L40 10 M60 10 L90 10' stroke='blue' stroke-width='4'/>"
     "<path d='M10 90 L30 90 L20 70 M70 40 L90 40 L80 60' fill='red'/>",
     {Px(25, 10, kBlue), Px(50, 10, kClear), Px(20, 85, kRed), Px(80, 45, kRed),
      Px(50, 60, kClear)}},
    {"a points list ends at a huge number",
     "<polygon points='10,10 90,10 90,90 10,90 1e39,50' fill='red'/>",
     {Px(50, 50, kRed), Px(95, 50, kClear)}},
    {"a missing or auto radius takes the other",
     "<ellipse cx='25' cy='25' ry='20'/><ellipse cx='75' cy='25' rx='20' ry='auto'/>"
     "<rect y='50' width='40' height='40' rx='auto' ry='20' fill='red'/>",
     {Px(25, 7, kBlack), Px(7, 25, kBlack), Px(93, 25, kBlack), Px(75, 7, kBlack),
      Px(2, 52, kClear), Px(20, 70, kRed)}},
    {"rectangles keep their exact size",
     "<rect x='0.5' y='0.5' width='8.9' height='8.9'/>",
     {Px(5, 5, kBlack), Px(4, 4, kClear), Px(93, 93, kBlack), Px(94, 94, kClear)},
     "width='100' height='100' viewBox='0 0 10 10'"},
    {"style on the root is inherited",
     "<path d='M20 50 H80'/><circle cx='50' cy='50' r='30'/>",
     {Px(50, 50, kBlack), Px(50, 20, kBlack), Px(50, 35, kClear), Px(50, 46, kClear)},
     "width='100' height='100' fill='none' stroke='currentColor' stroke-width='4' "
     "style='stroke-linecap:round'"},
    {"style on nested svg and symbol is inherited",
     "<svg width='50' height='50' fill='green' color='blue'><rect width='20' "
     "height='20'/><rect y='25' width='20' height='20' fill='currentColor'/></svg>"
     "<symbol id='s' fill='red'><rect width='20' height='20'/></symbol>"
     "<use xlink:href='#s' x='50'/>",
     {Px(10, 10, kGreen), Px(10, 35, kBlue), Px(60, 10, kRed)}},
    {"copies keep their own style and inherit the rest from the use",
     "<defs><g fill='green'><circle id='red' cx='10' cy='10' r='8' fill='red'/></g>"
     "<rect id='plain' width='20' height='20'/><g id='group' fill='red'><rect "
     "width='10' height='20'/><rect x='10' width='10' height='20' fill='blue'/></g>"
     "</defs><use xlink:href='#red' fill='blue'/><use xlink:href='#plain' x='25' "
     "fill='blue'/><use xlink:href='#plain' x='50'/><use xlink:href='#group' x='75' "
     "fill='green'/><g fill='green'><use xlink:href='#plain' y='50'/></g>",
     {Px(10, 10, kRed), Px(35, 10, kBlue), Px(60, 10, kBlack), Px(80, 10, kRed), Px(90, 10, kBlue),
      Px(10, 60, kGreen)}},
    // The source's transform applies inside the use's offset; 1em follows the
    // font size the copy inherits (4), not the source's (20).
    {"copies keep their transform, not what the source inherited",
     "<g font-size='20'><line id='l' x2='40' stroke='black' stroke-width='1em' "
     "transform='translate(0 50)'/></g><use xlink:href='#l' x='50' font-size='4'/>",
     {Px(20, 42, kBlack), Px(70, 42, kClear), Px(70, 50, kBlack)}},
    {"copies keep the geometry of every shape",
     "<defs><path id='a' d='M0 0 h20 v20 h-20 z'/><polygon id='b' points='0,0 20,0 "
     "20,20 0,20'/><polyline id='c' points='0,0 20,0 20,20 0,20'/><line id='d' y1='10' "
     "x2='20' y2='10' stroke-width='6'/></defs><use xlink:href='#a' x='5' y='5' "
     "fill='red'/><use xlink:href='#b' x='30' y='5' fill='red'/><use xlink:href='#c' "
     "x='55' y='5' fill='red'/><use xlink:href='#d' x='5' y='50' stroke='red'/>",
     {Px(15, 15, kRed), Px(40, 15, kRed), Px(65, 15, kRed), Px(15, 60, kRed)}},
    // As flags draw rows of stars.
    {"uses and svgs in a copied group keep their place",
     "<g id='row'><rect id='dot' width='10' height='10' fill='red'/><use "
     "xlink:href='#dot' x='20'/><svg x='40' width='10' height='10' viewBox='0 0 1 "
     "1'><rect width='1' height='1' fill='blue'/></svg></g><use xlink:href='#row' "
     "y='50'/>",
     {Px(5, 55, kRed), Px(25, 55, kRed), Px(45, 55, kBlue), Px(15, 55, kClear)}},
    {"a paint reference to an element that is no paint server takes the fallback",
     "<rect id='r' width='20' height='20' fill='url(#r) red'/>",
     {Px(10, 10, kRed)}},
    {"display none hides the subtree, but not a symbol's use",
     "<rect width='20' height='20' display='none'/><g style='display:none'><rect "
     "x='25' width='20' height='20'/></g><rect id='r' x='50' width='20' height='20' "
     "display='none'/><use xlink:href='#r' y='25' display='inline'/><use "
     "xlink:href='#r' x='-50' y='50' display='none'/><svg y='75' width='20' "
     "height='20' display='none'><rect width='20' height='20'/></svg><symbol id='s' "
     "display='none'><rect width='20' height='20'/></symbol><use xlink:href='#s' "
     "x='75' fill='blue'/>",
     {Px(10, 10, kClear), Px(35, 10, kClear), Px(60, 35, kClear), Px(10, 60, kClear),
      Px(10, 85, kClear), Px(85, 10, kBlue)}},
    {"visibility is inherited and hides only own painting",
     "<rect width='20' height='20' visibility='hidden'/><g visibility='hidden'><rect "
     "x='25' width='20' height='20'/><rect x='50' width='20' height='20' "
     "visibility='visible' fill='green'/></g><g style='visibility:collapse'><rect "
     "y='25' width='20' height='20' visibility='inherit'/></g>",
     {Px(10, 10, kClear), Px(35, 10, kClear), Px(60, 10, kGreen), Px(10, 35, kClear)}},
    {"a root without size or viewBox draws one unit per pixel",
     "<rect x='10' y='10' width='20' height='20'/>",
     {Px(10, 10, kBlack), Px(29, 29, kBlack), Px(30, 30, kClear)},
     "width='100%' height='100%'"},
    {"a viewBox of no size draws nothing",
     "<rect width='10' height='10' fill='red'/>",
     {Px(5, 5, kClear)},
     "width='20' height='20' viewBox='0 0 0 0'"},
    {"meet centres the viewBox",
     "<rect width='10' height='20'/>",
     {Px(25, 50, kBlack), Px(24, 50, kClear), Px(74, 50, kBlack)},
     "width='100' height='100' viewBox='0 0 10 20' preserveAspectRatio='xMidYMid meet'"},
    {"meet after white space, as the keyword alone",
     "<rect width='20' height='10'/>",
     {Px(0, 50, kBlack), Px(50, 49, kClear)},
     "width='100' height='100' viewBox='0 0 20 10' preserveAspectRatio=' xMinYMax\tmeet '"},
    {"none stretches, whatever follows",
     "<rect width='20' height='10'/>",
     {Px(0, 0, kBlack), Px(99, 99, kBlack)},
     "width='100' height='100' viewBox='0 0 20 10' preserveAspectRatio='none slice'"},
    {"slice covers the viewport",
     "<rect y='15' width='10' height='5' fill='red'/>",
     {Px(0, 50, kRed), Px(99, 99, kRed), Px(50, 49, kClear)},
     "width='100' height='100' viewBox='0 0 10 20' preserveAspectRatio='xMidYMax slice'"},
};

const std::vector<PictureRow> kSheetRows = {
    {"classes of a design-tool export, the sheet in CDATA after the shapes",
     "<rect class='cls-1' width='40' height='40'/><circle class='cls-2' cx='75' cy='25' "
     "r='15'/><defs><style type='text/css'><![CDATA[\n .cls-1{fill:#f00}\n "
     ".cls-2{fill:none;stroke:#00f;stroke-width:6}\n]]></style></defs>",
     {Px(20, 20, kRed), Px(75, 10, kBlue), Px(75, 25, kClear)}},
    {"presentation attribute < sheet < style attribute, !important above all",
     "<style>rect{fill:red} .x{fill:blue} #y{fill:green}</style><rect width='20' "
     "height='20' fill='yellow'/><rect class='x' x='25' width='20' height='20' "
     "style='fill:lime'/><rect id='y' class='x' x='50' width='20' height='20'/><rect "
     "id='z' class='x' x='75' width='20' height='20' style='fill:lime'/><style>#z{fill:"
     "purple!important}</style>",
     {Px(10, 10, kRed), Px(35, 10, kLime), Px(60, 10, kGreen), Px(85, 10, kPurple)}},
    {"copies of use keep the style the sheet gave their source",
     "<defs><rect id='r' class='a' width='20' height='20'/><rect id='p' width='20' "
     "height='20'/></defs><style>.a{fill:red} g.b rect{fill:blue} "
     "use.c{fill:green}</style><use xlink:href='#r'/><g class='b'><use xlink:href='#r' "
     "x='50'/><rect x='50' y='50' width='20' height='20'/></g><use class='c' "
     "xlink:href='#p' y='50'/>",
     {Px(10, 10, kRed), Px(60, 10, kRed), Px(60, 60, kBlue), Px(10, 60, kGreen)}},
    {"stop colours from a sheet",
     "<style>.s1{stop-color:red} .s2{stop-color:#00f}</style><linearGradient id='g'><stop "
     "offset='0' class='s1'/><stop offset='1' class='s2'/></linearGradient><rect "
     "width='100' height='100' fill='url(#g)'/>",
     {Px(0, 50, 0xFFFC0003), Px(99, 50, 0xFF0300FC)}},
    {"text and tspan",
     "<style>text{font-family:DejaVu Sans;font-size:50px;fill:green} .t{fill:red}</style>"
     "<text y='60'>\xE2\x96\x88<tspan class='t'>\xE2\x96\x88</tspan></text>",
     {Px(10, 40, kGreen), Px(45, 40, kRed)}},
    {"the root styled, children inherit; a child combinator",
     "<style>svg{fill:green;stroke:blue;stroke-width:4} svg > g > rect{stroke:none}"
     "</style><g><rect x='10' y='10' width='30' height='30'/></g><rect x='60' y='10' "
     "width='30' height='30'/>",
     {Px(25, 25, kGreen), Px(25, 10, kGreen), Px(75, 25, kGreen), Px(60, 10, kBlue)}},
    {"broken sheets and other types are passed over, the rest applies",
     "<style type='text/xsl'>rect{fill:red}</style><style>rect{fill:blue} "
     ".a{fill:green</style><style>}}}}{{{ /* open</style><style>@media "
     "print{rect{fill:red}} circle{fill:lime}</style><rect width='20' height='20' "
     "class='a'/><rect x='50' width='20' height='20'/><circle cx='10' cy='60' r='10'/>",
     {Px(10, 10, kGreen), Px(60, 10, kBlue), Px(10, 60, kLime)}},
    {"siblings and places among the root's children (loaded one after another)",
     "<style>rect{fill:red} :nth-child(odd){fill:green} .a + rect{fill:blue} .a ~ .c{fill:lime}"
     "</style><rect class='a' width='20' height='20'/><rect x='25' width='20' height='20'/>"
     "<rect class='c' x='50' width='20' height='20'/><rect x='75' width='20' height='20'/>",
     {Px(10, 10, kRed), Px(35, 10, kBlue), Px(60, 10, kLime), Px(85, 10, kGreen)}},
    {"a chain that holds only at the farther of two ancestors",
     "<style>rect{fill:red} .p > .q ~ .r rect{fill:green}</style><g class='p'><g class='q'/>"
     "<g/><g class='r'><g class='p'><g class='r'><rect width='20' height='20'/></g></g></g></g>",
     {Px(10, 10, kGreen)}},
    {"media queries test the document's own size, not its viewBox",
     "<style>@media (min-width:101px){rect{fill:red}} @media (width:100px) and "
     "(orientation:landscape){rect{fill:green}} @media (max-aspect-ratio:1/1){rect{fill:blue}}"
     "</style><rect width='200' height='100'/>",
     {Px(50, 20, kGreen)},
     "width='100' height='50' viewBox='0 0 200 100'"},
};

// Structure: switch and conditions, links, uses of later elements, nested
// viewports, transform-origin and transform as a property, children of
// shapes, comments in style attributes, the root's viewBox, absolute units.
const std::vector<PictureRow> kStructureRows = {
    {"switch draws its first child whose conditions pass; they hide others too",
     "<switch><rect systemLanguage='zz' width='20' height='20' fill='red'/><rect width='20' "
     "height='20' fill='green'/><rect x='25' width='20' height='20' fill='red'/></switch>"
     "<switch><rect systemLanguage='' x='50' width='20' height='20' fill='red'/><rect "
     "requiredExtensions='' x='50' width='20' height='20' fill='red'/><rect "
     "requiredFeatures='http://www.w3.org/TR/SVG11/feature#Font' x='50' width='20' "
     "height='20' fill='red'/><rect requiredFeatures='http://www.w3.org/TR/SVG11/feature#Shape' "
     "systemLanguage='fr, EN-gb' x='50' width='20' height='20' fill='green'/></switch>"
     "<switch><desc/><rect systemLanguage='zz' x='75' width='20' height='20' fill='red'/>"
     "</switch><rect systemLanguage='zz' y='25' width='20' height='20' fill='red'/><g "
     "requiredExtensions='x'><rect x='25' y='25' width='20' height='20' fill='red'/></g><rect "
     "id='hid' systemLanguage='zz' x='50' y='25' width='20' height='20' fill='red'/><use "
     "href='#hid'/>",
     {Px(10, 10, kGreen), Px(35, 10, kClear), Px(60, 10, kGreen), Px(85, 10, kClear),
      Px(10, 35, kClear), Px(35, 35, kClear), Px(60, 35, kClear)}},
    {"a link is a group, and a run inside text",
     "<a href='#x' fill='green' transform='translate(50 0)'><rect width='20' height='20'/></a>"
     "<text y='90' style='font-family:DejaVu Sans;font-size:50px' fill='red'>\xE2\x96\x88<a "
     "fill='green'>\xE2\x96\x88</a></text>",
     {Px(60, 10, kGreen), Px(10, 80, kRed), Px(45, 80, kGreen)}},
    {"use finds elements written after it; cycles and references without # draw nothing",
     "<use href='#row' y='50'/><g id='row'><use href='#dot'/><use href='#dot' x='25'/></g>"
     "<g id='loop'><rect x='50' y='25' width='20' height='20' fill='green'/><use href='#loop' "
     "x='25'/></g><use href='dot' x='75'/><rect id='dot' width='20' height='20' fill='green'/>",
     {Px(10, 60, kGreen), Px(35, 60, kGreen), Px(35, 10, kGreen), Px(60, 35, kGreen),
      Px(85, 35, kClear), Px(85, 10, kClear)}},
    {"nested svg: its viewBox met and centred, cut to its viewport",
     "<svg x='20' y='20' width='60' height='60' viewBox='0 0 20 10'><rect x='-10' width='40' "
     "height='10' fill='green'/></svg>",
     {Px(10, 50, kClear), Px(50, 50, kGreen), Px(90, 50, kClear), Px(50, 30, kClear),
      Px(50, 36, kGreen)}},
    {"nested svg: 100% by default, everything shown with overflow visible",
     "<svg x='25' viewBox='0 0 20 20' overflow='visible'><rect x='-5' y='5' width='10' "
     "height='5' fill='green'/></svg>",
     {Px(10, 40, kGreen), Px(45, 30, kGreen), Px(55, 30, kClear), Px(40, 60, kClear)}},
    {"a use gives a symbol or an svg its size; a symbol is cut to it",
     "<symbol id='s' viewBox='0 0 10 10'><rect x='-5' width='20' height='10' fill='green'/>"
     "</symbol><use href='#s' x='25' y='25' width='50' height='50'/><defs><svg id='v' "
     "width='10' height='10' viewBox='0 0 10 10'><circle cx='5' cy='5' r='5' fill='blue'/>"
     "</svg></defs><use href='#v' width='20' height='20'/>",
     {Px(20, 50, kClear), Px(50, 50, kGreen), Px(80, 50, kClear), Px(10, 10, kBlue),
      Px(18, 10, kBlue)}},
    {"transform-origin, and transform as a property winning over the attribute",
     "<rect width='20' height='20' fill='green' transform='scale(2)' transform-origin='10 10'/>"
     "<rect x='30' width='40' height='10' fill='blue' style='transform: rotate(90deg); "
     "transform-origin: 50px 5px'/><rect width='10' height='10' fill='purple' "
     "transform='translate(90 90)' style='transform: translate(1in, 0) scale(0.5)'/><rect "
     "width='10' height='10' fill='lime' transform='translate(0 80)' style='transform: "
     "translate(10, 10)'/>",
     {Px(25, 25, kGreen), Px(35, 35, kClear), Px(50, 20, kBlue), Px(35, 5, kClear),
      Px(98, 2, kPurple), Px(92, 92, kClear), Px(5, 85, kLime)}},
    {"children of shapes, images, stops and gradients are not drawn, but can be used",
     "<rect width='20' height='20' fill='green'><rect x='50' width='20' height='20' "
     "fill='red'/></rect><circle r='1'><g><rect y='50' width='20' height='20' fill='red'/></g>"
     "</circle><stop><rect x='25' y='50' width='20' height='20' fill='red'/></stop>"
     "<linearGradient><rect x='50' y='50' width='20' height='20' fill='red'/></linearGradient>"
     "<rect x='75' width='20' height='20' fill='url(#in)'><linearGradient id='in'><stop "
     "stop-color='blue'/></linearGradient></rect><image><rect id='r' x='75' y='50' "
     "width='20' height='20' fill='red'/></image><use href='#r' y='25' fill='green'/>",
     {Px(10, 10, kGreen), Px(60, 10, kClear), Px(10, 60, kClear), Px(35, 60, kClear),
      Px(60, 60, kClear), Px(85, 10, kBlue), Px(85, 60, kClear), Px(85, 80, kRed)}},
    {"comments in style attributes",
     "<rect width='20' height='20' fill='red' style='fill/*a*/:/*b;*/green/*c*/'/><rect "
     "x='25' width='20' height='20' fill='green' stroke='red' stroke-width='6' "
     "style='stroke:none/**/;'/><rect x='50' width='20' height='20' "
     "style='fill:green;/*fill:red;*/'/>",
     {Px(10, 10, kGreen), Px(26, 10, kGreen), Px(23, 10, kClear), Px(60, 10, kGreen)}},
    {"the root's viewBox is met and centred in the document's own size",
     "<rect width='100' height='50' fill='green'/>",
     {Px(50, 20, kClear), Px(50, 30, kGreen), Px(50, 80, kClear)},
     "width='100' height='100' viewBox='0 0 100 50'"},
    {"96 user units to the inch",
     "<rect width='1in' height='0.5in' fill='green'/>",
     {Px(95, 47, kGreen), Px(97, 49, kClear)}},
};

} // namespace

TEST(OrdinaryFiles, DrawAsSvgViewersDo) {
    ExpectRows(kRows, 1);
}

TEST(StyleSheets, DrawAsSvgViewersDo) {
    ExpectRows(kSheetRows, 8);
}

TEST(StructureElements, DrawAsSvgViewersDo) {
    ScopedEnv language("LC_ALL", "en_US.UTF-8");
    ExpectRows(kStructureRows, 8);
}
