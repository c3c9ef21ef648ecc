#pragma once

// How a font size was given.
enum SvgFontSizeType : unsigned {
    SvgFontSizeLiteral = 0,    // a keyword; value is its number
    SvgFontSizeLength = 1,     // a length; computed holds it
    SvgFontSizePercentage = 2, // value is the fraction x 65536
};

struct SvgFontSize {
    SvgFontSize() : set(0), inherit(0), type(SvgFontSizeLiteral), value(0) {}

    unsigned set : 1;
    unsigned inherit : 1;
    unsigned type : 2;
    unsigned value : 24;
    float computed = 0.0f;
};
