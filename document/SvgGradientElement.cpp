#include "document/SvgGradientElement.h"

#include "document/SvgStopElement.h"
#include "engine/SvgEngine.h"
#include "style/SvgStyle.h"
#include "syntax/SvgScanner.h"

#include <tinyxml.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

SvgGradientElement::SvgGradientElement(int kind, const char* tagName) : SvgElement(kind, tagName) {}

SvgGradientElement::~SvgGradientElement() = default;

void SvgGradientElement::ReadTransform(TiXmlElement* xml) {
    const char* text = xml->Attribute("gradientTransform");
    if (!text)
        return;
    transformSet = true;
    SvgScanner scanner;
    scanner.readTransformList(gradientTransformList, SvgString(text));
    if (gradientTransformList.numberOfItems() > 0)
        gradientTransform = gradientTransformList.consolidate();
}

void SvgGradientElement::ReadCommonAttributes(TiXmlElement* xml) {
    m_style = std::make_unique<SvgStyle>();
    m_style->parent = SvgStopElement::AncestorStyle(m_parent);
    m_style->ReadFromElement(xml, m_owner ? m_owner->GetStyleSheet() : nullptr, false);
    unitsSet = ReadStringAttribute(xml, "gradientUnits", gradientUnits);
    if (const char* text = xml->Attribute("spreadMethod")) {
        // An unknown keyword is as if none was given.
        spreadSet = true;
        if (std::strcmp(text, "pad") == 0)
            spread = SvgSpread::Pad;
        else if (std::strcmp(text, "reflect") == 0)
            spread = SvgSpread::Reflect;
        else if (std::strcmp(text, "repeat") == 0)
            spread = SvgSpread::Repeat;
        else
            spreadSet = false;
    }
    const char* link = xml->Attribute("xlink:href");
    if (!link)
        link = xml->Attribute("href");
    if (link && link[0] == '#')
        href = link + 1;
}

std::vector<SvgGradientStop> SvgGradientElement::CollectStops(unsigned alpha) const {
    std::vector<SvgGradientStop> stops;
    for (const SvgElement* child : m_children) {
        if (child->GetKind() != SvgKindStop)
            continue;
        const SvgStopElement* stop = static_cast<const SvgStopElement*>(child);
        stops.push_back(SvgGradientStop{stop->GetArgb(alpha), stop->GetPosition()});
    }
    return stops;
}

const SvgGradientElement* SvgGradientElement::GetReferenced() const {
    if (href.empty() || !m_owner)
        return nullptr;
    const SvgElement* target = m_owner->FindElementById(href.c_str());
    if (!target ||
        (target->GetKind() != SvgKindLinearGradient && target->GetKind() != SvgKindRadialGradient))
        return nullptr;
    return dynamic_cast<const SvgGradientElement*>(target);
}

bool SvgGradientElement::ResolvePaint(const Gdiplus::RectF& bounds, unsigned alpha, Paint& paint,
                                      GdiBrush*& instead) const {
    instead = nullptr;
    const SvgGradientElement* units = nullptr;
    const SvgGradientElement* transform = nullptr;
    const SvgGradientElement* spreading = nullptr;
    std::vector<SvgGradientStop> stops;
    bool haveStops = false;
    const SvgGradientElement* g = this;
    for (int i = 0; g && i < kMaxHrefChain; ++i, g = g->GetReferenced()) {
        if (!units && g->unitsSet)
            units = g;
        if (!transform && g->transformSet)
            transform = g;
        if (!spreading && g->spreadSet)
            spreading = g;
        if (!haveStops) {
            stops = g->CollectStops(alpha);
            haveStops = !stops.empty();
        }
    }
    if (stops.empty())
        return false;
    if (stops.size() == 1) {
        instead = SvgGradientBrush::CreateSolid(stops.front().color);
        return false;
    }

    const std::string& unitsText = units ? units->gradientUnits : gradientUnits;
    paint.userSpace = unitsText == "userSpaceOnUse";
    bool box = unitsText == "objectBoundingBox";
    // Unknown units, or box units on a box without area: nothing is painted.
    if ((!paint.userSpace && !box) || (box && !(bounds.Width > 0 && bounds.Height > 0))) {
        instead = SvgGradientBrush::CreateEmpty();
        return false;
    }
    paint.stops = SvgGradientBrush::Normalize(stops);
    paint.spread = spreading ? spreading->spread : SvgSpread::Pad;
    paint.viewport = GetViewportRect();
    paint.transform = transform ? transform->gradientTransform.getMatrix() : SvgMatrix();
    if (box) {
        // The unit square onto the box, after the gradient's own transform.
        SvgMatrix toBox(bounds.Width, 0, 0, bounds.Height, bounds.X, bounds.Y);
        paint.transform = toBox.multiply(paint.transform);
    }
    return true;
}

float SvgGradientElement::Resolve(const SvgLength* given, float fallback, Axis axis,
                                  const Paint& paint) {
    bool percent = !given || given->unit == SvgUnitPercent;
    float value = !given ? fallback : percent ? given->value : given->computed;
    if (!percent || !paint.userSpace)
        return value;
    double w = paint.viewport.getWidth(), h = paint.viewport.getHeight();
    double size = axis == AxisX ? w : axis == AxisY ? h : std::sqrt((w * w + h * h) / 2);
    return static_cast<float>(std::clamp(value * size, -double(FLT_MAX), double(FLT_MAX)));
}
