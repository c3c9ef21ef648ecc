#pragma once

#include <string>

struct SvgStringValue {
    SvgStringValue() : set(0), inherit(0) {}

    unsigned set : 1;
    unsigned inherit : 1;
    std::string value;
};
