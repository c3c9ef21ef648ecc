#include "platform/gdiplus/GdipGlyphRun.h"

#include "platform/gdiplus/FontLayout.h"

#include <hb-ot.h>

#include <cmath>
#include <new>

namespace Gdiplus {

namespace {

constexpr uint32_t kGlyphRunTag = 0x476C7952; // "GlyR"
constexpr uint32_t kDeadGlyphRunTag = 0xDEADBEEF;
// Longest text shaped at once; longer ones are refused.
constexpr INT kMaxRunText = 1 << 22;
// Coordinates kept in the scratch outline between calls.
constexpr size_t kMaxScratchPoints = 1 << 18;

} // namespace

class KelGlyphRun {
public:
    uint32_t tag = kGlyphRunTag;
    std::shared_ptr<const ShapedRun> shaped;
    float emSize = 0;
    ~KelGlyphRun() { tag = kDeadGlyphRunTag; }
};

namespace {

bool Valid(const KelGlyphRun* run) {
    return run && run->tag == kGlyphRunTag && run->shaped;
}

} // namespace

extern "C" {

Status WINGDIPAPI KelCreateGlyphRun(GDIPCONST UINT32* text, INT length, INT from, INT to,
                                    GDIPCONST GpFontFamily* family, INT style, REAL emSize,
                                    INT flags, KelGlyphRun** run) {
    if (!run)
        return InvalidParameter;
    *run = nullptr;
    FontFamilyEntry* entry = FamilyEntryOf(family);
    if (!text || !entry || length < 0 || length > kMaxRunText || from < 0 || from > to ||
        to > length || !std::isfinite(emSize) || emSize <= 0)
        return InvalidParameter;
    std::shared_ptr<const ShapedRun> shaped = ShapeText(
        *entry, style & (FontStyleBold | FontStyleItalic), reinterpret_cast<const char32_t*>(text),
        size_t(length), size_t(from), size_t(to), flags & ~kShapeGuessDirection);
    if (!shaped)
        return GenericError;
    auto* made = new (std::nothrow) KelGlyphRun;
    if (!made)
        return OutOfMemory;
    made->shaped = std::move(shaped);
    made->emSize = emSize;
    *run = made;
    return Ok;
}

Status WINGDIPAPI KelDeleteGlyphRun(KelGlyphRun* run) {
    if (!Valid(run))
        return InvalidParameter;
    delete run;
    return Ok;
}

Status WINGDIPAPI KelGetGlyphRunCount(GDIPCONST KelGlyphRun* run, INT* count) {
    if (!Valid(run) || !count)
        return InvalidParameter;
    *count = INT(run->shaped->glyphs.size());
    return Ok;
}

Status WINGDIPAPI KelGetGlyphRunGlyphs(GDIPCONST KelGlyphRun* run, KelShapedGlyph* glyphs,
                                       INT count) {
    if (!Valid(run) || !glyphs || count < 0)
        return InvalidParameter;
    const std::vector<ShapedGlyph>& shaped = run->shaped->glyphs;
    float em = run->emSize;
    for (size_t i = 0; i < shaped.size() && i < size_t(count); ++i) {
        glyphs[i].cluster = shaped[i].cluster;
        glyphs[i].advance = shaped[i].advance * em;
        glyphs[i].offsetX = shaped[i].offsetX * em;
        glyphs[i].offsetY = -shaped[i].offsetY * em;
    }
    return Ok;
}

Status WINGDIPAPI KelGetGlyphRunMetrics(GDIPCONST KelGlyphRun* run, KelFontMetrics* metrics) {
    if (!Valid(run) || !metrics || !run->shaped->metrics)
        return InvalidParameter;
    const FontFace& face = *run->shaped->metrics;
    float scale = run->emSize / face.upem;
    metrics->emSize = run->emSize;
    metrics->ascent = face.ascent * scale;
    metrics->descent = face.descent * scale;
    metrics->underlinePosition = -face.underlinePosition * scale;
    metrics->underlineThickness = face.underlineThickness * scale;
    metrics->strikeoutPosition = -face.strikeoutPosition * scale;
    metrics->strikeoutThickness = face.strikeoutThickness * scale;
    return Ok;
}

Status WINGDIPAPI KelGetGlyphRunBaselines(GDIPCONST KelGlyphRun* run, KelFontBaselines* out) {
    if (!Valid(run) || !out || !run->shaped->metrics || !run->shaped->metrics->hb)
        return InvalidParameter;
    const FontFace& face = *run->shaped->metrics;
    hb_font_t* font = face.hb;
    float em = face.upem > 0 ? face.upem : 1000;
    float scale = run->emSize / em;
    auto metric = [&](hb_ot_metrics_tag_t tag, float fallback) {
        hb_position_t value = 0;
        return hb_ot_metrics_get_position(font, tag, &value) ? float(value) : fallback;
    };
    auto baseline = [&](hb_ot_layout_baseline_tag_t tag, float fallback) {
        hb_position_t value = 0;
        bool found =
            hb_ot_layout_get_baseline(font, tag, HB_DIRECTION_LTR, HB_TAG('l', 'a', 't', 'n'),
                                      HB_OT_TAG_DEFAULT_LANGUAGE, &value);
        return found ? float(value) : fallback;
    };
    float ascent = metric(HB_OT_METRICS_TAG_HORIZONTAL_ASCENDER, face.ascent);
    float descent = metric(HB_OT_METRICS_TAG_HORIZONTAL_DESCENDER, -face.descent);
    if (ascent - descent <= 0) {
        ascent = em * 0.8f;
        descent = -em * 0.2f;
    }
    out->ascent = ascent * scale;
    out->descent = descent * scale;
    out->xHeight = metric(HB_OT_METRICS_TAG_X_HEIGHT, 0) * scale;
    // A font without an x-height gives its x's.
    hb_codepoint_t x = 0;
    hb_glyph_extents_t extents{};
    if (!(out->xHeight > 0) && hb_font_get_nominal_glyph(font, 'x', &x) &&
        hb_font_get_glyph_extents(font, x, &extents))
        out->xHeight = float(extents.y_bearing) * scale;
    if (!(out->xHeight > 0))
        out->xHeight = em * 0.5f * scale;
    // Without a BASE table, browsers hang text 0.8 of the ascent down and
    // centre mathematics half of it up.
    out->hanging = baseline(HB_OT_LAYOUT_BASELINE_TAG_HANGING, ascent * 0.8f) * scale;
    out->mathematical = baseline(HB_OT_LAYOUT_BASELINE_TAG_MATH, ascent * 0.5f) * scale;
    out->ideographic =
        baseline(HB_OT_LAYOUT_BASELINE_TAG_IDEO_EMBOX_BOTTOM_OR_LEFT, descent) * scale;
    out->superscript = metric(HB_OT_METRICS_TAG_SUPERSCRIPT_EM_Y_OFFSET, 0) * scale;
    out->subscript = metric(HB_OT_METRICS_TAG_SUBSCRIPT_EM_Y_OFFSET, 0) * scale;
    if (!(out->superscript > 0))
        out->superscript = em * 0.34f * scale;
    if (!(out->subscript > 0))
        out->subscript = em * 0.14f * scale;
    out->verticalAdvance = run->emSize;
    return Ok;
}

Status WINGDIPAPI KelGetGlyphRunVertical(GDIPCONST KelGlyphRun* run, INT index, REAL* originX,
                                         REAL* originY, REAL* advance) {
    if (!Valid(run) || !originX || !originY || !advance || index < 0 ||
        size_t(index) >= run->shaped->glyphs.size())
        return InvalidParameter;
    const ShapedGlyph& glyph = run->shaped->glyphs[size_t(index)];
    if (!glyph.face || !glyph.face->hb || !(glyph.face->upem > 0))
        return InvalidParameter;
    float scale = run->emSize / glyph.face->upem;
    hb_position_t x = 0, y = 0;
    if (!hb_font_get_glyph_v_origin(glyph.face->hb, glyph.glyph, &x, &y))
        return GenericError;
    *originX = float(x) * scale;
    *originY = float(y) * scale;
    *advance = -float(hb_font_get_glyph_v_advance(glyph.face->hb, glyph.glyph)) * scale;
    return Ok;
}

Status WINGDIPAPI KelAddPathGlyphs(GpPath* path, GDIPCONST KelGlyphRun* run,
                                   GDIPCONST KelGlyphPlacement* placements, INT count) {
    if (!path || !Valid(run) || (!placements && count > 0) || count < 0)
        return InvalidParameter;
    // One scratch outline for every call on a thread, released when a long
    // run made it large.
    thread_local FontOutline figures;
    figures.ops.clear();
    figures.pts.clear();
    const std::vector<ShapedGlyph>& glyphs = run->shaped->glyphs;
    bool refused = false;
    for (INT i = 0; i < count; ++i) {
        const KelGlyphPlacement& place = placements[i];
        if (place.index < 0 || size_t(place.index) >= glyphs.size() ||
            !AppendGlyphOutline(glyphs[size_t(place.index)], run->emSize, place.matrix, figures))
            refused = true;
    }
    Status status = figures.ops.empty() ? Ok : GdipStartPathFigure(path);
    if (status == Ok && !figures.ops.empty())
        status = AddOutlineFigures(path, figures);
    if (figures.pts.capacity() > kMaxScratchPoints) {
        figures.ops = std::vector<uint8_t>();
        figures.pts = std::vector<float>();
    }
    if (status == Ok && refused)
        status = InvalidParameter;
    return status;
}

} // extern "C"

} // namespace Gdiplus
