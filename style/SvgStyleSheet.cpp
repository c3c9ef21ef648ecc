#include "style/SvgStyleSheet.h"

#include "style/SvgAttributeTable.h"
#include "style/SvgSpecifiedStyle.h"
#include "style/SvgValueReaders.h"
#include "syntax/SvgRect.h"
#include "syntax/SvgScanner.h"

#include <tinyxml.h>

#include <strings.h>

#include <algorithm>
#include <cstring>

namespace {

inline bool IsListSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Whether list, a white-space separated list of words, holds word.
bool HasWord(const char* list, const std::string& word) {
    if (!list || word.empty())
        return false;
    const size_t n = word.size();
    for (const char* p = list; *p;) {
        while (IsListSpace(*p))
            ++p;
        const char* start = p;
        while (*p && !IsListSpace(*p))
            ++p;
        if (static_cast<size_t>(p - start) == n && std::memcmp(start, word.data(), n) == 0)
            return true;
    }
    return false;
}

const TiXmlElement* ParentOf(const TiXmlElement* element) {
    const TiXmlNode* parent = element->Parent();
    return parent ? parent->ToElement() : nullptr;
}

// The element sibling before element, or null.
const TiXmlElement* PreviousElement(const TiXmlElement* element) {
    for (const TiXmlNode* node = element->PreviousSibling(); node; node = node->PreviousSibling()) {
        if (const TiXmlElement* sibling = node->ToElement())
            return sibling;
    }
    return nullptr;
}

inline bool IsCombinator(SvgStyleSheet::Condition::Kind kind) {
    return kind <= SvgStyleSheet::Condition::Sibling;
}

// Whether a style element holds CSS: no type, an empty one, or text/css.
bool IsCss(const TiXmlElement* style) {
    const char* type = style->Attribute("type");
    return !type || !*type || strcasecmp(type, "text/css") == 0;
}

// The text of a style element: its text and CDATA children, one space apart
// (the XML reader has trimmed the white space around each).
std::string SheetText(const TiXmlElement* style) {
    std::string text;
    for (const TiXmlNode* node = style->FirstChild(); node; node = node->NextSibling()) {
        if (const TiXmlText* piece = node->ToText()) {
            if (!text.empty())
                text += ' ';
            text += piece->Value();
        }
    }
    return text;
}

} // namespace

std::unique_ptr<SvgStyleSheet> SvgStyleSheet::FromDocument(const TiXmlElement* root) {
    std::unique_ptr<SvgStyleSheet> sheet;
    double width = 0, height = 0;
    MediaSizeOf(root, width, height);
    // Pre-order walk without recursion.
    const TiXmlNode* node = root;
    while (node) {
        const TiXmlElement* element = node->ToElement();
        if (element && std::strcmp(element->Value(), "style") == 0 && IsCss(element)) {
            if (!sheet) {
                sheet.reset(new SvgStyleSheet());
                sheet->SetMediaSize(width, height);
            }
            sheet->AddSheet(SheetText(element));
        }
        const TiXmlNode* next = element ? node->FirstChild() : nullptr;
        while (!next && node != root) {
            next = node->NextSibling();
            if (!next)
                node = node->Parent();
        }
        node = next;
    }
    if (sheet && sheet->m_selectors.empty())
        sheet.reset();
    return sheet;
}

void SvgStyleSheet::MediaSizeOf(const TiXmlElement* root, double& width, double& height) {
    SvgRect box;
    bool boxUsable = false;
    if (const char* text = root->Attribute("viewBox")) {
        SvgScanner scanner;
        boxUsable =
            scanner.readRect(box, SvgString(text)) && box.getWidth() > 0 && box.getHeight() > 0;
    }
    auto side = [&](const char* name, double fromBox) {
        SvgLength length;
        const char* text = root->Attribute(name);
        if (text && ReadLength(length, text) && !length.inherit && length.unit <= SvgUnitIn)
            return static_cast<double>(length.computed);
        return boxUsable ? fromBox : 0.0;
    };
    width = side("width", box.getWidth());
    height = side("height", box.getHeight());
}

void SvgStyleSheet::Index(uint32_t selector) {
    // The rightmost compound's id, else a class, else its type.
    const Selector& s = m_selectors[selector];
    uint32_t left = s.end;
    while (left > s.begin && !IsCombinator(m_conditions[left - 1].kind))
        --left;
    const Condition* byClass = nullptr;
    const Condition* byType = nullptr;
    for (uint32_t i = left; i < s.end; ++i) {
        const Condition& c = m_conditions[i];
        if (c.kind == Condition::Id) {
            m_byId[m_strings[c.name]].push_back(selector);
            return;
        }
        if (c.kind == Condition::Class && !byClass)
            byClass = &c;
        if (c.kind == Condition::Type)
            byType = &c;
    }
    if (byClass)
        m_byClass[m_strings[byClass->name]].push_back(selector);
    else if (byType)
        m_byType[m_strings[byType->name]].push_back(selector);
    else
        m_universal.push_back(selector);
}

const char* SvgStyleSheet::Attribute(const TiXmlElement* element, const char* name) {
    // Every attribute passed over costs a step.
    for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
        --m_budget;
        if (std::strcmp(a->Name(), name) == 0) {
            const char* value = a->Value();
            // Long values cost in proportion to their length.
            m_budget -= static_cast<long>(std::strlen(value) / 64);
            return value;
        }
    }
    return nullptr;
}

const SvgStyleSheet::Position& SvgStyleSheet::PositionOf(const TiXmlElement* element) {
    auto found = m_positions.find(element);
    if (found != m_positions.end())
        return found->second;
    const TiXmlElement* parent = ParentOf(element);
    if (!parent)
        return m_positions[element] = {1, 1, 1, 1};
    // All the parent's children at once, each child costing a step.
    std::unordered_map<std::string, int> ofType;
    int count = 0;
    for (const TiXmlElement* child = parent->FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        --m_budget;
        m_positions[child] = {++count, 0, ++ofType[child->Value()], 0};
    }
    for (const TiXmlElement* child = parent->FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        Position& p = m_positions[child];
        p.fromEnd = count - p.index + 1;
        p.typeFromEnd = ofType[child->Value()] - p.typeIndex + 1;
    }
    return m_positions[element];
}

bool SvgStyleSheet::MatchesCompound(uint32_t begin, uint32_t end, const TiXmlElement* element) {
    --m_budget;
    for (uint32_t i = begin; i < end; ++i) {
        const Condition& c = m_conditions[i];
        if (c.kind == Condition::Any)
            continue;
        if (c.kind >= Condition::Never && c.kind <= Condition::Is) {
            bool holds = false;
            const int64_t a = static_cast<int32_t>(c.name), b = static_cast<int32_t>(c.value);
            auto nth = [&](int index) {
                return a == 0 ? index == b : (index - b) % a == 0 && (index - b) / a >= 0;
            };
            switch (c.kind) {
            case Condition::Root:
                holds = !ParentOf(element);
                break;
            case Condition::Empty:
                holds = true;
                for (const TiXmlNode* n = element->FirstChild(); n && holds; n = n->NextSibling())
                    holds = !n->ToElement() && !(n->ToText() && *n->Value());
                break;
            case Condition::NthChild:
                holds = nth(PositionOf(element).index);
                break;
            case Condition::NthLastChild:
                holds = nth(PositionOf(element).fromEnd);
                break;
            case Condition::NthOfType:
                holds = nth(PositionOf(element).typeIndex);
                break;
            case Condition::NthLastOfType:
                holds = nth(PositionOf(element).typeFromEnd);
                break;
            case Condition::Not:
            case Condition::Is:
                holds = MatchesList(i + c.name, i + c.name + c.value, element) ==
                        (c.kind == Condition::Is);
                break;
            default: // Never
                break;
            }
            if (!holds)
                return false;
            continue;
        }
        const std::string& name = m_strings[c.name];
        const char* attribute = nullptr;
        if (c.kind >= Condition::Has) {
            attribute = Attribute(element, name.c_str());
            if (!attribute)
                return false;
        }
        const size_t length = attribute ? std::strlen(attribute) : 0;
        const std::string& v = m_strings[c.value];
        bool holds = true;
        switch (c.kind) {
        case Condition::Type:
            holds = std::strcmp(element->Value(), name.c_str()) == 0;
            break;
        case Condition::Id: {
            const char* id = Attribute(element, "id");
            holds = id && name == id;
            break;
        }
        case Condition::Class:
            holds = HasWord(Attribute(element, "class"), name);
            break;
        case Condition::Equals:
            holds = v == attribute;
            break;
        case Condition::Includes:
            holds = v.find_first_of(" \t\n\r\f") == std::string::npos && HasWord(attribute, v);
            break;
        case Condition::DashMatch:
            holds = std::strncmp(attribute, v.c_str(), v.size()) == 0 &&
                    (length == v.size() || attribute[v.size()] == '-');
            break;
        case Condition::Prefix:
            holds = !v.empty() && std::strncmp(attribute, v.c_str(), v.size()) == 0;
            break;
        case Condition::Suffix:
            holds = !v.empty() && length >= v.size() &&
                    std::memcmp(attribute + length - v.size(), v.data(), v.size()) == 0;
            break;
        case Condition::Substring:
            holds = !v.empty() && std::strstr(attribute, v.c_str()) != nullptr;
            break;
        default: // Has
            break;
        }
        if (!holds)
            return false;
    }
    return true;
}

bool SvgStyleSheet::MatchesList(uint32_t begin, uint32_t end, const TiXmlElement* element) {
    for (uint32_t head = begin; head < end && m_budget > 0; head += 1 + m_conditions[head].value) {
        const uint32_t top = head + 1 + m_conditions[head].name;
        if (MatchFrom(head + 1, top, element) == Matched)
            return true;
    }
    return false;
}

SvgStyleSheet::Result SvgStyleSheet::MatchFrom(uint32_t begin, uint32_t right,
                                               const TiXmlElement* element) {
    // Right to left with backtracking. A failure says how far it reaches so
    // that the loops over ancestors and siblings stop early: a compound left
    // of a descendant combinator that no ancestor holds fails for every
    // element below them, and one left of a sibling combinator for every
    // later sibling.
    uint32_t left = right;
    while (left > begin && !IsCombinator(m_conditions[left - 1].kind))
        --left;
    if (m_budget <= 0)
        return FailsCompletely;
    if (!MatchesCompound(left, right, element))
        return FailsHere;
    if (left == begin)
        return Matched;
    const uint32_t next = left - 1;
    switch (m_conditions[next].kind) {
    case Condition::Child: {
        const TiXmlElement* parent = ParentOf(element);
        return parent ? MatchFrom(begin, next, parent) : FailsCompletely;
    }
    case Condition::Descendant:
        for (const TiXmlElement* a = ParentOf(element); a; a = ParentOf(a)) {
            Result r = MatchFrom(begin, next, a);
            if (r == Matched || r == FailsCompletely)
                return r;
        }
        return FailsCompletely;
    case Condition::Adjacent: {
        const TiXmlElement* sibling = PreviousElement(element);
        return sibling ? MatchFrom(begin, next, sibling) : FailsAllSiblings;
    }
    default: // Sibling
        for (const TiXmlElement* s = PreviousElement(element); s; s = PreviousElement(s)) {
            Result r = MatchFrom(begin, next, s);
            if (r != FailsHere)
                return r;
        }
        return FailsAllSiblings;
    }
}

bool SvgStyleSheet::Matches(const Selector& s, const TiXmlElement* element) {
    return MatchFrom(s.begin, s.end, element) == Matched;
}

void SvgStyleSheet::Match(const TiXmlElement* element, SvgSpecifiedStyle& given) {
    if (!element || m_budget <= 0)
        return;
    // The winner so far of each property, important and normal apart.
    struct Winner {
        uint32_t specificity;
        uint32_t declaration;
    };
    Winner winners[2][kAttributeCount + 1];
    bool won[2][kAttributeCount + 1] = {};
    bool any = false;

    auto consider = [&](const std::vector<uint32_t>& bucket) {
        for (uint32_t index : bucket) {
            if (m_budget <= 0)
                return;
            const Selector& s = m_selectors[index];
            if (!Matches(s, element))
                continue;
            for (uint32_t d = s.firstDeclaration; d < s.firstDeclaration + s.declarationCount;
                 ++d) {
                const SvgCssDeclaration& declaration = m_declarations[d];
                if (declaration.id < 0 || declaration.id > kAttributeCount)
                    continue;
                int level = declaration.important ? 0 : 1;
                Winner& w = winners[level][declaration.id];
                bool& has = won[level][declaration.id];
                // Later declarations come later in the list.
                if (!has || s.specificity > w.specificity ||
                    (s.specificity == w.specificity && d > w.declaration)) {
                    w = {s.specificity, d};
                    has = true;
                    any = true;
                }
            }
        }
    };
    auto lookup = [&](const std::unordered_map<std::string, std::vector<uint32_t>>& map,
                      const std::string& key) {
        auto it = map.find(key);
        if (it != map.end())
            consider(it->second);
    };

    consider(m_universal);
    if (!m_byType.empty())
        lookup(m_byType, element->Value());
    if (!m_byId.empty()) {
        if (const char* id = element->Attribute("id"))
            lookup(m_byId, id);
    }
    const char* classes = m_byClass.empty() ? nullptr : element->Attribute("class");
    if (classes) {
        // A class written twice looks its rules up once.
        std::vector<std::string> words;
        for (const char* p = classes; *p;) {
            while (IsListSpace(*p))
                ++p;
            const char* start = p;
            while (*p && !IsListSpace(*p))
                ++p;
            if (p > start)
                words.emplace_back(start, p);
        }
        std::sort(words.begin(), words.end());
        words.erase(std::unique(words.begin(), words.end()), words.end());
        for (const std::string& word : words)
            lookup(m_byClass, word);
    }
    if (!any)
        return;
    for (int level = 0; level < 2; ++level) {
        auto& out = level == 0 ? given.sheetImportant : given.sheetNormal;
        for (int id = 0; id <= kAttributeCount; ++id) {
            if (won[level][id])
                out.push_back(&m_declarations[winners[level][id].declaration]);
        }
    }
}
