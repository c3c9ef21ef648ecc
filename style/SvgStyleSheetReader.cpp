// Reading style sheet text into the rules of SvgStyleSheet. The text is read
// in one pass with counters for nesting, never recursively, so malformed
// sheets (unbalanced braces, unterminated comments and strings) cost time in
// proportion to their length.
#include "style/SvgStyleSheet.h"

#include "style/SvgAttributeTable.h"
#include "style/SvgFontShorthand.h"
#include "style/SvgStyle.h"
#include "style/SvgStyleReader.h"

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

// Reads a CSS name (identifier characters, escapes taken literally) at pos
// into name; false when there is none or it holds a hexadecimal escape.
bool ReadName(const std::string& text, size_t& pos, std::string& name) {
    name.clear();
    while (pos < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c == '\\') {
            if (pos + 1 >= text.size() || IsHexDigit(static_cast<unsigned char>(text[pos + 1])))
                return false;
            name += text[pos + 1];
            pos += 2;
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
    return !(first >= '0' && first <= '9') &&
           !(first == '-' && name.size() > 1 && name[1] >= '0' && name[1] <= '9');
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
            if (text[pos] == '\\') {
                if (pos + 1 >= text.size() || IsHexDigit(static_cast<unsigned char>(text[pos + 1])))
                    return false;
                ++pos;
            }
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

} // namespace

void SvgStyleSheet::AddSheet(const std::string& text) {
    const char* data = text.data();
    const size_t length = text.size();
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
        if (text.compare(pos, 4, "<!--") == 0) {
            pos += 4;
            continue;
        }
        if (text.compare(pos, 3, "-->") == 0) {
            pos += 3;
            continue;
        }
        // A rule runs to its block's end; an at-rule may end at ";" instead.
        size_t open = cursor.FindAtLevel(pos, c == '@' ? "{;" : "{");
        if (open >= length)
            break;
        if (data[open] == ';') {
            pos = open + 1;
            continue;
        }
        size_t close = cursor.FindAtLevel(open + 1, "}");
        if (c != '@')
            AddRule(data + pos, open - pos, data + open + 1, close - open - 1);
        pos = close + 1;
    }
}

void SvgStyleSheet::AddRule(const char* prelude, size_t preludeLength, const char* block,
                            size_t blockLength) {
    if (m_selectors.size() >= kMaxSelectors)
        return;
    std::string selectors = Clean(prelude, preludeLength);
    if (selectors.empty())
        return;
    // Every selector of the list must be supported, or the rule is skipped.
    std::vector<Pending> conditions;
    std::vector<std::pair<size_t, uint32_t>> ends; // end in conditions, specificity
    CssCursor cursor(selectors.data(), selectors.size());
    size_t pos = 0;
    for (;;) {
        size_t comma = cursor.FindAtLevel(pos, ",");
        uint32_t specificity = 0;
        if (!ParseSelector(selectors.substr(pos, comma - pos), conditions, specificity))
            return;
        ends.emplace_back(conditions.size(), specificity);
        if (m_selectors.size() + ends.size() > kMaxSelectors ||
            m_conditions.size() + conditions.size() > kMaxConditions)
            return;
        if (comma >= selectors.size())
            break;
        pos = comma + 1;
    }

    size_t first = m_declarations.size();
    ParseDeclarations(block, blockLength);
    size_t count = m_declarations.size() - first;
    if (count == 0)
        return;
    size_t from = 0;
    for (const auto& end : ends) {
        Selector selector;
        selector.begin = static_cast<uint32_t>(m_conditions.size());
        for (size_t i = from; i < end.first; ++i)
            AddCondition(conditions[i].kind, conditions[i].name, conditions[i].value);
        from = end.first;
        selector.end = static_cast<uint32_t>(m_conditions.size());
        selector.specificity = end.second;
        selector.firstDeclaration = static_cast<uint32_t>(first);
        selector.declarationCount = static_cast<uint32_t>(count);
        m_selectors.push_back(selector);
        Index(static_cast<uint32_t>(m_selectors.size() - 1));
    }
}

bool SvgStyleSheet::ParseSelector(const std::string& text, std::vector<Pending>& out,
                                  uint32_t& specificity) {
    unsigned ids = 0, classes = 0, types = 0;
    size_t compounds = 0;
    size_t pos = 0;
    SkipSpaces(text, pos);
    if (pos >= text.size())
        return false;
    for (;;) {
        // One compound: an optional type or "*", then ids, classes, attributes.
        bool any = false;
        std::string name;
        unsigned char first = static_cast<unsigned char>(text[pos]);
        if (first == '*') {
            ++pos;
            out.push_back({Condition::Any, std::string(), std::string()});
            any = true;
        } else if (IsNameChar(first) || first == '\\') {
            if (!ReadName(text, pos, name))
                return false;
            out.push_back({Condition::Type, name, std::string()});
            ++types;
            any = true;
        }
        while (pos < text.size()) {
            char c = text[pos];
            if (c == '#' || c == '.') {
                ++pos;
                if (!ReadName(text, pos, name))
                    return false;
                out.push_back({c == '#' ? Condition::Id : Condition::Class, name, std::string()});
                ++(c == '#' ? ids : classes);
            } else if (c == '[') {
                ++pos;
                Condition::Kind kind;
                std::string value;
                if (!ReadAttributeCondition(text, pos, kind, name, value))
                    return false;
                out.push_back({kind, name, value});
                ++classes;
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
        Condition::Kind combinator = Condition::Descendant;
        if (text[pos] == '>') {
            combinator = Condition::Child;
            ++pos;
            SkipSpaces(text, pos);
        } else if (pos == spaceStart) {
            return false; // pseudo-classes, "+", "~", "|" and anything else
        }
        if (pos >= text.size())
            return false;
        out.push_back({combinator, std::string(), std::string()});
    }
    auto cap = [](unsigned n) { return n > 1023 ? 1023u : n; };
    specificity = (cap(ids) << 20) | (cap(classes) << 10) | cap(types);
    return true;
}

void SvgStyleSheet::AddCondition(Condition::Kind kind, const std::string& name,
                                 const std::string& value) {
    auto intern = [this](const std::string& text) {
        auto found = m_stringIds.emplace(text, static_cast<uint32_t>(m_strings.size()));
        if (found.second)
            m_strings.push_back(text);
        return found.first->second;
    };
    m_conditions.push_back({kind, intern(name), intern(value)});
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
