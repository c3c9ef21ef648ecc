// Which face a family's weight, width and slant choose (the expected faces
// read from fontconfig and their metrics from FreeType and HarfBuzz here),
// variable faces, small capitals and colour glyphs, measured and drawn.

#include "SvgTestSupport.h"
#include "platform/gdiplus/FontCache.h"
#include "platform/gdiplus/GdipFontTraits.h"
#include "platform/gdiplus/GdipTextMeasure.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MULTIPLE_MASTERS_H
#include <gtest/gtest.h>
#include <hb-ot.h>
#include <hb.h>

#include <memory>
#include <string>

using namespace Gdiplus;

namespace {

// The file fontconfig matches for a family at a CSS weight, a slant and a width.
std::string FcFile(const char* family, int weight, int slant = FC_SLANT_ROMAN, int width = 100) {
    static const struct Config {
        FcConfig* config = FcInitLoadConfigAndFonts();
        ~Config() { FcConfigDestroy(config); }
    } own;
    FcConfig* config = own.config;
    FcPattern* p = FcPatternCreate();
    FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddDouble(p, FC_WEIGHT, FcWeightFromOpenTypeDouble(weight));
    FcPatternAddInteger(p, FC_SLANT, slant);
    FcPatternAddInteger(p, FC_WIDTH, width);
    FcConfigSubstitute(config, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult result;
    FcPattern* font = FcFontMatch(config, p, &result);
    FcChar8* file = nullptr;
    std::string path;
    if (font && FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch)
        path = reinterpret_cast<const char*>(file);
    FcPatternDestroy(p);
    if (font)
        FcPatternDestroy(font);
    return path;
}

FontFaceChoice Choose(const char* family, int weight, int slant = 0, float stretch = 100,
                      std::vector<FontAxisValue> variations = {}) {
    auto entry = FontCache::Instance().FindFamily(family);
    EXPECT_TRUE(entry) << family;
    FontTraits traits;
    traits.weight = weight;
    traits.slant = slant;
    traits.stretch = stretch;
    traits.variations = std::move(variations);
    return entry ? FontCache::Instance().Face(*entry, traits) : FontFaceChoice();
}

std::string FileOf(const FontFaceChoice& choice) {
    return choice.face ? choice.face->file : std::string();
}

constexpr uint32_t kWght = HB_TAG('w', 'g', 'h', 't');

// The advance of text measured in the family with the traits, at em size 1000.
float Measured(const char* family, const std::u16string& text, KelFontTraits traits) {
    std::u16string name(family, family + std::char_traits<char>::length(family));
    GpFontFamily* f = nullptr;
    GpFont* font = nullptr;
    EXPECT_EQ(
        GdipCreateFontFamilyFromName(reinterpret_cast<const WCHAR*>(name.c_str()), nullptr, &f),
        Ok);
    EXPECT_EQ(KelCreateFontWithTraits(f, 1000, 0, UnitPixel, &traits, &font), Ok);
    GpStringFormat* format = nullptr;
    GdipCreateStringFormat(StringFormatFlagsMeasureTrailingSpaces | StringFormatFlagsNoWrap, 0,
                           &format);
    RectF layout(0, 0, 0, 0), box;
    GdipMeasureString(nullptr, reinterpret_cast<const WCHAR*>(text.c_str()), -1, font, &layout,
                      format, &box, nullptr, nullptr);
    GdipDeleteStringFormat(format);
    GdipDeleteFont(font);
    GdipDeleteFontFamily(f);
    return box.Width;
}

// HarfBuzz's advance of text in a font file (at the given weight axis value,
// and with the features given), at em size 1000.
float Shaped(const std::string& file, const char* text, float wght = 0,
             const char* feature = nullptr) {
    hb_blob_t* blob = hb_blob_create_from_file(file.c_str());
    hb_face_t* face = hb_face_create(blob, 0);
    hb_font_t* font = hb_font_create(face);
    if (wght > 0) {
        hb_variation_t v = {kWght, wght};
        hb_font_set_variations(font, &v, 1);
    }
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf8(buffer, text, -1, 0, -1);
    hb_buffer_guess_segment_properties(buffer);
    hb_feature_t f;
    bool withFeature = feature && hb_feature_from_string(feature, -1, &f);
    hb_shape(font, buffer, withFeature ? &f : nullptr, withFeature ? 1 : 0);
    unsigned count = 0;
    hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
    float advance = 0;
    for (unsigned i = 0; i < count; ++i)
        advance += pos[i].x_advance;
    advance *= 1000.0f / hb_face_get_upem(face);
    hb_buffer_destroy(buffer);
    hb_font_destroy(font);
    hb_face_destroy(face);
    hb_blob_destroy(blob);
    return advance;
}

// FreeType's horizontal extent of a glyph in ems: left bearing, ink width, advance.
struct GlyphMetrics {
    float left, width, advance;
};
// At the given weight axis value for a variable font; the advance is HarfBuzz's.
GlyphMetrics Metrics(const std::string& file, char32_t c, float wght = 0) {
    FT_Library library;
    FT_Init_FreeType(&library);
    FT_Face face;
    GlyphMetrics m{};
    if (FT_New_Face(library, file.c_str(), 0, &face) == 0) {
        FT_Fixed coords[4] = {FT_Fixed(wght * 65536)};
        if (wght > 0)
            FT_Set_Var_Design_Coordinates(face, 1, coords);
        FT_Load_Char(face, c, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING);
        float em = face->units_per_EM;
        char text[2] = {char(c), 0};
        m = {face->glyph->metrics.horiBearingX / em, face->glyph->metrics.width / em,
             Shaped(file, text, wght) / 1000};
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return m;
}

} // namespace

TEST(FontMatch, WeightsFollowCssRules) {
    // DejaVu Sans has the weights 200, 400 and 700: between 400 and 500 a
    // weight looks up to 500 first, then down; below 400 down first; above
    // 500 up first.
    const std::pair<int, int> dejavu[] = {{100, 200}, {300, 200}, {350, 200}, {400, 400},
                                          {450, 400}, {500, 400}, {550, 700}, {600, 700},
                                          {800, 700}, {1000, 700}};
    for (auto [want, got] : dejavu) {
        FontFaceChoice c = Choose("DejaVu Sans", want);
        EXPECT_EQ(FileOf(c), FcFile("DejaVu Sans", got)) << want;
        EXPECT_EQ(c.syntheticBold, want > 900) << want;
    }
    // Lato has all nine; 450 takes the 500, 550 the 600.
    for (int w = 100; w <= 900; w += 100)
        EXPECT_EQ(FileOf(Choose("Lato", w)), FcFile("Lato", w)) << w;
    EXPECT_EQ(FileOf(Choose("Lato", 450)), FcFile("Lato", 500));
    EXPECT_EQ(FileOf(Choose("Lato", 550)), FcFile("Lato", 600));
    EXPECT_EQ(FileOf(Choose("Lato", 1)), FcFile("Lato", 100));
    // Bold is made up for a face more than 200 lighter than asked.
    EXPECT_FALSE(Choose("DejaVu Math TeX Gyre", 600).syntheticBold);
    EXPECT_TRUE(Choose("DejaVu Math TeX Gyre", 601).syntheticBold);
    EXPECT_FALSE(Choose("Liberation Serif", 900).syntheticBold);
}

TEST(FontMatch, WidthsThenSlants) {
    std::string condensed = FcFile("DejaVu Sans", 400, FC_SLANT_ROMAN, 87);
    ASSERT_NE(condensed, FcFile("DejaVu Sans", 400));
    // Narrower widths are tried first up to normal, wider ones above it.
    EXPECT_EQ(FileOf(Choose("DejaVu Sans", 400, 0, 50)), condensed);
    EXPECT_EQ(FileOf(Choose("DejaVu Sans", 400, 0, 87.5f)), condensed);
    EXPECT_EQ(FileOf(Choose("DejaVu Sans", 400, 0, 125)), FcFile("DejaVu Sans", 400));
    EXPECT_EQ(FileOf(Choose("DejaVu Sans Condensed", 400)), condensed);
    EXPECT_EQ(FileOf(Choose("DejaVu Sans", 700, 2, 75)),
              FcFile("DejaVu Sans", 700, FC_SLANT_OBLIQUE, 87));
    // Italic falls back to oblique, oblique to italic; only an upright face
    // is slanted by the library.
    std::string oblique = FcFile("DejaVu Sans", 400, FC_SLANT_OBLIQUE);
    for (int slant : {1, 2}) {
        FontFaceChoice c = Choose("DejaVu Sans", 400, slant);
        EXPECT_EQ(FileOf(c), oblique);
        EXPECT_FALSE(c.syntheticItalic);
    }
    EXPECT_EQ(FileOf(Choose("Liberation Serif", 400, 2)),
              FcFile("Liberation Serif", 400, FC_SLANT_ITALIC));
    EXPECT_TRUE(Choose("DejaVu Math TeX Gyre", 400, 2).syntheticItalic);

    // The generic families are what fontconfig makes of them.
    for (const char* generic : {"serif", "sans-serif", "monospace", "cursive", "fantasy"})
        EXPECT_EQ(FileOf(Choose(generic, 700)), FcFile(generic, 700)) << generic;
}

TEST(FontMatch, VariableFacesAtTheWeightAskedFor) {
    auto wght = [](const FontFaceChoice& c) {
        EXPECT_TRUE(c.face && !c.face->coords.empty());
        return c.face && !c.face->coords.empty() ? c.face->coords[0] : 0.0f;
    };
    EXPECT_EQ(wght(Choose("Inter", 450)), 450.0f);
    EXPECT_EQ(wght(Choose("Inter", 300, 0, 100, {{kWght, 820}})), 820.0f);
    EXPECT_EQ(wght(Choose("Inter", 300, 0, 100, {{kWght, 5000}})), 900.0f);
    // An axis the font lacks changes nothing.
    EXPECT_EQ(Choose("Inter", 400, 0, 100, {{HB_TAG('x', 'x', 'x', 'x'), 3}}).face,
              Choose("Inter", 400).face);

    // Advances follow the weight axis as HarfBuzz varies them.
    std::string file = FileOf(Choose("Inter", 450));
    KelFontTraits traits;
    for (int w : {150, 450, 850}) {
        traits.weight = w;
        EXPECT_NEAR(Measured("Inter", u"Hamburg", traits), Shaped(file, "Hamburg", float(w)), 0.5)
            << w;
    }
    UINT32 tag = kWght;
    REAL value = 700;
    traits.weight = 100;
    traits.variationCount = 1;
    traits.variationTags = &tag;
    traits.variationValues = &value;
    EXPECT_NEAR(Measured("Inter", u"Hamburg", traits), Shaped(file, "Hamburg", 700), 0.5);
}

TEST(FontMatch, SmallCapitalsOwnOrMadeUp) {
    KelFontTraits caps;
    caps.smallCaps = 1;
    // EB Garamond has small capitals of its own (smcp).
    std::string garamond = FileOf(Choose("EB Garamond 12", 400));
    EXPECT_NEAR(Measured("EB Garamond 12", u"Small", caps), Shaped(garamond, "Small", 0, "smcp"),
                0.5);
    EXPECT_GT(std::abs(Shaped(garamond, "Small", 0, "smcp") - Shaped(garamond, "Small")), 20);
    // DejaVu Sans has none: lowercase letters become capitals at 0.7 em.
    std::string dejavu = FcFile("DejaVu Sans", 400);
    EXPECT_NEAR(Measured("DejaVu Sans", u"H\u00e9 1", caps),
                Shaped(dejavu, "H") + 0.7f * Shaped(dejavu, "\u00c9") + Shaped(dejavu, " 1"), 0.5);
}

TEST(FontRendering, FontPropertiesReachTheDrawnText) {
    // "HHH" at 50 px from x 10: its ink runs from the first H's left bearing
    // to the last one's right edge, in the face the properties choose.
    struct Row {
        const char* family;
        std::string attributes;
        std::string file;
        float wght;
    } rows[] = {
        {"Lato", "font-weight='100'", FcFile("Lato", 100), 0},
        {"Lato", "font-weight='900'", FcFile("Lato", 900), 0},
        {"Lato", "style='font: 300 50px Lato'", FcFile("Lato", 300), 0},
        {"Lato", "font-weight='bold'><tspan font-weight='lighter'", FcFile("Lato", 400), 0},
        {"Lato", "font-style='oblique'", FcFile("Lato", 400, FC_SLANT_ITALIC), 0},
        {"DejaVu Sans", "font-stretch='condensed'", FcFile("DejaVu Sans", 400, 0, 87), 0},
        {"Inter", "style=\"font-variation-settings: 'wght' 900\"", FileOf(Choose("Inter", 450)),
         900},
    };
    for (const Row& row : rows) {
        const std::string& attributes = row.attributes;
        bool tspan = attributes.find("tspan") != std::string::npos;
        Picture p = Draw("<text x='10' y='60' font-family='" + std::string(row.family) +
                             "' font-size='50' " + attributes + ">HHH" + (tspan ? "</tspan>" : "") +
                             "</text>",
                         200, 100);
        GlyphMetrics h = Metrics(row.file, 'H', row.wght);
        InkBox ink = FindInk(p, 100);
        EXPECT_NEAR(ink.left, 10 + 50 * h.left, 1.5) << attributes;
        EXPECT_NEAR(ink.right + 1, 10 + 50 * (2 * h.advance + h.left + h.width), 1.5) << attributes;
    }
}

// 600 is bold enough for a bold style, but a family with a semibold face
// draws 600 with it (as 550 is), not with its bold.
TEST(FontRendering, SemiboldWeightsKeepTheSemiboldFace) {
    auto drawn = [](int weight) {
        return Draw("<text x='10' y='60' font-family='Lato' font-size='50' font-weight='" +
                        std::to_string(weight) + "'>Hxg</text>",
                    200, 100);
    };
    Picture semibold = drawn(600);
    EXPECT_EQ(DifferentPixels(semibold, drawn(550)), 0);
    EXPECT_GT(DifferentPixels(semibold, drawn(700)), 50);
}

TEST(FontRendering, MadeUpSmallCapitalsInLaidOutText) {
    // "Hh" in small capitals of DejaVu Sans (which has none of its own): an H,
    // then one at 0.7 of the size, kerned by nothing.
    GlyphMetrics h = Metrics(FcFile("DejaVu Sans", 400), 'H');
    const std::string caps = " font-family='DejaVu Sans' font-size='50' font-variant='small-caps'>";
    for (const std::string& svg : {"<text x='10' y='60'" + caps + "Hh</text>",
                                   "<text x='10' y='60'><tspan" + caps + "Hh</tspan></text>"}) {
        InkBox ink = FindInk(Draw(svg, 200, 100), 100);
        EXPECT_NEAR(ink.left, 10 + 50 * h.left, 1.5) << svg;
        EXPECT_NEAR(ink.right + 1, 10 + 50 * h.advance + 35 * (h.left + h.width), 1.5) << svg;
    }
}

TEST(FontRendering, ColourGlyphsAreDrawnAsTheirPictures) {
    // U+1F389, which DejaVu Sans lacks, comes from the colour emoji font: its
    // picture, scaled from its strike to the em, at the pen position.
    std::string emoji = FcFile("Noto Color Emoji", 400);
    FT_Library library;
    FT_Init_FreeType(&library);
    FT_Face face;
    ASSERT_EQ(FT_New_Face(library, emoji.c_str(), 0, &face), 0);
    ASSERT_TRUE(FT_HAS_COLOR(face) && face->num_fixed_sizes > 0);
    FT_Select_Size(face, 0);
    FT_Load_Char(face, 0x1F389, FT_LOAD_COLOR);
    // The columns of the picture that are at least half opaque.
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    int first = int(bitmap.width), last = -1;
    for (unsigned y = 0; y < bitmap.rows; ++y) {
        for (int x = 0; x < int(bitmap.width); ++x) {
            if (bitmap.buffer[y * bitmap.pitch + 4 * x + 3] >= 128) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    float scale = 40.0f / (face->available_sizes[0].y_ppem / 64.0f);
    float width = (last - first + 1) * scale, left = (face->glyph->bitmap_left + first) * scale;
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    const std::string text = "font-family='DejaVu Sans' font-size='40'>\xF0\x9F\x8E\x89</text>";
    Picture p = Draw("<text x='20' y='60' " + text, 120, 100);
    InkBox ink = FindInk(p, 128);
    EXPECT_NEAR(ink.left, 20 + left, 2);
    EXPECT_NEAR(ink.Width(), width, 3);
    int coloured = 0;
    for (uint32_t px : p.pixels)
        coloured += Picture::Alpha(px) > 200 && Picture::Red(px) > Picture::Blue(px) + 60;
    EXPECT_GT(coloured, 50);
    // Drawn with the fill's opacity; not drawn without a fill.
    Picture half = Draw("<text x='20' y='60' fill-opacity='0.5' " + text, 120, 100);
    unsigned most = 0;
    for (uint32_t px : half.pixels)
        most = std::max(most, Picture::Alpha(px));
    EXPECT_NEAR(most, 128, 2);
    EXPECT_TRUE(FindInk(Draw("<text x='20' y='60' fill='none' " + text, 120, 100), 1).Empty());
    // A group's opacity takes in the picture too.
    Picture group = Draw("<g opacity='0.5'><text x='20' y='60' " + text + "</g>", 120, 100);
    EXPECT_NEAR(FindInk(group, 60).Width(), width, 3);
}

TEST(FontMatch, PointsOfVariableFacesAreBounded) {
    // Past the bound, the nearest point made so far.
    auto wght = [](float value) {
        FontFaceChoice c = Choose("Inter", 400, 0, 100, {{kWght, value}});
        return c.face ? c.face->coords.at(0) : 0.0f;
    };
    for (int i = 0; i < int(FontCache::kMaxInstances) + 50; ++i)
        wght(100.0f + i * 2.5f);
    // Points 2.5 apart were made from 100 up to the bound (less those other
    // tests made).
    for (float v : {101.0f, 333.3f, 555.5f}) {
        float made = wght(v);
        EXPECT_NEAR(made, v, 1.25f) << v;
        EXPECT_NE(made, v);
    }
}
