// The text elements as loaded from a file: glyph children, tspan runs, ids,
// copies, and what of the cascade the fonts take.

#include "FontMetrics.h"
#include "SvgTestSupport.h"

#include "document/SvgPositionGlyphElement.h"
#include "document/SvgTextElement.h"
#include "document/SvgTspanElement.h"
#include "render/SvgPositionGlyphFigure.h"
#include "render/SvgTextFigure.h"
#include "style/SvgStyle.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Gdiplus;

namespace {

// The characters of the glyph children, "|" standing for any other child.
std::string GlyphText(SvgElement* text) {
    std::string out;
    for (SvgElement* child : text->GetChildren()) {
        auto* glyph = dynamic_cast<SvgPositionGlyphElement*>(child);
        out += glyph ? glyph->GetGlyphFigure()->text : "|";
    }
    return out;
}

// The text as laid out: glyph characters, and each tspan as "[run children]".
std::string Content(const SvgElement* element) {
    std::string out;
    for (SvgElement* child : element->GetChildren()) {
        if (auto* glyph = dynamic_cast<SvgPositionGlyphElement*>(child))
            out += glyph->GetGlyphFigure()->text;
        else if (auto* tspan = dynamic_cast<SvgTspanElement*>(child))
            out += "[" + tspan->GetTextFigure()->text + Content(tspan) + "]";
    }
    return out;
}

} // namespace

TEST(TextElements, CharacterDataBecomesOneGlyphPerCharacter) {
    ParsedDocument svg("<text fill='red'>abc</text>"
                       "<text>\xE2\x88\x92"
                       "1.0 caf\xC3\xA9 \xF0\x9F\x98\x80</text>"
                       "<text>a\x80\xC3(\xFF</text>",
                       200, 100);
    SvgElement* text = svg.At({0});
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(GlyphText(text), "abc");
    // UTF-8: one glyph per character, whatever its length.
    std::vector<std::string> characters;
    for (SvgElement* glyph : svg.At({1})->GetChildren())
        characters.push_back(static_cast<SvgPositionGlyphElement*>(glyph)->GetGlyphFigure()->text);
    EXPECT_EQ(characters, (std::vector<std::string>{"\xE2\x88\x92", "1", ".", "0", " ", "c", "a",
                                                    "f", "\xC3\xA9", " ", "\xF0\x9F\x98\x80"}));
    // A broken sequence is a glyph per byte, up to the next character.
    EXPECT_EQ(svg.At({2})->GetChildren().size(), 5u);
    // The text element's own run stays empty.
    EXPECT_EQ(svg.FigureAt<SvgTextFigure>({0})->text, "");
}

TEST(TextElements, WhiteSpaceAndTspanContent) {
    struct {
        const char* body;
        const char* content;
    } rows[] = {
        {"<text>\n  Hello\n\t World\n</text>", "Hello World"},
        {"<text>Box <tspan>label</tspan> here</text>", "Box [label] here"},
        {"<text>A<tspan>B</tspan> <tspan>C</tspan>\tD</text>", "A[B] [C] D"},
        {"<text>A<tspan> B </tspan> C</text>", "A[ B ]C"},
        {"<text>  <tspan> x</tspan></text>", "[x]"},
        {"<text>a <tspan>b </tspan> </text>", "a [b]"},
        {"<text>  </text>", ""},
        {"<text xml:space='preserve'>  a\tb\n </text>", "  a b  "},
        {"<g xml:space='preserve'><text> a <tspan xml:space='default'> b  c </tspan> d</text></g>",
         " a [ b c ] d"},
        {"<text xml:space='preserve'>a<![CDATA[ \n b ]]>c</text>", "a   b c"},
        {"<text>a<![CDATA[ \n b ]]>c</text>", "a b c"},
        // A tspan holds all its character data.
        {"<text><tspan>Hello<b/>more</tspan></text>", "[Hellomore]"},
        {"<text><tspan>a<!-- c -->b</tspan></text>", "[ab]"},
        {"<text><tspan><desc>x</desc>after</tspan></text>", "[[after]]"},
        {"<text>Total: <tspan>42 <tspan>red</tspan> b</tspan> items</text>",
         "Total: [42 [red][ b]] items"},
        {"<text><tspan/></text>", "[]"},
    };
    for (auto& row : rows) {
        ParsedDocument svg(row.body, 200, 100);
        const SvgElement* text = svg.At({0});
        if (text && text->GetTagName() == "g")
            text = text->GetChildren()[0];
        ASSERT_NE(text, nullptr) << row.body;
        EXPECT_EQ(Content(text), row.content) << row.body;
    }
}

TEST(TextElements, TspanRunAfterANestedTspan) {
    // The run after a nested tspan inherits from its tspan, and has no id.
    ParsedDocument svg("<text><tspan id='t' fill='#0000ff'>a<tspan>b</tspan>c</tspan></text>");
    SvgElement* unnamed = svg.At({0, 0, 1});
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(unnamed->GetId(), "");
    const SvgPaint& fill = unnamed->GetFigure()->GetStyle()->fill;
    EXPECT_TRUE(fill.colorSet && fill.color.b == 1.0f && fill.color.r == 0.0f);
}

TEST(TextElements, GlyphsAndRunsFollowThePositionLists) {
    ParsedDocument svg("<text x='10 50' y='30' dx='0 0 5' dy='0 3'>abc</text>"
                       "<text x='100' font-family='DejaVu Sans' font-size='20'>i i</text>"
                       "<text x='100' font-family='DejaVu Sans' font-size='20' "
                       "text-anchor='end'>ii</text>"
                       "<text x='10 50' y='30' font-family='DejaVu Sans' font-size='20'>ab"
                       "<tspan>cd</tspan><tspan dx='5' dy='3'>e</tspan>"
                       "<tspan x='100' y='60'>f</tspan>g<tspan x='10' dy='1.2em'>h</tspan></text>"
                       "<text x='10 20 30 40' y='5'>ab<tspan>cd</tspan><tspan x='7 8'>ef</tspan>"
                       "</text>",
                       200, 100);
    auto glyph = [&](std::initializer_list<size_t> at) {
        return static_cast<SvgPositionGlyphElement*>(svg.At(at))->GetGlyphFigure();
    };
    auto run = [&](std::initializer_list<size_t> at) { return svg.FigureAt<SvgTextFigure>(at); };
    FontMetrics serif("Liberation Serif"), sans("DejaVu Sans");
    EXPECT_EQ(glyph({0, 0})->x, 10.0f);
    EXPECT_EQ(glyph({0, 0})->y, 30.0f);
    EXPECT_EQ(glyph({0, 1})->x, 50.0f);
    EXPECT_EQ(glyph({0, 1})->y, 33.0f);
    // No x for c: after b's advance (12 px by default), plus its dx.
    EXPECT_NEAR(glyph({0, 2})->x, 50.0 + serif.Advance("b", 12) + 5.0, 1e-3);
    EXPECT_EQ(glyph({0, 2})->y, 33.0f);
    // Spaces advance too.
    EXPECT_NEAR(glyph({1, 2})->x, 100.0 + sans.Advance("i ", 20), 1e-3);
    // Anchored at the end, the chunk ends at x.
    EXPECT_NEAR(glyph({2, 1})->x, 100.0 - sans.Advance("i", 20), 1e-3);
    EXPECT_NEAR(glyph({2, 0})->x, 100.0 - sans.Advance("ii", 20), 1e-3);

    // Runs continue the pen of the glyphs and runs before them.
    float b = float(sans.Advance("b", 20));
    EXPECT_NEAR(run({3, 2})->x, 50 + b, 1e-3);
    EXPECT_EQ(run({3, 2})->y, 30.0f);
    EXPECT_NEAR(run({3, 3})->x, 50 + b + sans.Advance("cd", 20) + 5, 1e-3);
    EXPECT_EQ(run({3, 3})->y, 33.0f);
    EXPECT_EQ(run({3, 4})->x, 100.0f);
    EXPECT_EQ(run({3, 4})->y, 60.0f);
    EXPECT_NEAR(glyph({3, 5})->x, 100 + sans.Advance("f", 20), 1e-3);
    EXPECT_EQ(glyph({3, 5})->y, 60.0f);
    EXPECT_EQ(run({3, 6})->x, 10.0f);
    EXPECT_FLOAT_EQ(run({3, 6})->y, 84.0f); // 1.2em of 20
    // The text's list reaches into its tspans by character; a tspan's own list wins.
    EXPECT_EQ(run({4, 2})->x, 30.0f);
    EXPECT_EQ(run({4, 3})->x, 7.0f);
    EXPECT_EQ(run({4, 3})->y, 5.0f);
}

TEST(TextElements, IdsInsideTextAreCleared) {
    ParsedDocument svg("<text id='outer'><tspan id='inner'>A</tspan><g id='group'/></text>", 200,
                       100);
    EXPECT_NE(svg.Engine().FindElementById("outer"), nullptr);
    EXPECT_EQ(svg.Engine().FindElementById("inner"), nullptr);
    EXPECT_EQ(svg.Engine().FindElementById("group"), nullptr);
    EXPECT_EQ(svg.At({0, 0})->GetId(), "");

    // A use inside a text looks up its target while it loads, which indexes
    // its own id too: once cleared, a later element of that id is found.
    ParsedDocument later("<rect id='r' width='1' height='1'/><text><use id='x' xlink:href='#r'/>"
                         "</text><linearGradient id='x'/><rect id='after'/>");
    SvgElement* found = later.Find("x");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->GetTagName(), "linearGradient");
    EXPECT_NE(later.Find("after"), nullptr);
    EXPECT_EQ(later.At({1, 0})->GetId(), "");
}

// A use of a text draws its glyphs and runs where the original would, moved
// by the use, in the colours the copy inherits from the use.
TEST(TextElements, CopiesDrawTheTextInTheirOwnStyle) {
    const std::string text = "<text id='t' x='5' y='30' font-size='30'>A<tspan "
                             "fill='blue'>B</tspan></text>";
    Picture original = Draw(text, 120, 80);
    Picture copied =
        Draw("<defs>" + text + "</defs><use href='#t' x='40' y='40' fill='red'/>", 120, 80);
    InkBox at = FindInk(original), moved = FindInk(copied);
    ASSERT_FALSE(at.Empty());
    EXPECT_EQ(moved.left, at.left + 40);
    EXPECT_EQ(moved.top, at.top + 40);
    EXPECT_EQ(moved.Width(), at.Width());
    int red = 0, blue = 0;
    for (uint32_t p : copied.pixels) {
        red += p == 0xFFFF0000u;
        blue += p == 0xFF0000FFu;
    }
    EXPECT_GT(red, 20);  // the glyph A takes the use's fill
    EXPECT_GT(blue, 20); // the tspan keeps its own
}

TEST(TextElements, LongCharacterDataIsCut) {
    std::string body = "<text font-size='1'>" + std::string(5000, 'x') + "</text>";
    ParsedDocument svg(body, 200, 100);
    EXPECT_EQ(svg.At({0})->GetChildren().size(), SvgTextElement::kMaxGlyphs);
    // Glyphs count against the document's element budget.
    EXPECT_EQ(svg.Engine().GetCopiesMade(), long(SvgTextElement::kMaxGlyphs));
}
