#include "document/SvgTextSpace.h"

#include "document/SvgElement.h"
#include "engine/SvgXmlReader.h"

#include <tinyxml.h>

#include <cstring>
#include <vector>

namespace {

bool IsTextSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == SvgXmlReader::kTextSpace;
}

// The xml:space in force on element, given the one of its parent.
bool Preserves(const TiXmlElement* element, bool inherited) {
    const char* value = element->Attribute("xml:space");
    if (!value)
        return inherited;
    if (std::strcmp(value, "preserve") == 0)
        return true;
    if (std::strcmp(value, "default") == 0)
        return false;
    return inherited;
}

} // namespace

void SvgTextSpace::Normalize(TiXmlElement* text) {
    // xml:space may be set on any ancestor.
    bool preserve = false;
    std::vector<const TiXmlElement*> ancestors;
    for (const TiXmlNode* node = text->Parent(); node; node = node->Parent()) {
        if (const TiXmlElement* element = node->ToElement())
            ancestors.push_back(element);
    }
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
        preserve = Preserves(*it, preserve);
    SvgTextSpace space;
    space.Walk(text, preserve, 1);
    space.Finish();
}

void SvgTextSpace::Walk(TiXmlElement* element, bool preserveHere, int depth) {
    preserveHere = Preserves(element, preserveHere);
    for (TiXmlNode* node = element->FirstChild(); node; node = node->NextSibling()) {
        if (TiXmlText* text = node->ToText()) {
            Collapse(text, preserveHere);
        } else if (TiXmlElement* child = node->ToElement()) {
            if (depth < SvgElement::kMaxDepth && (std::strcmp(child->Value(), "tspan") == 0 ||
                                                  std::strcmp(child->Value(), "tref") == 0))
                Walk(child, preserveHere, depth + 1);
        }
    }
}

void SvgTextSpace::Collapse(TiXmlText* node, bool preserveHere) {
    const std::string& in = node->ValueStr();
    std::string out;
    out.reserve(in.size());
    for (char c : in) {
        if (!IsTextSpace(c)) {
            out += c;
            spaceLast = false;
        } else if (preserveHere) {
            out += ' ';
            spaceLast = false;
        } else if (!atStart && !spaceLast) {
            out += ' ';
            spaceLast = true;
        } else {
            continue;
        }
        atStart = false;
        lastNode = node;
    }
    node->SetValue(out);
}

void SvgTextSpace::Finish() {
    if (!spaceLast || !lastNode)
        return;
    std::string value = lastNode->ValueStr();
    if (!value.empty() && value.back() == ' ')
        value.pop_back();
    lastNode->SetValue(value);
}
