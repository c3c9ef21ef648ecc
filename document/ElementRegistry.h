#pragma once

#include <map>
#include <string>

class SvgElement;

// Turns a tag name into a new element: one prototype element per supported tag,
// whose Clone makes the new element. A single process-wide instance, built on
// first use and destroyed by any engine's destructor.
class ElementRegistry {
public:
    static ElementRegistry* Instance();
    static void Destroy();

    virtual ~ElementRegistry();

    // A new, default-constructed element for the tag (exact, case-sensitive),
    // owned by the caller; null for a tag without a class.
    SvgElement* CreateElement(const char* tagName) const;

private:
    ElementRegistry();
    void Add(const char* tagName, SvgElement* prototype);

    std::map<std::string, SvgElement*> m_prototypes;
};
