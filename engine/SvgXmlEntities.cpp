#include "engine/SvgXmlEntities.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <vector>

namespace {

constexpr size_t kNever = std::numeric_limits<size_t>::max();

// What an entity's text costs of the budget: its bytes, and for each element
// it may make, about what an element takes in memory beyond its markup.
size_t OwnCost(const std::string& text) {
    return text.size() +
           SvgXmlEntities::kElementCost * size_t(std::count(text.begin(), text.end(), '<'));
}

struct Entity {
    std::string text;         // replacement text, character references resolved
    bool external = false;    // never read: expands to nothing
    std::vector<size_t> refs; // declared entities its text names
    size_t cost = 0;          // of the budget, to expand it whole (OwnCost); kNever: never
    int height = 0;           // nesting of entities in its expansion, itself counting 1
    int visit = 0;            // 0 new, 1 being measured, 2 measured
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool StartsWith(const char* p, const char* end, const char* lit) {
    size_t n = std::strlen(lit);
    return static_cast<size_t>(end - p) >= n && std::memcmp(p, lit, n) == 0;
}

// Just after the first lit at or after p, or end.
const char* After(const char* p, const char* end, const char* lit) {
    size_t n = std::strlen(lit);
    for (; static_cast<size_t>(end - p) >= n; ++p) {
        if (std::memcmp(p, lit, n) == 0)
            return p + n;
    }
    return end;
}

// Just after the '>' that ends a declaration, skipping quoted literals.
const char* DeclarationEnd(const char* p, const char* end) {
    char quote = 0;
    for (; p < end; ++p) {
        if (quote) {
            if (*p == quote)
                quote = 0;
        } else if (*p == '"' || *p == '\'') {
            quote = *p;
        } else if (*p == '>') {
            return p + 1;
        }
    }
    return end;
}

const char* SkipSpace(const char* p, const char* end) {
    while (p < end && IsSpace(*p))
        ++p;
    return p;
}

const char* NameEnd(const char* p, const char* end) {
    while (p < end && !IsSpace(*p) && *p != '"' && *p != '\'' && *p != '>' && *p != '[' &&
           *p != ';' && *p != '&' && *p != '<' && *p != '%')
        ++p;
    return p;
}

bool IsPredefined(const std::string& name) {
    return name == "lt" || name == "gt" || name == "amp" || name == "quot" || name == "apos";
}

void AppendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// An entity's literal value with its character references resolved (general
// references stay, to be expanded where the entity is used).
std::string ResolveCharacterReferences(const char* p, const char* end) {
    std::string text;
    while (p < end) {
        const char* semicolon;
        if (StartsWith(p, end, "&#") &&
            (semicolon = static_cast<const char*>(std::memchr(p, ';', end - p))) &&
            semicolon - p <= 12) {
            bool hex = p[2] == 'x';
            const char* digits = p + (hex ? 3 : 2);
            unsigned long code = 0;
            bool ok = digits < semicolon;
            for (const char* d = digits; ok && d < semicolon; ++d) {
                int value = *d >= '0' && *d <= '9'          ? *d - '0'
                            : hex && *d >= 'a' && *d <= 'f' ? *d - 'a' + 10
                            : hex && *d >= 'A' && *d <= 'F' ? *d - 'A' + 10
                                                            : -1;
                ok = value >= 0;
                code = code * (hex ? 16 : 10) + static_cast<unsigned long>(value);
            }
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                AppendUtf8(text, code);
                p = semicolon + 1;
                continue;
            }
        }
        text += *p++;
    }
    return text;
}

class Expander {
public:
    explicit Expander(size_t budget) : m_budget(budget) {}

    // Reads the declarations of the internal subset; bodyStart gets the
    // offset after the document type declaration. False when none is declared.
    bool Declare(const std::string& bytes, size_t& bodyStart);
    // Cost and nesting of every entity, cycles marked as never expanded.
    void Measure();
    // Copies [p, end) to the output, expanding references; level counts the
    // entities around the text.
    void Run(const char* p, const char* end, int level);

    std::string out;

private:
    enum State { Content, Tag, Value, Comment, CData, Instruction, Other };

    const char* Declaration(const char* p, const char* end);
    // The reference at p (an '&'); returns the position after it.
    const char* Reference(const char* p, const char* end, int level);
    void Measure(size_t first);

    std::unordered_map<std::string, size_t> m_index;
    std::vector<Entity> m_entities;
    size_t m_budget;
    State m_state = Content;
    char m_quote = 0;
    int m_quoteLevel = 0;
    int m_marks = 0; // '-', ']' or '?' just before, towards the end of a section
};

bool Expander::Declare(const std::string& bytes, size_t& bodyStart) {
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    const char* p = begin;
    // The prolog: white space, processing instructions and comments.
    for (;;) {
        p = SkipSpace(p, end);
        if (StartsWith(p, end, "<?"))
            p = After(p + 2, end, "?>");
        else if (StartsWith(p, end, "<!--"))
            p = After(p + 4, end, "-->");
        else
            break;
    }
    if (!StartsWith(p, end, "<!DOCTYPE"))
        return false;
    p = NameEnd(SkipSpace(p + 9, end), end);
    // An external identifier names a file that is never read.
    for (;;) {
        p = SkipSpace(p, end);
        if (p < end && (*p == '"' || *p == '\'')) {
            const char* close = static_cast<const char*>(std::memchr(p + 1, *p, end - p - 1));
            p = close ? close + 1 : end;
        } else if (StartsWith(p, end, "SYSTEM") || StartsWith(p, end, "PUBLIC")) {
            p += 6;
        } else {
            break;
        }
    }
    if (p >= end || *p != '[')
        return false;
    ++p;
    while (p < end && *p != ']') {
        if (IsSpace(*p))
            ++p;
        else if (StartsWith(p, end, "<!ENTITY"))
            p = Declaration(p + 8, end);
        else if (StartsWith(p, end, "<!--"))
            p = After(p + 4, end, "-->");
        else if (StartsWith(p, end, "<?"))
            p = After(p + 2, end, "?>");
        else if (StartsWith(p, end, "<!"))
            p = DeclarationEnd(p + 2, end);
        else
            ++p; // parameter entity references and stray characters
    }
    bodyStart = static_cast<size_t>(DeclarationEnd(p, end) - begin);
    return !m_entities.empty();
}

const char* Expander::Declaration(const char* p, const char* end) {
    p = SkipSpace(p, end);
    if (p < end && *p == '%')
        return DeclarationEnd(p, end); // a parameter entity
    const char* nameEnd = NameEnd(p, end);
    std::string name(p, nameEnd);
    p = SkipSpace(nameEnd, end);
    Entity entity;
    if (p < end && (*p == '"' || *p == '\'')) {
        const char* close = static_cast<const char*>(std::memchr(p + 1, *p, end - p - 1));
        if (!close)
            return end;
        entity.text = ResolveCharacterReferences(p + 1, close);
        p = close + 1;
    } else {
        entity.external = true;
    }
    // The first declaration of a name binds it.
    if (!name.empty() && !IsPredefined(name) && m_index.emplace(name, m_entities.size()).second)
        m_entities.push_back(std::move(entity));
    return DeclarationEnd(p, end);
}

void Expander::Measure() {
    for (Entity& entity : m_entities) {
        const char* p = entity.text.data();
        const char* end = p + entity.text.size();
        while ((p = static_cast<const char*>(std::memchr(p, '&', end - p)))) {
            const char* nameEnd = NameEnd(p + 1, end);
            auto it = nameEnd < end && *nameEnd == ';' ? m_index.find(std::string(p + 1, nameEnd))
                                                       : m_index.end();
            if (it != m_index.end())
                entity.refs.push_back(it->second);
            p = nameEnd;
        }
    }
    for (size_t i = 0; i < m_entities.size(); ++i)
        Measure(i);
}

void Expander::Measure(size_t first) {
    if (m_entities[first].visit != 0)
        return;
    // Depth first without recursion: an entity and the next of its references.
    std::vector<std::pair<size_t, size_t>> stack{{first, 0}};
    m_entities[first].visit = 1;
    m_entities[first].cost = OwnCost(m_entities[first].text);
    m_entities[first].height = 1;
    while (!stack.empty()) {
        auto& [index, next] = stack.back();
        Entity& entity = m_entities[index];
        if (next < entity.refs.size()) {
            size_t refIndex = entity.refs[next++];
            Entity& ref = m_entities[refIndex];
            if (ref.visit == 1) {
                entity.cost = kNever; // a cycle
            } else if (ref.visit == 0) {
                ref.visit = 1;
                ref.cost = OwnCost(ref.text);
                ref.height = 1;
                stack.emplace_back(refIndex, size_t(0));
            }
            continue;
        }
        for (size_t ref : entity.refs) {
            const Entity& inner = m_entities[ref];
            if (entity.cost == kNever || inner.cost == kNever || inner.visit != 2 ||
                inner.cost > kNever - entity.cost)
                entity.cost = kNever;
            else
                entity.cost += inner.cost;
            entity.height = std::max(entity.height, std::min(inner.height + 1, 1 << 20));
        }
        entity.visit = 2;
        stack.pop_back();
    }
}

const char* Expander::Reference(const char* p, const char* end, int level) {
    const char* nameEnd = NameEnd(p + 1, end);
    if (p + 1 < end && p[1] == '#') // a character reference
        nameEnd = NameEnd(p + 2, end);
    if (nameEnd >= end || *nameEnd != ';' || nameEnd == p + 1) {
        out += '&';
        return p + 1;
    }
    auto it = m_index.find(std::string(p + 1, nameEnd));
    if (it == m_index.end()) {
        // Predefined, character or undeclared: for the XML reader.
        out.append(p, nameEnd + 1);
        return nameEnd + 1;
    }
    const Entity& entity = m_entities[it->second];
    if (!entity.external && entity.cost <= m_budget &&
        level + entity.height <= SvgXmlEntities::kMaxNesting) {
        m_budget -= entity.cost;
        Run(entity.text.data(), entity.text.data() + entity.text.size(), level + 1);
    }
    return nameEnd + 1;
}

void Expander::Run(const char* p, const char* end, int level) {
    while (p < end) {
        char c = *p;
        switch (m_state) {
        case Content:
            if (c == '&') {
                p = Reference(p, end, level);
                continue;
            }
            if (c == '<') {
                m_marks = 0;
                if (StartsWith(p, end, "<!--")) {
                    m_state = Comment;
                    out.append(p, 4);
                    p += 4;
                    continue;
                }
                if (StartsWith(p, end, "<![CDATA[")) {
                    m_state = CData;
                    out.append(p, 9);
                    p += 9;
                    continue;
                }
                // A start tag's name starts as the XML reader decides it;
                // anything else runs to the first '>'.
                unsigned char next = p + 1 < end ? static_cast<unsigned char>(p[1]) : 0;
                bool name = (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') ||
                            next == '_' || next >= 127;
                m_state = StartsWith(p, end, "<?") ? Instruction : name ? Tag : Other;
            }
            out += c;
            break;
        case Tag:
            if (c == '"' || c == '\'') {
                m_state = Value;
                m_quote = c;
                m_quoteLevel = level;
            } else if (c == '>') {
                m_state = Content;
            }
            out += c;
            break;
        case Value:
            if (c == m_quote && level <= m_quoteLevel) {
                m_state = Tag;
                out += c;
            } else if (c == '&') {
                p = Reference(p, end, level);
                continue;
            } else if (level > m_quoteLevel && (c == '"' || c == '\'' || c == '<')) {
                // An entity's characters inside the value stay characters.
                out += c == '"' ? "&quot;" : c == '\'' ? "&apos;" : "&lt;";
            } else {
                out += c;
            }
            break;
        case Comment:
        case CData:
        case Instruction: {
            char mark = m_state == Comment ? '-' : m_state == CData ? ']' : '?';
            int needed = m_state == Instruction ? 1 : 2;
            if (c == '>' && m_marks >= needed)
                m_state = Content;
            m_marks = c == mark ? m_marks + 1 : 0;
            out += c;
            break;
        }
        case Other:
            if (c == '>')
                m_state = Content;
            out += c;
            break;
        }
        ++p;
    }
}

} // namespace

bool SvgXmlEntities::Expand(std::string& bytes, size_t budget) {
    Expander expander(budget);
    size_t bodyStart = 0;
    if (!expander.Declare(bytes, bodyStart))
        return false;
    expander.Measure();
    expander.out.reserve(bytes.size() + 64);
    expander.out.assign(bytes, 0, bodyStart);
    expander.Run(bytes.data() + bodyStart, bytes.data() + bytes.size(), 0);
    bytes.swap(expander.out);
    return true;
}
