#pragma once

// A keyword property: the keyword number given, and the one in force after the cascade.
struct SvgEnumValue {
    SvgEnumValue() : set(0), inherit(0), value(0), computed(0) {}
    explicit SvgEnumValue(unsigned v) : set(0), inherit(0), value(v), computed(v) {}

    unsigned set : 1;
    unsigned inherit : 1;
    unsigned value : 8;
    unsigned computed : 8;
};
