#pragma once

#include "style/SvgLength.h"

// A length that may also be the keyword "normal".
struct SvgLengthOrNormal {
    SvgLengthOrNormal() : set(0), inherit(0), normal(0), unit(SvgUnitNone) {}

    unsigned set : 1;
    unsigned inherit : 1;
    unsigned normal : 1;
    unsigned unit : 4;
    float value = 0.0f;
    float computed = 0.0f;
};
