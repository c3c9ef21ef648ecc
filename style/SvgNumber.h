#pragma once

struct SvgNumber {
    SvgNumber() : set(0), inherit(0) {}
    explicit SvgNumber(float v) : set(0), inherit(0), value(v) {}

    unsigned set : 1;
    unsigned inherit : 1;
    float value = 0.0f;
};
