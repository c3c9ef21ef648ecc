#pragma once

#include "engine/GdiGraphics.h"
#include "syntax/SvgMatrix.h"
#include "syntax/SvgRect.h"

#include <string>

class SvgStyle;

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

// Whether an element with this style (null: none given) cuts what it draws to
// its viewport: overflow hidden or scroll, the initial value hidden; visible
// and auto let it all show.
bool SvgClipsOverflow(const SvgStyle* style);

// The viewport clip of a nested svg, symbol, marker or pattern: when style's
// overflow clips, intersects the graphics' clip with the viewport rectangle,
// given in the current user space. An empty rectangle clips everything away.
// The clip lasts until the caller restores the graphics state.
void SvgClipToViewport(GdiGraphics& graphics, const SvgStyle* style,
                       const Gdiplus::RectF& viewport);
// The map of viewBox into the viewport (0, 0, width, height) after
// preserveAspectRatio (an empty text means "xMidYMid meet"); false when
// either is empty or not finite.
bool SvgMapViewBox(const SvgRect& viewBox, double width, double height,
                   const std::string& preserveAspectRatio, SvgMatrix& matrix);
