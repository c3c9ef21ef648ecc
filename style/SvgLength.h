#pragma once

// Units of a length as written.
enum SvgUnit : unsigned {
    SvgUnitNone = 0,
    SvgUnitPx = 1,
    SvgUnitPt = 2,
    SvgUnitPc = 3,
    SvgUnitMm = 4,
    SvgUnitCm = 5,
    SvgUnitIn = 6,
    SvgUnitEm = 7,
    SvgUnitEx = 8,
    SvgUnitPercent = 9,
};

// A length: for relative units (em, ex, %) the number given is in value, to be
// resolved later; absolute lengths are stored in computed, in user units.
struct SvgLength {
    SvgLength() : set(0), inherit(0), unit(SvgUnitNone) {}
    explicit SvgLength(float v) : set(0), inherit(0), unit(SvgUnitNone), value(v), computed(v) {}

    unsigned set : 1;
    unsigned inherit : 1;
    unsigned unit : 4;
    float value = 0.0f;
    float computed = 0.0f;
};
