#include "document/SvgPatternElement.h"

#include "document/SvgRenderContext.h"
#include "document/SvgRenderState.h"
#include "document/SvgViewport.h"
#include "engine/GdiImage.h"
#include "engine/GdiMatrix.h"
#include "engine/SvgEngine.h"
#include "render/SvgFigure.h"
#include "render/SvgGradientBrush.h"
#include "style/SvgStyle.h"
#include "syntax/SvgScanner.h"
#include "syntax/SvgTransformList.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace Gdiplus;

namespace {

bool Is(const char* text, const char* keyword) {
    return text && std::strcmp(text, keyword) == 0;
}

// A coordinate or size of the tile: in box units a fraction of the box (a
// number or a percentage); in user space a length, with percentages of the
// viewport's size along its axis.
double TileLength(const SvgLength* given, bool inBox, double origin, double boxSize,
                  double viewportSize, double fontSize) {
    if (!given)
        return inBox ? origin : 0;
    double v = given->computed;
    if (given->unit == SvgUnitPercent)
        v = inBox ? given->value : given->value * viewportSize;
    else if (given->unit == SvgUnitEm)
        v = given->value * fontSize;
    else if (given->unit == SvgUnitEx)
        v = given->value * fontSize / 2;
    return inBox ? origin + v * boxSize : v;
}

void CopyMatrix(const SvgMatrix& m, double* out) {
    const double values[6] = {m.getA(), m.getB(), m.getC(), m.getD(), m.getE(), m.getF()};
    std::copy(values, values + 6, out);
}

} // namespace

SvgPatternElement::SvgPatternElement() : SvgFigureElement(SvgKindPattern, "pattern") {
    m_figure = SvgFigure::CreateStyleHolder();
    m_figure->SetOwner(this);
}

SvgPatternElement::~SvgPatternElement() {
    delete m_figure;
}

bool SvgPatternElement::ReadAttributes(TiXmlElement* xml) {
    for (auto [length, name] : {std::pair{&m_x, "x"}, std::pair{&m_y, "y"},
                                std::pair{&m_width, "width"}, std::pair{&m_height, "height"}}) {
        ReadLengthAttribute(*length, xml, name);
        if (length->inherit)
            *length = SvgLength();
    }
    if (const char* units = xml->Attribute("patternUnits")) {
        m_unitsSet = Is(units, "userSpaceOnUse") || Is(units, "objectBoundingBox");
        m_userSpace = Is(units, "userSpaceOnUse");
    }
    if (const char* units = xml->Attribute("patternContentUnits")) {
        m_contentUnitsSet = Is(units, "userSpaceOnUse") || Is(units, "objectBoundingBox");
        m_contentInBox = Is(units, "objectBoundingBox");
    }
    if (const char* text = xml->Attribute("viewBox")) {
        SvgScanner scanner;
        m_viewBoxSet = scanner.readRect(m_viewBox, SvgString(text));
    }
    m_aspectSet = ReadStringAttribute(xml, "preserveAspectRatio", m_aspect);
    const char* link = xml->Attribute("xlink:href");
    if (!link)
        link = xml->Attribute("href");
    if (link && link[0] == '#')
        m_href = link + 1;
    return true;
}

void SvgPatternElement::ReadTransform(TiXmlElement* xml) {
    const char* text = xml->Attribute("patternTransform");
    if (!text)
        return;
    m_transformSet = true;
    SvgTransformList list;
    SvgScanner scanner;
    scanner.readTransformList(list, SvgString(text));
    if (list.numberOfItems() > 0)
        m_transform = list.consolidate().getMatrix();
}

void SvgPatternElement::CopyFrom(const SvgElement* source) {
    SvgFigureElement::CopyFrom(source);
    const auto* p = dynamic_cast<const SvgPatternElement*>(source);
    if (!p)
        return;
    m_x = p->m_x;
    m_y = p->m_y;
    m_width = p->m_width;
    m_height = p->m_height;
    m_unitsSet = p->m_unitsSet;
    m_userSpace = p->m_userSpace;
    m_contentUnitsSet = p->m_contentUnitsSet;
    m_contentInBox = p->m_contentInBox;
    m_transformSet = p->m_transformSet;
    m_transform = p->m_transform;
    m_viewBoxSet = p->m_viewBoxSet;
    m_viewBox = p->m_viewBox;
    m_aspectSet = p->m_aspectSet;
    m_aspect = p->m_aspect;
    m_href = p->m_href;
}

const SvgPatternElement* SvgPatternElement::GetReferenced() const {
    if (m_href.empty() || !m_owner)
        return nullptr;
    const SvgElement* target = m_owner->FindElementById(m_href.c_str());
    if (!target || target->GetKind() != SvgKindPattern)
        return nullptr;
    return static_cast<const SvgPatternElement*>(target);
}

bool SvgPatternElement::Resolve(const RectF& bounds, SvgPatternTile& tile) const {
    // Each attribute, and the children, from the first pattern along the
    // chain that gives them.
    const SvgLength *x = nullptr, *y = nullptr, *width = nullptr, *height = nullptr;
    const SvgPatternElement *units = nullptr, *contentUnits = nullptr, *transform = nullptr;
    const SvgPatternElement *viewBox = nullptr, *aspect = nullptr, *content = nullptr;
    const SvgPatternElement* p = this;
    for (int i = 0; p && i < kMaxHrefChain; ++i, p = p->GetReferenced()) {
        x = x ? x : p->m_x.set ? &p->m_x : nullptr;
        y = y ? y : p->m_y.set ? &p->m_y : nullptr;
        width = width ? width : p->m_width.set ? &p->m_width : nullptr;
        height = height ? height : p->m_height.set ? &p->m_height : nullptr;
        units = units ? units : p->m_unitsSet ? p : nullptr;
        contentUnits = contentUnits ? contentUnits : p->m_contentUnitsSet ? p : nullptr;
        transform = transform ? transform : p->m_transformSet ? p : nullptr;
        viewBox = viewBox ? viewBox : p->m_viewBoxSet ? p : nullptr;
        aspect = aspect ? aspect : p->m_aspectSet ? p : nullptr;
        content = content ? content : !p->m_children.empty() ? p : nullptr;
    }
    bool inBox = !(units && units->m_userSpace);
    bool hasBox = bounds.Width > 0 && bounds.Height > 0;
    if (!content || (inBox && !hasBox))
        return false;
    SvgRect viewport = GetViewportRect();
    const SvgStyle* style = m_figure->PeekStyle();
    double fontSize = style ? style->fontSize.computed : 12.0;
    tile.x = TileLength(x, inBox, bounds.X, bounds.Width, viewport.getWidth(), fontSize);
    tile.y = TileLength(y, inBox, bounds.Y, bounds.Height, viewport.getHeight(), fontSize);
    tile.width = TileLength(width, inBox, 0, bounds.Width, viewport.getWidth(), fontSize);
    tile.height = TileLength(height, inBox, 0, bounds.Height, viewport.getHeight(), fontSize);
    if (!(tile.width > 0 && tile.height > 0) || !std::isfinite(tile.x + tile.y) ||
        !std::isfinite(tile.width * tile.height))
        return false;
    tile.transform = transform ? transform->m_transform : SvgMatrix();
    if (viewBox) {
        // A viewBox places the content, whatever its units say.
        if (!SvgMapViewBox(viewBox->m_viewBox, tile.width, tile.height,
                           aspect ? aspect->m_aspect : std::string(), tile.content))
            return false;
    } else if (contentUnits && contentUnits->m_contentInBox) {
        if (!hasBox)
            return false;
        tile.content = SvgMatrix(bounds.Width, 0, 0, bounds.Height, 0, 0);
    } else {
        tile.content = SvgMatrix();
    }
    tile.source = content;
    return true;
}

GdiBrush* SvgPatternElement::CreateBrush(const RectF& bounds, unsigned alpha) const {
    SvgPatternTile tile;
    if (!Resolve(bounds, tile))
        return SvgGradientBrush::CreateEmpty();
    return MakeBrush(tile, SvgMatrix(), alpha);
}

GdiBrush* SvgPatternElement::CreateBrushFor(const RectF& bounds, unsigned alpha,
                                            GdiGraphics& graphics) const {
    SvgPatternTile tile;
    if (!Resolve(bounds, tile))
        return SvgGradientBrush::CreateEmpty();
    return MakeBrush(tile, SvgRenderContext::PixelTransform(graphics), alpha);
}

GdiBrush* SvgPatternElement::MakeBrush(const SvgPatternTile& tile, const SvgMatrix& pixels,
                                       unsigned alpha) const {
    SvgRenderContext* context = m_owner ? &m_owner->GetRenderContext() : nullptr;
    // A pattern drawn inside its own tile, or nested too deep, paints nothing.
    int depth = 0;
    if (context) {
        if (context->Applying(this) || context->applying.size() >= SvgRenderContext::kMaxNesting)
            return SvgGradientBrush::CreateEmpty();
        for (const SvgElement* e : context->applying)
            depth += e->GetKind() == SvgKindPattern;
    }
    // The tile's sides on the target, in pixels.
    SvgMatrix m = pixels.multiply(tile.transform);
    double sideX = std::hypot(m.getA(), m.getB()) * tile.width;
    double sideY = std::hypot(m.getC(), m.getD()) * tile.height;
    double det = m.getA() * m.getD() - m.getB() * m.getC();
    if (!(sideX > 0 && sideY > 0 && det != 0) || !std::isfinite(sideX * sideY * det))
        return SvgGradientBrush::CreateEmpty();
    // A side shorter than a pixel is rendered one pixel long, which averages
    // the content along it, and repeated a pixel apart: the content is even
    // along it then.
    double stretchX = sideX < 1 ? 1 / sideX : 1;
    double stretchY = sideY < 1 ? 1 / sideY : 1;
    double w = std::max(1.0, std::round(sideX)), h = std::max(1.0, std::round(sideY));
    double cap = kMaxTilePixels / std::pow(4.0, depth);
    if (context)
        cap = std::min(cap, std::max(context->tilePixelsLeft, 64.0 * 64.0));
    double k = std::min({1.0, std::sqrt(cap / (w * h)), kMaxTileSide / w, kMaxTileSide / h});
    int width = int(std::max(1.0, std::floor(w * k)));
    int height = int(std::max(1.0, std::floor(h * k)));

    SvgTileCache::Key key;
    key.pattern = this;
    key.values[0] = tile.x;
    key.values[1] = tile.y;
    key.values[2] = tile.width;
    key.values[3] = tile.height;
    CopyMatrix(tile.transform, key.values + 4);
    CopyMatrix(tile.content, key.values + 10);
    key.values[16] = stretchX;
    key.values[17] = stretchY;
    key.width = width;
    key.height = height;
    key.alpha = alpha;
    if (context) {
        if (GdiBrush* kept = context->tiles.Find(key))
            return kept;
        context->tilePixelsLeft -= double(width) * height;
    }

    GdiImage* image = RenderTile(tile, width, height, alpha);
    GdiBrush* brush = nullptr;
    if (image && image->handle && width == 1 && height == 1) {
        // One pixel: its colour, everywhere.
        ARGB color = 0;
        GdipBitmapGetPixel(image->GetBitmap(), 0, 0, &color);
        brush = GdiBrush::CreateSolid(color);
    } else if (image && image->handle) {
        // The bitmap's pixels onto the tile, then the pattern's transform.
        SvgMatrix toUser = tile.transform.multiply(SvgMatrix(
            tile.width * stretchX / width, 0, 0, tile.height * stretchY / height, tile.x, tile.y));
        GpTexture* texture = nullptr;
        GdiMatrix* matrix = GdiMatrix::Create();
        if (GdipCreateTexture(image->handle, WrapModeTile, &texture) == Ok && matrix &&
            toUser.toGdiMatrix(*matrix) == Ok &&
            GdipSetTextureTransform(texture, matrix->Get()) == Ok)
            brush = new GdiBrush(texture);
        if (!brush && texture)
            GdipDeleteBrush(texture);
        delete matrix;
    }
    delete image;
    if (!brush)
        return SvgGradientBrush::CreateEmpty();
    if (context)
        context->tiles.Keep(key, *brush);
    return brush;
}

GdiImage* SvgPatternElement::RenderTile(const SvgPatternTile& tile, int width, int height,
                                        unsigned alpha) const {
    GdiImage* image = GdiImage::CreateBitmap(width, height);
    if (!image || !image->handle) {
        delete image;
        return nullptr;
    }
    GdiGraphics* graphics = GdiGraphics::FromImage(image->handle);
    GdiMatrix* place = GdiMatrix::Create();
    SvgMatrix toPixels =
        SvgMatrix(width / tile.width, 0, 0, height / tile.height, 0, 0).multiply(tile.content);
    if (graphics && graphics->handle && place && toPixels.toGdiMatrix(*place) == Ok) {
        graphics->Record(GdipSetSmoothingMode(graphics->handle, SmoothingModeAntiAlias));
        SvgRenderState::Prepend(*graphics, place);
        if (alpha < 255)
            graphics->Record(KelBeginLayer(graphics->handle, REAL(alpha / 255.0), nullptr));
        SvgRenderContext* context = m_owner ? &m_owner->GetRenderContext() : nullptr;
        if (context)
            context->applying.push_back(this);
        for (SvgElement* child : tile.source->GetChildren())
            child->Render(*graphics);
        if (context)
            context->applying.pop_back();
        if (alpha < 255)
            graphics->Record(KelEndLayer(graphics->handle));
    }
    delete place;
    delete graphics;
    return image;
}
