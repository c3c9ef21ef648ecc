// Text laid out as SVG wants it: shaped runs, bidirectional order, positions
// and rotation per character, spacing and textLength. Expected places come
// from the font's own advances, read here through HarfBuzz.

#include "FontMetrics.h"
#include "SvgTestSupport.h"

#include "document/SvgPositionGlyphElement.h"
#include "render/SvgPositionGlyphFigure.h"
#include "render/SvgTextFigure.h"

#include <gtest/gtest.h>

namespace {

const char kSans[] = "font-family='DejaVu Sans' ";

// The x of each character of the character data of the text at path.
std::vector<double> GlyphX(ParsedDocument& svg, std::initializer_list<size_t> path) {
    std::vector<double> xs;
    for (SvgElement* child : svg.At(path)->GetChildren()) {
        if (auto* glyph = dynamic_cast<SvgPositionGlyphElement*>(child))
            xs.push_back(glyph->GetGlyphFigure()->x);
    }
    return xs;
}

} // namespace

TEST(TextLayout, RunsAreShapedWhole) {
    FontMetrics sans("DejaVu Sans"), amiri("Amiri");
    // Kerning pulls V under A; the ligature fi is one glyph at the f.
    ASSERT_LT(sans.Advance("AV", 100), sans.Advance("AV", 100, false) - 3);
    ASSERT_EQ(sans.Glyphs("fi"), 1);
    double kernedA = sans.Advance("AV", 100) - sans.Advance("V", 100);
    ParsedDocument svg(std::string("<text x='10' y='50' font-size='100' ") + kSans + ">AV</text>" +
                           "<text x='10' y='50' font-size='100' font-kerning='none' " + kSans +
                           ">AV</text><text x='10' y='50' font-size='100' " + kSans +
                           "text-rendering='optimizeSpeed'>AV</text><text x='10' y='50' " +
                           "font-size='100' " + kSans +
                           ">A<tspan fill='blue'>V</tspan></text><text x='10' y='9' " + kSans +
                           "font-size='100'>fi</text>",
                       400, 100);
    EXPECT_NEAR(GlyphX(svg, {0})[1], 10 + kernedA, 1e-3);
    EXPECT_NEAR(GlyphX(svg, {1})[1], 10 + sans.Advance("A", 100), 1e-3);
    EXPECT_NEAR(GlyphX(svg, {2})[1], 10 + kernedA, 1e-3); // optimizeSpeed kerns too
    // A tspan that only changes the paint keeps the kerning.
    EXPECT_NEAR(svg.FigureAt<SvgTextFigure>({3, 1})->x, 10 + kernedA, 1e-3);
    EXPECT_EQ(GlyphX(svg, {4}), (std::vector<double>{10, 10}));
    // A combining accent is raised onto a capital (Q has no precomposed
    // form) as high as the precomposed capital's.
    std::string accented = std::string("<text x='20' y='80' font-size='60' ") + kSans + ">";
    InkBox composed = FindInk(Draw(accented + "\xC3\x89</text>"));
    InkBox combined = FindInk(Draw(accented + "Q\xCC\x81</text>"));
    EXPECT_NEAR(combined.top, composed.top, 2);

    // Arabic joins: the word is narrower than its letters alone, and right
    // to left its first letter is the rightmost.
    const std::string word = "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85"; // salaam
    double joined = amiri.Advance(word, 40);
    ASSERT_LT(joined, amiri.Advance("\xD8\xB3", 40) + amiri.Advance("\xD9\x84", 40) +
                          amiri.Advance("\xD8\xA7", 40) + amiri.Advance("\xD9\x85", 40) - 5);
    ParsedDocument arabic(
        "<text x='90' y='50' font-family='Amiri' font-size='40' direction='rtl'>" + word +
            "</text>",
        100, 100);
    std::vector<double> xs = GlyphX(arabic, {0});
    ASSERT_EQ(xs.size(), 4u);
    EXPECT_GT(xs[0], xs[1]);
    EXPECT_GT(xs[1], xs[2]);
    EXPECT_GT(xs[2], xs[3]);
    EXPECT_NEAR(xs[3], 90 - joined, 1e-3);
}

TEST(TextLayout, BidirectionalOrder) {
    FontMetrics sans("DejaVu Sans");
    const std::string alef = "\xD7\x90", bet = "\xD7\x91";
    double a = sans.Advance(alef, 20), b = sans.Advance(bet, 20);
    ParsedDocument svg(std::string("<text x='10' y='50' font-size='20' ") + kSans + ">x " + alef +
                           bet + " y</text><text x='90' y='50' font-size='20' direction='rtl' " +
                           kSans + ">" + alef + bet + "</text><text x='10' y='50' " + kSans +
                           "font-size='20' direction='rtl' text-anchor='end'>" + alef + bet +
                           "</text><text x='10' y='50' font-size='20' " + kSans +
                           "><tspan direction='rtl' unicode-bidi='bidi-override'>xy</tspan></text>",
                       100, 100);
    // Left to right, the Hebrew word reads right to left in its place.
    double start = 10 + sans.Advance("x ", 20);
    std::vector<double> mixed = GlyphX(svg, {0});
    EXPECT_NEAR(mixed[3], start, 1e-3);
    EXPECT_NEAR(mixed[2], start + b, 1e-3);
    EXPECT_NEAR(mixed[5], start + a + b + sans.Advance(" ", 20), 1e-3);
    // Right to left, start puts the right end on x, end the left end.
    EXPECT_NEAR(GlyphX(svg, {1})[0], 90 - a, 1e-3);
    EXPECT_NEAR(GlyphX(svg, {1})[1], 90 - a - b, 1e-3);
    EXPECT_NEAR(GlyphX(svg, {2})[1], 10, 1e-3);
    // Latin inside right-to-left text stays left to right, left of the Hebrew.
    ParsedDocument rtl(std::string("<text x='90' y='50' font-size='20' direction='rtl' ") + kSans +
                           ">" + alef + bet + " xy</text>",
                       100, 100);
    std::vector<double> inRtl = GlyphX(rtl, {0});
    EXPECT_NEAR(inRtl[3], 90 - sans.Advance(alef + bet + " xy", 20), 1e-3);
    EXPECT_NEAR(inRtl[4], inRtl[3] + sans.Advance("x", 20), 1e-3);
    EXPECT_NEAR(inRtl[0], 90 - a, 1e-3);
    // An override turns Latin letters round: x is drawn right of y.
    EXPECT_NEAR(svg.FigureAt<SvgTextFigure>({3, 0})->x, 10 + sans.Advance("y", 20), 1e-3);
}

TEST(TextLayout, RotationPerCharacter) {
    // A glyph turned half round lies below the baseline and left of its place.
    std::string font = std::string(kSans) + "font-size='40' y='50' ";
    auto ink = [&](const std::string& attributes, const std::string& content) {
        return FindInk(Draw("<text " + font + attributes + ">" + content + "</text>", 200, 100));
    };
    InkBox upright = ink("x='100'", "HH"), turned = ink("x='100' rotate='180'", "HH");
    EXPECT_LT(upright.bottom, 50);
    EXPECT_GE(turned.top, 50); // the last value repeats
    EXPECT_LT(turned.left, 100 - 20);
    EXPECT_NEAR(turned.Height(), upright.Height(), 1);
    InkBox mixed = ink("x='100' rotate='0 180'", "HHH");
    EXPECT_LT(mixed.top, 40);
    EXPECT_GT(mixed.bottom, 60);
    // A tspan's own list wins for its characters, the text's goes on after it.
    EXPECT_LT(ink("x='100' rotate='180'", "<tspan rotate='0'>H</tspan>").bottom, 50);
    EXPECT_GE(ink("x='100' rotate='0 180'", "H<tspan>H</tspan>H").bottom, 60);
}

TEST(TextLayout, LetterAndWordSpacing) {
    FontMetrics sans("DejaVu Sans");
    double kernedA = sans.Advance("AB", 20) - sans.Advance("B", 20);
    std::string text = std::string("<text x='10' y='50' font-size='20' ") + kSans;
    ParsedDocument svg(text + "letter-spacing='7'>AB</text>" + text +
                           "style='letter-spacing: 0.5em'>AB</text>" + text +
                           "style='letter-spacing: 25%'>AB</text>" + text +
                           "word-spacing='9'>a b</text><g letter-spacing='-3'>" + text +
                           ">AB</text></g>" + text + "letter-spacing='5'>f<tspan>i</tspan></text>",
                       100, 100);
    EXPECT_NEAR(GlyphX(svg, {0})[1], 10 + kernedA + 7, 1e-3);
    EXPECT_NEAR(GlyphX(svg, {1})[1], 10 + kernedA + 10, 1e-3);
    EXPECT_NEAR(GlyphX(svg, {2})[1], 10 + kernedA + 5, 1e-3);
    EXPECT_NEAR(GlyphX(svg, {3})[2], 10 + sans.Advance("a ", 20) + 9, 1e-3);
    EXPECT_NEAR(GlyphX(svg, {4, 0})[1], 10 + kernedA - 3, 1e-3);
    // Spaced letters are not joined into a ligature.
    EXPECT_NEAR(svg.FigureAt<SvgTextFigure>({5, 1})->x, 10 + sans.Advance("f", 20) + 5, 1e-3);

    // Anchored, the chunk is measured with its spacing but the last.
    ParsedDocument anchored(text + "letter-spacing='10' text-anchor='end'>AB</text>" + text +
                                "letter-spacing='10' text-anchor='middle'>AB</text>",
                            100, 100);
    double width = kernedA + 10 + sans.Advance("B", 20);
    EXPECT_NEAR(GlyphX(anchored, {0})[0], 10 - width, 1e-3);
    EXPECT_NEAR(GlyphX(anchored, {1})[0], 10 - width / 2, 1e-3);
}

TEST(TextLayout, TextLengthStretchesTheText) {
    FontMetrics sans("DejaVu Sans");
    double abc = sans.Advance("ABC", 20), ab = abc - sans.Advance("C", 20); // kerned
    double kernedA = sans.Advance("AB", 20) - sans.Advance("B", 20);
    std::string text = std::string("<text x='10' y='50' font-size='20' ") + kSans;
    ParsedDocument svg(text + "textLength='100'>ABC</text>" + text +
                           "textLength='100' lengthAdjust='spacingAndGlyphs'>ABC</text>" + text +
                           ">A<tspan textLength='50'>BC</tspan>D</text>" + text +
                           "textLength='100' text-anchor='end'>ABC</text>",
                       200, 100);
    // spacing: the first character stays, the last ends at 100, the gaps
    // share what is left.
    double gap = (100 - abc) / 2;
    std::vector<double> spaced = GlyphX(svg, {0});
    EXPECT_NEAR(spaced[1], 10 + kernedA + gap, 1e-3);
    EXPECT_NEAR(spaced[2], 10 + ab + 2 * gap, 1e-3);
    // spacingAndGlyphs: every advance scaled alike.
    EXPECT_NEAR(GlyphX(svg, {1})[2], 10 + ab * 100 / abc, 1e-3);
    // On a tspan: its characters span 50, what follows comes after them.
    ASSERT_NE(svg.FigureAt<SvgTextFigure>({2, 1}), nullptr);
    EXPECT_NEAR(svg.FigureAt<SvgTextFigure>({2, 1})->x, 10 + kernedA, 1e-3);
    EXPECT_NEAR(GlyphX(svg, {2})[1], 10 + kernedA + 50, 1e-3);
    // The anchor aligns the stretched length.
    EXPECT_NEAR(GlyphX(svg, {3})[0], 10 - 100, 1e-3);
}
