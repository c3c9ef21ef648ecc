#pragma once

#include "style/SvgStringValue.h"

#include <cstdint>

// The string-valued font properties of a style, in a record that several
// styles may share. Holders count themselves in shareCount; the last Release
// deletes the record.
class SvgTextStyle {
public:
    SvgTextStyle() = default;
    // A copy of the strings with a share count of 1.
    SvgTextStyle(const SvgTextStyle& other);
    SvgTextStyle& operator=(const SvgTextStyle&) = delete;
    virtual ~SvgTextStyle() = default;

    // The record of a style that gave no font strings: shared by all such
    // styles on all threads, never changed and never counted (a style copies
    // it before writing, MakeTextPrivate).
    static SvgTextStyle* Empty();

    void AddRef() {
        if (this != Empty())
            ++shareCount;
    }
    // Lowers the share count; deletes the record when it reaches zero.
    void Release();
    // All three strings unset and empty.
    void Clear();

    uint32_t shareCount = 1;
    SvgStringValue fontFamily;            // font-family, one outer pair of quotes removed
    SvgStringValue fontSpecification;     // -inkscape-font-specification, likewise
    SvgStringValue font;                  // the font shorthand as written (its parts are read too)
    SvgStringValue fontVariationSettings; // font-variation-settings as written
};
