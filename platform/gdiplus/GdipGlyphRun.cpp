#include "platform/gdiplus/GdipGlyphRun.h"

#include "platform/gdiplus/FontLayout.h"

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

void FillMetrics(const FontFace& face, float emSize, KelFontMetrics& metrics) {
    float scale = emSize / face.upem;
    metrics.emSize = emSize;
    metrics.ascent = face.ascent * scale;
    metrics.descent = face.descent * scale;
    metrics.underlinePosition = -face.underlinePosition * scale;
    metrics.underlineThickness = face.underlineThickness * scale;
    metrics.strikeoutPosition = -face.strikeoutPosition * scale;
    metrics.strikeoutThickness = face.strikeoutThickness * scale;
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
    FillMetrics(*run->shaped->metrics, run->emSize, *metrics);
    return Ok;
}

Status WINGDIPAPI KelGetFamilyMetrics(GDIPCONST GpFontFamily* family, INT style, REAL emSize,
                                      KelFontMetrics* metrics) {
    FontFamilyEntry* entry = FamilyEntryOf(family);
    if (!entry || !metrics || !std::isfinite(emSize) || emSize <= 0)
        return InvalidParameter;
    FontFaceChoice choice =
        FontCache::Instance().Face(*entry, style & (FontStyleBold | FontStyleItalic));
    if (!choice.face)
        return GenericError;
    FillMetrics(*choice.face, emSize, *metrics);
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
