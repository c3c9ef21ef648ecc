#pragma once

#include "style/SvgIccColor.h"

#include <memory>

// A colour: red, green, blue and alpha from 0.0 to 1.0, and the ICC colour that
// followed it, if any. A new colour is opaque black without ICC colour. Copies are
// deep (the ICC record is copied too).
class SvgColor {
public:
    SvgColor() = default;
    SvgColor(const SvgColor& other);
    SvgColor(SvgColor&& other) noexcept = default;
    SvgColor& operator=(const SvgColor& other);
    SvgColor& operator=(SvgColor&& other) noexcept = default;
    virtual ~SvgColor() = default;

    std::unique_ptr<SvgIccColor> icc; // owned; null when no ICC colour was given
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f; // multiplies the opacity it is painted with
};
