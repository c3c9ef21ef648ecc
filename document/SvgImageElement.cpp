#include "document/SvgImageElement.h"

#include "document/SvgRenderState.h"
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
    if (href && m_owner) {
        SvgPicture picture = m_owner->GetImages().LoadPicture(href);
        m_image = std::move(picture.raster);
        m_document = std::move(picture.document);
    }
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
        m_document = image->m_document;
    }
}

bool SvgImageElement::PictureSize(double& width, double& height) const {
    if (m_document) {
        width = m_document->GetDocumentWidth();
        height = m_document->GetDocumentHeight();
        // A document without a size of its own fills the viewport.
        if (!(width > 0 && height > 0)) {
            width = m_widthGiven ? m_width : 0;
            height = m_heightGiven ? m_height : 0;
        }
        return width > 0 && height > 0 && std::isfinite(width) && std::isfinite(height);
    }
    UINT pixelsWide = 0, pixelsHigh = 0;
    if (!m_image || GdipGetImageWidth(m_image->handle, &pixelsWide) != Ok ||
        GdipGetImageHeight(m_image->handle, &pixelsHigh) != Ok)
        return false;
    width = pixelsWide;
    height = pixelsHigh;
    return true;
}

bool SvgImageElement::GetPlacement(RectF& destination, RectF& source) const {
    double iw = 0, ih = 0;
    if (!PictureSize(iw, ih))
        return false;
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
    if (m_document) {
        PaintDocument(graphics, destination, source);
        return;
    }
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

void SvgImageElement::PaintDocument(GdiGraphics& graphics, const RectF& destination,
                                    const RectF& source) {
    if (!(source.Width > 0 && source.Height > 0))
        return;
    // The part source of the document's box maps onto destination, clipped
    // there; blend modes inside it mix only with its own content.
    GraphicsState state = SvgRenderState::Save(graphics);
    GpGraphics* g = graphics.handle;
    graphics.Record(GdipSetClipRect(g, destination.X, destination.Y, destination.Width,
                                    destination.Height, CombineModeIntersect));
    REAL scaleX = destination.Width / source.Width, scaleY = destination.Height / source.Height;
    graphics.Record(GdipTranslateWorldTransform(g, destination.X - source.X * scaleX,
                                                destination.Y - source.Y * scaleY,
                                                MatrixOrderPrepend));
    graphics.Record(GdipScaleWorldTransform(g, scaleX, scaleY, MatrixOrderPrepend));
    if (m_document->Blends())
        graphics.Record(KelBeginLayer(g, 1, nullptr));
    m_document->RenderNested(graphics);
    SvgRenderState::Restore(graphics, state);
}
