#include "document/SvgMaskElement.h"

#include "document/SvgLayerScope.h"
#include "document/SvgRenderContext.h"
#include "document/SvgRenderState.h"
#include "render/SvgFigure.h"
#include "style/SvgStyleReader.h"

#include <tinyxml.h>

#include <cfloat>
#include <cstring>
#include <string>

using namespace Gdiplus;

namespace {

bool Is(const char* text, const char* keyword) {
    return text && std::strcmp(text, keyword) == 0;
}

// A coordinate of the region: a fraction of the box (a number, or a
// percentage) or a length in user space (a percentage of the viewport size).
// Unset: the default fraction.
double Resolve(const SvgLength& length, double fallback, bool inBox, double origin, double size,
               double viewportSize) {
    bool percent = !length.set || length.unit == SvgUnitPercent;
    double fraction = !length.set ? fallback : percent ? length.value : length.computed;
    if (inBox)
        return origin + fraction * size;
    return percent ? fraction * viewportSize : double(length.computed);
}

REAL Narrow(double v) {
    return REAL(v < -FLT_MAX ? -FLT_MAX : v > FLT_MAX ? FLT_MAX : v);
}

} // namespace

SvgMaskElement::SvgMaskElement() : SvgFigureElement(SvgKindMask, "mask") {
    m_figure = SvgFigure::CreateStyleHolder();
    m_figure->SetOwner(this);
}

SvgMaskElement::~SvgMaskElement() {
    delete m_figure;
}

bool SvgMaskElement::ReadAttributes(TiXmlElement* xml) {
    for (auto [length, name] : {std::pair{&m_x, "x"}, std::pair{&m_y, "y"},
                                std::pair{&m_width, "width"}, std::pair{&m_height, "height"}}) {
        ReadLengthAttribute(*length, xml, name);
        if (length->inherit)
            *length = SvgLength();
    }
    m_regionInUserSpace = Is(xml->Attribute("maskUnits"), "userSpaceOnUse");
    m_contentInBoundingBox = Is(xml->Attribute("maskContentUnits"), "objectBoundingBox");
    // mask-type is a property: a style declaration wins over the attribute
    // (design tools write style="mask-type:alpha").
    const char* type = xml->Attribute("mask-type");
    std::string declared;
    SvgDeclarationReader declarations(xml->Attribute("style"));
    while (declared.empty() && declarations.Next()) {
        if (std::strcmp(declarations.Name(), "mask-type") != 0)
            continue;
        declared.assign(declarations.Value(), declarations.ValueLength());
        declared.erase(declared.find_last_not_of(" \t\r\n") + 1);
        type = declared.c_str();
    }
    m_alpha = Is(type, "alpha");
    return true;
}

void SvgMaskElement::CopyFrom(const SvgElement* source) {
    SvgFigureElement::CopyFrom(source);
    if (const auto* mask = dynamic_cast<const SvgMaskElement*>(source)) {
        m_x = mask->m_x;
        m_y = mask->m_y;
        m_width = mask->m_width;
        m_height = mask->m_height;
        m_regionInUserSpace = mask->m_regionInUserSpace;
        m_contentInBoundingBox = mask->m_contentInBoundingBox;
        m_alpha = mask->m_alpha;
    }
}

RectF SvgMaskElement::Region(const RectF& box, const SvgElement& element) const {
    bool inBox = RegionInBoundingBox();
    SvgRect viewport = element.GetViewportRect();
    double vw = viewport.getWidth(), vh = viewport.getHeight();
    double x = Resolve(m_x, -0.1, inBox, box.X, box.Width, vw);
    double y = Resolve(m_y, -0.1, inBox, box.Y, box.Height, vh);
    double w = Resolve(m_width, 1.2, inBox, 0, box.Width, vw);
    double h = Resolve(m_height, 1.2, inBox, 0, box.Height, vh);
    return RectF(Narrow(x), Narrow(y), Narrow(w), Narrow(h));
}

void SvgMaskElement::DrawContent(GdiGraphics& graphics, const RectF& box,
                                 SvgRenderContext& context) const {
    context.applying.push_back(this);
    GraphicsState state = SvgRenderState::Save(graphics);
    {
        // The mask's own mask (and clip-path), in the element's user space.
        SvgLayerScope own(*this, graphics, &box);
        if (own.Draws()) {
            GdiMatrix* matrix = m_contentInBoundingBox
                                    ? GdiMatrix::Create(box.Width, 0, 0, box.Height, box.X, box.Y)
                                    : nullptr;
            if (matrix)
                SvgRenderState::Prepend(graphics, matrix);
            for (SvgElement* child : m_children)
                child->Render(graphics);
            delete matrix;
        }
    }
    SvgRenderState::Restore(graphics, state);
    context.applying.pop_back();
}
