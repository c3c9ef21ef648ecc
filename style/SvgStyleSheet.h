#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TiXmlElement;
struct SvgSpecifiedStyle;

// One declaration of a style sheet: a property (its number in the attribute
// table) and its value, without "!important" and outer white space.
struct SvgCssDeclaration {
    int id;
    bool important;
    std::string value;
};

// The rules of a document's style sheets (its `style` elements, in document
// order), indexed by the rightmost simple selector of each selector, and the
// matching of elements against them. Supported selectors: type, universal,
// class, id and attribute ([a], [a=v], [a~=v], [a|=v], [a^=v], [a$=v],
// [a*=v]), compounds of these, and descendant and child combinators. A rule
// with any other selector (pseudo-classes, sibling combinators, namespaces),
// and every at-rule, is skipped whole. Declarations whose value the property's
// reader does not accept are dropped as they are read.
//
// Used by one thread at a time: matching spends a work budget of the sheet.
class SvgStyleSheet {
public:
    // Most selectors, selector conditions and declarations kept for a
    // document; rules past them are not read.
    static constexpr size_t kMaxSelectors = 200000;
    static constexpr size_t kMaxConditions = 600000;
    static constexpr size_t kMaxDeclarations = 400000;
    // Most compounds in one selector; a longer selector skips its rule.
    static constexpr size_t kMaxCompounds = 32;
    // Steps (compounds tested, attributes passed over, 64 characters of a
    // value compared) the matching of a whole document may spend; past it,
    // no further rule applies.
    static constexpr long kMatchBudget = 20000000;

    SvgStyleSheet() = default;
    SvgStyleSheet(const SvgStyleSheet&) = delete;
    SvgStyleSheet& operator=(const SvgStyleSheet&) = delete;

    // The style sheets of the `style` elements below root (root included)
    // whose type is absent, empty or text/css; null when there are none.
    static std::unique_ptr<SvgStyleSheet> FromDocument(const TiXmlElement* root);

    // Reads the rules of one style sheet's text, after those read before.
    void AddSheet(const std::string& text);

    // Adds the declarations that apply to element to given: for each
    // property, the winning important declaration and the winning normal one
    // (higher specificity, then later in the document, wins).
    void Match(const TiXmlElement* element, SvgSpecifiedStyle& given);

    size_t SelectorCount() const { return m_selectors.size(); }
    size_t DeclarationCount() const { return m_declarations.size(); }
    long MatchBudgetLeft() const { return m_budget; }

    // One simple selector, or a combinator between two compounds.
    struct Condition {
        enum Kind : uint8_t {
            Descendant, // combinators
            Child,
            Any, // "*"
            Type,
            Id,
            Class,
            Has,      // [name]
            Equals,   // [name=value]
            Includes, // [name~=value]
            DashMatch,
            Prefix,
            Suffix,
            Substring,
        };
        Kind kind;
        uint32_t name, value; // strings of the sheet
    };

private:
    struct Selector {
        uint32_t begin, end;  // conditions, left to right
        uint32_t specificity; // ids, then classes and attributes, then types
        uint32_t firstDeclaration, declarationCount;
    };

    // A condition as read, before the rule it belongs to is taken.
    struct Pending {
        Condition::Kind kind;
        std::string name, value;
    };

    // Reads one rule's selector list and declaration block.
    void AddRule(const char* prelude, size_t preludeLength, const char* block, size_t blockLength);
    // Parses one selector, appending its conditions to out; false when it is
    // not supported.
    bool ParseSelector(const std::string& text, std::vector<Pending>& out, uint32_t& specificity);
    void ParseDeclarations(const char* block, size_t length);
    void AddCondition(Condition::Kind kind, const std::string& name = std::string(),
                      const std::string& value = std::string());
    void Index(uint32_t selector);

    // The value of element's attribute name, or null; spends budget.
    const char* Attribute(const TiXmlElement* element, const char* name);
    // Whether the conditions [begin, end) of one compound hold for element.
    bool MatchesCompound(uint32_t begin, uint32_t end, const TiXmlElement* element);
    // The topmost element of a chain of compounds joined by child combinators,
    // [begin, end), whose last compound matches element; null when none.
    const TiXmlElement* MatchChain(uint32_t begin, uint32_t end, const TiXmlElement* element);
    bool Matches(const Selector& selector, const TiXmlElement* element);

    // Names and values of conditions, each kept once; 0 is the empty string.
    std::vector<std::string> m_strings{std::string()};
    std::unordered_map<std::string, uint32_t> m_stringIds{{std::string(), 0}};
    std::vector<Condition> m_conditions;
    std::vector<Selector> m_selectors;
    std::vector<SvgCssDeclaration> m_declarations;
    std::unordered_map<std::string, std::vector<uint32_t>> m_byId, m_byClass, m_byType;
    std::vector<uint32_t> m_universal;
    long m_budget = kMatchBudget;
};
