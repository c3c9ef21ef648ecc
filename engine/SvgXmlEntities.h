#pragma once

#include <cstddef>
#include <string>

// Expands the general entities a document declares in the internal subset of
// its document type declaration, in the text the XML reader (which reads no
// declarations) is then given: references in content take the entity's text
// as markup, references in attribute values take it as the value's
// characters. Predefined and character references are left to the XML
// reader; external entities are never read (their references expand to
// nothing), nor are parameter entities. An entity that refers to itself, or
// whose expansion would pass the budget or the nesting limit, expands to
// nothing, so a document of entities that double each other ("billion
// laughs") grows by a few megabytes at most and keeps its own elements.
class SvgXmlEntities {
public:
    // Bytes that the expansions in one document may scan and add, in all.
    static constexpr size_t kMaxExpansion = size_t(4) << 20;
    // What each '<' in an entity's text counts against that budget besides
    // itself: the elements entities make stay a few tens of thousands.
    static constexpr size_t kElementCost = 256;
    // Entities nested inside one another's text, at most.
    static constexpr int kMaxNesting = 32;

    // Expands the references in place; false, and the bytes untouched, when
    // the document declares no entity.
    static bool Expand(std::string& bytes, size_t budget = kMaxExpansion);
};
