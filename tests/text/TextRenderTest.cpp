// Text drawn through the library: where the ink lands, which styles reach a
// run, and its colours.

#include "SvgTestSupport.h"

#include <gtest/gtest.h>

namespace {

const int kWidth = 200;
const int kHeight = 100;

// A kWidth × kHeight picture of body.
Picture DrawWide(const std::string& body) {
    return Draw(body, kWidth, kHeight);
}

// A run of text in DejaVu Sans at size 20, with extra attributes on the tspan.
std::string TspanRun(const std::string& tspanAttributes, const std::string& text = "Hello") {
    return "<text font-family='DejaVu Sans' font-size='20'><tspan font-family='DejaVu Sans' "
           "x='100' y='50' " +
           tspanAttributes + ">" + text + "</tspan></text>";
}

bool Has(const Picture& picture, uint32_t argb) {
    for (uint32_t p : picture.pixels)
        if (p == argb)
            return true;
    return false;
}

int InkPixels(const Picture& picture) {
    int n = 0;
    for (uint32_t p : picture.pixels)
        n += Picture::Alpha(p) >= 128;
    return n;
}

} // namespace

TEST(TextRendering, AnchorPlacesTheRunOnX) {
    // A tspan run, then the glyphs of character data, anchored as one chunk.
    std::string attributes = "font-family='DejaVu Sans' font-size='20' x='100' y='50' ";
    InkBox run;
    for (bool glyphs : {false, true}) {
        SCOPED_TRACE(glyphs ? "character data" : "tspan");
        auto ink = [&](const std::string& anchor) {
            return FindInk(DrawWide(glyphs ? "<text " + attributes + anchor + ">Hello</text>"
                                           : TspanRun(anchor)));
        };
        InkBox start = ink(""), middle = ink("text-anchor='middle'"),
               end = ink("text-anchor='end'");
        ASSERT_FALSE(start.Empty());
        EXPECT_GE(start.left, 100);
        EXPECT_LE(start.left, 104);
        EXPECT_NEAR(middle.CenterX(), 100, 2.5);
        EXPECT_LE(end.right, 100);
        EXPECT_GE(end.right, 95);
        EXPECT_NEAR(start.Width(), end.Width(), 1);
        // The baseline lies on y: "Hello" stands on it.
        for (const InkBox& box : {start, middle, end}) {
            EXPECT_EQ(box.bottom, 49);
            EXPECT_GT(box.Height(), 12);
        }
        // Glyph by glyph, the word is as wide as the run.
        if (glyphs) {
            EXPECT_NEAR(start.Width(), run.Width(), 2);
        }
        run = start;
    }
}

TEST(TextRendering, BaselineSitsOnY) {
    // A 40-px "H" at y 50 stands on row 49 (runs: AnchorPlacesTheRunOnX), 29 rows
    // high in DejaVu Sans, 26 in Liberation Serif.
    const std::pair<const char*, int> rows[] = {
        {"<text x='10' y='50' font-size='40' font-family='DejaVu Sans'>H</text>", 21},
        {"<text x='10' y='50' font-size='40' font-family='Liberation Serif'>H</text>", 24}};
    for (auto [body, top] : rows) {
        InkBox h = FindInk(DrawWide(body));
        EXPECT_EQ(h.bottom, 49) << body;
        EXPECT_EQ(h.top, top) << body;
    }
}

TEST(TextRendering, FontPropertiesInherit) {
    // Family, weight, style, size and anchor set on a group reach the text's
    // glyphs and a tspan's run as if set on them.
    std::string font = "font-family='DejaVu Sans' font-weight='bold' font-style='italic' "
                       "font-size='20' text-anchor='middle'";
    Picture own = DrawWide("<text><tspan x='100' y='50' " + font + ">Hello</tspan></text>");
    Picture fromText = DrawWide("<text " + font + "><tspan x='100' y='50'>Hello</tspan></text>");
    Picture fromGroup =
        DrawWide("<g " + font + "><text><tspan x='100' y='50'>Hello</tspan></text></g>");
    EXPECT_EQ(DifferentPixels(own, fromText), 0);
    EXPECT_EQ(DifferentPixels(own, fromGroup), 0);
    EXPECT_NEAR(FindInk(own).CenterX(), 100, 2.5);
    Picture glyphs = DrawWide("<text x='100' y='50' " + font + ">Hello</text>");
    Picture glyphsFromGroup = DrawWide("<g " + font + "><text x='100' y='50'>Hello</text></g>");
    EXPECT_EQ(DifferentPixels(glyphs, glyphsFromGroup), 0);
    EXPECT_LT(DifferentPixels(glyphs, own), 100); // glyph by glyph, nearly the run

    // Without any family, text is drawn as Times New Roman.
    Picture none = DrawWide("<text><tspan x='20' y='50' font-size='20'>Hello</tspan></text>");
    Picture times = DrawWide("<text><tspan x='20' y='50' font-size='20' font-family='Times New "
                             "Roman'>Hello</tspan></text>");
    EXPECT_EQ(DifferentPixels(none, times), 0);
}

TEST(TextRendering, WeightStyleAndDecoration) {
    Picture regular = DrawWide(TspanRun("")), bold = DrawWide(TspanRun("font-weight='bold'"));
    EXPECT_GT(InkPixels(bold), InkPixels(regular) + 20);
    for (const char* weight : {"700", "600", "900", "bolder"})
        EXPECT_EQ(
            DifferentPixels(DrawWide(TspanRun("font-weight='" + std::string(weight) + "'")), bold),
            0)
            << weight;
    EXPECT_EQ(DifferentPixels(DrawWide(TspanRun("font-weight='500'")), regular), 0);
    EXPECT_GT(DifferentPixels(DrawWide(TspanRun("font-style='oblique'")), regular), 20);
    InkBox plain = FindInk(DrawWide(TspanRun("", "ooo")));
    InkBox underlined = FindInk(DrawWide(TspanRun("text-decoration='underline'", "ooo")));
    EXPECT_GT(underlined.bottom, plain.bottom);
    int both = InkPixels(DrawWide(TspanRun("text-decoration='underline line-through'", "ooo")));
    EXPECT_GT(both, InkPixels(DrawWide(TspanRun("text-decoration='underline'", "ooo"))) + 10);
}

TEST(TextRendering, CharacterDataAroundATspan) {
    std::string open = "<text font-family='DejaVu Sans' font-size='20' x='10' y='40'>";
    std::string tspan = "<tspan x='120' y='90'>B</tspan>";
    InkBox all = FindInk(DrawWide(open + "A" + tspan + "C</text>"));
    InkBox a = FindInk(DrawWide(open + "A</text>"));
    InkBox bc = FindInk(DrawWide(open + "<tspan x='120' y='90'>BC</tspan></text>"));
    // A sits at the text's point; B at its own, and C follows B.
    EXPECT_GE(a.left, 10);
    EXPECT_LT(a.bottom, 40);
    EXPECT_GE(bc.left, 120);
    EXPECT_EQ(all.left, a.left);
    EXPECT_EQ(all.top, a.top);
    EXPECT_NEAR(all.right, bc.right, 1);
    EXPECT_EQ(all.bottom, bc.bottom);
}

TEST(TextRendering, TspansContinueTheLineInTheirOwnColours) {
    // Runs without a position follow the text before them, on its baseline, in
    // their own fill; the line is as long as when drawn as one run.
    std::string font = "font-family='DejaVu Sans' font-size='20'";
    Picture line = DrawWide("<text x='10' y='50' " + font +
                            ">Ab<tspan fill='#0000ff'>Cd <tspan fill='#ff0000'>ef</tspan> g</tspan>"
                            " h</text>");
    InkBox whole =
        FindInk(DrawWide("<text " + font + "><tspan x='10' y='50'>AbCd ef g h</tspan></text>"));
    InkBox drawn = FindInk(line);
    EXPECT_EQ(drawn.left, whole.left);
    EXPECT_NEAR(drawn.right, whole.right, 2);
    EXPECT_EQ(drawn.top, whole.top);
    EXPECT_EQ(drawn.bottom, whole.bottom);
    EXPECT_TRUE(Has(line, 0xFF0000FFu));
    EXPECT_TRUE(Has(line, 0xFFFF0000u));
    // dx and dy shift a run and what follows it.
    auto ink = [&](const char* shift) {
        return FindInk(DrawWide("<text x='10' y='50' " + font + ">Ab<tspan " + shift +
                                ">Cd</tspan>ef</text>"));
    };
    InkBox plain = ink(""), shifted = ink("dx='30' dy='-20'");
    EXPECT_EQ(shifted.right, plain.right + 30);
    EXPECT_EQ(shifted.top, plain.top - 20);
    EXPECT_EQ(shifted.bottom, plain.bottom);
}

TEST(TextRendering, AnchorAlignsTheWholeChunk) {
    std::string font = "font-family='DejaVu Sans' font-size='20' ";
    for (const char* anchor : {"middle", "end"}) {
        // A chunk over glyphs and runs, anchored by its first piece's anchor.
        InkBox chunk =
            FindInk(DrawWide("<text x='100' y='50' " + font + "text-anchor='" + anchor +
                             "'>Mid<tspan fill='blue' text-anchor='start'>dle</tspan> </text>"));
        InkBox run = FindInk(DrawWide("<text " + font + "text-anchor='" + anchor +
                                      "'><tspan x='100' y='50'>Middle</tspan></text>"));
        EXPECT_NEAR(chunk.left, run.left, 2) << anchor;
        EXPECT_NEAR(chunk.right, run.right, 2) << anchor;
    }
    // A run ending in a space keeps the space's advance before x.
    InkBox spaced = FindInk(DrawWide("<text " + font +
                                     "text-anchor='end' xml:space='preserve'><tspan x='100' "
                                     "y='50'>ab </tspan></text>"));
    EXPECT_LT(spaced.right, 95);
}

TEST(TextRendering, FillAndStrokeColours) {
    EXPECT_TRUE(Has(DrawWide(TspanRun("fill='#0000ff'", "HH")), 0xFF0000FFu));

    Picture outlined = DrawWide(TspanRun("fill='none' stroke='#ff0000' stroke-width='3'", "HH"));
    bool red = false, other = false;
    for (uint32_t p : outlined.pixels) {
        if (Picture::Alpha(p) == 0)
            continue;
        red = red || p == 0xFFFF0000u;
        other = other || Picture::Green(p) != 0 || Picture::Blue(p) != 0;
    }
    EXPECT_TRUE(red);
    EXPECT_FALSE(other);
    // Glyphs paint with the text element's own fill.
    EXPECT_TRUE(
        Has(DrawWide("<text font-size='20' x='10' y='50' fill='lime'>H</text>"), 0xFF00FF00u));
}

TEST(TextRendering, NonAsciiCharactersDrawOnce) {
    // Glyph by glyph, a minus sign and an accented letter draw as in a run,
    // not as the Windows-1252 reading of their bytes.
    for (const char* text : {"\xE2\x88\x92"
                             "1.0",
                             "caf\xC3\xA9"}) {
        Picture glyphs = DrawWide("<text x='20' y='50' font-family='DejaVu Sans' font-size='20'>" +
                                  std::string(text) + "</text>");
        Picture run =
            DrawWide("<text font-family='DejaVu Sans' font-size='20'><tspan x='20' y='50'>" +
                     std::string(text) + "</tspan></text>");
        EXPECT_NEAR(FindInk(glyphs).Width(), FindInk(run).Width(), 1) << text;
        EXPECT_LT(DifferentPixels(glyphs, run), 60) << text;
    }
}

TEST(TextRendering, HostileTextDrawsSafely) {
    // Nonsense sizes draw nothing.
    for (const std::string& body :
         {TspanRun("font-size='-5'"), TspanRun("font-size='0'"),
          std::string("<text><tspan x='3e38' y='50'>Hello</tspan><tspan x='10' "
                      "y='-3e38'>Hello</tspan></text>"),
          std::string("<text x='3e38 -3e38' y='50'>ab</text>")})
        EXPECT_TRUE(FindInk(DrawWide(body)).Empty()) << body;
    std::string longRun(20000, 'W');
    InkBox cut = FindInk(DrawWide(TspanRun("font-size='10'", longRun)));
    EXPECT_FALSE(cut.Empty());
    std::string longFamily(5000, 'F');
    EXPECT_FALSE(FindInk(DrawWide("<text><tspan x='10' y='50' font-family='" + longFamily +
                                  "'>Hi</tspan></text>"))
                     .Empty());
    // A second draw gives the same picture.
    std::string doc = SvgDocument(kWidth, kHeight, TspanRun("stroke='red'"));
    std::vector<Picture> twice = RenderSvgTimes(doc, kWidth, kHeight, 2);
    EXPECT_EQ(DifferentPixels(twice[0], twice[1]), 0);
}
