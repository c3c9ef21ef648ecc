#pragma once

#include "document/SvgElement.h"
#include "render/SvgGradientBrush.h"
#include "render/SvgPaintServer.h"
#include "syntax/SvgTransform.h"
#include "syntax/SvgTransformList.h"

#include <string>
#include <vector>

// The common base of the two gradients: a paint server that owns no figure
// and no style. Its stops are its "stop" children, in document order.
class SvgGradientElement : public SvgElement, public SvgPaintServer {
public:
    SvgGradientElement(int kind, const char* tagName);

    // Reads "gradientTransform" (held, not applied to the brush).
    void ReadTransform(TiXmlElement* xml) override;
    void CopyFrom(const SvgElement* /*source*/) override {}

    const std::string& GetGradientUnits() const { return gradientUnits; }
    const SvgTransformList& GetGradientTransformList() const { return gradientTransformList; }
    const SvgTransform& GetGradientTransform() const { return gradientTransform; }

    // The colours (all with the given alpha) and positions of the stops.
    // Children that are not stops are passed over.
    std::vector<SvgGradientStop> CollectStops(unsigned alpha) const;

protected:
    // Replaces the units with the "gradientUnits" attribute when present.
    void ReadGradientUnits(TiXmlElement* xml);

    SvgTransformList gradientTransformList;
    SvgTransform gradientTransform;
    std::string gradientUnits = "userSpaceOnUse";
};
