#pragma once

#include "style/SvgDashArray.h"
#include "style/SvgEnumValue.h"
#include "style/SvgFontSize.h"
#include "style/SvgFontWeight.h"
#include "style/SvgKeyword.h"
#include "style/SvgLength.h"
#include "style/SvgLengthOrNormal.h"
#include "style/SvgNumber.h"
#include "style/SvgScale24.h"
#include "style/SvgStringValue.h"
#include "style/SvgTextDecoration.h"

#include <string>
#include <vector>

// Readers of one property value each. A text a reader does not accept leaves
// the record as it was; the result says whether it was accepted (callers may
// ignore it). Keywords are compared exactly, case-sensitively, over the whole
// text. A null text is never accepted.

// A keyword of table (rows ending with a null name), or "inherit" when mayInherit.
bool ReadEnum(SvgEnumValue& record, const char* text, const SvgKeyword* table, bool mayInherit);
// User units per inch of the absolute units (in, cm, mm, pt, pc) in the
// lengths read on the calling thread: kDefaultUnitsPerInch (as CSS fixes
// it), or what the innermost SvgResolution alive on the thread gives.
class SvgResolution {
public:
    static constexpr double kDefaultUnitsPerInch = 96;
    static constexpr double kMinUnitsPerInch = 1;
    static constexpr double kMaxUnitsPerInch = 100000;

    // A value outside [kMinUnitsPerInch, kMaxUnitsPerInch] (or NaN) keeps
    // the one in force.
    explicit SvgResolution(double unitsPerInch);
    ~SvgResolution();
    SvgResolution(const SvgResolution&) = delete;
    SvgResolution& operator=(const SvgResolution&) = delete;

    static double UnitsPerInch();
    // number of unit in user units (relative units: number times their
    // stored factor, as ReadLength keeps them).
    static double UserUnits(double number, SvgUnit unit);

private:
    double m_previous;
};

// A number with an optional unit suffix (px pt pc mm cm in em ex %), or "inherit".
bool ReadLength(SvgLength& record, const char* text);
// A font-size keyword, a length, a percentage, or "inherit" (em and ex are
// kept as percentages of the parent's size, an ex being half an em).
bool ReadFontSize(SvgFontSize& record, const char* text);
// A font-weight keyword, a number from 1 to 1000, or "inherit".
bool ReadFontWeight(SvgFontWeight& record, const char* text);
// A font-stretch keyword, "inherit", or a percentage of the normal width,
// which reads as the keyword whose width is nearest.
bool ReadFontStretch(SvgEnumValue& record, const char* text);
// "normal" or anything ReadLength accepts.
bool ReadLengthOrNormal(SvgLengthOrNormal& record, const char* text);
// A number (text after it ignored), or "inherit".
bool ReadNumber(SvgNumber& record, const char* text);
// A number clamped to [0, 1] as 24-bit fixed point, or "inherit".
bool ReadScale24(SvgScale24& record, const char* text);
// "none", "inherit", or words among underline, overline, line-through, blink.
bool ReadTextDecoration(SvgTextDecoration& record, const char* text);
// Any text; "inherit" sets the flag with an empty value.
bool ReadStringValue(SvgStringValue& record, const char* text);
// The text without one outer pair of matching quotes.
std::string Dequote(const char* text);
// Up to 64 lengths (numbers with any unit of ReadLength, percentages
// included), "none" or "inherit". An unknown unit ends the list.
bool ReadDashArray(SvgDashArray& record, const char* text);
// A length with any unit of ReadLength (text after it ignored, unless it is
// an unknown unit): its value, and unit one of SvgDashArray's offset units.
bool ReadDashOffset(const char* text, double& offset, unsigned char& unit);
// A number at the start of text (after white space); the rest is ignored.
bool ParseNumber(const char* text, float& value);

// One axis setting of font-variation-settings: a four-letter tag and a value.
struct SvgFontVariation {
    char tag[4];
    float value;
};
// font-variation-settings: "normal" (no settings) or a comma-separated list
// of a quoted four-character tag and a number each. A tag given twice keeps
// its last value; at most 64 tags are kept. False, with out empty, for any
// other text.
bool ReadFontVariations(const char* text, std::vector<SvgFontVariation>& out);
