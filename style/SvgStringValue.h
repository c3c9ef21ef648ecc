#pragma once

#include "style/SvgCompactString.h"

struct SvgStringValue {
    SvgStringValue() : set(0), inherit(0) {}

    unsigned set : 1;
    unsigned inherit : 1;
    SvgCompactString value;
};
