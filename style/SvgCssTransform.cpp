#include "style/SvgCssTransform.h"

#include "style/SvgValueReaders.h"
#include "syntax/SvgNumberText.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string Lower(const char* first, const char* last) {
    std::string out(first, last);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

const char* SkipSpace(const char* p) {
    while (IsSpace(*p))
        ++p;
    return p;
}

// A number and the unit right after it (letters or '%', lower case).
struct Value {
    double number = 0;
    std::string unit;
};

// Reads one value at p; null when there is none.
const char* ReadValue(const char* p, Value& value) {
    if (IsSpace(*p))
        return nullptr;
    size_t used = SvgNumberText::Scan(p, value.number);
    if (used == 0)
        return nullptr;
    p += used;
    const char* unit = p;
    if (*p == '%')
        ++p;
    else
        while (IsLetter(*p))
            ++p;
    value.unit = Lower(unit, p);
    return p;
}

// A length in user units; false for another unit, or none on a number other than 0.
bool Length(const Value& v, const SvgCssTransform::Context& context, double box, double& out) {
    static const struct {
        const char* name;
        SvgUnit unit;
    } kAbsolute[] = {{"px", SvgUnitPx}, {"pt", SvgUnitPt}, {"pc", SvgUnitPc},
                     {"mm", SvgUnitMm}, {"cm", SvgUnitCm}, {"in", SvgUnitIn}};
    if (v.unit.empty()) {
        out = 0;
        return v.number == 0;
    }
    for (const auto& a : kAbsolute) {
        if (v.unit == a.name) {
            out = SvgResolution::UserUnits(v.number, a.unit);
            return true;
        }
    }
    if (v.unit == "em" || v.unit == "ex") {
        out = v.number * context.fontSize * (v.unit == "ex" ? 0.5 : 1.0);
        return true;
    }
    if (v.unit == "%") {
        out = v.number / 100 * box;
        return true;
    }
    return false;
}

// An angle in radians.
bool Angle(const Value& v, double& out) {
    if (v.unit.empty()) {
        out = 0;
        return v.number == 0;
    }
    double perUnit = v.unit == "deg"    ? kPi / 180
                     : v.unit == "rad"  ? 1
                     : v.unit == "grad" ? kPi / 200
                     : v.unit == "turn" ? 2 * kPi
                                        : 0;
    out = v.number * perUnit;
    return perUnit != 0;
}

bool Number(const Value& v, double& out) {
    out = v.number;
    return v.unit.empty();
}

// The matrix of one function from its arguments.
bool Function(const std::string& name, const std::vector<Value>& args,
              const SvgCssTransform::Context& context, SvgMatrix& m) {
    size_t n = args.size();
    double a = 0, b = 0;
    if (name == "translate" && (n == 1 || n == 2)) {
        if (!Length(args[0], context, context.boxWidth, a) ||
            (n == 2 && !Length(args[1], context, context.boxHeight, b)))
            return false;
        m = SvgMatrix(1, 0, 0, 1, a, b);
    } else if ((name == "translatex" || name == "translatey") && n == 1) {
        bool x = name == "translatex";
        if (!Length(args[0], context, x ? context.boxWidth : context.boxHeight, a))
            return false;
        m = SvgMatrix(1, 0, 0, 1, x ? a : 0, x ? 0 : a);
    } else if (name == "scale" && (n == 1 || n == 2)) {
        if (!Number(args[0], a) || (n == 2 && !Number(args[1], b)))
            return false;
        m = SvgMatrix(a, 0, 0, n == 2 ? b : a, 0, 0);
    } else if ((name == "scalex" || name == "scaley") && n == 1) {
        if (!Number(args[0], a))
            return false;
        m = name == "scalex" ? SvgMatrix(a, 0, 0, 1, 0, 0) : SvgMatrix(1, 0, 0, a, 0, 0);
    } else if (name == "rotate" && n == 1) {
        if (!Angle(args[0], a))
            return false;
        m = SvgMatrix(std::cos(a), std::sin(a), -std::sin(a), std::cos(a), 0, 0);
    } else if (name == "skew" && (n == 1 || n == 2)) {
        if (!Angle(args[0], a) || (n == 2 && !Angle(args[1], b)))
            return false;
        m = SvgMatrix(1, std::tan(b), std::tan(a), 1, 0, 0);
    } else if ((name == "skewx" || name == "skewy") && n == 1) {
        if (!Angle(args[0], a))
            return false;
        m = name == "skewx" ? SvgMatrix(1, 0, std::tan(a), 1, 0, 0)
                            : SvgMatrix(1, std::tan(a), 0, 1, 0, 0);
    } else if (name == "matrix" && n == 6) {
        double v[6];
        for (size_t i = 0; i < 6; ++i)
            if (!Number(args[i], v[i]))
                return false;
        m = SvgMatrix(v[0], v[1], v[2], v[3], v[4], v[5]);
    } else {
        return false;
    }
    return true;
}

// A keyword of transform-origin: its axis (0 x, 1 y, 2 either) and its share.
bool OriginKeyword(const std::string& word, int& axis, double& share) {
    static const struct {
        const char* name;
        int axis;
        double share;
    } kWords[] = {
        {"left", 0, 0}, {"right", 0, 1}, {"top", 1, 0}, {"bottom", 1, 1}, {"center", 2, 0.5}};
    for (const auto& w : kWords) {
        if (word == w.name) {
            axis = w.axis;
            share = w.share;
            return true;
        }
    }
    return false;
}

} // namespace

namespace SvgCssTransform {

bool Parse(const char* text, const Context& context, SvgMatrix& out) {
    if (!text)
        return false;
    const char* p = SkipSpace(text);
    const char* word = p;
    while (IsLetter(*p))
        ++p;
    if (Lower(word, p) == "none" && !*SkipSpace(p)) {
        out = SvgMatrix();
        return true;
    }
    p = word;
    SvgMatrix product;
    bool any = false;
    while (*(p = SkipSpace(p))) {
        const char* name = p;
        while (IsLetter(*p))
            ++p;
        if (p == name || *p != '(')
            return false;
        std::string function = Lower(name, p);
        std::vector<Value> args;
        p = SkipSpace(p + 1);
        while (*p != ')') {
            if (!args.empty()) {
                if (*p != ',')
                    return false;
                p = SkipSpace(p + 1);
            }
            Value value;
            if (args.size() >= 6 || !(p = ReadValue(p, value)))
                return false;
            args.push_back(value);
            p = SkipSpace(p);
        }
        ++p;
        SvgMatrix m;
        if (!Function(function, args, context, m))
            return false;
        product = product.multiply(m);
        any = true;
    }
    const double all[6] = {product.getA(), product.getB(), product.getC(),
                           product.getD(), product.getE(), product.getF()};
    if (!any || !std::all_of(all, all + 6, [](double v) { return std::isfinite(v); }))
        return false;
    out = product;
    return true;
}

bool ParseOrigin(const char* text, const Context& context, double& x, double& y) {
    if (!text)
        return false;
    // Up to three items: a keyword (axis, share) or a length.
    struct Item {
        bool keyword = false;
        int axis = 2;
        double share = 0;
        Value value;
    };
    std::vector<Item> items;
    for (const char* p = SkipSpace(text); *p; p = SkipSpace(p)) {
        Item item;
        if (IsLetter(*p)) {
            const char* start = p;
            while (IsLetter(*p))
                ++p;
            item.keyword = OriginKeyword(Lower(start, p), item.axis, item.share);
            if (!item.keyword)
                return false;
        } else if (!(p = ReadValue(p, item.value))) {
            return false;
        }
        if (items.size() == 3)
            return false;
        items.push_back(item);
    }
    if (items.empty())
        return false;
    // The third value is a length along z.
    double ignored = 0;
    if (items.size() == 3 && (items[2].keyword || !Length(items[2].value, context, 0, ignored) ||
                              items[2].value.unit == "%"))
        return false;
    // Which item goes to which axis: keywords of y first, or x second, swap.
    const Item* forX = &items[0];
    const Item* forY = items.size() > 1 ? &items[1] : nullptr;
    if (items.size() == 1) {
        if (forX->keyword && forX->axis == 1) {
            forY = forX;
            forX = nullptr;
        }
    } else if ((forX->keyword && forX->axis == 1) || (forY->keyword && forY->axis == 0)) {
        if (!forX->keyword || !forY->keyword)
            return false; // a length before a vertical keyword, or after a horizontal one
        std::swap(forX, forY);
    }
    if ((forX && forX->keyword && forX->axis == 1) || (forY && forY->keyword && forY->axis == 0))
        return false;
    auto resolve = [&](const Item* item, double box, double& out) {
        if (!item) {
            out = box / 2;
            return true;
        }
        if (item->keyword) {
            out = item->share * box;
            return true;
        }
        return Length(item->value, context, box, out);
    };
    double ox = 0, oy = 0;
    if (!resolve(forX, context.boxWidth, ox) || !resolve(forY, context.boxHeight, oy))
        return false;
    x = ox;
    y = oy;
    return true;
}

std::string OriginFromAttribute(const char* text) {
    std::string out;
    for (const char* p = text; *p;) {
        Value value;
        const char* end = IsSpace(*p) || IsLetter(*p) ? nullptr : ReadValue(p, value);
        if (!end) {
            out += *p++;
            continue;
        }
        out.append(p, end);
        if (value.unit.empty())
            out += "px";
        p = end;
    }
    return out;
}

} // namespace SvgCssTransform
