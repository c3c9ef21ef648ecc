#pragma once

#include "style/SvgColor.h"
#include "style/SvgIccColor.h"
#include "style/SvgPaint.h"

#include <cstdint>
#include <optional>
#include <string>

struct SvgStringValue;

// Colours are packed as 0xRRGGBB00 (the low byte is always 0), so a default
// of 0xFF (kNoColor) tells "no colour read" apart from every colour.
constexpr uint32_t kNoColor = 0xFFu;

// A colour with its alpha, each a byte.
struct SvgRgba {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 255;
};

// The colour reader. Reads one colour at the start of text (after characters
// 1 to 32) as CSS writes it: #rgb, #rgba, #rrggbb, #rrggbbaa; rgb(), rgba(),
// hsl() and hsla() (names in any case) with commas or with white space and
// "/ alpha", alpha a number or a percentage; a colour keyword or
// "transparent" (any case). False, end untouched, when there is none; else
// sets *end (may be null) after the colour.
bool ReadCssColor(const char* text, const char** end, SvgRgba& color);
// A whole text (white space around it allowed) as a colour, in 0xAARRGGBB:
// the entry point for hosts (a background colour, say). False when the text
// is anything else.
bool ParseColorArgb(const char* text, uint32_t& argb);

// ReadCssColor without the alpha: the packed colour, or defaultValue (end
// untouched) when there is none. A null text gives the default.
uint32_t ParseColor(const char* text, const char** end, uint32_t defaultValue);
// As ParseColor; end (may be null) is written only when a colour was read.
uint32_t ReadColor(const char* text, const char** end, uint32_t defaultValue);
// The packed value of a colour keyword (exact lower-case or any case), or
// false. The keyword map is built once per process, at the first lookup.
bool LookupColorKeyword(const char* name, std::size_t length, uint32_t& packed);

// r, g, b from a packed 0xRRGGBB00 value; opaque.
void SetPacked(SvgColor& color, uint32_t packed);
// r, g, b and a from a colour read with its alpha.
void SetRgba(SvgColor& color, const SvgRgba& rgba);
// 0xAARRGGBB: each component as trunc(component x 255.9999), clamped to a
// byte; the alpha is alpha times the colour's own, rounded.
uint32_t ToArgb(const SvgColor& color, unsigned int alpha);

// Reads icc-color(profile, n, n, ...) after optional white space into record
// (may be null to only check the syntax). On success sets *end after the ")"
// and returns true; on failure empties the record's components, leaves
// *end = text and returns false.
bool ReadIccColor(const char* text, const char** end, SvgIccColor* record);

// Reads url(#id), url( '#id' ) and the like at the start of text. Returns the
// content without its first character (the #), or nothing when the text is
// not a well-formed url(...). On success sets *end (may be null) after ")".
std::optional<std::string> ReadUrl(const char* text, const char** end);

// Clears the five flags and the reference, sets the colour to black and
// drops its ICC colour.
void ResetPaint(SvgPaint& paint);
// fill, stroke, stop-color: "inherit", "currentColor" (any case), "none", a colour with
// an optional ICC colour, or url(...) followed by one of those as fallback.
// The paint is reset first; text that is none of these leaves it unset.
void ReadPaint(SvgPaint& paint, const char* text);
// color: "inherit" or a colour. Text that is no colour changes nothing
// (except that currentColor is cleared).
void ReadColorProperty(SvgPaint& paint, const char* text);
// filter: "inherit", "none", or url(...) whose reference becomes the value.
// Other text changes nothing.
void ReadFilter(SvgStringValue& value, const char* text);
