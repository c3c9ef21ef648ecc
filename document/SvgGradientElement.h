#pragma once

#include "document/SvgElement.h"
#include "render/SvgGradientBrush.h"
#include "render/SvgPaintServer.h"
#include "style/SvgLength.h"
#include "syntax/SvgTransform.h"
#include "syntax/SvgTransformList.h"

#include <memory>
#include <string>
#include <vector>

class SvgStyle;

// The common base of the two gradients: a paint server that owns no figure.
// Its style only passes color and stop-color on to its stops. Its stops are its "stop" children, in
// document order. What a gradient does not give itself comes from the gradient its href names (and
// so on along the chain), else from the SVG defaults.
class SvgGradientElement : public SvgElement, public SvgPaintServer {
public:
    // Longest href chain followed; it also ends any cycle.
    static const int kMaxHrefChain = 16;

    SvgGradientElement(int kind, const char* tagName);
    ~SvgGradientElement() override;

    // Reads "gradientTransform".
    void ReadTransform(TiXmlElement* xml) override;
    void CopyFrom(const SvgElement* /*source*/) override {}

    const std::string& GetGradientUnits() const { return gradientUnits; }
    const SvgTransformList& GetGradientTransformList() const { return gradientTransformList; }
    const SvgTransform& GetGradientTransform() const { return gradientTransform; }
    const std::string& GetHref() const { return href; }

    // The colours (each stop's alpha scaled by alpha / 255) and positions of
    // this element's own stops. Children that are not stops are passed over.
    std::vector<SvgGradientStop> CollectStops(unsigned alpha) const;

    // What the stops inherit from (their color, for currentColor, and an
    // "inherit" stop-color); null before the attributes are read.
    const SvgStyle* GetStyle() const { return m_style.get(); }

    // The gradient href names, or null (none, or not a gradient).
    const SvgGradientElement* GetReferenced() const;

protected:
    // What both kinds take along the href chain, resolved for one object.
    struct Paint {
        std::vector<SvgGradientStop> stops; // as painted, at least two
        SvgSpread spread = SvgSpread::Pad;
        bool userSpace = false;
        SvgMatrix transform; // gradient space to user space
        SvgRect viewport;    // what user-space percentages refer to
    };
    enum Axis { AxisX, AxisY, AxisOther };

    // Units, spreadMethod and href; the kinds call this from ReadAttributes.
    void ReadCommonAttributes(TiXmlElement* xml);

    // Fills paint for an object with the given bounds. False when paint is
    // not to be used; `instead` is then the brush to give: one colour for a
    // single stop, one that paints nothing for an empty box in box units or
    // for unknown units, null without stops.
    bool ResolvePaint(const Gdiplus::RectF& bounds, unsigned alpha, Paint& paint,
                      GdiBrush*& instead) const;

    // The first length along the chain, among gradients of class Kind, that
    // was given; null when none was.
    template <class Kind> const SvgLength* Given(SvgLength Kind::*member) const {
        const SvgGradientElement* g = this;
        for (int i = 0; g && i < kMaxHrefChain; ++i, g = g->GetReferenced()) {
            const Kind* k = dynamic_cast<const Kind*>(g);
            if (k && (k->*member).set && !(k->*member).inherit)
                return &(k->*member);
        }
        return nullptr;
    }

    // A geometry value in the gradient's space: a fraction of the box in box
    // units, else user units, with percentages of the viewport along axis.
    // fallback is the fraction (or percentage) used when nothing was given.
    static float Resolve(const SvgLength* given, float fallback, Axis axis, const Paint& paint);

    SvgTransformList gradientTransformList;
    SvgTransform gradientTransform;
    bool transformSet = false;
    std::string gradientUnits = "objectBoundingBox";
    bool unitsSet = false;
    SvgSpread spread = SvgSpread::Pad;
    bool spreadSet = false;
    std::string href; // the id named by href, without its '#'

private:
    std::unique_ptr<SvgStyle> m_style;
};
