#include "document/SvgMarkerElement.h"

#include "document/SvgElementBounds.h"
#include "document/SvgMarkerPlacement.h"
#include "document/SvgRenderContext.h"
#include "document/SvgRenderState.h"
#include "document/SvgViewport.h"
#include "engine/SvgEngine.h"
#include "render/SvgFigure.h"
#include "style/SvgStyle.h"
#include "syntax/SvgNumberText.h"
#include "syntax/SvgScanner.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace Gdiplus;

namespace {

// overflow keywords that show what lies outside the viewport.
const unsigned kOverflowVisible = 0, kOverflowAuto = 3;

bool Is(const char* text, const char* keyword) {
    return text && std::strcmp(text, keyword) == 0;
}

// An angle with its unit (deg, rad, grad, turn, or none for degrees), in
// degrees; false for text that is no angle.
bool ReadAngle(const char* text, float& degrees) {
    double number = 0;
    size_t used = SvgNumberText::Scan(text, number);
    if (used == 0)
        return false;
    const char* unit = text + used;
    double factor = 1;
    if (Is(unit, "rad"))
        factor = 180 / M_PI;
    else if (Is(unit, "grad"))
        factor = 0.9;
    else if (Is(unit, "turn"))
        factor = 360;
    else if (*unit && !Is(unit, "deg"))
        return false;
    double value = std::fmod(number * factor, 360.0);
    if (!std::isfinite(value))
        return false;
    degrees = float(value);
    return true;
}

// refX and refY keywords: their place along the viewBox, or -1.
float RefKeyword(const char* text, const char* low, const char* high) {
    if (Is(text, low))
        return 0;
    if (Is(text, "center"))
        return 0.5f;
    if (Is(text, high))
        return 1;
    return -1;
}

} // namespace

SvgMarkerElement::SvgMarkerElement() : SvgFigureElement(SvgKindMarker, "marker") {
    m_figure = SvgFigure::CreateStyleHolder();
    m_figure->SetOwner(this);
    m_width = SvgLength(3.0f);
    m_height = SvgLength(3.0f);
}

SvgMarkerElement::~SvgMarkerElement() {
    delete m_figure;
}

bool SvgMarkerElement::ReadAttributes(TiXmlElement* xml) {
    if (m_owner)
        m_owner->NoteMarkers();
    const char* refX = xml->Attribute("refX");
    const char* refY = xml->Attribute("refY");
    m_refXKeyword = RefKeyword(refX, "left", "right");
    m_refYKeyword = RefKeyword(refY, "top", "bottom");
    ReadLengthAttribute(m_refX, xml, "refX");
    ReadLengthAttribute(m_refY, xml, "refY");
    for (SvgLength* length : {&m_width, &m_height}) {
        ReadLengthAttribute(*length, xml, length == &m_width ? "markerWidth" : "markerHeight");
        if (length->inherit || (length->set && length->unit == SvgUnitEx))
            *length = SvgLength(3.0f);
    }
    m_strokeUnits = !Is(xml->Attribute("markerUnits"), "userSpaceOnUse");
    if (const char* orient = xml->Attribute("orient")) {
        if (Is(orient, "auto"))
            m_orient = SvgMarkerOrient::Auto;
        else if (Is(orient, "auto-start-reverse"))
            m_orient = SvgMarkerOrient::AutoStartReverse;
        else if (ReadAngle(orient, m_angle))
            m_orient = SvgMarkerOrient::Angle;
    }
    if (const char* text = xml->Attribute("viewBox")) {
        SvgScanner scanner;
        m_viewBoxSet = scanner.readRect(m_viewBox, SvgString(text));
    }
    ReadStringAttribute(xml, "preserveAspectRatio", m_aspect);
    return true;
}

void SvgMarkerElement::CopyFrom(const SvgElement* source) {
    SvgFigureElement::CopyFrom(source);
    const auto* m = dynamic_cast<const SvgMarkerElement*>(source);
    if (!m)
        return;
    m_refX = m->m_refX;
    m_refY = m->m_refY;
    m_refXKeyword = m->m_refXKeyword;
    m_refYKeyword = m->m_refYKeyword;
    m_width = m->m_width;
    m_height = m->m_height;
    m_strokeUnits = m->m_strokeUnits;
    m_orient = m->m_orient;
    m_angle = m->m_angle;
    m_viewBoxSet = m->m_viewBoxSet;
    m_viewBox = m->m_viewBox;
    m_aspect = m->m_aspect;
}

float SvgMarkerElement::AngleAt(float direction, bool start) const {
    switch (m_orient) {
    case SvgMarkerOrient::Auto:
        return direction;
    case SvgMarkerOrient::AutoStartReverse:
        return start ? direction + 180 : direction;
    default:
        return m_angle;
    }
}

float SvgMarkerElement::Reference(const SvgLength& length, float keyword, double origin,
                                  double size) const {
    if (keyword >= 0)
        return float(origin + keyword * size);
    if (!length.set || length.inherit)
        return 0;
    if (length.unit == SvgUnitPercent)
        return float(origin + length.value * size);
    if (length.unit == SvgUnitEm || length.unit == SvgUnitEx) {
        const SvgStyle* style = m_figure->PeekStyle();
        double em = style ? style->fontSize.computed : 12.0;
        return float(length.value * em * (length.unit == SvgUnitEx ? 0.5 : 1));
    }
    return length.computed;
}

void SvgMarkerElement::Prepare() const {
    if (m_prepared)
        return;
    m_prepared = true;
    SvgRect viewport = GetViewportRect();
    auto size = [](const SvgLength& l, double base) {
        return l.unit == SvgUnitPercent ? l.value * base : double(l.computed);
    };
    double width = size(m_width, viewport.getWidth());
    double height = size(m_height, viewport.getHeight());
    if (!(width > 0 && height > 0) || !std::isfinite(width * height))
        return;
    // The viewBox into the viewport, then the reference point onto the origin.
    SvgMatrix toViewport;
    double originX = 0, originY = 0, sizeX = width, sizeY = height;
    if (m_viewBoxSet) {
        if (!SvgMapViewBox(m_viewBox, width, height, m_aspect, toViewport))
            return;
        originX = m_viewBox.getX();
        originY = m_viewBox.getY();
        sizeX = m_viewBox.getWidth();
        sizeY = m_viewBox.getHeight();
    }
    double refX = 0, refY = 0;
    toViewport.transformPoint(Reference(m_refX, m_refXKeyword, originX, sizeX),
                              Reference(m_refY, m_refYKeyword, originY, sizeY), &refX, &refY);
    m_content = SvgMatrix(1, 0, 0, 1, -refX, -refY).multiply(toViewport);
    // The viewport, and no more than the viewBox fills of it.
    double left = 0, top = 0, right = width, bottom = height;
    if (m_viewBoxSet) {
        double x0, y0, x1, y1;
        toViewport.transformPoint(originX, originY, &x0, &y0);
        toViewport.transformPoint(originX + sizeX, originY + sizeY, &x1, &y1);
        left = std::max(left, x0);
        top = std::max(top, y0);
        right = std::min(right, x1);
        bottom = std::min(bottom, y1);
    }
    m_clip = RectF(REAL(left - refX), REAL(top - refY), REAL(right - left), REAL(bottom - top));
    m_drawable = std::isfinite(refX) && std::isfinite(refY);

    // The viewport cuts what overflows it, unless overflow shows it, or the
    // content is known to lie inside (a clip costs a layer's work).
    const SvgStyle* style = m_figure->PeekStyle();
    unsigned overflow =
        style && style->overflow.set && !style->overflow.inherit ? style->overflow.value : 1;
    if (overflow == kOverflowVisible || overflow == kOverflowAuto)
        return;
    left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    for (const SvgElement* child : m_children) {
        RectF ink;
        if (!child->IsDisplayed())
            continue;
        if (!SvgElementBounds::Ink(*child, ink)) {
            m_clips = true;
            return;
        }
        if (!(ink.Width > 0 && ink.Height > 0))
            continue;
        for (int corner = 0; corner < 4; ++corner) {
            double x, y;
            m_content.transformPoint(ink.X + (corner & 1 ? double(ink.Width) : 0),
                                     ink.Y + (corner & 2 ? double(ink.Height) : 0), &x, &y);
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x);
            bottom = std::max(bottom, y);
        }
    }
    // Content that meets the viewport's edge (an arrow filling its viewBox)
    // lies inside, whatever the rounding.
    double slack = 1e-4 * std::max(width, height);
    m_clips = left < m_clip.X - slack || top < m_clip.Y - slack ||
              right > double(m_clip.X) + m_clip.Width + slack ||
              bottom > double(m_clip.Y) + m_clip.Height + slack;
}

void SvgMarkerElement::Draw(GdiGraphics& graphics, const SvgMarkerInstance& instance,
                            SvgRenderContext& context) const {
    // A marker drawn inside itself, or nested too deep, draws nothing; so does
    // every marker past the draw's budget.
    if (context.markersLeft <= 0 || context.Applying(this) ||
        context.applying.size() >= SvgRenderContext::kMaxNesting)
        return;
    --context.markersLeft;
    Prepare();
    if (!m_drawable)
        return;
    double radians = instance.angle * M_PI / 180;
    double c = std::cos(radians) * instance.scale, s = std::sin(radians) * instance.scale;
    SvgMatrix placed(c, s, -s, c, instance.x, instance.y);
    Gdiplus::GraphicsState state = SvgRenderState::Save(graphics);
    GdiMatrix* matrix = GdiMatrix::Create();
    if (matrix && m_clips && placed.toGdiMatrix(*matrix) == Ok) {
        SvgRenderState::Prepend(graphics, matrix);
        graphics.Record(GdipSetClipRect(graphics.Get(), m_clip.X, m_clip.Y, m_clip.Width,
                                        m_clip.Height, CombineModeIntersect));
        placed = SvgMatrix();
    }
    if (matrix && placed.multiply(m_content).toGdiMatrix(*matrix) == Ok) {
        SvgRenderState::Prepend(graphics, matrix);
        context.applying.push_back(this);
        for (SvgElement* child : m_children)
            child->Render(graphics);
        context.applying.pop_back();
    }
    delete matrix;
    SvgRenderState::Restore(graphics, state);
}
