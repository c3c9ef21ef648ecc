#include "style/SvgCssConditions.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Results of conditions: unknown (an unknown feature or a malformed value in
// parentheses) counts as false at the end but is not turned true by "not".
enum Value { kFalse, kTrue, kUnknown, kInvalid };

// Deepest nesting of parentheses taken apart; deeper ones are unknown.
constexpr int kMaxDepth = 16;

// Decides the text inside parentheses, or a whole "function(…)".
using Leaf = std::function<Value(const std::string&, bool function)>;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string text) {
    for (char& c : text)
        c = Lower(c);
    return text;
}

std::string Trimmed(const std::string& text, size_t begin, size_t end) {
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    return text.substr(begin, end - begin);
}

bool IsIdentChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

// Position of the ")" closing the "(" at pos (strings passed over), or npos.
size_t Closing(const std::string& t, size_t pos, size_t end) {
    int level = 0;
    for (size_t i = pos; i < end; ++i) {
        char c = t[i];
        if (c == '"' || c == '\'') {
            while (++i < end && t[i] != c)
                i += t[i] == '\\' ? 1 : 0;
        } else if (c == '\\') {
            ++i;
        } else if (c == '(') {
            ++level;
        } else if (c == ')' && --level == 0) {
            return i;
        }
    }
    return std::string::npos;
}

class Parser {
public:
    Parser(const std::string& text, const Leaf& leaf) : m_t(text), m_leaf(leaf) {}

    // "not (…)", or "(…)" joined by "and", or by "or" where allowed.
    Value Condition(size_t& pos, size_t end, bool allowOr, int depth) {
        Skip(pos, end);
        if (Keyword(pos, end, "not")) {
            Value v = InParens(pos, end, depth);
            Skip(pos, end);
            if (pos < end)
                return kInvalid; // "not (a) and (b)" needs parentheses
            return v == kTrue ? kFalse : v == kFalse ? kTrue : v;
        }
        Value v = InParens(pos, end, depth);
        int joiner = 0; // 1 "and", 2 "or": not mixed without parentheses
        for (;;) {
            if (v == kInvalid)
                return v;
            Skip(pos, end);
            if (pos >= end)
                return v;
            int j = Keyword(pos, end, "and") ? 1 : Keyword(pos, end, "or") ? 2 : 0;
            if (j == 0 || (j == 2 && !allowOr) || (joiner && joiner != j))
                return kInvalid;
            joiner = j;
            Value w = InParens(pos, end, depth);
            if (w == kInvalid)
                return w;
            if (j == 1)
                v = v == kFalse || w == kFalse ? kFalse
                    : v == kTrue && w == kTrue ? kTrue
                                               : kUnknown;
            else
                v = v == kTrue || w == kTrue     ? kTrue
                    : v == kFalse && w == kFalse ? kFalse
                                                 : kUnknown;
        }
    }

    // The word at pos (any case) followed by a space; passes over both.
    bool Keyword(size_t& pos, size_t end, const char* word) const {
        size_t n = std::strlen(word);
        if (pos + n >= end || m_t[pos + n] != ' ')
            return false;
        for (size_t i = 0; i < n; ++i) {
            if (Lower(m_t[pos + i]) != word[i])
                return false;
        }
        pos += n + 1;
        Skip(pos, end);
        return true;
    }

    void Skip(size_t& pos, size_t end) const {
        while (pos < end && m_t[pos] == ' ')
            ++pos;
    }

private:
    // "(condition)", "(leaf)" or "function(…)".
    Value InParens(size_t& pos, size_t end, int depth) {
        Skip(pos, end);
        size_t start = pos;
        while (pos < end && IsIdentChar(m_t[pos]))
            ++pos;
        if (pos >= end || m_t[pos] != '(')
            return kInvalid;
        size_t close = Closing(m_t, pos, end);
        if (close == std::string::npos)
            return kInvalid;
        size_t open = pos;
        pos = close + 1;
        if (open > start) // a function: the leaf decides
            return m_leaf(m_t.substr(start, close + 1 - start), true);
        size_t inner = open + 1;
        Skip(inner, close);
        if (depth < kMaxDepth && inner < close && (m_t[inner] == '(' || Lower(m_t[inner]) == 'n')) {
            size_t p = inner;
            Value v = Condition(p, close, true, depth + 1);
            if (v != kInvalid)
                return v;
            if (m_t[inner] == '(')
                return kUnknown;
        } else if (depth >= kMaxDepth) {
            return kUnknown;
        }
        return m_leaf(Trimmed(m_t, open + 1, close), false);
    }

    const std::string& m_t;
    const Leaf& m_leaf;
};

// A length in pixels (em as 16 pixels), a number, a ratio or a resolution
// in dots per pixel; false when text is none of the kind.
enum Kind { kLength, kNumber, kRatio, kResolution, kKeyword };

bool ReadQuantity(const std::string& text, Kind kind, double width, double height, double& out) {
    const char* s = text.c_str();
    char* rest = nullptr;
    double v = std::strtod(s, &rest);
    if (rest == s || !std::isfinite(v) ||
        (*s != '+' && *s != '-' && *s != '.' && (*s < '0' || *s > '9')))
        return false;
    std::string unit = Lowered(Trimmed(rest, 0, std::strlen(rest)));
    if (kind == kRatio) {
        out = v;
        if (unit.empty())
            return v >= 0;
        if (unit[0] != '/')
            return false;
        std::string second = Trimmed(unit, 1, unit.size());
        char* end = nullptr;
        double q = std::strtod(second.c_str(), &end);
        if (end == second.c_str() || *end || q < 0 || v < 0)
            return false;
        out = q == 0 ? HUGE_VAL : v / q;
        return true;
    }
    if (kind == kNumber) {
        out = v;
        return unit.empty();
    }
    static const struct {
        const char* unit;
        double factor;
        Kind kind;
    } kUnits[] = {{"px", 1, kLength},
                  {"em", 16, kLength},
                  {"rem", 16, kLength},
                  {"ex", 8, kLength},
                  {"ch", 8, kLength},
                  {"in", 96, kLength},
                  {"cm", 96 / 2.54, kLength},
                  {"mm", 9.6 / 2.54, kLength},
                  {"q", 2.4 / 2.54, kLength},
                  {"pt", 96.0 / 72, kLength},
                  {"pc", 16, kLength},
                  {"dppx", 1, kResolution},
                  {"x", 1, kResolution},
                  {"dpi", 1.0 / 96, kResolution},
                  {"dpcm", 2.54 / 96, kResolution}};
    if (kind == kLength && unit == "vw") {
        out = v * width / 100;
        return true;
    }
    if (kind == kLength && unit == "vh") {
        out = v * height / 100;
        return true;
    }
    if (unit.empty() && v == 0) {
        out = 0;
        return kind == kLength;
    }
    for (const auto& u : kUnits) {
        if (u.kind == kind && unit == u.unit) {
            out = v * u.factor;
            return true;
        }
    }
    return false;
}

struct Feature {
    Kind kind;
    double actual;     // of ranges
    const char* value; // of keywords
    bool range;        // takes min-/max- and comparisons
};

bool FindFeature(const std::string& name, double width, double height, Feature& f) {
    const double ratio = height > 0 ? width / height : HUGE_VAL;
    struct Entry {
        const char* name;
        Feature feature;
    };
    const Entry kFeatures[] = {
        {"width", {kLength, width, nullptr, true}},
        {"height", {kLength, height, nullptr, true}},
        {"aspect-ratio", {kRatio, ratio, nullptr, true}},
        {"resolution", {kResolution, 1, nullptr, true}},
        {"color", {kNumber, 8, nullptr, true}},
        {"color-index", {kNumber, 0, nullptr, true}},
        {"monochrome", {kNumber, 0, nullptr, true}},
        {"grid", {kNumber, 0, nullptr, false}},
        {"orientation", {kKeyword, 0, height >= width ? "portrait" : "landscape", false}},
        {"prefers-color-scheme", {kKeyword, 0, "light", false}},
        {"prefers-reduced-motion", {kKeyword, 0, "no-preference", false}},
        {"prefers-reduced-transparency", {kKeyword, 0, "no-preference", false}},
        {"prefers-contrast", {kKeyword, 0, "no-preference", false}},
        {"forced-colors", {kKeyword, 0, "none", false}},
        {"inverted-colors", {kKeyword, 0, "none", false}},
    };
    for (const Entry& e : kFeatures) {
        if (name == e.name) {
            f = e.feature;
            return true;
        }
    }
    return false;
}

// a op b, op one of "<", "<=", ">", ">=", "=".
bool Compare(double a, const std::string& op, double b) {
    if (op == "<")
        return a < b;
    if (op == "<=")
        return a <= b;
    if (op == ">")
        return a > b;
    if (op == ">=")
        return a >= b;
    return op == "=" && a == b;
}

// "(width >= 10px)", "(10px < width <= 20px)" and the like.
Value RangeFeature(const std::string& inner, double width, double height) {
    std::string parts[5];
    size_t count = 0, pos = 0;
    for (;;) {
        size_t op = inner.find_first_of("<>=", pos);
        parts[count++] = Trimmed(inner, pos, op == std::string::npos ? inner.size() : op);
        if (op == std::string::npos)
            break;
        if (count == 5)
            return kUnknown;
        size_t opEnd = op + 1 + (inner[op] != '=' && op + 1 < inner.size() && inner[op + 1] == '=');
        parts[count++] = inner.substr(op, opEnd - op);
        pos = opEnd;
    }
    Feature f;
    auto quantity = [&](const std::string& text, double& out) {
        return ReadQuantity(text, f.kind, width, height, out);
    };
    double a, b;
    if (count == 3) {
        bool left = FindFeature(Lowered(parts[0]), width, height, f);
        if (!left && !FindFeature(Lowered(parts[2]), width, height, f))
            return kUnknown;
        if (!f.range || !quantity(parts[left ? 2 : 0], a))
            return kUnknown;
        return (left ? Compare(f.actual, parts[1], a) : Compare(a, parts[1], f.actual)) ? kTrue
                                                                                        : kFalse;
    }
    if (count != 5 || !FindFeature(Lowered(parts[2]), width, height, f) || !f.range ||
        parts[1][0] == '=' || parts[1][0] != parts[3][0] || !quantity(parts[0], a) ||
        !quantity(parts[4], b))
        return kUnknown;
    return Compare(a, parts[1], f.actual) && Compare(f.actual, parts[3], b) ? kTrue : kFalse;
}

Value MediaFeature(const std::string& inner, double width, double height) {
    size_t colon = inner.find(':');
    if (colon == std::string::npos) {
        if (inner.find_first_of("<>=") != std::string::npos)
            return RangeFeature(inner, width, height);
        Feature f;
        if (!FindFeature(Lowered(inner), width, height, f))
            return kUnknown;
        if (f.kind == kKeyword)
            return std::strcmp(f.value, "none") && std::strcmp(f.value, "no-preference") ? kTrue
                                                                                         : kFalse;
        return f.actual != 0 ? kTrue : kFalse;
    }
    std::string name = Lowered(Trimmed(inner, 0, colon));
    std::string value = Trimmed(inner, colon + 1, inner.size());
    int bound = 0; // -1 min-, 1 max-
    if (name.compare(0, 4, "min-") == 0 || name.compare(0, 4, "max-") == 0) {
        bound = name[1] == 'i' ? -1 : 1;
        name.erase(0, 4);
    }
    Feature f;
    if (!FindFeature(name, width, height, f) || (bound && !f.range) || value.empty())
        return kUnknown;
    if (f.kind == kKeyword)
        return Lowered(value) == f.value ? kTrue : kFalse;
    double v;
    if (!ReadQuantity(value, f.kind, width, height, v))
        return kUnknown;
    bool holds = bound < 0 ? f.actual >= v : bound > 0 ? f.actual <= v : f.actual == v;
    return holds ? kTrue : kFalse;
}

// One media query of a list.
Value MediaQuery(const std::string& q, double width, double height) {
    Leaf leaf = [&](const std::string& inner, bool function) {
        return function || inner.find('(') != std::string::npos
                   ? kUnknown
                   : MediaFeature(inner, width, height);
    };
    Parser parser(q, leaf);
    size_t pos = 0, end = q.size();
    if (end == 0)
        return kInvalid;
    size_t probe = 0;
    if (q[0] == '(' || (parser.Keyword(probe, end, "not") && probe < end && q[probe] == '('))
        return parser.Condition(pos, end, true, 0);
    auto ident = [&]() {
        size_t start = pos;
        while (pos < end && IsIdentChar(q[pos]))
            ++pos;
        std::string word = Lowered(q.substr(start, pos - start));
        parser.Skip(pos, end);
        return word;
    };
    std::string type = ident();
    bool negated = false;
    if (type == "not" || type == "only") {
        negated = type == "not";
        type = ident();
    }
    if (type.empty() || type == "not" || type == "only" || type == "and" || type == "or" ||
        type == "layer")
        return kInvalid;
    Value v = type == "all" || type == "screen" ? kTrue : kFalse;
    if (pos < end) {
        if (!parser.Keyword(pos, end, "and"))
            return kInvalid;
        Value c = parser.Condition(pos, end, false, 0);
        if (c == kInvalid)
            return c;
        v = v == kTrue && c == kTrue ? kTrue : kFalse;
    }
    return negated ? (v == kTrue ? kFalse : kTrue) : v;
}

} // namespace

namespace SvgCssConditions {

bool MediaHolds(const std::string& queries, double width, double height) {
    if (Trimmed(queries, 0, queries.size()).empty())
        return true;
    size_t pos = 0;
    while (pos <= queries.size()) {
        // Commas inside parentheses belong to their query.
        size_t comma = pos;
        int level = 0;
        while (comma < queries.size() && (queries[comma] != ',' || level > 0)) {
            level += queries[comma] == '(' ? 1 : queries[comma] == ')' && level > 0 ? -1 : 0;
            ++comma;
        }
        if (MediaQuery(Trimmed(queries, pos, comma), width, height) == kTrue)
            return true;
        pos = comma + 1;
    }
    return false;
}

bool SupportsHolds(const std::string& condition,
                   const std::function<bool(const std::string&, const std::string&)>& declaration,
                   const std::function<bool(const std::string&)>& selector) {
    Leaf leaf = [&](const std::string& inner, bool function) {
        if (function && Lowered(inner.substr(0, 9)) == "selector(")
            return selector(Trimmed(inner, 9, inner.size() - 1)) ? kTrue : kFalse;
        size_t colon = inner.find(':');
        if (function || colon == std::string::npos || colon == 0)
            return kUnknown;
        std::string name = Trimmed(inner, 0, colon);
        std::string value = Trimmed(inner, colon + 1, inner.size());
        return !value.empty() && declaration(name, value) ? kTrue : kFalse;
    };
    Parser parser(condition, leaf);
    size_t pos = 0;
    return parser.Condition(pos, condition.size(), true, 0) == kTrue;
}

} // namespace SvgCssConditions
