#include "document/SvgImageElement.h"

#include "document/SvgViewport.h"
#include "engine/GdiImage.h"
#include "engine/SvgEngine.h"
#include "render/SvgFigure.h"
#include "style/SvgStyle.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace Gdiplus;

namespace {

// Keyword numbers of visibility="visible", and the first image-rendering
// keyword that asks for the nearest pixel.
const unsigned kSvgVisibilityVisible = 2;
const unsigned kSvgImageRenderingNearest = 2;

// The preserveAspectRatio of an image: "defer" is ignored, and a value SVG
// does not accept gives the initial value.
std::string AspectRatioOf(const char* text) {
    std::string value = text;
    size_t start = value.find_first_not_of(" \t\r\n");
    if (start != std::string::npos && value.compare(start, 5, "defer") == 0 &&
        (start + 5 == value.size() || std::strchr(" \t\r\n", value[start + 5])))
        value.erase(0, start + 5);
    return SvgIsValidAspectRatio(value) ? value : "xMidYMid meet";
}

} // namespace

SvgImageElement::SvgImageElement() : SvgFigureElement(SvgKindImage, "image") {
    m_figure = SvgFigure::CreateStyleHolder();
    m_figure->SetOwner(this);
}

SvgImageElement::~SvgImageElement() {
    delete m_figure;
}

bool SvgImageElement::ReadAttributes(TiXmlElement* xml) {
    ReadResolvedLength(xml, "x", m_x);
    ReadResolvedLength(xml, "y", m_y);
    // "auto", like a missing value, takes the picture's own size.
    m_widthGiven = ReadRadius(xml, "width", m_width);
    m_heightGiven = ReadRadius(xml, "height", m_height);
    if (const char* text = xml->Attribute("preserveAspectRatio"))
        m_preserveAspectRatio = AspectRatioOf(text);
    const char* href = xml->Attribute("xlink:href");
    if (!href)
        href = xml->Attribute("href");
    if (href && m_owner)
        m_image = m_owner->GetImages().Load(href);
    return true;
}

void SvgImageElement::CopyFrom(const SvgElement* source) {
    SvgFigureElement::CopyFrom(source);
    if (const auto* image = dynamic_cast<const SvgImageElement*>(source)) {
        m_x = image->m_x;
        m_y = image->m_y;
        m_width = image->m_width;
        m_height = image->m_height;
        m_widthGiven = image->m_widthGiven;
        m_heightGiven = image->m_heightGiven;
        m_preserveAspectRatio = image->m_preserveAspectRatio;
        m_image = image->m_image;
    }
}

bool SvgImageElement::GetPlacement(RectF& destination, RectF& source) const {
    UINT pixelsWide = 0, pixelsHigh = 0;
    if (!m_image || GdipGetImageWidth(m_image->handle, &pixelsWide) != Ok ||
        GdipGetImageHeight(m_image->handle, &pixelsHigh) != Ok)
        return false;
    double iw = pixelsWide, ih = pixelsHigh;
    double w = m_widthGiven ? m_width : iw;
    double h = m_heightGiven ? m_height : ih;
    if (!(w > 0 && h > 0 && std::isfinite(w) && std::isfinite(h) && std::isfinite(m_x) &&
          std::isfinite(m_y)))
        return false;
    // The picture's pixels are its viewBox; the viewport is (x, y, w, h).
    SvgViewportMapping map = SvgMapViewport(static_cast<float>(w / iw), static_cast<float>(h / ih),
                                            w, h, iw, ih, m_preserveAspectRatio);
    double left = m_x + map.translateX, top = m_y + map.translateY;
    double right = left + iw * map.scaleX, bottom = top + ih * map.scaleY;
    // A sliced picture overflows its viewport: only the part inside is drawn.
    double clipLeft = std::max(left, double(m_x)), clipTop = std::max(top, double(m_y));
    double clipRight = std::min(right, m_x + w), clipBottom = std::min(bottom, m_y + h);
    if (!(clipRight > clipLeft && clipBottom > clipTop) || !(map.scaleX > 0 && map.scaleY > 0))
        return false;
    destination =
        RectF(static_cast<REAL>(clipLeft), static_cast<REAL>(clipTop),
              static_cast<REAL>(clipRight - clipLeft), static_cast<REAL>(clipBottom - clipTop));
    source = RectF(static_cast<REAL>((clipLeft - left) / map.scaleX),
                   static_cast<REAL>((clipTop - top) / map.scaleY),
                   static_cast<REAL>((clipRight - clipLeft) / map.scaleX),
                   static_cast<REAL>((clipBottom - clipTop) / map.scaleY));
    return true;
}

void SvgImageElement::Paint(GdiGraphics& graphics) {
    RectF destination, source;
    if (!GetPlacement(destination, source))
        return;
    // The style in force: the element's own, or for a copy without one its parent's.
    const SvgStyle* style = GetInheritableStyle();
    if (style && style->visibility.computed != kSvgVisibilityVisible)
        return;
    bool nearest = style && style->imageRendering.computed >= kSvgImageRenderingNearest;
    InterpolationMode previous = InterpolationModeDefault;
    GdipGetInterpolationMode(graphics.handle, &previous);
    if (nearest)
        graphics.Record(
            GdipSetInterpolationMode(graphics.handle, InterpolationModeNearestNeighbor));
    graphics.Record(GdipDrawImageRectRect(graphics.handle, m_image->handle, destination.X,
                                          destination.Y, destination.Width, destination.Height,
                                          source.X, source.Y, source.Width, source.Height,
                                          UnitPixel, nullptr, nullptr, nullptr));
    if (nearest)
        graphics.Record(GdipSetInterpolationMode(graphics.handle, previous));
}
