#include "document/ElementRegistry.h"

#include "document/SvgCircleElement.h"
#include "document/SvgDefsElement.h"
#include "document/SvgDescElement.h"
#include "document/SvgEllipseElement.h"
#include "document/SvgGroupElement.h"
#include "document/SvgImageElement.h"
#include "document/SvgLineElement.h"
#include "document/SvgLinearGradientElement.h"
#include "document/SvgPathElement.h"
#include "document/SvgPolygonElement.h"
#include "document/SvgPolylineElement.h"
#include "document/SvgRadialGradientElement.h"
#include "document/SvgRectElement.h"
#include "document/SvgRootElement.h"
#include "document/SvgStopElement.h"
#include "document/SvgSymbolElement.h"
#include "document/SvgUseElement.h"

namespace {
ElementRegistry* g_registry = nullptr;
}

ElementRegistry* ElementRegistry::Instance() {
    if (!g_registry)
        g_registry = new ElementRegistry();
    return g_registry;
}

void ElementRegistry::Destroy() {
    delete g_registry;
    g_registry = nullptr;
}

ElementRegistry::ElementRegistry() {
    Add("svg", new SvgRootElement());
    Add("g", new SvgGroupElement());
    Add("line", new SvgLineElement());
    Add("circle", new SvgCircleElement());
    Add("ellipse", new SvgEllipseElement());
    Add("rect", new SvgRectElement());
    Add("path", new SvgPathElement());
    Add("polyline", new SvgPolylineElement());
    Add("polygon", new SvgPolygonElement());
    Add("arc", new SvgRootElement());
    Add("defs", new SvgDefsElement());
    Add("desc", new SvgDescElement());
    Add("filter", new SvgRootElement());
    Add("use", new SvgUseElement());
    Add("stop", new SvgStopElement());
    Add("linearGradient", new SvgLinearGradientElement());
    Add("radialGradient", new SvgRadialGradientElement());
    Add("image", new SvgImageElement());
    Add("symbol", new SvgSymbolElement());
}

ElementRegistry::~ElementRegistry() {
    for (auto& entry : m_prototypes)
        delete entry.second;
    m_prototypes.clear();
}

void ElementRegistry::Add(const char* tagName, SvgElement* prototype) {
    SvgElement*& slot = m_prototypes[tagName];
    delete slot;
    slot = prototype;
}

SvgElement* ElementRegistry::CreateElement(const char* tagName) const {
    if (!tagName)
        return nullptr;
    auto it = m_prototypes.find(tagName);
    return it == m_prototypes.end() ? nullptr : it->second->Clone();
}
