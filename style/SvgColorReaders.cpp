#include "style/SvgColorReaders.h"

#include "style/SvgColorKeywords.h"
#include "style/SvgStringValue.h"
#include "syntax/SvgCharClass.h"
#include "syntax/SvgNumberText.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <string_view>
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

bool readHex(const char* p, const char** end, uint32_t& packed) {
    const char* digits = p + 1;
    const char* q = digits;
    while (hexDigitValue(*q) >= 0)
        ++q;
    std::size_t count = static_cast<std::size_t>(q - digits);
    uint32_t rgb[3];
    if (count == 3) {
        for (int i = 0; i < 3; ++i)
            rgb[i] = static_cast<uint32_t>(hexDigitValue(digits[i]) * 17);
    } else if (count == 6) {
        for (int i = 0; i < 3; ++i)
            rgb[i] = static_cast<uint32_t>(hexDigitValue(digits[2 * i]) * 16 +
                                           hexDigitValue(digits[2 * i + 1]));
    } else {
        return false;
    }
    packed = rgb[0] << 24 | rgb[1] << 16 | rgb[2] << 8;
    *end = q;
    return true;
}

// One rgb() component: a number, optionally followed at once by '%', then
// white space, then the separator.
bool readComponent(const char*& p, char separator, double& value, bool& percent) {
    std::size_t used = SvgNumberText::Scan(p, value);
    if (used == 0)
        return false;
    p += used;
    percent = *p == '%';
    if (percent)
        ++p;
    p = skipSpace(p);
    if (*p != separator)
        return false;
    ++p;
    return true;
}

bool readRgb(const char* p, const char** end, uint32_t& packed) {
    p += 4; // "rgb("
    double v[3];
    bool pct[3];
    if (!readComponent(p, ',', v[0], pct[0]))
        return false;
    p = skipSpace(p);
    if (!readComponent(p, ',', v[1], pct[1]))
        return false;
    p = skipSpace(p);
    if (!readComponent(p, ')', v[2], pct[2]))
        return false;

    uint32_t bytes[3];
    if (pct[0] && pct[1] && pct[2]) {
        for (int i = 0; i < 3; ++i) {
            double c = v[i] < 0 ? 0 : (v[i] > 100 ? 100 : v[i]);
            bytes[i] = static_cast<uint32_t>(c * 2.559999);
        }
    } else if (!pct[0] && !pct[1] && !pct[2]) {
        for (int i = 0; i < 3; ++i)
            bytes[i] = static_cast<uint32_t>(v[i] < 0 ? 0 : (v[i] > 255 ? 255 : v[i]));
    } else {
        return false;
    }
    packed = bytes[0] << 24 | bytes[1] << 16 | bytes[2] << 8;
    *end = p;
    return true;
}

bool readName(const char* p, const char** end, uint32_t& packed) {
    std::size_t n = 0;
    while (n < kMaxNameLength && p[n] && p[n] != ';' && !isSpace(p[n]))
        ++n;
    if (!LookupColorKeyword(p, n, packed))
        return false;
    *end = p + n;
    return true;
}

bool parseColor(const char* text, const char** end, uint32_t& packed) {
    if (!text)
        return false;
    const char* p = text;
    while (*p >= 1 && *p <= 32)
        ++p;
    if (!*p)
        return false;
    if (*p == '#')
        return readHex(p, end, packed);
    if (startsWith(p, "rgb("))
        return readRgb(p, end, packed);
    return readName(p, end, packed);
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

uint32_t ParseColor(const char* text, const char** end, uint32_t defaultValue) {
    const char* stop = nullptr;
    uint32_t packed = 0;
    if (!parseColor(text, &stop, packed))
        return defaultValue;
    if (end)
        *end = stop;
    return packed;
}

uint32_t ReadColor(const char* text, const char** end, uint32_t defaultValue) {
    return ParseColor(text, end, defaultValue);
}

void SetPacked(SvgColor& color, uint32_t packed) {
    color.r = static_cast<float>((packed >> 24) / 255.0);
    color.g = static_cast<float>(((packed >> 16) & 255) / 255.0);
    color.b = static_cast<float>(((packed >> 8) & 255) / 255.0);
}

uint32_t ToArgb(const SvgColor& color, unsigned int alpha) {
    uint32_t a = alpha > 255 ? 255 : alpha;
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
    if (std::strcmp(p, "currentColor") == 0) {
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
    uint32_t packed = ReadColor(p, &after, kNoColor);
    if (packed == kNoColor)
        return;
    SetPacked(paint.color, packed);
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
    uint32_t packed = ReadColor(text, nullptr, kNoColor);
    if (packed == kNoColor)
        return;
    SetPacked(paint.color, packed);
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
