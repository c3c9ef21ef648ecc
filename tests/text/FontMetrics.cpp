#include "FontMetrics.h"

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A configuration of the tests' own, freed at exit (fontconfig's default one
// never is).
FcConfig* Config() {
    static std::unique_ptr<FcConfig, void (*)(FcConfig*)> config(FcInitLoadConfigAndFonts(),
                                                                 FcConfigDestroy);
    return config.get();
}

} // namespace

FontMetrics::FontMetrics(const std::string& family) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(Config(), pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(Config(), pattern, &result);
    FcChar8* file = nullptr;
    int index = 0;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        hb_blob_t* blob = hb_blob_create_from_file(reinterpret_cast<const char*>(file));
        hb_face_t* face = hb_face_create(blob, unsigned(index));
        upem = hb_face_get_upem(face);
        font = hb_font_create(face);
        hb_ot_font_set_funcs(font);
        hb_face_destroy(face);
        hb_blob_destroy(blob);
    }
    EXPECT_NE(font, nullptr) << family;
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
}

FontMetrics::~FontMetrics() {
    hb_font_destroy(font);
}

double FontMetrics::Advance(const std::string& text, double size, bool kerning) const {
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf8(buffer, text.data(), int(text.size()), 0, -1);
    hb_buffer_guess_segment_properties(buffer);
    hb_feature_t noKerning = {HB_TAG('k', 'e', 'r', 'n'), 0, 0, ~0u};
    hb_shape(font, buffer, kerning ? nullptr : &noKerning, kerning ? 0 : 1);
    unsigned count = 0;
    hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
    double units = 0;
    for (unsigned i = 0; i < count; ++i)
        units += positions[i].x_advance;
    hb_buffer_destroy(buffer);
    return units * size / upem;
}

int FontMetrics::Glyphs(const std::string& text) const {
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf8(buffer, text.data(), int(text.size()), 0, -1);
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(font, buffer, nullptr, 0);
    int count = int(hb_buffer_get_length(buffer));
    hb_buffer_destroy(buffer);
    return count;
}

double FontMetrics::Metric(unsigned tag, double size) const {
    hb_position_t value = 0;
    hb_ot_metrics_get_position(font, hb_ot_metrics_tag_t(tag), &value);
    hb_codepoint_t x = 0;
    hb_glyph_extents_t extents{};
    // A font without an x-height gives its x's.
    if (tag == HB_OT_METRICS_TAG_X_HEIGHT && value == 0 &&
        hb_font_get_nominal_glyph(font, 'x', &x) && hb_font_get_glyph_extents(font, x, &extents))
        value = extents.y_bearing;
    return value * size / upem;
}

double FontMetrics::Baseline(unsigned tag, double size, double fallbackEm) const {
    hb_position_t value = 0;
    if (!hb_ot_layout_get_baseline(font, hb_ot_layout_baseline_tag_t(tag), HB_DIRECTION_LTR,
                                   HB_TAG('l', 'a', 't', 'n'), HB_OT_TAG_DEFAULT_LANGUAGE, &value))
        return fallbackEm * size;
    return value * size / upem;
}

void FontMetrics::Vertical(char32_t code, double size, double& x, double& y,
                           double& advance) const {
    hb_codepoint_t glyph = 0;
    hb_position_t ox = 0, oy = 0;
    hb_font_get_nominal_glyph(font, code, &glyph);
    hb_font_get_glyph_v_origin(font, glyph, &ox, &oy);
    x = ox * size / upem;
    y = oy * size / upem;
    advance = -hb_font_get_glyph_v_advance(font, glyph) * size / upem;
}
