#include "style/SvgFilterFunctions.h"

#include "style/SvgColorReaders.h"
#include "style/SvgStringValue.h"
#include "syntax/SvgNumberText.h"

#include <cmath>
#include <cstring>
#include <strings.h>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

const char* SkipSpace(const char* p) {
    while (IsSpace(*p))
        ++p;
    return p;
}

// A number at p, and the letters or % after it (its unit).
bool ReadNumber(const char*& p, double& value, std::string& unit) {
    size_t n = SvgNumberText::MatchDecimal(p, p + std::strlen(p));
    if (n == 0 || !SvgNumberText::Convert(p, p + n, value))
        return false;
    p += n;
    unit.clear();
    while ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || *p == '%')
        unit += char(*p >= 'A' && *p <= 'Z' ? *p - 'A' + 'a' : *p), ++p;
    return true;
}

// A length in user units (a number alone counts as pixels).
bool ReadLength(const char*& p, double& out) {
    double v;
    std::string unit;
    if (!ReadNumber(p, v, unit))
        return false;
    static const struct {
        const char* unit;
        double scale;
    } kUnits[] = {{"", 1},           {"px", 1},       {"in", 96}, {"cm", 96 / 2.54},
                  {"mm", 96 / 25.4}, {"pt", 4.0 / 3}, {"pc", 16}};
    for (const auto& u : kUnits)
        if (unit == u.unit) {
            out = v * u.scale;
            return std::isfinite(out);
        }
    return false;
}

// A colour at p (keyword, #hex or a function such as rgb()), read whole.
bool ReadColorAt(const char*& p, uint32_t& packed) {
    const char* q = p;
    while (*q && !IsSpace(*q) && *q != ')' && *q != '(')
        ++q;
    if (*q == '(') {
        const char* close = std::strchr(q, ')');
        if (!close)
            return false;
        q = close + 1;
    }
    std::string token(p, size_t(q - p));
    const char* end = token.c_str();
    uint32_t c = ReadColor(token.c_str(), &end, kNoColor);
    if (c == kNoColor || *SkipSpace(end) != '\0')
        return false;
    packed = c;
    p = q;
    return true;
}

// The arguments of one function, p after its "(": true with p after ")".
bool ReadArguments(SvgFilterFunction& f, const char*& p) {
    p = SkipSpace(p);
    if (f.type == SvgFilterFunction::DropShadow) {
        bool colored = false;
        if (ReadColorAt(p, f.color))
            colored = true;
        p = SkipSpace(p);
        double lengths[3] = {0, 0, 0};
        int count = 0;
        while (count < 3 && *p != ')' && ReadLength(p, lengths[count])) {
            ++count;
            p = SkipSpace(p);
        }
        if (count < 2 || lengths[2] < 0)
            return false;
        if (!colored && *p != ')') {
            if (!ReadColorAt(p, f.color))
                return false;
            colored = true;
        }
        f.currentColor = !colored;
        f.dx = lengths[0];
        f.dy = lengths[1];
        f.amount = lengths[2];
    } else if (*p != ')') {
        double v;
        std::string unit;
        if (f.type == SvgFilterFunction::Blur) {
            if (!ReadLength(p, v) || v < 0)
                return false;
        } else if (f.type == SvgFilterFunction::HueRotate) {
            if (!ReadNumber(p, v, unit))
                return false;
            if (unit == "rad")
                v *= 180 / M_PI;
            else if (unit == "grad")
                v *= 0.9;
            else if (unit == "turn")
                v *= 360;
            else if (!unit.empty() && unit != "deg")
                return false;
        } else {
            if (!ReadNumber(p, v, unit) || v < 0 || !(unit.empty() || unit == "%"))
                return false;
            if (unit == "%")
                v /= 100;
            // Amounts past 100 % mean 100 % for these.
            if (f.type == SvgFilterFunction::Grayscale || f.type == SvgFilterFunction::Invert ||
                f.type == SvgFilterFunction::Opacity || f.type == SvgFilterFunction::Sepia)
                v = std::min(v, 1.0);
        }
        f.amount = v;
    }
    p = SkipSpace(p);
    if (*p != ')')
        return false;
    ++p;
    return true;
}

} // namespace

bool ParseFilterFunctions(const char* text, std::vector<SvgFilterFunction>& out) {
    out.clear();
    if (!text)
        return false;
    const char* p = SkipSpace(text);
    size_t length = std::strlen(p);
    while (length > 0 && IsSpace(p[length - 1]))
        --length;
    if (length == 4 && strncasecmp(p, "none", 4) == 0)
        return true;
    static const struct {
        const char* name;
        SvgFilterFunction::Type type;
        double initial;
    } kFunctions[] = {
        {"blur", SvgFilterFunction::Blur, 0},
        {"brightness", SvgFilterFunction::Brightness, 1},
        {"contrast", SvgFilterFunction::Contrast, 1},
        {"drop-shadow", SvgFilterFunction::DropShadow, 0},
        {"grayscale", SvgFilterFunction::Grayscale, 1},
        {"hue-rotate", SvgFilterFunction::HueRotate, 0},
        {"invert", SvgFilterFunction::Invert, 1},
        {"opacity", SvgFilterFunction::Opacity, 1},
        {"saturate", SvgFilterFunction::Saturate, 1},
        {"sepia", SvgFilterFunction::Sepia, 1},
    };
    while (*p) {
        SvgFilterFunction f;
        if (strncasecmp(p, "url", 3) == 0) {
            const char* end = p;
            std::optional<std::string> id = ReadUrl(p, &end);
            if (!id || id->empty())
                return false;
            f.id = *id;
            p = end;
        } else {
            const char* open = std::strchr(p, '(');
            if (!open)
                return false;
            bool known = false;
            for (const auto& entry : kFunctions)
                if (size_t(open - p) == std::strlen(entry.name) &&
                    strncasecmp(p, entry.name, size_t(open - p)) == 0) {
                    f.type = entry.type;
                    f.amount = entry.initial;
                    known = true;
                }
            p = open + 1;
            if (!known || !ReadArguments(f, p))
                return false;
        }
        out.push_back(f);
        p = SkipSpace(p);
    }
    return !out.empty();
}

void ReadFilterProperty(SvgStringValue& value, const char* text) {
    if (!text)
        return;
    std::vector<SvgFilterFunction> functions;
    if (std::strcmp(text, "inherit") == 0) {
        value.set = 1;
        value.inherit = 1;
        value.value.clear();
    } else if (ParseFilterFunctions(text, functions)) {
        std::string written = SkipSpace(text);
        written.erase(written.find_last_not_of(" \t\n\r\f") + 1);
        value.set = 1;
        value.inherit = 0;
        value.value = functions.empty() ? std::string() : written;
    }
}
