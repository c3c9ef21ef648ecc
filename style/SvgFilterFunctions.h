#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SvgStringValue;

// One entry of a filter property's list: a reference to a filter element or
// one of the CSS filter functions.
struct SvgFilterFunction {
    enum Type {
        Url,
        Blur,
        Brightness,
        Contrast,
        DropShadow,
        Grayscale,
        HueRotate,
        Invert,
        Opacity,
        Saturate,
        Sepia
    };
    Type type = Url;
    std::string id;    // Url: the element referenced
    double amount = 0; // the amounts as fractions (1 for 100%), hue-rotate in degrees,
                       // blur (and drop-shadow's) deviation in user units
    double dx = 0;     // drop-shadow offset, in user units
    double dy = 0;
    bool currentColor = true; // drop-shadow without a colour of its own
    uint32_t color = 0;       // ... or its packed colour (red in the top byte)
};

// Reads a filter value: "none" (an empty list) or one or more references
// (url(#id)) and filter functions separated by white space. False when the
// text is not such a value: the whole declaration is then ignored.
bool ParseFilterFunctions(const char* text, std::vector<SvgFilterFunction>& out);

// The filter property: "inherit", or a filter value, kept as written (empty
// for "none"). Text that is no filter value changes nothing.
void ReadFilterProperty(SvgStringValue& value, const char* text);
