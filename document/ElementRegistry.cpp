#include "document/ElementRegistry.h"

#include "document/SvgCircleElement.h"
#include "document/SvgClipPathElement.h"
#include "document/SvgDefsElement.h"
#include "document/SvgDescElement.h"
#include "document/SvgEllipseElement.h"
#include "document/SvgFilterElement.h"
#include "document/SvgFilterPrimitiveElement.h"
#include "document/SvgGroupElement.h"
#include "document/SvgImageElement.h"
#include "document/SvgLineElement.h"
#include "document/SvgLinearGradientElement.h"
#include "document/SvgMarkerElement.h"
#include "document/SvgMaskElement.h"
#include "document/SvgPathElement.h"
#include "document/SvgPatternElement.h"
#include "document/SvgPolygonElement.h"
#include "document/SvgPolylineElement.h"
#include "document/SvgRadialGradientElement.h"
#include "document/SvgRectElement.h"
#include "document/SvgRootElement.h"
#include "document/SvgStopElement.h"
#include "document/SvgSwitchElement.h"
#include "document/SvgSymbolElement.h"
#include "document/SvgTextElement.h"
#include "document/SvgTextPathElement.h"
#include "document/SvgTrefElement.h"
#include "document/SvgTspanElement.h"
#include "document/SvgUseElement.h"

#include <atomic>
#include <mutex>

namespace {

std::mutex g_lock; // guards building and freeing, and the count of holds
std::atomic<ElementRegistry*> g_registry{nullptr};
long g_holds = 0;

} // namespace

ElementRegistry* ElementRegistry::Instance() {
    ElementRegistry* registry = g_registry.load(std::memory_order_acquire);
    if (registry)
        return registry;
    std::lock_guard<std::mutex> guard(g_lock);
    registry = g_registry.load(std::memory_order_relaxed);
    if (!registry) {
        registry = new ElementRegistry();
        g_registry.store(registry, std::memory_order_release);
    }
    return registry;
}

void ElementRegistry::Hold() {
    std::lock_guard<std::mutex> guard(g_lock);
    ++g_holds;
}

void ElementRegistry::Release() {
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_holds > 0 && --g_holds > 0)
        return;
    delete g_registry.exchange(nullptr, std::memory_order_acq_rel);
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
    Add("filter", new SvgFilterElement());
    Add("use", new SvgUseElement());
    Add("text", new SvgTextElement());
    Add("tspan", new SvgTspanElement());
    Add("tref", new SvgTrefElement());
    Add("textPath", new SvgTextPathElement());
    Add("stop", new SvgStopElement());
    Add("linearGradient", new SvgLinearGradientElement());
    Add("radialGradient", new SvgRadialGradientElement());
    Add("image", new SvgImageElement());
    Add("symbol", new SvgSymbolElement());
    Add("clipPath", new SvgClipPathElement());
    Add("mask", new SvgMaskElement());
    Add("a", new SvgAnchorElement());
    Add("switch", new SvgSwitchElement());
    Add("marker", new SvgMarkerElement());
    Add("pattern", new SvgPatternElement());
    for (const char* const* tag = SvgFilterPrimitiveElement::kTags; *tag; ++tag)
        Add(*tag, new SvgFilterPrimitiveElement(*tag));
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
