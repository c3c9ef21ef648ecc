// Text decorations placed from the font's own tables, the paint and extent
// they take, tref, and text kept as text in vector output.

#include "FontMetrics.h"
#include "SvgTestSupport.h"

#include <hb-ot.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

const double kSize = 100, kBaseline = 150;

// Rows inked at column x: the first, and how many.
struct Rows {
    int top = -1, count = 0;
};
Rows Column(const Picture& picture, int x) {
    Rows rows;
    for (int y = 0; y < picture.height; ++y) {
        if (Picture::Alpha(picture.At(x, y)) >= 128) {
            rows.top = rows.top < 0 ? y : rows.top;
            ++rows.count;
        }
    }
    return rows;
}

// Preserved text in DejaVu Sans at size 100, baseline 150, from x 10.
Picture Line(const std::string& attributes, const std::string& inner = "    ") {
    return Draw("<text xml:space='preserve' x='10' y='150' font-family='DejaVu Sans' "
                "font-size='100' " +
                    attributes + ">" + inner + "</text>",
                400, 200);
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

} // namespace

TEST(TextDecoration, BarsSitWhereTheFontTablesPutThem) {
    FontMetrics font("DejaVu Sans");
    double underline = font.Metric(HB_OT_METRICS_TAG_UNDERLINE_SIZE, kSize);
    struct Case {
        const char* line;
        double top, thickness; // down from the baseline
    } cases[] = {
        {"underline", -font.Metric(HB_OT_METRICS_TAG_UNDERLINE_OFFSET, kSize), underline},
        {"line-through", -font.Metric(HB_OT_METRICS_TAG_STRIKEOUT_OFFSET, kSize),
         font.Metric(HB_OT_METRICS_TAG_STRIKEOUT_SIZE, kSize)},
        {"overline", -font.Metric(HB_OT_METRICS_TAG_HORIZONTAL_CLIPPING_ASCENT, kSize), underline},
    };
    int rows = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_GT(c.thickness, 3);
        // Four spaces: only the bar shows, across them and no further.
        Picture picture = Line(std::string("text-decoration='") + c.line + "'");
        Rows bar = Column(picture, 100);
        EXPECT_NEAR(bar.top, kBaseline + c.top, 1);
        EXPECT_NEAR(bar.count, c.thickness, 1);
        rows += bar.count;
        InkBox all = FindInk(picture);
        EXPECT_NEAR(all.left, 10, 1);
        EXPECT_NEAR(all.right + 1, 10 + 4 * font.Advance(" ", kSize), 1);
    }
    EXPECT_EQ(Column(Line("text-decoration='underline overline line-through'"), 100).count, rows);
    EXPECT_TRUE(FindInk(Line("text-decoration='none'")).Empty());
}

TEST(TextDecoration, TheDecoratingElementsPaintRunsUnderAndOverItsChildren) {
    // A blue full block in a red text with both lines: the underline goes
    // under the block, the line through over it; spaces around it are
    // underlined in red too, and a tspan's own decoration in its own colour.
    FontMetrics font("DejaVu Sans");
    Picture picture =
        Line("fill='#FF0000' text-decoration='underline line-through'",
             "  <tspan fill='#0000FF'>\u2588<tspan fill='#00FF00' text-decoration='underline'>"
             "  </tspan></tspan>");
    double space = font.Advance(" ", kSize), block = font.Advance("\u2588", kSize);
    int under = int(kBaseline - font.Metric(HB_OT_METRICS_TAG_UNDERLINE_OFFSET, kSize) + 1);
    int through = int(kBaseline - font.Metric(HB_OT_METRICS_TAG_STRIKEOUT_OFFSET, kSize) + 1);
    int blockX = int(10 + 2 * space + block / 2), after = int(10 + 2 * space + block + space);
    ExpectPixels(picture, {Px(int(10 + space), under, 0xFFFF0000), Px(blockX, under, 0xFF0000FF),
                           Px(blockX, through, 0xFFFF0000), Px(after, through, 0xFFFF0000)});
    // Where the red and green underlines overlap, the inner one is drawn later.
    ExpectPixels(picture, {Px(after, under, 0xFF00FF00)});
}

TEST(TextDecoration, ALineForEachStretchOfGlyphsPlacedInARow) {
    FontMetrics font("DejaVu Sans");
    double space = font.Advance(" ", kSize);
    int under = int(kBaseline - font.Metric(HB_OT_METRICS_TAG_UNDERLINE_OFFSET, kSize) + 1);
    Picture picture = Line("text-decoration='underline'", "  <tspan dx='60'>  </tspan>");
    EXPECT_GE(Picture::Alpha(picture.At(int(10 + space), under)), 128u);
    EXPECT_EQ(Picture::Alpha(picture.At(int(10 + 2 * space + 30), under)), 0u);
    EXPECT_GE(Picture::Alpha(picture.At(int(10 + 3 * space + 60), under)), 128u);
    // A decorated tspan is shaped with the text around it: kerned "AV"
    // draws the same letters with or without the underline under "V".
    Picture plain = Line("", "AV"),
            underlined = Line("", "A<tspan text-decoration='underline'>V</tspan>");
    for (int y = 0; y < under - 2; ++y)
        for (int x = 0; x < plain.width; ++x)
            ASSERT_EQ(plain.At(x, y), underlined.At(x, y)) << x << "," << y;
}

TEST(TextDecoration, TrefDrawsTheReferencedCharacterData) {
    auto text = [](const std::string& inner) {
        return Draw("<defs><text id='early'>Ear<tspan>ly</tspan></text></defs>"
                    "<text id='self' x='5' y='50' font-family='DejaVu Sans' font-size='14'>" +
                        inner + "</text><defs><text id='late'>\n  Late   one</text></defs>",
                    200, 100);
    };
    Picture literal = text("A Early Late one!");
    ASSERT_FALSE(FindInk(literal).Empty());
    EXPECT_EQ(DifferentPixels(text("A <tref href='#early'/> <tref xlink:href='#late'/>!"), literal),
              0);
    // To itself or to nothing: no text.
    EXPECT_EQ(DifferentPixels(text("A<tref href='#self'/><tref href='#none'/>"), text("A")), 0);
}

TEST(TextDecoration, VectorOutputKeepsTextAsText) {
    ASSERT_EQ(FontMetrics("DejaVu Sans").Glyphs("fi"), 1); // a ligature
    std::string dir = "/tmp/kelsvg-text-" + std::to_string(getpid());
    ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
    std::ofstream(dir + "/in.svg")
        << "<svg xmlns='http://www.w3.org/2000/svg' width='300' height='100'>"
           "<text x='10' y='40' font-family='DejaVu Sans' font-size='24'>find "
           "<tspan fill='#0A0'>quartz</tspan></text>"
           "<text x='290' y='80' font-family='Amiri' font-size='24' direction='rtl'>"
           "\u0645\u0631\u062D\u0628\u0627</text></svg>";
    std::string tool = std::string("'") + KELSVG_TOOL_PATH + "' " + dir + "/in.svg " + dir;
    ASSERT_EQ(std::system(
                  (tool + "/out.pdf && pdftotext " + dir + "/out.pdf " + dir + "/out.txt").c_str()),
              0);
    std::string words = Slurp(dir + "/out.txt");
    EXPECT_NE(words.find("find quartz"), std::string::npos) << words;
    EXPECT_NE(words.find("\u0645\u0631\u062D\u0628\u0627"), std::string::npos) << words;
    // PostScript embeds the fonts; SVG draws glyphs by reference.
    ASSERT_EQ(std::system((tool + "/out.ps && " + tool + "/out.svg").c_str()), 0);
    EXPECT_NE(Slurp(dir + "/out.ps").find("%%BeginResource: font DejaVuSans"), std::string::npos);
    EXPECT_NE(Slurp(dir + "/out.svg").find("xlink:href=\"#glyph"), std::string::npos);
    std::system(("rm -rf " + dir).c_str());
}
