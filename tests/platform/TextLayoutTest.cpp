// Font matching, faces and run layout of the text back end.
#include "platform/gdiplus/FontCache.h"
#include "platform/gdiplus/FontLayout.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

struct Box {
    float left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
};

Box Bounds(const FontOutline& o) {
    Box b;
    for (size_t i = 0; i + 1 < o.pts.size(); i += 2) {
        b.left = std::min(b.left, o.pts[i]);
        b.right = std::max(b.right, o.pts[i]);
        b.top = std::min(b.top, o.pts[i + 1]);
        b.bottom = std::max(b.bottom, o.pts[i + 1]);
    }
    return b;
}

size_t Figures(const FontOutline& o) {
    return std::count(o.ops.begin(), o.ops.end(), FontOutline::Move);
}

FontOutline Layout(const char* family, const std::u32string& text, FontLayoutRequest r) {
    FontOutline out;
    auto entry = FontCache::Instance().FindFamily(family);
    EXPECT_TRUE(entry) << family;
    if (entry) {
        EXPECT_TRUE(LayoutString(*entry, text.data(), text.size(), r, out));
    }
    return out;
}

FontLayoutRequest At(float x, float y, float em, int align = 0, int lineAlign = 0, int style = 0) {
    FontLayoutRequest r;
    r.x = x;
    r.y = y;
    r.emSize = em;
    r.align = align;
    r.lineAlign = lineAlign;
    r.style = style;
    return r;
}

} // namespace

TEST(TextFamily, FamiliesAndAliasesAreFoundUnknownNamesRefusedAndTheCacheBounded) {
    FontCache& cache = FontCache::Instance();
    auto dejavu = cache.FindFamily("DejaVu Sans");
    ASSERT_TRUE(dejavu);
    EXPECT_EQ(dejavu->family, "DejaVu Sans");
    EXPECT_TRUE(cache.FindFamily("liberation serif")); // case and blanks do not matter
    for (const char* alias : {"Arial", "sans-serif", "monospace"})
        EXPECT_TRUE(cache.FindFamily(alias)) << alias;
    // The default family name read as Windows-1252 is no installed family.
    for (const char* name :
         {"No Such Family Anywhere", "   ", u8"\u00D0\u00C2\u00CB\u00CE\u00CC\u00E5"})
        EXPECT_FALSE(cache.FindFamily(name)) << name;
    for (int i = 0; i < 600; ++i)
        cache.FindFamily("Missing " + std::to_string(i));
    EXPECT_LE(cache.FamilyCount(), FontCache::kMaxFamilies);
    EXPECT_TRUE(cache.FindFamily("DejaVu Sans")); // still answers after a flush
}

TEST(TextFamily, StylesChooseRealOrSyntheticFaces) {
    FontCache& cache = FontCache::Instance();
    auto serif = cache.FindFamily("Liberation Serif");
    ASSERT_TRUE(serif);
    FontFaceChoice regular = cache.Face(*serif, 0), bold = cache.Face(*serif, 1),
                   italic = cache.Face(*serif, 2), both = cache.Face(*serif, 3);
    ASSERT_TRUE(regular.face && bold.face && italic.face && both.face);
    EXPECT_FALSE(regular.face->bold);
    EXPECT_TRUE(bold.face->bold);
    EXPECT_FALSE(bold.syntheticBold);
    EXPECT_TRUE(italic.face->italic);
    EXPECT_TRUE(both.face->bold && both.face->italic);
    EXPECT_EQ(cache.Face(*serif, 1).face, bold.face); // resolved once

    // A family with a single face: bold and italic are synthesised.
    auto math = cache.FindFamily("DejaVu Math TeX Gyre");
    ASSERT_TRUE(math);
    FontFaceChoice mathBold = cache.Face(*math, 3);
    EXPECT_EQ(mathBold.face, cache.Face(*math, 0).face);
    EXPECT_TRUE(mathBold.syntheticBold);
    EXPECT_TRUE(mathBold.syntheticItalic);
}

// Midpoints of a glyph's curves as FreeType gives them (TrueType: quadratics).
static std::vector<float> FreeTypeMidpoints(FT_Face face, FT_UInt glyph) {
    struct Walk {
        FT_Vector at;
        std::vector<float> mids;
    } walk{};
    FT_Outline_Funcs funcs = {};
    funcs.move_to = [](const FT_Vector* to, void* w) {
        static_cast<Walk*>(w)->at = *to;
        return 0;
    };
    funcs.line_to = funcs.move_to;
    funcs.conic_to = [](const FT_Vector* c, const FT_Vector* to, void* u) {
        auto* w = static_cast<Walk*>(u);
        w->mids.push_back(0.25f * w->at.x + 0.5f * c->x + 0.25f * to->x);
        w->mids.push_back(0.25f * w->at.y + 0.5f * c->y + 0.25f * to->y);
        w->at = *to;
        return 0;
    };
    funcs.cubic_to = [](const FT_Vector*, const FT_Vector*, const FT_Vector*, void*) { return 1; };
    EXPECT_EQ(0, FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING));
    EXPECT_EQ(0, FT_Outline_Decompose(&face->glyph->outline, &funcs, &walk));
    return walk.mids;
}

TEST(TextFamily, GlyphOutlinesFollowFreeTypesCurvesAndAreCached) {
    FontCache& cache = FontCache::Instance();
    auto entry = cache.FindFamily("DejaVu Sans");
    ASSERT_TRUE(entry);
    FontFace& face = *cache.Face(*entry, 0).face;
    FT_UInt glyph = FT_Get_Char_Index(face.ft, 'S');
    const FontOutline* o = cache.Outline(face, glyph, false);
    ASSERT_TRUE(o);
    // Each quadratic became a cubic through the same midpoint.
    std::vector<float> mids;
    size_t p = 0;
    for (uint8_t op : o->ops) {
        if (op == FontOutline::Cubic) {
            const float* q = &o->pts[p - 2];
            for (int k = 0; k < 2; ++k)
                mids.push_back(0.125f * q[k] + 0.375f * q[2 + k] + 0.375f * q[4 + k] +
                               0.125f * q[6 + k]);
        }
        p += op == FontOutline::Cubic ? 6 : 2;
    }
    std::vector<float> expected = FreeTypeMidpoints(face.ft, glyph);
    ASSERT_EQ(expected.size(), mids.size());
    ASSERT_GT(mids.size(), 10u);
    for (size_t i = 0; i < mids.size(); ++i)
        EXPECT_NEAR(expected[i], mids[i], 0.01) << i;

    EXPECT_EQ(cache.Outline(face, glyph, false), o);
    EXPECT_NE(cache.Outline(face, glyph, true), o);
    // Out-of-range glyph: an empty outline, not a failure.
    const FontOutline* none = cache.Outline(face, 0xFFFFFF, false);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->ops.empty());
}

TEST(TextLayout, SyntheticStylesChangeTheOutline) {
    // A family with a single face: bold widens, italic slants.
    FontOutline regular = Layout("DejaVu Math TeX Gyre", U"Ink", At(0, 0, 40));
    FontOutline bold = Layout("DejaVu Math TeX Gyre", U"Ink", At(0, 0, 40, 0, 0, 1));
    FontOutline italic = Layout("DejaVu Math TeX Gyre", U"Ink", At(0, 0, 40, 0, 0, 2));
    EXPECT_GT(Bounds(bold).right, Bounds(regular).right);
    EXPECT_NE(regular.pts, italic.pts);
    EXPECT_EQ(regular.ops.size(), italic.ops.size());
    EXPECT_NEAR(Bounds(italic).bottom, Bounds(regular).bottom, 0.01); // sheared about the baseline
}

TEST(TextLayout, BarsSitAroundTheBaseline) {
    FontOutline under = Layout("DejaVu Sans", U"ab", At(0, 0, 20, 0, 0, 4));
    FontOutline strike = Layout("DejaVu Sans", U"ab", At(0, 0, 20, 0, 0, 8));
    // The underline lies below the baseline, the strikeout above it.
    auto lastBar = [](const FontOutline& o) {
        FontOutline bar;
        bar.pts.assign(o.pts.end() - 8, o.pts.end());
        return Bounds(bar);
    };
    auto entry = FontCache::Instance().FindFamily("DejaVu Sans");
    FontFace& face = *FontCache::Instance().Face(*entry, 0).face;
    float baseline = face.ascent * 20 / face.upem;
    EXPECT_GT(lastBar(under).top, baseline);
    EXPECT_LT(lastBar(strike).bottom, baseline);
    EXPECT_NEAR(lastBar(under).left, 0, 0.01);
    // No text, no bars.
    EXPECT_TRUE(Layout("DejaVu Sans", U"", At(0, 0, 20, 0, 0, 12)).ops.empty());
}

TEST(TextLayout, LinesAndControlCharacters) {
    FontOutline one = Layout("DejaVu Sans", U"ab", At(0, 0, 20));
    // CR LF, LF and CR each break the line once: the second line is one line spacing lower.
    auto entry = FontCache::Instance().FindFamily("DejaVu Sans");
    FontFace& face = *FontCache::Instance().Face(*entry, 0).face;
    for (const char32_t* text : {U"ab\r\nab", U"ab\nab", U"ab\rab"}) {
        FontOutline two = Layout("DejaVu Sans", text, At(0, 0, 20));
        EXPECT_EQ(Figures(two), 2 * Figures(one));
        EXPECT_NEAR(Bounds(two).bottom, Bounds(one).bottom + face.lineSpacing * 20 / face.upem,
                    0.01);
    }
    // A tab is a space, not a missing-glyph box.
    FontOutline tab = Layout("DejaVu Sans", U"a\tb", At(0, 0, 20));
    EXPECT_EQ(Figures(tab), Figures(one));
    // Trailing spaces do not move a far-aligned run.
    Box trimmed = Bounds(Layout("DejaVu Sans", U"ab   ", At(100, 0, 20, 2)));
    EXPECT_NEAR(trimmed.right, 100, 2);
}

TEST(TextLayout, WrapsInsideAWideLayoutRectangle) {
    FontLayoutRequest r = At(0, 0, 20);
    r.width = 60;
    Box wrapped = Bounds(Layout("DejaVu Sans", U"one two three four", r));
    Box single = Bounds(Layout("DejaVu Sans", U"one two three four", At(0, 0, 20)));
    EXPECT_LE(wrapped.right, 62);
    EXPECT_GT(wrapped.bottom, single.bottom + 40);
    r.formatFlags = kFormatNoWrap;
    EXPECT_NEAR(Bounds(Layout("DejaVu Sans", U"one two three four", r)).right, single.right, 0.01);
}

TEST(TextLayout, MissingCharactersComeFromAnotherFont) {
    // Liberation Serif has no arrows; another installed font has.
    FontOutline arrow = Layout("Liberation Serif", U"\u21D2", At(0, 0, 20));
    auto entry = FontCache::Instance().FindFamily("Liberation Serif");
    FontFace& face = *FontCache::Instance().Face(*entry, 0).face;
    FontOutline notdef;
    notdef.ops = FontCache::Instance().Outline(face, 0, false)->ops;
    EXPECT_FALSE(arrow.ops.empty());
    EXPECT_NE(arrow.ops, notdef.ops);
}

TEST(TextLayout, NonFiniteResultsAreRefused) {
    auto entry = FontCache::Instance().FindFamily("DejaVu Sans");
    ASSERT_TRUE(entry);
    FontOutline out;
    std::u32string text = U"abc";
    EXPECT_FALSE(LayoutString(*entry, text.data(), text.size(), At(0, 0, 3e38f), out));
    EXPECT_FALSE(LayoutString(*entry, text.data(), text.size(), At(INFINITY, 0, 10), out));
    EXPECT_TRUE(out.ops.empty());
}

TEST(TextLayout, LongWrappedTextStaysLinear) {
    std::u32string text;
    while (text.size() < 100000)
        text += U"word ";
    FontLayoutRequest r = At(0, 0, 10);
    r.width = 40; // a few words a line: thousands of lines
    FontOutline out = Layout("DejaVu Sans", text, r);
    FontOutline word = Layout("DejaVu Sans", U"word", At(0, 0, 10));
    EXPECT_EQ(Figures(out), 20000 * Figures(word));
    EXPECT_GT(Bounds(out).bottom, 5000 * 10);
}
