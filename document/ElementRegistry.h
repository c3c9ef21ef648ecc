#pragma once

#include <map>
#include <string>

class SvgElement;

// Turns a tag name into a new element: one prototype element per supported tag,
// whose Clone makes the new element. A single process-wide instance, built on
// first use (under a lock, so threads may race to it) and freed when the last
// engine goes; it is never changed in between, so lookups take no lock.
class ElementRegistry {
public:
    static ElementRegistry* Instance();

    // Every engine holds the registry from its construction to its
    // destruction; the release of the last hold frees it (the next Instance()
    // builds it again).
    static void Hold();
    static void Release();

    virtual ~ElementRegistry();

    // A new, default-constructed element for the tag (exact, case-sensitive),
    // owned by the caller; null for a tag without a class.
    SvgElement* CreateElement(const char* tagName) const;

private:
    ElementRegistry();
    void Add(const char* tagName, SvgElement* prototype);

    std::map<std::string, SvgElement*> m_prototypes;
};
