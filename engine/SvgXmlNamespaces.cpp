#include "engine/SvgXmlNamespaces.h"

#include <tinyxml.h>

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

const char kXml[] = "http://www.w3.org/XML/1998/namespace";

// Prefix bindings in force, each prefix's innermost last; the empty prefix is
// the default namespace. A look-up takes the same time however many
// declarations enclose the element.
class Scope {
public:
    Scope() {
        Bind("", SvgXmlNamespaces::kSvg);
        Bind("xlink", SvgXmlNamespaces::kXLink);
        Bind("xml", kXml);
    }

    size_t Mark() const { return m_declared.size(); }
    void Restore(size_t mark) {
        while (m_declared.size() > mark) {
            m_bound[m_declared.back()].pop_back();
            m_declared.pop_back();
        }
    }

    // Takes the element's declarations; true when it has prefixed names to
    // resolve among its attributes.
    bool Declare(const TiXmlElement* element) {
        bool prefixed = false;
        for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
            const char* name = a->Name();
            if (std::strncmp(name, "xmlns", 5) == 0 && (name[5] == '\0' || name[5] == ':'))
                Bind(name[5] ? name + 6 : "", a->ValueStr());
            else if (std::strchr(name, ':'))
                prefixed = true;
        }
        return prefixed;
    }

    // The namespace bound to prefix; null when none is.
    const std::string* Find(const std::string& prefix) const {
        auto it = m_bound.find(prefix);
        return it == m_bound.end() || it->second.empty() ? nullptr : &it->second.back();
    }
    // The default namespace (always bound, maybe to nothing: "").
    const std::string& Default() const { return m_default->back(); }

private:
    void Bind(const std::string& prefix, const std::string& uri) {
        m_bound[prefix].push_back(uri);
        m_declared.push_back(prefix);
    }

    std::unordered_map<std::string, std::vector<std::string>> m_bound;
    const std::vector<std::string>* m_default = &m_bound[""];
    std::vector<std::string> m_declared; // prefixes in the order they were bound
};

// "{URI}local", a name that matches no name written in a document.
std::string Expanded(const std::string& uri, const char* local) {
    return "{" + uri + "}" + local;
}

// Renames an SVG element to its local name; false for an element of another
// namespace or with an unbound prefix, which top-level gets a name that
// tells so.
bool ResolveElement(TiXmlElement* element, const Scope& scope, bool topLevel) {
    const char* name = element->Value();
    const char* colon = std::strchr(name, ':');
    const char* local = colon ? colon + 1 : name;
    const std::string* uri = colon ? scope.Find(std::string(name, colon)) : &scope.Default();
    // A name of two colons is no name in any namespace.
    if (uri && *uri == SvgXmlNamespaces::kSvg && !std::strchr(local, ':')) {
        if (colon)
            element->SetValue(std::string(local));
        return true;
    }
    if (topLevel && uri)
        element->SetValue(Expanded(*uri, local));
    return false;
}

void ResolveAttributes(TiXmlElement* element, const Scope& scope) {
    bool plainHref = element->Attribute("href") != nullptr;
    for (TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
        const char* name = a->Name();
        const char* colon = std::strchr(name, ':');
        if (!colon || std::strncmp(name, "xmlns:", 6) == 0)
            continue;
        std::string prefix(name, colon);
        const char* local = colon + 1;
        const std::string* uri = scope.Find(prefix);
        bool xlink = uri && *uri == SvgXmlNamespaces::kXLink;
        if (xlink && plainHref && std::strcmp(local, "href") == 0)
            a->SetName(Expanded(*uri, local)); // the unprefixed href wins
        else if (xlink && prefix != "xlink")
            a->SetName("xlink:" + std::string(local));
        else if (!xlink && prefix == "xlink")
            a->SetName(Expanded(uri ? *uri : std::string(), local));
    }
}

} // namespace

void SvgXmlNamespaces::Resolve(TiXmlDocument& doc) {
    Scope scope;
    struct Frame {
        TiXmlElement* element;
        size_t mark; // the scope before the element's declarations
        TiXmlNode* next;
    };
    std::vector<Frame> frames;
    for (TiXmlElement* top = doc.FirstChildElement(); top; top = top->NextSiblingElement()) {
        size_t mark = scope.Mark();
        bool prefixed = scope.Declare(top);
        if (!ResolveElement(top, scope, true)) {
            scope.Restore(mark);
            continue;
        }
        if (prefixed)
            ResolveAttributes(top, scope);
        frames.push_back({top, mark, top->FirstChild()});
        while (!frames.empty()) {
            Frame& frame = frames.back();
            TiXmlNode* node = frame.next;
            while (node && !node->ToElement())
                node = node->NextSibling();
            if (!node) {
                scope.Restore(frame.mark);
                frames.pop_back();
                continue;
            }
            frame.next = node->NextSibling();
            TiXmlElement* parent = frame.element;
            TiXmlElement* element = node->ToElement();
            size_t childMark = scope.Mark();
            prefixed = scope.Declare(element);
            if (!ResolveElement(element, scope, false)) {
                scope.Restore(childMark);
                parent->RemoveChild(element);
                continue;
            }
            if (prefixed)
                ResolveAttributes(element, scope);
            frames.push_back({element, childMark, element->FirstChild()});
        }
    }
}
