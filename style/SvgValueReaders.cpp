#include "style/SvgValueReaders.h"

#include "syntax/SvgNumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr double kFloatMax = 3.4028234663852886e38;

inline bool isInherit(const char* text) {
    return std::strcmp(text, "inherit") == 0;
}

// Marks a record set and inherited when the text is "inherit".
template <typename Record> bool takeInherit(Record& record, const char* text) {
    if (!isInherit(text))
        return false;
    record.set = 1;
    record.inherit = 1;
    return true;
}

// Narrows to float, refusing what would become infinite.
inline bool toFloat(double value, float& out) {
    if (value > kFloatMax || value < -kFloatMax)
        return false;
    out = static_cast<float>(value);
    return true;
}

// Unit suffixes and their factors (to the stored relative value; absolute
// units are in inches, times the resolution in force).
struct UnitSuffix {
    const char* text;
    SvgUnit unit;
    double factor;
};

// 1 pt = 1/72 in, 1 pc = 12 pt.
const UnitSuffix kUnitSuffixes[] = {
    {"", SvgUnitNone, 1.0},      {"px", SvgUnitPx, 1.0},        {"pt", SvgUnitPt, 1.0 / 72},
    {"pc", SvgUnitPc, 1.0 / 6},  {"mm", SvgUnitMm, 1.0 / 25.4}, {"cm", SvgUnitCm, 1.0 / 2.54},
    {"in", SvgUnitIn, 1.0},      {"em", SvgUnitEm, 1.0},        {"ex", SvgUnitEx, 1.0},
    {"%", SvgUnitPercent, 0.01},
};

thread_local double t_unitsPerInch = SvgResolution::kDefaultUnitsPerInch;

const UnitSuffix* findSuffix(const char* rest) {
    for (const UnitSuffix& s : kUnitSuffixes)
        if (std::strcmp(rest, s.text) == 0)
            return &s;
    return nullptr;
}

// The factor of a suffix at the resolution in force.
double factorOf(const UnitSuffix& suffix) {
    bool absolute = suffix.unit >= SvgUnitPt && suffix.unit <= SvgUnitIn;
    return absolute ? suffix.factor * t_unitsPerInch : suffix.factor;
}

const SvgKeyword* findKeyword(const SvgKeyword* table, const char* text) {
    for (; table && table->name; ++table)
        if (std::strcmp(table->name, text) == 0)
            return table;
    return nullptr;
}

// A keyword matches when the word is followed by a space or the end.
bool wordAt(const char* p, const char* word, std::size_t length) {
    return std::strncmp(p, word, length) == 0 && (p[length] == ' ' || p[length] == 0);
}

} // namespace

SvgResolution::SvgResolution(double unitsPerInch) : m_previous(t_unitsPerInch) {
    if (unitsPerInch >= kMinUnitsPerInch && unitsPerInch <= kMaxUnitsPerInch)
        t_unitsPerInch = unitsPerInch;
}

SvgResolution::~SvgResolution() {
    t_unitsPerInch = m_previous;
}

double SvgResolution::UnitsPerInch() {
    return t_unitsPerInch;
}

double SvgResolution::UserUnits(double number, SvgUnit unit) {
    for (const UnitSuffix& s : kUnitSuffixes)
        if (s.unit == unit)
            return number * factorOf(s);
    return number;
}

bool ReadEnum(SvgEnumValue& record, const char* text, const SvgKeyword* table, bool mayInherit) {
    if (!text)
        return false;
    if (mayInherit && takeInherit(record, text))
        return true;
    const SvgKeyword* row = findKeyword(table, text);
    if (!row)
        return false;
    record.set = 1;
    record.inherit = 0;
    record.value = row->value;
    record.computed = row->value;
    return true;
}

bool ReadLength(SvgLength& record, const char* text) {
    if (!text)
        return false;
    if (takeInherit(record, text))
        return true;
    double number = 0.0;
    std::size_t used = SvgNumberText::Scan(text, number);
    if (used == 0)
        return false;
    const UnitSuffix* suffix = findSuffix(text + used);
    if (!suffix)
        return false;
    float result = 0.0f;
    if (!toFloat(number * factorOf(*suffix), result))
        return false;
    // Relative units keep the number for later; absolute ones are resolved now.
    if (suffix->unit == SvgUnitEm || suffix->unit == SvgUnitEx || suffix->unit == SvgUnitPercent)
        record.value = result;
    else
        record.computed = result;
    record.unit = suffix->unit;
    record.set = 1;
    record.inherit = 0;
    return true;
}

bool ReadFontSize(SvgFontSize& record, const char* text) {
    if (!text)
        return false;
    if (takeInherit(record, text))
        return true;
    char first = text[0];
    if (first == 'x' || first == 's' || first == 'm' || first == 'l') {
        const SvgKeyword* row = findKeyword(kFontSizeKeywords, text);
        if (!row)
            return false;
        record.set = 1;
        record.inherit = 0;
        record.type = SvgFontSizeLiteral;
        record.value = row->value;
        return true;
    }
    double number = 0.0;
    std::size_t used = SvgNumberText::Scan(text, number);
    if (used == 0)
        return false;
    const UnitSuffix* suffix = findSuffix(text + used);
    if (!suffix)
        return false;
    if (suffix->unit == SvgUnitPercent || suffix->unit == SvgUnitEm || suffix->unit == SvgUnitEx) {
        // Sizes relative to the parent's: em is its size, ex half of it, both
        // kept as percentages. A negative size is no size. The factor makes
        // 100% exactly 65536; the 24 bits hold up to 25599%, and larger ones
        // are cut to that.
        if (number < 0)
            return false;
        double fraction = suffix->unit == SvgUnitPercent ? number * 0.01 * 65536.9999
                          : suffix->unit == SvgUnitEm    ? number * 65536.0 + 0.5
                                                         : number * 32768.0 + 0.5;
        record.type = SvgFontSizePercentage;
        record.value = static_cast<unsigned>(std::min(fraction, 16777215.0));
    } else {
        float result = 0.0f;
        if (!toFloat(number * factorOf(*suffix), result))
            return false;
        record.type = SvgFontSizeLength;
        record.computed = result;
    }
    record.set = 1;
    record.inherit = 0;
    return true;
}

bool ReadFontWeight(SvgFontWeight& record, const char* text) {
    if (!text)
        return false;
    if (takeInherit(record, text))
        return true;
    if (const SvgKeyword* row = findKeyword(kFontWeightKeywords, text)) {
        // As the cascade computes it when no parent is known.
        record.value = row->value;
        unsigned weight = row->value <= 8                     ? (row->value + 1) * 100
                          : row->value == SvgFontWeightBold   ? 700
                          : row->value == SvgFontWeightNormal ? 400
                                                              : record.weight;
        record.weight = static_cast<uint16_t>(weight);
        record.computed = SvgFontWeight::NearestKeyword(weight);
    } else {
        // Other weights are numbers from 1 to 1000.
        double number = 0.0;
        std::size_t used = SvgNumberText::Scan(text, number);
        if (used == 0 || text[used] != 0 || !(number >= 1.0 && number <= 1000.0))
            return false;
        record.value = SvgFontWeightNumber;
        record.number = static_cast<uint16_t>(std::lround(number));
        record.weight = record.number;
        record.computed = SvgFontWeight::NearestKeyword(record.number);
    }
    record.set = 1;
    record.inherit = 0;
    return true;
}

bool ReadFontStretch(SvgEnumValue& record, const char* text) {
    if (!text)
        return false;
    if (ReadEnum(record, text, kFontStretchKeywords, true))
        return true;
    // A percentage of the normal width counts as the keyword nearest to it.
    double number = 0.0;
    std::size_t used = SvgNumberText::Scan(text, number);
    if (used == 0 || std::strcmp(text + used, "%") != 0 || number < 0)
        return false;
    unsigned nearest = 0;
    for (unsigned k = 1; k <= 8; ++k) {
        if (std::fabs(number - kFontStretchPercent[k]) <
            std::fabs(number - kFontStretchPercent[nearest]))
            nearest = k;
    }
    record.set = 1;
    record.inherit = 0;
    record.value = nearest;
    record.computed = nearest;
    return true;
}

bool ReadLengthOrNormal(SvgLengthOrNormal& record, const char* text) {
    if (!text)
        return false;
    if (std::strcmp(text, "normal") == 0) {
        record.set = 1;
        record.inherit = 0;
        record.normal = 1;
        record.unit = SvgUnitNone;
        record.value = 0.0f;
        record.computed = 0.0f;
        return true;
    }
    SvgLength length;
    if (!ReadLength(length, text))
        return false; // the record keeps its previous state
    record.set = length.set;
    record.inherit = length.inherit;
    record.normal = 0;
    record.unit = length.unit;
    record.value = length.value;
    record.computed = length.computed;
    return true;
}

bool ParseNumber(const char* text, float& value) {
    if (!text)
        return false;
    double number = 0.0;
    if (SvgNumberText::Scan(text, number) == 0)
        return false;
    return toFloat(number, value);
}

bool ReadNumber(SvgNumber& record, const char* text) {
    if (!text)
        return false;
    if (takeInherit(record, text))
        return true;
    float value = 0.0f;
    if (!ParseNumber(text, value))
        return false;
    record.value = value;
    record.set = 1;
    record.inherit = 0;
    return true;
}

bool ReadScale24(SvgScale24& record, const char* text) {
    if (!text)
        return false;
    if (takeInherit(record, text))
        return true;
    double parsed = 0.0;
    std::size_t used = SvgNumberText::Scan(text, parsed);
    float value = 0.0f;
    if (used == 0 || !toFloat(parsed, value))
        return false;
    // A percentage, as SVG viewers read it: 50% is a half.
    if (text[used] == '%')
        value /= 100.0f;
    double number = value < 0.0f ? 0.0 : (value > 1.0f ? 1.0 : value);
    record.value = static_cast<unsigned>(std::trunc(number * SvgScale24::One + 0.5)) & 0xFFFFFFu;
    record.set = 1;
    record.inherit = 0;
    return true;
}

bool ReadTextDecoration(SvgTextDecoration& record, const char* text) {
    if (!text)
        return false;
    if (takeInherit(record, text))
        return true;
    if (std::strcmp(text, "none") == 0) {
        record.set = 1;
        record.inherit = 0;
        record.underline = record.overline = record.lineThrough = record.blink = 0;
        return true;
    }
    bool underline = false, overline = false, lineThrough = false, blink = false;
    const char* p = text;
    for (;;) {
        while (*p == ' ')
            ++p;
        if (*p == 0)
            break;
        if (wordAt(p, "underline", 9)) {
            underline = true;
            p += 9;
        } else if (wordAt(p, "overline", 8)) {
            overline = true;
            p += 8;
        } else if (wordAt(p, "line-through", 12)) {
            lineThrough = true;
            p += 12;
        } else if (wordAt(p, "blink", 5)) {
            blink = true;
            p += 5;
        } else {
            break;
        }
    }
    if (!(underline || overline || lineThrough || blink))
        return false;
    record.set = 1;
    record.inherit = 0;
    record.underline = underline;
    record.overline = overline;
    record.lineThrough = lineThrough;
    record.blink = blink;
    return true;
}

bool ReadStringValue(SvgStringValue& record, const char* text) {
    if (!text)
        return false;
    record.value.clear();
    record.set = 1;
    if (isInherit(text)) {
        record.inherit = 1;
        return true;
    }
    record.inherit = 0;
    record.value = text;
    return true;
}

std::string Dequote(const char* text) {
    if (!text)
        return std::string();
    std::size_t length = std::strlen(text);
    if (length >= 2 && (text[0] == '\'' || text[0] == '"') && text[length - 1] == text[0])
        return std::string(text + 1, length - 2);
    return std::string(text, length);
}

namespace {

// The unit written right after a number (letters or "%"), if any: where it
// ends, and its suffix; a unit no length takes gives null.
const UnitSuffix* readUnit(const char*& p, const char* end) {
    const char* q = p;
    while (q < end && (*q == '%' || (*q >= 'a' && *q <= 'z') || (*q >= 'A' && *q <= 'Z')))
        ++q;
    char unit[8] = {};
    if (size_t(q - p) >= sizeof unit)
        return nullptr;
    std::memcpy(unit, p, size_t(q - p));
    p = q;
    return findSuffix(unit);
}

// A dash length or offset with its unit: user units, or the number kept for
// later (em, ex; a percentage as a fraction). False for an unknown unit or a
// value too large.
bool dashLength(double number, const UnitSuffix& suffix, double& value) {
    value = number * factorOf(suffix);
    return std::isfinite(value) && std::fabs(value) <= kFloatMax;
}

} // namespace

bool ReadDashArray(SvgDashArray& record, const char* text) {
    if (!text)
        return false;
    record.dasharraySet = 1;
    if (isInherit(text)) {
        record.dasharrayInherit = 1;
        return true;
    }
    record.dasharrayInherit = 0;
    record.clearDashes();
    if (std::strcmp(text, "none") == 0)
        return true;

    double values[SvgDashArray::MaxDashes];
    uint64_t em = 0, ex = 0, percent = 0;
    int count = 0;
    bool positive = false;
    const char* p = text;
    const char* end = p + std::strlen(p);
    auto isSeparator = [](char c) {
        return c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
    };
    while (count < SvgDashArray::MaxDashes) {
        double number = 0.0;
        std::size_t used = SvgNumberText::Scan(p, end, number);
        if (used > 0) {
            // Every unit of a length; an unknown one ends the list.
            p += used;
            const UnitSuffix* suffix = readUnit(p, end);
            double value = 0;
            if (!suffix || !dashLength(number, *suffix, value))
                break;
            uint64_t bit = uint64_t(1) << count;
            if (suffix->unit == SvgUnitEm)
                em |= bit;
            else if (suffix->unit == SvgUnitEx)
                ex |= bit;
            else if (suffix->unit == SvgUnitPercent)
                percent |= bit;
            values[count++] = value;
            positive = positive || value > 1e-8;
        }
        // Separators: white space and commas. A sign or a decimal point
        // starts the next number; anything else ends the list.
        const char* before = p;
        while (p < end && isSeparator(*p))
            ++p;
        if (p == before)
            break;
    }
    if (positive) {
        record.setDashes(values, count);
        record.emMask = em;
        record.exMask = ex;
        record.percentMask = percent;
    }
    return true;
}

bool ReadDashOffset(const char* text, double& offset, unsigned char& unit) {
    if (!text)
        return false;
    double number = 0;
    std::size_t used = SvgNumberText::Scan(text, number);
    if (used == 0)
        return false;
    const char* p = text + used;
    const UnitSuffix* suffix = readUnit(p, p + std::strlen(p));
    double value = 0;
    if (!suffix || !dashLength(number, *suffix, value))
        return false;
    offset = value;
    unit = suffix->unit == SvgUnitEm        ? SvgDashArray::OffsetEm
           : suffix->unit == SvgUnitEx      ? SvgDashArray::OffsetEx
           : suffix->unit == SvgUnitPercent ? SvgDashArray::OffsetPercent
                                            : SvgDashArray::OffsetUser;
    return true;
}

bool ReadFontVariations(const char* text, std::vector<SvgFontVariation>& out) {
    out.clear();
    if (!text)
        return false;
    auto skipSpace = [](const char* p) {
        while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f')
            ++p;
        return p;
    };
    const char* p = skipSpace(text);
    if (std::strncmp(p, "normal", 6) == 0 && *skipSpace(p + 6) == 0)
        return true;
    const size_t kMaxTags = 64;
    for (;;) {
        char quote = *p;
        if (quote != '\'' && quote != '"')
            break;
        SvgFontVariation v;
        for (int k = 0; k < 4; ++k) {
            unsigned char c = static_cast<unsigned char>(p[1 + k]);
            if (c < 0x20 || c > 0x7E || c == static_cast<unsigned char>(quote))
                return out.clear(), false;
            v.tag[k] = static_cast<char>(c);
        }
        if (p[5] != quote)
            break;
        p = skipSpace(p + 6);
        double number = 0.0;
        std::size_t used = SvgNumberText::Scan(p, number);
        if (used == 0 || !toFloat(number, v.value))
            break;
        p = skipSpace(p + used);
        auto same = std::find_if(out.begin(), out.end(), [&](const SvgFontVariation& o) {
            return std::memcmp(o.tag, v.tag, 4) == 0;
        });
        if (same != out.end())
            same->value = v.value;
        else if (out.size() < kMaxTags)
            out.push_back(v);
        if (*p == 0)
            return true;
        if (*p != ',')
            break;
        p = skipSpace(p + 1);
    }
    out.clear();
    return false;
}
