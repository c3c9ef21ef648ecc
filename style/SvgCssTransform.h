#pragma once

#include "syntax/SvgMatrix.h"

#include <string>

// The CSS forms of transform and transform-origin, as written in style
// declarations and style sheets (and transform-origin also as an attribute).
namespace SvgCssTransform {

// What relative values are measured against: the font size for em and ex,
// and the reference box (the nearest viewport's viewBox, at the origin) for
// percentages.
struct Context {
    double fontSize = 16;
    double boxWidth = 0;
    double boxHeight = 0;
};

// "none" or a list of functions: translate(x[, y]), translateX(x),
// translateY(y), scale(s[, t]), scaleX, scaleY, rotate(a), skew(a[, b]),
// skewX(a), skewY(a) and matrix(a, b, c, d, e, f). Arguments are separated by
// commas; lengths need a unit (px, in, cm, mm, pt, pc, em, ex or %) and
// angles one of deg, rad, grad and turn, except for 0. Names and units are
// case-insensitive. out is the product of the functions, the first outermost.
// False (out untouched) for text that is none of this.
bool Parse(const char* text, const Context& context, SvgMatrix& out);

// One to three values: lengths, percentages or the keywords left, center,
// right, top and bottom, in either order where keywords tell the axis (a
// third value, a length along z, is accepted and has no effect). A missing
// axis is centred. False (x and y untouched) otherwise.
bool ParseOrigin(const char* text, const Context& context, double& x, double& y);

// An attribute's transform-origin as CSS: its numbers without a unit (which
// SVG attributes allow) taken as px.
std::string OriginFromAttribute(const char* text);

} // namespace SvgCssTransform
