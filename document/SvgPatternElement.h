#pragma once

#include "document/SvgFigureElement.h"
#include "engine/GdiImage.h"
#include "render/SvgPaintServer.h"
#include "style/SvgLength.h"
#include "syntax/SvgMatrix.h"
#include "syntax/SvgRect.h"

#include <string>

class SvgPatternElement;

// A pattern as it paints one object: its tile (x, y, width, height) in the
// object's user space before the pattern's transform, that transform, the
// map of the content into the tile (from the tile's corner), and the pattern
// whose children are the content.
struct SvgPatternTile {
    double x = 0, y = 0, width = 0, height = 0;
    SvgMatrix transform;
    SvgMatrix content;
    const SvgPatternElement* source = nullptr;
};

// The `pattern` element, never drawn itself: a fill or a stroke that names it
// paints with its content repeated in tiles. What a pattern does not give
// itself, children included, comes from the pattern its href names (and so
// on along the chain). A tile is rendered once at the resolution it is seen
// with and repeated by a texture brush: a tile smaller than a pixel shows its
// average colour.
class SvgPatternElement : public SvgFigureElement, public SvgPaintServer {
public:
    // Longest href chain followed; it also ends any cycle.
    static const int kMaxHrefChain = 16;
    // Largest tile rendered, in pixels a side and in all (a quarter of it for
    // each pattern the tile is drawn inside of); larger ones are rendered
    // coarser.
    static constexpr int kMaxTileSide = 4096;
    static constexpr double kMaxTilePixels = 4.0 * 1024 * 1024;

    SvgPatternElement();
    ~SvgPatternElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    // Reads patternTransform.
    void ReadTransform(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgPatternElement(); }
    void CopyFrom(const SvgElement* source) override;
    void Render(GdiGraphics& /*graphics*/) override {}

    // Brushes with tiles of one pixel per user unit, or at the resolution of
    // graphics; one that paints nothing when the pattern paints nothing.
    GdiBrush* CreateBrush(const Gdiplus::RectF& bounds, unsigned alpha) const override;
    bool PaintsAtResolution() const override { return true; }
    GdiBrush* CreateBrushFor(const Gdiplus::RectF& bounds, unsigned alpha,
                             GdiGraphics& graphics) const override;

    // The tile for an object whose box is bounds; false when the pattern
    // paints nothing there (a tile or viewBox without area, box units on a
    // box without area).
    bool Resolve(const Gdiplus::RectF& bounds, SvgPatternTile& tile) const;

private:
    // The pattern href names, or null (none, or not a pattern).
    const SvgPatternElement* GetReferenced() const;
    // A brush for tile, rendered for the map pixels from user space to a
    // target's pixels.
    GdiBrush* MakeBrush(const SvgPatternTile& tile, const SvgMatrix& pixels, unsigned alpha) const;
    // Renders the tile's content into a bitmap of width x height pixels.
    GdiImage* RenderTile(const SvgPatternTile& tile, int width, int height, unsigned alpha) const;

    SvgLength m_x, m_y, m_width, m_height; // set when given
    bool m_unitsSet = false;
    bool m_userSpace = false; // patternUnits="userSpaceOnUse"
    bool m_contentUnitsSet = false;
    bool m_contentInBox = false; // patternContentUnits="objectBoundingBox"
    bool m_transformSet = false;
    SvgMatrix m_transform;
    bool m_viewBoxSet = false;
    SvgRect m_viewBox;
    bool m_aspectSet = false;
    std::string m_aspect;
    std::string m_href; // the id named by href, without its '#'
};
