#pragma once

#include <cstdint>

// Keyword numbers of font-weight: 0 to 8 are the weights 100 to 900.
enum SvgFontWeightKeyword : unsigned {
    SvgFontWeightNormal = 9,
    SvgFontWeightBold = 10,
    SvgFontWeightLighter = 11,
    SvgFontWeightBolder = 12,
    SvgFontWeightNumber = 13, // another number from 1 to 1000, held in number
};

// font-weight: the keyword (or number) given, and the weight in force after the
// cascade, both as the nearest keyword number (computed, 0 to 8) and exactly
// (weight, 1 to 1000).
struct SvgFontWeight {
    SvgFontWeight() : set(0), inherit(0), value(SvgFontWeightNormal), computed(3) {}

    unsigned set : 1;
    unsigned inherit : 1;
    unsigned value : 8;
    unsigned computed : 8;
    uint16_t number = 400; // the number given with SvgFontWeightNumber
    uint16_t weight = 400; // the weight in force

    // The keyword number nearest to a weight (449 gives 3, the 400; 450 gives 4).
    static unsigned NearestKeyword(unsigned weight) {
        unsigned hundreds = (weight + 50) / 100;
        return hundreds < 1 ? 0 : hundreds > 9 ? 8 : hundreds - 1;
    }
};
