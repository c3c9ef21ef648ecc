#include "platform/gdiplus/GdipGlyphRun.h"

#include "platform/gdiplus/FontColorGlyphs.h"
#include "platform/gdiplus/FontLayout.h"
#include "platform/gdiplus/GdipObjects.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb-ot.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <unordered_map>

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
    std::u32string text; // the characters shaped, from `from` on
    size_t from = 0;
    ~KelGlyphRun() { tag = kDeadGlyphRunTag; }
};

namespace {

bool Valid(const KelGlyphRun* run) {
    return run && run->tag == kGlyphRunTag && run->shaped;
}

bool VectorTarget(cairo_t* cr) {
    switch (cairo_surface_get_type(cairo_get_target(cr))) {
    case CAIRO_SURFACE_TYPE_PDF:
    case CAIRO_SURFACE_TYPE_PS:
    case CAIRO_SURFACE_TYPE_SVG:
    case CAIRO_SURFACE_TYPE_RECORDING:
    case CAIRO_SURFACE_TYPE_SCRIPT:
        return true;
    default:
        return false;
    }
}

// A Cairo face of the face's font file, made once for the process: Cairo
// opens the file itself and embeds it in the documents it writes.
cairo_font_face_t* CairoFace(const FontFace& face) {
    if (face.file.empty())
        return nullptr;
    static std::mutex lock;
    static std::unordered_map<std::string, cairo_font_face_t*> faces;
    std::string key = std::to_string(face.index) + ":" + face.file;
    std::lock_guard<std::mutex> guard(lock);
    auto found = faces.find(key);
    if (found != faces.end())
        return found->second;
    cairo_font_face_t* made = nullptr;
    if (FcPattern* pattern = FcPatternCreate()) {
        FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(face.file.c_str()));
        FcPatternAddInteger(pattern, FC_INDEX, face.index);
        made = cairo_ft_font_face_create_for_pattern(pattern);
        FcPatternDestroy(pattern);
        if (cairo_font_face_status(made) != CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(made);
            made = nullptr;
        }
    }
    faces.emplace(key, made);
    return made;
}

// Whether glyphs of face can be drawn as text of its file as it is: not a
// variable font (the file alone gives its default point, not the one drawn)
// nor one of colour glyphs (drawn as pictures of their own).
bool TextFace(const FontFace* face) {
    return face && face->ft && !FT_HAS_MULTIPLE_MASTERS(face->ft) && !FT_HAS_COLOR(face->ft) &&
           CairoFace(*face);
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Glyphs of one face and one linear transform, drawn in one call with the
// characters each cluster stands for (a ligature keeps its letters, a joined
// Arabic form its letter).
class GlyphBatch {
public:
    explicit GlyphBatch(const KelGlyphRun& run) : run_(run) {
        // Where each cluster's characters end: at the next cluster's start.
        for (const ShapedGlyph& g : run.shaped->glyphs)
            starts_.push_back(g.cluster);
        std::sort(starts_.begin(), starts_.end());
        starts_.erase(std::unique(starts_.begin(), starts_.end()), starts_.end());
    }

    void Add(const ShapedGlyph& glyph, const float m[6]) {
        if (!glyphs_.empty() && glyph.cluster == lastCluster_) {
            ++clusters_.back().num_glyphs;
        } else {
            size_t bytes = text_.size();
            auto next = std::upper_bound(starts_.begin(), starts_.end(), glyph.cluster);
            size_t end = next == starts_.end() ? run_.from + run_.text.size() : *next;
            for (size_t c = glyph.cluster; c < end && c - run_.from < run_.text.size(); ++c)
                AppendUtf8(text_, run_.text[c - run_.from]);
            clusters_.push_back({int(text_.size() - bytes), 1});
            lastCluster_ = glyph.cluster;
        }
        glyphs_.push_back({glyph.glyph, m[4], m[5]});
    }

    void Draw(cairo_t* cr) {
        if (!glyphs_.empty())
            cairo_show_text_glyphs(cr, text_.data(), int(text_.size()), glyphs_.data(),
                                   int(glyphs_.size()), clusters_.data(), int(clusters_.size()),
                                   cairo_text_cluster_flags_t(0));
        glyphs_.clear();
        clusters_.clear();
        text_.clear();
    }

private:
    const KelGlyphRun& run_;
    std::vector<uint32_t> starts_;
    std::vector<cairo_glyph_t> glyphs_;
    std::vector<cairo_text_cluster_t> clusters_;
    std::string text_;
    uint32_t lastCluster_ = 0;
};

Status MakeRun(const UINT32* text, INT length, INT from, INT to, FontFamilyEntry& family,
               const FontTraits& traits, bool smallCaps, REAL emSize, INT flags,
               KelGlyphRun** run) {
    std::shared_ptr<const ShapedRun> shaped =
        ShapeText(family, traits, smallCaps, reinterpret_cast<const char32_t*>(text),
                  size_t(length), size_t(from), size_t(to), flags & ~kShapeGuessDirection);
    if (!shaped)
        return GenericError;
    auto* made = new (std::nothrow) KelGlyphRun;
    if (!made)
        return OutOfMemory;
    made->shaped = std::move(shaped);
    made->emSize = emSize;
    made->text.assign(reinterpret_cast<const char32_t*>(text) + from,
                      reinterpret_cast<const char32_t*>(text) + to);
    made->from = size_t(from);
    *run = made;
    return Ok;
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
    return MakeRun(text, length, from, to, *entry,
                   FontTraits::FromStyle(style & (FontStyleBold | FontStyleItalic)), false, emSize,
                   flags, run);
}

Status WINGDIPAPI KelCreateGlyphRunFont(GDIPCONST UINT32* text, INT length, INT from, INT to,
                                        GDIPCONST GpFont* font, INT flags, KelGlyphRun** run) {
    if (!run)
        return InvalidParameter;
    *run = nullptr;
    FontFamilyEntry* entry = nullptr;
    FontTraits traits;
    bool smallCaps = false;
    float emSize = 0;
    if (!text || !FontSettingsOf(font, entry, traits, smallCaps, emSize) || !entry || length < 0 ||
        length > kMaxRunText || from < 0 || from > to || to > length || !std::isfinite(emSize) ||
        emSize <= 0)
        return InvalidParameter;
    return MakeRun(text, length, from, to, *entry, traits, smallCaps, emSize, flags, run);
}

Status WINGDIPAPI KelGlyphRunHasColor(GDIPCONST KelGlyphRun* run, BOOL* color) {
    if (!Valid(run) || !color)
        return InvalidParameter;
    *color = FALSE;
    for (const ShapedGlyph& g : run->shaped->glyphs) {
        if (g.face && g.face->color)
            *color = TRUE;
    }
    return Ok;
}

Status WINGDIPAPI KelDrawGlyphPictures(GpGraphics* graphics, GDIPCONST KelGlyphRun* run,
                                       GDIPCONST KelGlyphPlacement* placements, INT count,
                                       REAL opacity) {
    if (!Valid(graphics) || !Valid(run) || (!placements && count > 0) || count < 0 ||
        !std::isfinite(opacity))
        return InvalidParameter;
    if (opacity <= 0)
        return Ok;
    const std::vector<ShapedGlyph>& glyphs = run->shaped->glyphs;
    FontCache& cache = FontCache::Instance();
    for (INT i = 0; i < count; ++i) {
        INT index = placements[i].index;
        if (index < 0 || size_t(index) >= glyphs.size())
            return InvalidParameter;
        const ShapedGlyph& g = glyphs[size_t(index)];
        if (!g.face || !g.face->color)
            continue;
        const FontColorGlyph* picture = cache.ColorGlyph(*g.face, g.glyph);
        if (!picture || picture->ppem <= 0)
            continue;
        // Glyph space (y down) from the picture's pixels, then the placement.
        float pixel = run->emSize * g.size / picture->ppem;
        float left = picture->left * pixel, top = -picture->top * pixel;
        const float* m = placements[i].matrix;
        float place[6] = {m[0] * pixel,
                          m[1] * pixel,
                          m[2] * pixel,
                          m[3] * pixel,
                          m[0] * left + m[2] * top + m[4],
                          m[1] * left + m[3] * top + m[5]};
        PaintColorPicture(*graphics, *picture, place, opacity);
    }
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
    float scale = run->emSize * glyph.size / glyph.face->upem;
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

Status WINGDIPAPI KelGraphicsKeepsText(GpGraphics* graphics, BOOL* keeps) {
    if (!Valid(graphics) || !keeps || !graphics->cr)
        return InvalidParameter;
    *keeps = VectorTarget(graphics->cr) ? TRUE : FALSE;
    return Ok;
}

Status WINGDIPAPI KelFillGlyphs(GpGraphics* graphics, GpBrush* brush, ARGB color,
                                GDIPCONST KelGlyphRun* run, GDIPCONST KelGlyphPlacement* placements,
                                INT count) {
    GpBrushType type;
    if (!Valid(graphics) || !graphics->cr || !Valid(run) || (!placements && count > 0) ||
        count < 0 || (brush && GdipGetBrushType(brush, &type) != Ok))
        return InvalidParameter;
    if (!VectorTarget(graphics->cr))
        return NotImplemented;
    const std::vector<ShapedGlyph>& glyphs = run->shaped->glyphs;
    for (INT i = 0; i < count; ++i) {
        INT index = placements[i].index;
        if (index < 0 || size_t(index) >= glyphs.size())
            return InvalidParameter;
        const ShapedGlyph& g = glyphs[size_t(index)];
        if (g.bold || g.italic || !TextFace(g.face))
            return NotImplemented;
    }
    cairo_t* cr = graphics->Begin();
    if (!cr || count == 0)
        return Ok;
    cairo_pattern_t* pattern = nullptr;
    if (brush) {
        pattern = CreateBrushPattern(brush, graphics->PixelTransform());
        if (!pattern || cairo_pattern_status(pattern) != CAIRO_STATUS_SUCCESS) {
            if (pattern)
                cairo_pattern_destroy(pattern);
            return Ok;
        }
    }
    cairo_save(cr);
    // A pattern's failure stays within a group of its own.
    bool group = pattern && cairo_pattern_get_type(pattern) != CAIRO_PATTERN_TYPE_SOLID;
    if (group)
        cairo_push_group(cr);
    if (pattern)
        cairo_set_source(cr, pattern);
    else
        cairo_set_source_rgba(cr, ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                              (color & 0xFF) / 255.0, (color >> 24) / 255.0);
    GlyphBatch batch(*run);
    const FontFace* face = nullptr;
    cairo_matrix_t linear = {0, 0, 0, 0, 0, 0};
    for (INT i = 0; i < count; ++i) {
        const float* m = placements[i].matrix;
        const ShapedGlyph& g = glyphs[size_t(placements[i].index)];
        float em = run->emSize * g.size;
        cairo_matrix_t font = {m[0] * em, m[1] * em, m[2] * em, m[3] * em, 0, 0};
        // A glyph squeezed to nothing, or placed where no number reaches, draws nothing.
        if (!IsUsableMatrix(font) || !std::isfinite(m[4]) || !std::isfinite(m[5]))
            continue;
        if (g.face != face || std::memcmp(&font, &linear, sizeof font) != 0) {
            batch.Draw(cr);
            face = g.face;
            linear = font;
            cairo_set_font_face(cr, CairoFace(*face));
            cairo_set_font_matrix(cr, &font);
        }
        batch.Add(g, m);
    }
    batch.Draw(cr);
    if (group) {
        cairo_pop_group_to_source(cr);
        cairo_paint(cr);
    }
    cairo_restore(cr);
    if (pattern)
        cairo_pattern_destroy(pattern);
    cairo_new_path(cr);
    return cairo_status(cr) == CAIRO_STATUS_SUCCESS ? Ok : GenericError;
}

} // extern "C"

} // namespace Gdiplus
