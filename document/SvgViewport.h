#pragma once

#include "syntax/SvgMatrix.h"
#include "syntax/SvgRect.h"

#include <string>

// Scale and translation that map a viewBox into a viewport, after a
// preserveAspectRatio keyword.
struct SvgViewportMapping {
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float translateX = 0.0f;
    float translateY = 0.0f;
};

// Whether text is one of the values SVG accepts: "none" or an alignment
// keyword, optionally followed by "meet" or "slice" (without "defer").
bool SvgIsValidAspectRatio(const std::string& text);

// sx and sy are the per-axis scales (viewport size over viewBox size), W and H
// the viewport size, vw and vh the viewBox size. "none" stretches; the nine
// alignment keywords (compared case-sensitively), alone or followed by "meet",
// scale uniformly so that the viewBox fits and align along the axis with room;
// followed by "slice", they scale so that the viewBox covers the viewport and
// align along the axis that overflows. Surrounding white space is ignored; any
// other text scales as meet does, without offset. The translation returned is
// the alignment offset only.
SvgViewportMapping SvgMapViewport(float sx, float sy, double W, double H, double vw, double vh,
                                  const std::string& preserveAspectRatio);

// The map of viewBox into the viewport (0, 0, width, height) after
// preserveAspectRatio (an empty text means "xMidYMid meet"); false when
// either is empty or not finite.
bool SvgMapViewBox(const SvgRect& viewBox, double width, double height,
                   const std::string& preserveAspectRatio, SvgMatrix& matrix);
