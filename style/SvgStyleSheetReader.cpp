// Reading style sheet text into the rules of SvgStyleSheet. The text is read
// in one pass with counters for nesting, never recursively, so malformed
// sheets (unbalanced braces, unterminated comments and strings) cost time in
// proportion to their length.
#include "style/SvgStyleSheet.h"

#include "style/SvgAttributeTable.h"
#include "style/SvgCssConditions.h"
#include "style/SvgFontShorthand.h"
#include "style/SvgStyle.h"
#include "style/SvgStyleReader.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

namespace {

// White space of CSS, and the mark that stands for a space inside text elements.
inline bool IsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\x01';
}

inline bool IsNameChar(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c >= 0x80;
}

inline bool IsHexDigit(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

inline unsigned HexValue(char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

inline char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Walks CSS text past comments, strings and nested blocks.
class CssCursor {
public:
    CssCursor(const char* text, size_t length) : m_text(text), m_length(length) {}

    // Position after the comments that start at pos (the length for one that
    // is never closed).
    size_t SkipComments(size_t pos) const {
        while (pos + 1 < m_length && m_text[pos] == '/' && m_text[pos + 1] == '*') {
            const char* close = Find(pos + 2, "*/");
            pos = close ? static_cast<size_t>(close - m_text) + 2 : m_length;
        }
        return pos;
    }

    // Position after the string whose quote is at pos (a string without its
    // closing quote runs to the end of the line or of the text).
    size_t SkipString(size_t pos) const {
        char quote = m_text[pos++];
        while (pos < m_length) {
            char c = m_text[pos];
            if (c == quote)
                return pos + 1;
            if (c == '\n')
                return pos;
            pos += c == '\\' ? 2 : 1;
        }
        return m_length;
    }

    // Position of the first of stops at nesting level 0 from pos (brackets,
    // parentheses and braces nest; comments and strings are passed over), or
    // the length. A closing character with nothing open also stops at level 0
    // when it is among stops.
    size_t FindAtLevel(size_t pos, const char* stops) const {
        long level = 0;
        while (pos < m_length) {
            pos = SkipComments(pos);
            if (pos >= m_length)
                break;
            char c = m_text[pos];
            if (level == 0 && c != '\0' && std::strchr(stops, c))
                return pos;
            if (c == '"' || c == '\'') {
                pos = SkipString(pos);
                continue;
            }
            if (c == '\\') {
                pos += 2;
                continue;
            }
            if (c == '{' || c == '(' || c == '[')
                ++level;
            else if ((c == '}' || c == ')' || c == ']') && level > 0)
                --level;
            ++pos;
        }
        return m_length;
    }

private:
    const char* Find(size_t pos, const char* what) const {
        size_t n = std::strlen(what);
        while (pos + n <= m_length) {
            const void* hit = std::memchr(m_text + pos, what[0], m_length - pos - n + 1);
            if (!hit)
                return nullptr;
            size_t at = static_cast<const char*>(hit) - m_text;
            if (std::memcmp(m_text + at, what, n) == 0)
                return m_text + at;
            pos = at + 1;
        }
        return nullptr;
    }

    const char* m_text;
    size_t m_length;
};

// The text with comments replaced by a space and outer white space removed.
std::string Clean(const char* text, size_t length) {
    std::string out;
    out.reserve(length);
    CssCursor cursor(text, length);
    size_t pos = 0;
    while (pos < length) {
        size_t next = cursor.SkipComments(pos);
        if (next != pos) {
            out += ' ';
            pos = next;
            continue;
        }
        if (text[pos] == '"' || text[pos] == '\'') {
            size_t end = cursor.SkipString(pos);
            out.append(text + pos, end - pos);
            pos = end;
            continue;
        }
        char c = text[pos++];
        out += IsSpace(static_cast<unsigned char>(c)) ? ' ' : c;
    }
    size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

template <class T> inline bool Given(const T& v) {
    return v.set || v.inherit;
}

// Whether style, read from nothing but one declaration of property id,
// specifies that property. Properties read nowhere count as specified.
bool Specifies(const SvgStyle& s, int id) {
    switch (id) {
    case SvgPropFontSpecification:
        return Given(s.text->fontSpecification);
    case SvgPropFont:
        return Given(s.text->font);
    case SvgPropFontFamily:
        return Given(s.text->fontFamily);
    case SvgPropFontSize:
        return Given(s.fontSize);
    case SvgPropFontStretch:
        return Given(s.fontStretch);
    case SvgPropFontStyle:
        return Given(s.fontStyle);
    case SvgPropFontVariant:
        return Given(s.fontVariant);
    case SvgPropFontWeight:
        return Given(s.fontWeight);
    case SvgPropFontVariationSettings:
        return Given(s.text->fontVariationSettings);
    case SvgPropTextIndent:
        return Given(s.textIndent);
    case SvgPropTextAlign:
        return Given(s.textAlign);
    case SvgPropTextDecoration:
        return Given(s.textDecoration);
    case SvgPropLineHeight:
        return Given(s.lineHeight);
    case SvgPropLetterSpacing:
        return Given(s.letterSpacing);
    case SvgPropWordSpacing:
        return Given(s.wordSpacing);
    case SvgPropTextTransform:
        return Given(s.textTransform);
    case SvgPropDirection:
        return Given(s.direction);
    case SvgPropBlockProgression:
        return Given(s.blockProgression);
    case SvgPropWritingMode:
        return Given(s.writingMode);
    case SvgPropTextAnchor:
        return Given(s.textAnchor);
    case SvgPropColor:
        return Given(s.color);
    case SvgPropDisplay:
        return Given(s.display);
    case SvgPropOverflow:
        return Given(s.overflow);
    case SvgPropVisibility:
        return Given(s.visibility);
    case SvgPropOpacity:
        return Given(s.opacity);
    case SvgPropEnableBackground:
        return Given(s.enableBackground);
    case SvgPropFilter:
        return Given(s.filter);
    case SvgPropStopColor:
        return Given(s.stopColor);
    case SvgPropStopOpacity:
        return Given(s.stopOpacity);
    case SvgPropFill:
        return Given(s.fill);
    case SvgPropFillOpacity:
        return Given(s.fillOpacity);
    case SvgPropFillRule:
        return Given(s.fillRule);
    case SvgPropStroke:
        return Given(s.stroke);
    case SvgPropStrokeWidth:
        return Given(s.strokeWidth);
    case SvgPropStrokeLinecap:
        return Given(s.strokeLinecap);
    case SvgPropStrokeLinejoin:
        return Given(s.strokeLinejoin);
    case SvgPropStrokeMiterlimit:
        return Given(s.strokeMiterlimit);
    case SvgPropStrokeDasharray:
        return s.strokeDash.dasharraySet || s.strokeDash.dasharrayInherit;
    case SvgPropStrokeDashoffset:
        return s.strokeDash.dashoffsetSet;
    case SvgPropStrokeOpacity:
        return Given(s.strokeOpacity);
    case SvgPropMarker:
        return Given(s.marker[SvgStyle::MarkerAll]);
    case SvgPropMarkerStart:
        return Given(s.marker[SvgStyle::MarkerStart]);
    case SvgPropMarkerMid:
        return Given(s.marker[SvgStyle::MarkerMid]);
    case SvgPropMarkerEnd:
        return Given(s.marker[SvgStyle::MarkerEnd]);
    case SvgPropClipPath:
        return Given(s.clipPath);
    case SvgPropClipRule:
        return Given(s.clipRule);
    case SvgPropMask:
        return Given(s.mask);
    case SvgPropImageRendering:
        return Given(s.imageRendering);
    case SvgPropTransform:
        return s.transforms && Given(s.transforms->transform);
    case SvgPropTransformOrigin:
        return s.transforms && Given(s.transforms->origin);
    case SvgPropShapeRendering:
        return Given(s.shapeRendering);
    case SvgPropMixBlendMode:
        return Given(s.mixBlendMode);
    case SvgPropIsolation:
        return Given(s.isolation);
    case SvgPropPaintOrder:
        return Given(s.paintOrder);
    case SvgPropUnicodeBidi:
        return Given(s.unicodeBidi);
    case SvgPropFontKerning:
        return Given(s.fontKerning);
    case SvgPropTextRendering:
        return Given(s.textRendering);
    case SvgPropDominantBaseline:
        return Given(s.dominantBaseline);
    case SvgPropAlignmentBaseline:
        return Given(s.alignmentBaseline);
    case SvgPropBaselineShift:
        return Given(s.baselineShift);
    case SvgPropGlyphOrientationVertical:
        return Given(s.glyphOrientation);
    default:
        return true;
    }
}

void AppendUtf8(std::string& out, unsigned long code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Reads the escape whose backslash is at pos into out: up to six hexadecimal
// digits and one space after them, or the next character as it is.
size_t ReadEscape(const std::string& text, size_t pos, std::string& out) {
    ++pos;
    if (pos >= text.size()) {
        AppendUtf8(out, 0xFFFD);
        return pos;
    }
    if (!IsHexDigit(static_cast<unsigned char>(text[pos]))) {
        out += text[pos];
        return pos + 1;
    }
    unsigned long code = 0;
    for (int n = 0; n < 6 && pos < text.size() && IsHexDigit(static_cast<unsigned char>(text[pos]));
         ++n, ++pos)
        code = code * 16 + HexValue(text[pos]);
    AppendUtf8(out, code);
    if (pos < text.size() && text[pos] == ' ')
        ++pos;
    return pos;
}

// Reads a CSS name (identifier characters and escapes) at pos into name;
// false when there is none or it starts with an unescaped digit.
bool ReadName(const std::string& text, size_t& pos, std::string& name) {
    name.clear();
    bool escapedStart = pos < text.size() && text[pos] == '\\';
    while (pos < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c == '\\') {
            pos = ReadEscape(text, pos, name);
        } else if (IsNameChar(c)) {
            name += static_cast<char>(c);
            ++pos;
        } else {
            break;
        }
    }
    if (name.empty())
        return false;
    unsigned char first = static_cast<unsigned char>(name[0]);
    return escapedStart || (!(first >= '0' && first <= '9') &&
                            !(first == '-' && name.size() > 1 && name[1] >= '0' && name[1] <= '9'));
}

void SkipSpaces(const std::string& text, size_t& pos) {
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
}

// Reads "[name]" or "[name OP value]" from after the "[".
bool ReadAttributeCondition(const std::string& text, size_t& pos,
                            SvgStyleSheet::Condition::Kind& kind, std::string& name,
                            std::string& value) {
    using Condition = SvgStyleSheet::Condition;
    SkipSpaces(text, pos);
    if (!ReadName(text, pos, name))
        return false;
    SkipSpaces(text, pos);
    if (pos >= text.size())
        return false;
    if (text[pos] == ']') {
        kind = Condition::Has;
        ++pos;
        return true;
    }
    static const struct {
        char op;
        Condition::Kind kind;
    } kOperators[] = {{'~', Condition::Includes},
                      {'|', Condition::DashMatch},
                      {'^', Condition::Prefix},
                      {'$', Condition::Suffix},
                      {'*', Condition::Substring}};
    kind = Condition::Equals;
    for (const auto& op : kOperators) {
        if (text[pos] == op.op) {
            kind = op.kind;
            ++pos;
            break;
        }
    }
    if (pos >= text.size() || text[pos] != '=')
        return false;
    ++pos;
    SkipSpaces(text, pos);
    if (pos >= text.size())
        return false;
    if (text[pos] == '"' || text[pos] == '\'') {
        char quote = text[pos++];
        value.clear();
        while (pos < text.size() && text[pos] != quote) {
            if (text[pos] == '\\')
                pos = ReadEscape(text, pos, value);
            else
                value += text[pos++];
        }
        if (pos >= text.size())
            return false;
        ++pos;
    } else if (!ReadName(text, pos, value)) {
        return false;
    }
    SkipSpaces(text, pos);
    if (pos >= text.size() || text[pos] != ']')
        return false;
    ++pos;
    return true;
}

// Position of the ")" closing the "(" at pos, or npos.
size_t ClosingParen(const std::string& text, size_t pos) {
    CssCursor cursor(text.data(), text.size());
    size_t close = cursor.FindAtLevel(pos + 1, ")");
    return close < text.size() ? close : std::string::npos;
}

// Reads An+B ("odd", "even", "-n+3", "2n - 1", "5"), numbers held to a
// billion either way.
bool ReadNth(std::string text, int32_t& a, int32_t& b) {
    for (char& c : text)
        c = Lower(c);
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return false;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text == "odd" || text == "even") {
        a = 2;
        b = text == "odd" ? 1 : 0;
        return true;
    }
    size_t pos = 0;
    auto number = [&](int32_t& out) {
        long long v = 0;
        size_t start = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            v = std::min(v * 10 + (text[pos] - '0'), 1000000000LL);
            ++pos;
        }
        if (pos > start)
            out = static_cast<int32_t>(v);
        return pos > start;
    };
    int sign = 1;
    if (text[pos] == '+' || text[pos] == '-')
        sign = text[pos++] == '-' ? -1 : 1;
    int32_t n = 1;
    bool digits = number(n);
    if (pos >= text.size() || text[pos] != 'n') {
        b = sign * n;
        a = 0;
        return digits && pos == text.size();
    }
    a = sign * n;
    b = 0;
    ++pos;
    SkipSpaces(text, pos);
    if (pos == text.size())
        return true;
    if (text[pos] != '+' && text[pos] != '-')
        return false;
    int bSign = text[pos++] == '-' ? -1 : 1;
    SkipSpaces(text, pos);
    if (!number(b) || pos != text.size())
        return false;
    b *= bSign;
    return true;
}

// The parts of a selector list, split at commas outside brackets.
std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> parts;
    CssCursor cursor(text.data(), text.size());
    size_t pos = 0;
    for (;;) {
        size_t comma = cursor.FindAtLevel(pos, ",");
        parts.push_back(text.substr(pos, comma - pos));
        if (comma >= text.size())
            return parts;
        pos = comma + 1;
    }
}

uint32_t AddSpecificity(uint32_t a, uint32_t b) {
    auto part = [&](int shift) {
        return std::min(((a >> shift) & 1023u) + ((b >> shift) & 1023u), 1023u);
    };
    return (part(20) << 20) | (part(10) << 10) | part(0);
}

constexpr uint32_t kClassSpecificity = 1u << 10;

const char kSvgNamespace[] = "http://www.w3.org/2000/svg";

} // namespace

void SvgStyleSheet::AddSheet(const std::string& text) {
    // Namespace prefixes belong to the sheet that declares them.
    m_namespaces.clear();
    m_foreignDefault = false;
    m_namespacesOpen = true;
    ReadRules(text.data(), text.size(), 0);
}

void SvgStyleSheet::ReadRules(const char* data, size_t length, int depth) {
    CssCursor cursor(data, length);
    size_t pos = 0;
    while (pos < length) {
        pos = cursor.SkipComments(pos);
        if (pos >= length)
            break;
        unsigned char c = static_cast<unsigned char>(data[pos]);
        if (IsSpace(c) || c == '}') {
            ++pos;
            continue;
        }
        // The markup comment delimiters a sheet may be wrapped in.
        if (length - pos >= 4 && std::memcmp(data + pos, "<!--", 4) == 0) {
            pos += 4;
            continue;
        }
        if (length - pos >= 3 && std::memcmp(data + pos, "-->", 3) == 0) {
            pos += 3;
            continue;
        }
        // A rule runs to its block's end; an at-rule may end at ";" instead.
        size_t open = cursor.FindAtLevel(pos, c == '@' ? "{;" : "{");
        if (open >= length)
            break;
        std::string keyword;
        size_t preludeStart = pos + 1;
        if (c == '@') {
            while (preludeStart < open &&
                   IsNameChar(static_cast<unsigned char>(data[preludeStart])))
                keyword += Lower(data[preludeStart++]);
        }
        if (data[open] == ';') {
            if (keyword == "namespace" && m_namespacesOpen)
                AddNamespace(Clean(data + preludeStart, open - preludeStart));
            else if (keyword != "charset" && keyword != "import")
                m_namespacesOpen = false;
            pos = open + 1;
            continue;
        }
        m_namespacesOpen = false;
        size_t close = cursor.FindAtLevel(open + 1, "}");
        if (c != '@') {
            AddRule(data + pos, open - pos, data + open + 1, close - open - 1);
        } else if (depth < kMaxNesting && (keyword == "media" || keyword == "supports")) {
            // A conditional block whose condition holds counts where it stands.
            std::string prelude = Clean(data + preludeStart, open - preludeStart);
            if (keyword == "media" ? MediaHolds(prelude) : SupportsHold(prelude))
                ReadRules(data + open + 1, close - open - 1, depth + 1);
        }
        pos = close + 1;
    }
}

bool SvgStyleSheet::MediaHolds(const std::string& prelude) const {
    return SvgCssConditions::MediaHolds(prelude, m_mediaWidth, m_mediaHeight);
}

bool SvgStyleSheet::SupportsHold(const std::string& prelude) {
    auto declaration = [this](const std::string& name, const std::string& value) {
        return DeclarationAccepted(name, value);
    };
    auto selector = [this](const std::string& text) {
        std::vector<Pending> out;
        size_t top = 0, compounds = 0;
        uint32_t specificity = 0;
        return ParseSelector(text, 0, out, top, specificity, compounds);
    };
    return SvgCssConditions::SupportsHolds(prelude, declaration, selector);
}

void SvgStyleSheet::AddNamespace(const std::string& prelude) {
    // [prefix] (url(…) | "…")
    size_t pos = 0;
    std::string prefix;
    if (pos < prelude.size() && prelude[pos] != '"' && prelude[pos] != '\'') {
        if (!ReadName(prelude, pos, prefix))
            return;
        if (pos < prelude.size() && prelude[pos] == '(') { // url(…), no prefix
            pos = 0;
            prefix.clear();
        }
        SkipSpaces(prelude, pos);
    }
    std::string uri;
    if (pos < prelude.size() && (prelude[pos] == '"' || prelude[pos] == '\'')) {
        size_t close = prelude.find(prelude[pos], pos + 1);
        if (close == std::string::npos)
            return;
        uri = prelude.substr(pos + 1, close - pos - 1);
        pos = close + 1;
    } else if (prelude.size() - pos > 4 && strncasecmp(prelude.c_str() + pos, "url(", 4) == 0) {
        size_t close = prelude.find(')', pos);
        if (close == std::string::npos)
            return;
        uri = prelude.substr(pos + 4, close - pos - 4);
        size_t a = uri.find_first_not_of(' '), b = uri.find_last_not_of(' ');
        uri = a == std::string::npos ? std::string() : uri.substr(a, b - a + 1);
        if (uri.size() >= 2 && (uri[0] == '"' || uri[0] == '\'') && uri.back() == uri[0])
            uri = uri.substr(1, uri.size() - 2);
        pos = close + 1;
    } else {
        return;
    }
    SkipSpaces(prelude, pos);
    if (pos != prelude.size())
        return;
    if (prefix.empty())
        m_foreignDefault = uri != kSvgNamespace;
    else
        m_namespaces[prefix] = uri == kSvgNamespace;
}

void SvgStyleSheet::AddRule(const char* prelude, size_t preludeLength, const char* block,
                            size_t blockLength) {
    if (m_selectors.size() >= kMaxSelectors)
        return;
    std::string selectors = Clean(prelude, preludeLength);
    if (selectors.empty())
        return;
    // Every selector of the list must be supported, or the rule is skipped.
    struct End {
        size_t end, top;
        uint32_t specificity;
    };
    std::vector<Pending> conditions;
    std::vector<End> ends;
    size_t compounds = 0;
    for (const std::string& text : SplitList(selectors)) {
        uint32_t specificity = 0;
        size_t top = 0;
        compounds = 0;
        if (!ParseSelector(text, 0, conditions, top, specificity, compounds))
            return;
        ends.push_back({conditions.size(), top, specificity});
        if (m_selectors.size() + ends.size() > kMaxSelectors ||
            m_conditions.size() + conditions.size() > kMaxConditions)
            return;
    }

    size_t first = m_declarations.size();
    ParseDeclarations(block, blockLength);
    size_t count = m_declarations.size() - first;
    if (count == 0)
        return;
    size_t from = 0;
    for (const End& end : ends) {
        Selector selector;
        selector.begin = static_cast<uint32_t>(m_conditions.size());
        selector.end = static_cast<uint32_t>(m_conditions.size() + end.top);
        for (size_t i = from; i < end.end; ++i)
            AddCondition(conditions[i]);
        from = end.end;
        selector.specificity = end.specificity;
        selector.firstDeclaration = static_cast<uint32_t>(first);
        selector.declarationCount = static_cast<uint32_t>(count);
        m_selectors.push_back(selector);
        Index(static_cast<uint32_t>(m_selectors.size() - 1));
    }
}

bool SvgStyleSheet::ParseSelector(const std::string& text, int depth, std::vector<Pending>& out,
                                  size_t& topCount, uint32_t& specificity,
                                  size_t& compounds) const {
    // The top-level conditions, then the lists of :not() and :is(), whose
    // condition holds the distance to its list, fixed once the top is known.
    std::vector<Pending> top, tail;
    bool pseudoElement = false;
    specificity = 0;
    size_t pos = 0;
    SkipSpaces(text, pos);
    if (pos >= text.size())
        return false;
    for (;;) {
        // One compound: an optional type or "*" with its namespace, then
        // ids, classes, attributes and pseudo-classes.
        bool any = false;
        std::string name;
        bool prefixed = false, star = false, typed = false;
        bool foreign = m_foreignDefault && depth == 0;
        auto readType = [&]() {
            if (pos < text.size() && text[pos] == '*') {
                ++pos;
                star = true;
                return true;
            }
            star = false;
            return pos < text.size() &&
                   (IsNameChar(static_cast<unsigned char>(text[pos])) || text[pos] == '\\') &&
                   ReadName(text, pos, name);
        };
        if (text[pos] == '|') { // no namespace: no element of a picture
            ++pos;
            if (!readType())
                return false;
            prefixed = typed = foreign = true;
        } else if (text[pos] == '*' || IsNameChar(static_cast<unsigned char>(text[pos])) ||
                   text[pos] == '\\') {
            if (!readType())
                return false;
            typed = true;
            if (pos + 1 < text.size() && text[pos] == '|' && text[pos + 1] != '=') {
                ++pos;
                if (!star) {
                    auto found = m_namespaces.find(name);
                    if (found == m_namespaces.end())
                        return false;
                    foreign = !found->second;
                } else {
                    foreign = false;
                }
                prefixed = true;
                if (!readType())
                    return false;
            }
        }
        (void)prefixed;
        if (foreign)
            top.push_back({Condition::Never, std::string(), std::string()});
        if (typed && star) {
            top.push_back({Condition::Any, std::string(), std::string()});
        } else if (typed) {
            top.push_back({Condition::Type, name, std::string()});
            specificity = AddSpecificity(specificity, 1);
        }
        any = typed;
        while (pos < text.size()) {
            char c = text[pos];
            if (pseudoElement)
                return false; // a pseudo-element ends its selector
            if (c == '#' || c == '.') {
                ++pos;
                if (!ReadName(text, pos, name))
                    return false;
                top.push_back({c == '#' ? Condition::Id : Condition::Class, name, std::string()});
                specificity = AddSpecificity(specificity, c == '#' ? 1u << 20 : kClassSpecificity);
            } else if (c == '[') {
                ++pos;
                Condition::Kind kind;
                std::string value;
                if (!ReadAttributeCondition(text, pos, kind, name, value))
                    return false;
                top.push_back({kind, name, value});
                specificity = AddSpecificity(specificity, kClassSpecificity);
            } else if (c == ':') {
                ++pos;
                bool element = false;
                if (!ParsePseudo(text, pos, depth, top, tail, specificity, compounds, element))
                    return false;
                pseudoElement = element;
            } else {
                break;
            }
            any = true;
        }
        if (!any)
            return false;
        if (++compounds > kMaxCompounds)
            return false;

        // A combinator, or the end.
        size_t spaceStart = pos;
        SkipSpaces(text, pos);
        if (pos >= text.size())
            break;
        if (pseudoElement)
            return false;
        Condition::Kind combinator = Condition::Descendant;
        if (text[pos] == '>' || text[pos] == '+' || text[pos] == '~') {
            combinator = text[pos] == '>'   ? Condition::Child
                         : text[pos] == '+' ? Condition::Adjacent
                                            : Condition::Sibling;
            ++pos;
            SkipSpaces(text, pos);
        } else if (pos == spaceStart) {
            return false;
        }
        if (pos >= text.size())
            return false;
        top.push_back({combinator, std::string(), std::string()});
    }
    for (size_t i = 0; i < top.size(); ++i) {
        if (top[i].kind == Condition::Not || top[i].kind == Condition::Is)
            top[i].x = static_cast<int32_t>(top.size() - i + top[i].x);
    }
    topCount = top.size();
    out.insert(out.end(), top.begin(), top.end());
    out.insert(out.end(), tail.begin(), tail.end());
    return true;
}

bool SvgStyleSheet::ParsePseudo(const std::string& text, size_t& pos, int depth,
                                std::vector<Pending>& top, std::vector<Pending>& tail,
                                uint32_t& specificity, size_t& compounds, bool& isElement) const {
    const bool element = pos < text.size() && text[pos] == ':';
    if (element && depth > 0)
        return false; // no pseudo-element inside :not() or :is()
    if (element)
        ++pos;
    std::string name;
    if (!ReadName(text, pos, name))
        return false;
    for (char& c : name)
        c = Lower(c);
    auto add = [&](Condition::Kind kind, int32_t a = 0, int32_t b = 0) {
        Pending p{kind, std::string(), std::string()};
        p.x = a;
        p.y = b;
        top.push_back(p);
    };
    if (pos < text.size() && text[pos] == '(') {
        size_t close = ClosingParen(text, pos);
        if (element || close == std::string::npos)
            return false;
        std::string argument = text.substr(pos + 1, close - pos - 1);
        pos = close + 1;
        static const struct {
            const char* name;
            Condition::Kind kind;
        } kNth[] = {{"nth-child", Condition::NthChild},
                    {"nth-last-child", Condition::NthLastChild},
                    {"nth-of-type", Condition::NthOfType},
                    {"nth-last-of-type", Condition::NthLastOfType}};
        for (const auto& nth : kNth) {
            if (name == nth.name) {
                int32_t a = 0, b = 0;
                if (!ReadNth(argument, a, b))
                    return false;
                add(nth.kind, a, b);
                specificity = AddSpecificity(specificity, kClassSpecificity);
                return true;
            }
        }
        const bool negation = name == "not";
        if (!negation && name != "is" && name != "where")
            return false;
        if (depth + 1 > kMaxNesting)
            return false;
        // The list: each selector headed by a List condition. :not() takes
        // only valid selectors; :is() and :where() pass over invalid ones.
        size_t listStart = tail.size();
        uint32_t most = 0;
        for (const std::string& part : SplitList(argument)) {
            std::vector<Pending> inner;
            size_t innerTop = 0;
            uint32_t innerSpecificity = 0;
            if (!ParseSelector(part, depth + 1, inner, innerTop, innerSpecificity, compounds)) {
                if (negation || compounds > kMaxCompounds)
                    return false;
                continue;
            }
            Pending head{Condition::List, std::string(), std::string()};
            head.x = static_cast<int32_t>(innerTop);
            head.y = static_cast<int32_t>(inner.size());
            tail.push_back(head);
            tail.insert(tail.end(), inner.begin(), inner.end());
            most = std::max(most, innerSpecificity);
        }
        if (tail.size() == listStart) {
            add(Condition::Never);
            return true;
        }
        add(negation ? Condition::Not : Condition::Is, static_cast<int32_t>(listStart),
            static_cast<int32_t>(tail.size() - listStart));
        if (name != "where")
            specificity = AddSpecificity(specificity, most);
        return true;
    }
    // Pseudo-elements and the states of user actions never hold in a
    // picture (links and :read-only neither, as browsers show a picture);
    // :defined holds for every element.
    static const char* const kElements[] = {
        "before",         "after",        "first-line", "first-letter",         "selection",
        "marker",         "placeholder",  "backdrop",   "file-selector-button", "target-text",
        "spelling-error", "grammar-error"};
    static const char* const kNever[] = {"hover",         "active",        "focus",
                                         "focus-within",  "focus-visible", "visited",
                                         "target",        "target-within", "checked",
                                         "disabled",      "enabled",       "default",
                                         "indeterminate", "valid",         "invalid",
                                         "in-range",      "out-of-range",  "required",
                                         "optional",      "read-write",    "placeholder-shown",
                                         "autofill",      "fullscreen",    "modal",
                                         "popover-open",  "playing",       "paused",
                                         "user-valid",    "user-invalid",  "link",
                                         "any-link",      "read-only"};
    for (const char* each : kElements) {
        if (name == each &&
            (element || name.compare(0, 5, "first") == 0 || name == "before" || name == "after")) {
            add(Condition::Never);
            isElement = true;
            return true;
        }
    }
    if (element)
        return false;
    specificity = AddSpecificity(specificity, kClassSpecificity);
    for (const char* each : kNever) {
        if (name == each) {
            add(Condition::Never);
            return true;
        }
    }
    if (name == "root" || name == "scope") {
        add(Condition::Root);
    } else if (name == "empty") {
        add(Condition::Empty);
    } else if (name == "defined") {
        add(Condition::Any);
    } else if (name == "first-child" || name == "last-child" || name == "only-child") {
        if (name[1] != 'a')
            add(Condition::NthChild, 0, 1);
        if (name[0] != 'f')
            add(Condition::NthLastChild, 0, 1);
    } else if (name == "first-of-type" || name == "last-of-type" || name == "only-of-type") {
        if (name[1] != 'a')
            add(Condition::NthOfType, 0, 1);
        if (name[0] != 'f')
            add(Condition::NthLastOfType, 0, 1);
    } else {
        return false;
    }
    return true;
}

bool SvgStyleSheet::DeclarationAccepted(const std::string& name, const std::string& value) const {
    std::string lower = name;
    for (char& c : lower)
        c = Lower(c);
    int id = LookupAttributeId(lower.c_str());
    if ((id < SvgPropFontSpecification && id != SvgPropTransform) ||
        value.find_first_of("{}") != std::string::npos)
        return false;
    SvgStyle probe;
    probe.ReadPropertyById(id, value.c_str());
    return Specifies(probe, id);
}

void SvgStyleSheet::AddCondition(const Pending& pending) {
    auto intern = [this](const std::string& text) {
        auto found = m_stringIds.emplace(text, static_cast<uint32_t>(m_strings.size()));
        if (found.second)
            m_strings.push_back(text);
        return found.first->second;
    };
    if (pending.kind == Condition::Adjacent || pending.kind == Condition::Sibling ||
        (pending.kind >= Condition::NthChild && pending.kind <= Condition::NthLastOfType))
        m_looksAtSiblings = true;
    if (pending.kind >= Condition::Never && pending.kind <= Condition::List)
        m_conditions.push_back(
            {pending.kind, static_cast<uint32_t>(pending.x), static_cast<uint32_t>(pending.y)});
    else
        m_conditions.push_back({pending.kind, intern(pending.name), intern(pending.value)});
}

void SvgStyleSheet::ParseDeclarations(const char* block, size_t length) {
    CssCursor cursor(block, length);
    size_t pos = 0;
    while (pos < length) {
        size_t end = cursor.FindAtLevel(pos, ";");
        if (m_declarations.size() >= kMaxDeclarations)
            return;
        size_t colon = cursor.FindAtLevel(pos, ":;");
        if (colon < end && block[colon] == ':') {
            std::string name = Clean(block + pos, colon - pos);
            std::string value = Clean(block + colon + 1, end - colon - 1);
            for (char& c : name)
                c = Lower(c);
            size_t valueLength = value.size();
            bool important = SvgDeclarationReader::CutImportant(value.data(), valueLength);
            value.resize(valueLength);
            int id = LookupAttributeId(name.c_str());
            // A nested block is no value of a property.
            if ((id >= SvgPropFontSpecification || id == SvgPropTransform) && !value.empty() &&
                value.find_first_of("{}") == std::string::npos) {
                SvgStyle probe;
                probe.ReadPropertyById(id, value.c_str());
                // The font shorthand also stands for its parts, which later
                // declarations of those parts override.
                std::vector<SvgFontLonghand> longhands;
                if (id == SvgPropFont)
                    ExpandFontShorthand(value.c_str(), longhands);
                if (Specifies(probe, id) && id == SvgPropMarker) {
                    // The shorthand stands for the three markers, each of
                    // which then wins or loses on its own.
                    for (int each : {SvgPropMarkerStart, SvgPropMarkerMid, SvgPropMarkerEnd})
                        m_declarations.push_back({each, important, value});
                } else if (Specifies(probe, id)) {
                    m_declarations.push_back({id, important, std::move(value)});
                }
                for (SvgFontLonghand& longhand : longhands)
                    m_declarations.push_back({longhand.id, important, std::move(longhand.value)});
            }
        }
        pos = end + 1;
    }
}
