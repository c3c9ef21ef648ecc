#pragma once

// Glyphs drawn as colour pictures (colour bitmap fonts), placed by a layout.

#include "platform/gdiplus/FontCache.h"

#include <vector>

namespace Gdiplus {

// A colour picture placed in world units: its top-left corner, and the size
// of one of its pixels. The picture lives as long as the font cache.
struct FontColorPlacement {
    const FontColorGlyph* picture;
    float left, top, pixel;
};

class GpColorGlyphs {
public:
    static constexpr uint32_t kTag = 0x436C7247; // "ClrG"
    uint32_t tag = kTag;
    std::vector<FontColorPlacement> glyphs;
    ~GpColorGlyphs() { tag = 0xDEADBEEF; }
};

class GpGraphics;

// Paints picture with its pixels mapped by place (m11 m12 m21 m22 dx dy) into
// world coordinates, under graphics' world transform, smoothed when scaled.
void PaintColorPicture(GpGraphics& graphics, const FontColorGlyph& picture, const float place[6],
                       double opacity);

} // namespace Gdiplus
