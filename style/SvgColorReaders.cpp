#include "style/SvgColorReaders.h"

#include "style/SvgColorKeywords.h"
#include "style/SvgStringValue.h"
#include "syntax/SvgCharClass.h"
#include "syntax/SvgNumberText.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string_view>
#include <strings.h>
#include <unordered_map>

namespace {

// Longest colour name copied for the keyword lookup.
constexpr std::size_t kMaxNameLength = 31;

// White space of the C "C" locale.
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

char toLowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

const char* skipSpace(const char* p) {
    while (isSpace(*p))
        ++p;
    return p;
}

const char* skipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

bool startsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Name to packed value, built from the table at the first lookup and kept for
// the life of the process. Keys point into the constant table.
const std::unordered_map<std::string_view, uint32_t>& keywordMap() {
    static const std::unordered_map<std::string_view, uint32_t> map = [] {
        std::unordered_map<std::string_view, uint32_t> m;
        m.reserve(kSvgColorKeywordCount * 2);
        for (std::size_t i = 0; i < kSvgColorKeywordCount; ++i)
            m.emplace(kSvgColorKeywords[i].name, kSvgColorKeywords[i].packed);
        return m;
    }();
    return map;
}

bool equalsIgnoringCase(const char* p, const char* word, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i)
        if (toLowerAscii(p[i]) != word[i])
            return false;
    return true;
}

bool readHex(const char* p, const char** end, SvgRgba& color) {
    const char* digits = p + 1;
    const char* q = digits;
    while (hexDigitValue(*q) >= 0)
        ++q;
    std::size_t count = static_cast<std::size_t>(q - digits);
    int bytes[4] = {0, 0, 0, 255};
    if (count == 3 || count == 4) {
        for (std::size_t i = 0; i < count; ++i)
            bytes[i] = hexDigitValue(digits[i]) * 17;
    } else if (count == 6 || count == 8) {
        for (std::size_t i = 0; i < count / 2; ++i)
            bytes[i] = hexDigitValue(digits[2 * i]) * 16 + hexDigitValue(digits[2 * i + 1]);
    } else {
        return false;
    }
    color = SvgRgba{uint8_t(bytes[0]), uint8_t(bytes[1]), uint8_t(bytes[2]), uint8_t(bytes[3])};
    *end = q;
    return true;
}

// One argument of a colour function: a number, a percentage, or "none" (0),
// with the unit that followed the number at once ("%", an angle's, or none).
struct Argument {
    double value = 0;
    bool percent = false;
    double degrees = 1; // an angle's unit in degrees
};

bool readArgument(const char*& p, Argument& argument, bool angle) {
    p = skipSpace(p);
    argument = Argument();
    if (equalsIgnoringCase(p, "none", 4) && !isAsciiLetter(p[4])) {
        p += 4;
        return true;
    }
    std::size_t used = SvgNumberText::MatchDecimal(p, p + std::strlen(p));
    if (used == 0 || !SvgNumberText::Convert(p, p + used, argument.value))
        return false;
    p += used;
    if (*p == '%') {
        argument.percent = true;
        ++p;
        return true;
    }
    if (!angle)
        return true;
    static const struct {
        const char* name;
        double degrees;
    } kAngles[] = {{"deg", 1}, {"grad", 0.9}, {"rad", 180 / M_PI}, {"turn", 360}};
    for (const auto& unit : kAngles) {
        std::size_t n = std::strlen(unit.name);
        if (equalsIgnoringCase(p, unit.name, n) && !isAsciiLetter(p[n])) {
            argument.degrees = unit.degrees;
            p += n;
            return true;
        }
    }
    return !isAsciiLetter(*p);
}

double clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

uint8_t roundByte(double unit) {
    return static_cast<uint8_t>(std::floor(clamp01(unit) * 255 + 0.5));
}

// An rgb() channel: a number of 0 to 255 or a percentage, truncated.
uint8_t channelByte(const Argument& a) {
    if (a.percent) {
        double c = a.value < 0 ? 0 : (a.value > 100 ? 100 : a.value);
        return static_cast<uint8_t>(c * 2.559999);
    }
    return static_cast<uint8_t>(a.value < 0 ? 0 : (a.value > 255 ? 255 : a.value));
}

// rgb(), rgba(), hsl() and hsla(), their names in any case: three arguments
// separated by commas (then an optional fourth, the alpha) or by white space
// (then an optional "/ alpha"). With commas, rgb() takes numbers only or
// percentages only and hsl() percentages for saturation and lightness.
bool readFunction(const char* p, const char** end, SvgRgba& color) {
    bool hsl;
    std::size_t nameLength;
    if (equalsIgnoringCase(p, "rgba(", 5) || equalsIgnoringCase(p, "hsla(", 5))
        nameLength = 5;
    else if (equalsIgnoringCase(p, "rgb(", 4) || equalsIgnoringCase(p, "hsl(", 4))
        nameLength = 4;
    else
        return false;
    hsl = toLowerAscii(*p) == 'h';
    p += nameLength;

    Argument a[4];
    a[3].value = 1;
    if (!readArgument(p, a[0], hsl))
        return false;
    p = skipSpace(p);
    bool commas = *p == ',';
    for (int i = 1; i < 3; ++i) {
        if (commas) {
            p = skipSpace(p);
            if (*p != ',')
                return false;
            ++p;
        }
        if (!readArgument(p, a[i], false))
            return false;
    }
    p = skipSpace(p);
    if (*p == (commas ? ',' : '/')) {
        ++p;
        if (!readArgument(p, a[3], false))
            return false;
        p = skipSpace(p);
    }
    if (*p != ')')
        return false;

    uint8_t alpha = roundByte(a[3].percent ? a[3].value / 100 : a[3].value);
    if (!hsl) {
        if (commas && (a[0].percent != a[1].percent || a[0].percent != a[2].percent))
            return false;
        color = SvgRgba{channelByte(a[0]), channelByte(a[1]), channelByte(a[2]), alpha};
    } else {
        if (a[0].percent || (commas && (!a[1].percent || !a[2].percent)))
            return false;
        double hue = std::fmod(a[0].value * a[0].degrees, 360.0);
        if (hue < 0)
            hue += 360;
        if (!std::isfinite(hue))
            return false;
        double s = clamp01(a[1].value / 100), l = clamp01(a[2].value / 100);
        double k = s * std::min(l, 1 - l);
        auto channel = [&](double n) {
            double t = std::fmod(n + hue / 30, 12.0);
            return roundByte(l - k * std::max(-1.0, std::min({t - 3, 9 - t, 1.0})));
        };
        color = SvgRgba{channel(0), channel(8), channel(4), alpha};
    }
    *end = p + 1;
    return true;
}

bool readName(const char* p, const char** end, SvgRgba& color) {
    std::size_t n = 0;
    while (n < kMaxNameLength && p[n] && p[n] != ';' && !isSpace(p[n]))
        ++n;
    uint32_t packed = 0;
    if (n == 11 && equalsIgnoringCase(p, "transparent", 11)) {
        color = SvgRgba{0, 0, 0, 0};
    } else if (LookupColorKeyword(p, n, packed)) {
        color = SvgRgba{uint8_t(packed >> 24), uint8_t(packed >> 16), uint8_t(packed >> 8), 255};
    } else {
        return false;
    }
    *end = p + n;
    return true;
}

bool parseColor(const char* text, const char** end, SvgRgba& color) {
    if (!text)
        return false;
    const char* p = text;
    while (*p >= 1 && *p <= 32)
        ++p;
    if (!*p)
        return false;
    if (*p == '#')
        return readHex(p, end, color);
    if (readFunction(p, end, color))
        return true;
    return readName(p, end, color);
}

// True when a number text of a nonzero value was read as zero or a subnormal
// (the range error of underflow).
bool underflowed(const char* number, std::size_t length, double value) {
    if (std::fabs(value) >= DBL_MIN)
        return false;
    for (std::size_t i = 0; i < length && number[i] != 'e' && number[i] != 'E'; ++i)
        if (number[i] >= '1' && number[i] <= '9')
            return true;
    return false;
}

uint8_t toByte(float component) {
    double v = component * 255.9999;
    if (!(v > 0))
        return 0; // also NaN
    if (v >= 255)
        return 255;
    return static_cast<uint8_t>(v);
}

} // namespace

bool LookupColorKeyword(const char* name, std::size_t length, uint32_t& packed) {
    if (!name || length == 0 || length > kMaxNameLength)
        return false;
    char lower[kMaxNameLength];
    for (std::size_t i = 0; i < length; ++i)
        lower[i] = toLowerAscii(name[i]);
    const auto& map = keywordMap();
    auto found = map.find(std::string_view(lower, length));
    if (found == map.end())
        return false;
    packed = found->second;
    return true;
}

bool ReadCssColor(const char* text, const char** end, SvgRgba& color) {
    const char* stop = nullptr;
    SvgRgba read;
    if (!parseColor(text, &stop, read))
        return false;
    color = read;
    if (end)
        *end = stop;
    return true;
}

bool ParseColorArgb(const char* text, uint32_t& argb) {
    const char* end = nullptr;
    SvgRgba c;
    if (!ReadCssColor(text, &end, c) || *skipSpace(end))
        return false;
    argb = uint32_t(c.a) << 24 | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
    return true;
}

uint32_t ParseColor(const char* text, const char** end, uint32_t defaultValue) {
    SvgRgba c;
    if (!ReadCssColor(text, end, c))
        return defaultValue;
    return uint32_t(c.r) << 24 | uint32_t(c.g) << 16 | uint32_t(c.b) << 8;
}

uint32_t ReadColor(const char* text, const char** end, uint32_t defaultValue) {
    return ParseColor(text, end, defaultValue);
}

void SetPacked(SvgColor& color, uint32_t packed) {
    color.r = static_cast<float>((packed >> 24) / 255.0);
    color.g = static_cast<float>(((packed >> 16) & 255) / 255.0);
    color.b = static_cast<float>(((packed >> 8) & 255) / 255.0);
    color.a = 1.0f;
}

void SetRgba(SvgColor& color, const SvgRgba& rgba) {
    SetPacked(color, uint32_t(rgba.r) << 24 | uint32_t(rgba.g) << 16 | uint32_t(rgba.b) << 8);
    color.a = static_cast<float>(rgba.a / 255.0);
}

uint32_t ToArgb(const SvgColor& color, unsigned int alpha) {
    uint32_t a = alpha > 255 ? 255 : alpha;
    // The colour's own alpha multiplies the opacity's.
    if (color.a < 1)
        a = color.a > 0 ? uint32_t(std::floor(a * double(color.a) + 0.5)) : 0;
    return a << 24 | uint32_t(toByte(color.r)) << 16 | uint32_t(toByte(color.g)) << 8 |
           uint32_t(toByte(color.b));
}

bool ReadIccColor(const char* text, const char** end, SvgIccColor* record) {
    if (end)
        *end = text;
    if (record)
        record->components.clear();
    auto fail = [record] {
        if (record)
            record->components.clear();
        return false;
    };
    if (!text)
        return fail();

    const char* p = skipSpace(text);
    if (!startsWith(p, "icc-color("))
        return fail();
    p = skipSpace(p + 10);

    if (!isAsciiLetter(*p))
        return fail();
    const char* name = p;
    while (isAsciiLetter(*p) || isAsciiDigit(*p) || *p == '-')
        ++p;
    if (record)
        record->profileName.append(name, p);

    auto skipSeparators = [](const char* q) {
        while (isSpace(*q) || *q == ',')
            ++q;
        return q;
    };
    p = skipSeparators(p);
    while (isAsciiDigit(*p) || *p == '.' || *p == '-' || *p == '+') {
        double value = 0;
        std::size_t used = SvgNumberText::Scan(p, value);
        // A sign or point without a number, or a range error, fails the read.
        if (used == 0 || underflowed(p, used, value))
            return fail();
        if (record)
            record->components.push_back(value);
        p = skipSeparators(p + used);
    }
    p = skipSpace(p);
    if (*p != ')')
        return fail();
    if (end)
        *end = p + 1;
    return true;
}

std::optional<std::string> ReadUrl(const char* text, const char** end) {
    if (!text || std::strlen(text) < 4 || !startsWith(text, "url"))
        return std::nullopt;
    const char* p = skipBlanks(text + 3);
    if (*p != '(')
        return std::nullopt;
    p = skipBlanks(p + 1);

    const char* content = p;
    const char* contentEnd = nullptr;
    const char* after = nullptr;
    // The closing quote or parenthesis is searched from the content's second
    // character on; an empty content has none.
    if (!*content)
        return std::nullopt;
    if (*content == '\'' || *content == '"') {
        char quote = *content++;
        if (!*content)
            return std::nullopt;
        const char* close = std::strchr(content + 1, quote);
        if (!close)
            return std::nullopt;
        contentEnd = close;
        const char* q = skipBlanks(close + 1);
        if (*q != ')')
            return std::nullopt;
        after = q + 1;
    } else {
        const char* close = std::strchr(content + 1, ')');
        if (!close)
            return std::nullopt;
        contentEnd = close;
        while (contentEnd > content && (contentEnd[-1] == ' ' || contentEnd[-1] == '\t'))
            --contentEnd;
        after = close + 1;
    }
    if (end)
        *end = after;
    if (contentEnd - content <= 1)
        return std::string();
    return std::string(content + 1, contentEnd);
}

void ResetPaint(SvgPaint& paint) {
    paint.set = 0;
    paint.inherit = 0;
    paint.currentColor = 0;
    paint.colorSet = 0;
    paint.noneSet = 0;
    paint.context = 0;
    paint.uri.clear();
    paint.color = SvgColor();
}

void ReadPaint(SvgPaint& paint, const char* text) {
    ResetPaint(paint);
    if (!text)
        return;
    const char* p = skipSpace(text);
    if (std::strcmp(p, "inherit") == 0) {
        paint.set = 1;
        paint.inherit = 1;
        return;
    }
    if (startsWith(p, "url")) {
        const char* after = p;
        std::optional<std::string> reference = ReadUrl(p, &after);
        if (reference) {
            if (!reference->empty()) {
                paint.set = 1;
                paint.uri = *reference;
            }
            p = skipSpace(after);
        }
    }
    if (strcasecmp(p, "currentColor") == 0) {
        paint.set = 1;
        paint.currentColor = 1;
        return;
    }
    if (std::strcmp(p, "none") == 0) {
        paint.set = 1;
        paint.noneSet = 1;
        return;
    }
    if (std::strcmp(p, "context-fill") == 0 || std::strcmp(p, "context-stroke") == 0) {
        paint.set = 1;
        paint.context = unsigned(p[8] == 'f' ? SvgContextPaint::Fill : SvgContextPaint::Stroke);
        return;
    }
    const char* after = p;
    SvgRgba rgba;
    if (!ReadCssColor(p, &after, rgba))
        return;
    SetRgba(paint.color, rgba);
    paint.set = 1;
    paint.colorSet = 1;
    const char* q = skipSpace(after);
    if (startsWith(q, "icc-color(")) {
        auto icc = std::make_unique<SvgIccColor>();
        const char* iccEnd = q;
        if (ReadIccColor(q, &iccEnd, icc.get()))
            paint.color.icc = std::move(icc);
    }
}

void ReadColorProperty(SvgPaint& paint, const char* text) {
    paint.currentColor = 0;
    if (!text)
        return;
    if (std::strcmp(text, "inherit") == 0) {
        paint.set = 1;
        paint.inherit = 1;
        return;
    }
    SvgRgba rgba;
    if (!ReadCssColor(text, nullptr, rgba))
        return;
    SetRgba(paint.color, rgba);
    paint.set = 1;
    paint.colorSet = 1;
    paint.inherit = 0;
}

void ReadFilter(SvgStringValue& value, const char* text) {
    if (!text)
        return;
    if (std::strcmp(text, "inherit") == 0) {
        value.set = 1;
        value.inherit = 1;
        value.value.clear();
    } else if (std::strcmp(text, "none") == 0) {
        value.set = 1;
        value.inherit = 0;
        value.value.clear();
    } else if (startsWith(text, "url")) {
        value.set = 1;
        value.inherit = 0;
        value.value = ReadUrl(text, nullptr).value_or(std::string());
    }
}
