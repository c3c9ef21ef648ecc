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

} // namespace Gdiplus
