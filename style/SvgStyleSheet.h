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
// order), indexed by the rightmost compound of each selector, and the
// matching of elements against them. Selectors: type, universal (with
// namespace prefixes), class, id, attribute ([a], [a=v], [a~=v], [a|=v],
// [a^=v], [a$=v], [a*=v]) and the structural pseudo-classes (:root, :empty,
// :first-child, :nth-child(An+B), the -of-type and -last- forms, :not(),
// :is(), :where()), in compounds joined by descendant, child, next-sibling
// and subsequent-sibling combinators. User-action pseudo-classes and
// pseudo-elements never match a picture; a rule with any other selector is
// skipped whole. @media and @supports blocks whose condition holds apply in
// place; other at-rules are skipped. Declarations whose value the property's
// reader does not accept are dropped as they are read.
//
class SvgStyleSheet {
public:
    // Most selectors, selector conditions and declarations kept for a
    // document; rules past them are not read.
    static constexpr size_t kMaxSelectors = 200000;
    static constexpr size_t kMaxConditions = 600000;
    static constexpr size_t kMaxDeclarations = 400000;
    // Most compounds in one selector, those inside :not() and :is() counted;
    // a longer selector skips its rule.
    static constexpr size_t kMaxCompounds = 32;
    // Deepest nesting of :not()/:is() in a selector, and of @media/@supports
    // blocks; deeper ones are skipped.
    static constexpr int kMaxNesting = 8;
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

    // The size in pixels that media queries test (width, height,
    // aspect-ratio, orientation): the document's own, as it is drawn at its
    // own size. Sheets read after the call see it.
    void SetMediaSize(double width, double height) {
        m_mediaWidth = width;
        m_mediaHeight = height;
    }
    // The root's absolute width and height, else its viewBox's size; 0 when
    // neither is given.
    static void MediaSizeOf(const TiXmlElement* root, double& width, double& height);

    // Adds the declarations that apply to element to given: for each
    // property, the winning important declaration and the winning normal one
    // (higher specificity, then later in the document, wins).
    void Match(const TiXmlElement* element, SvgSpecifiedStyle& given);

    // Whether a rule looks at an element's siblings or its place among them
    // (which then must stay readable while later siblings are matched).
    bool LooksAtSiblings() const { return m_looksAtSiblings; }

    size_t SelectorCount() const { return m_selectors.size(); }
    size_t DeclarationCount() const { return m_declarations.size(); }
    long MatchBudgetLeft() const { return m_budget; }

    // One simple selector, or a combinator between two compounds.
    struct Condition {
        enum Kind : uint8_t {
            Descendant, // combinators
            Child,
            Adjacent, // "+"
            Sibling,  // "~"
            Any,      // "*"
            Type,
            Id,
            Class,
            Never,    // user actions, pseudo-elements, other namespaces
            Root,     // :root
            Empty,    // :empty
            NthChild, // An+B in name and value (as signed numbers)
            NthLastChild,
            NthOfType,
            NthLastOfType,
            Not,      // :not(): its list starts name conditions further on
            Is,       // :is(), :where(); value is the list's length
            List,     // heads one selector of a list: name top-level conditions of value
            Has,      // [name]
            Equals,   // [name=value]
            Includes, // [name~=value]
            DashMatch,
            Prefix,
            Suffix,
            Substring,
        };
        Kind kind;
        uint32_t name, value; // strings of the sheet, or numbers
    };

private:
    struct Selector {
        uint32_t begin, end;  // top-level conditions, left to right; lists of
                              // :not() and :is() follow them
        uint32_t specificity; // ids, then classes and attributes, then types
        uint32_t firstDeclaration, declarationCount;
    };

    // A condition as read, before the rule it belongs to is taken.
    struct Pending {
        Condition::Kind kind;
        std::string name, value;
        int32_t x = 0, y = 0; // numbers of the kinds that take them
    };

    // Where an element stands among its parent's element children, from 1.
    struct Position {
        int index, fromEnd, typeIndex, typeFromEnd;
    };

    enum Result { Matched, FailsHere, FailsAllSiblings, FailsCompletely };

    // Reads the rules of text; depth counts enclosing @media/@supports.
    void ReadRules(const char* data, size_t length, int depth);
    // Whether an @media or @supports prelude holds.
    bool MediaHolds(const std::string& prelude) const;
    bool SupportsHold(const std::string& prelude);
    // Takes an @namespace prelude.
    void AddNamespace(const std::string& prelude);
    // Reads one rule's selector list and declaration block.
    void AddRule(const char* prelude, size_t preludeLength, const char* block, size_t blockLength);
    // Parses one complex selector, appending its top-level conditions and
    // then the lists of its :not() and :is() to out; false when it is not
    // supported. compounds counts the compounds read so far.
    bool ParseSelector(const std::string& text, int depth, std::vector<Pending>& out,
                       size_t& topCount, uint32_t& specificity, size_t& compounds) const;
    // Parses the pseudo-class or pseudo-element after a ":" at pos; element
    // tells which it was.
    bool ParsePseudo(const std::string& text, size_t& pos, int depth, std::vector<Pending>& top,
                     std::vector<Pending>& tail, uint32_t& specificity, size_t& compounds,
                     bool& element) const;
    bool DeclarationAccepted(const std::string& name, const std::string& value) const;
    void ParseDeclarations(const char* block, size_t length);
    void AddCondition(const Pending& pending);
    void Index(uint32_t selector);

    // The value of element's attribute name, or null; spends budget.
    const char* Attribute(const TiXmlElement* element, const char* name);
    const Position& PositionOf(const TiXmlElement* element);
    // Whether the conditions [begin, end) of one compound hold for element.
    bool MatchesCompound(uint32_t begin, uint32_t end, const TiXmlElement* element);
    // Whether any selector of the list [begin, end) (List heads) matches.
    bool MatchesList(uint32_t begin, uint32_t end, const TiXmlElement* element);
    // Matches the top-level conditions [begin, right) with the compound that
    // ends at right on element, right to left, backtracking.
    Result MatchFrom(uint32_t begin, uint32_t right, const TiXmlElement* element);
    bool Matches(const Selector& selector, const TiXmlElement* element);

    // Names and values of conditions, each kept once; 0 is the empty string.
    std::vector<std::string> m_strings{std::string()};
    std::unordered_map<std::string, uint32_t> m_stringIds{{std::string(), 0}};
    std::vector<Condition> m_conditions;
    std::vector<Selector> m_selectors;
    std::vector<SvgCssDeclaration> m_declarations;
    std::unordered_map<std::string, std::vector<uint32_t>> m_byId, m_byClass, m_byType;
    std::vector<uint32_t> m_universal;
    std::unordered_map<const TiXmlElement*, Position> m_positions;
    long m_budget = kMatchBudget;
    double m_mediaWidth = 0, m_mediaHeight = 0;
    // The namespaces of the sheet being read: prefix to whether it names
    // the SVG namespace; whether a default namespace other than SVG's is set.
    std::unordered_map<std::string, bool> m_namespaces;
    bool m_foreignDefault = false;
    bool m_namespacesOpen = true; // @namespace still allowed
    bool m_looksAtSiblings = false;
};
