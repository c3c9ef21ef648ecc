#include "document/SvgTrefElement.h"

#include "engine/SvgEngine.h"
#include "render/SvgPositionGlyphFigure.h"
#include "render/SvgTextFigure.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Elements or XML nodes visited for one unit of the document's copy budget,
// and units a byte of text taken costs: trefs cost time and memory in
// proportion (a character laid out costs more than an element copied), and
// take nothing once it is spent.
const long kNodesPerBudgetUnit = 64;
const long kBudgetUnitsPerByte = 4;

const char* Href(const TiXmlElement* xml) {
    const char* href = xml->Attribute("xlink:href");
    if (!href)
        href = xml->Attribute("href");
    return href && href[0] == '#' && href[1] ? href + 1 : nullptr;
}

void Append(std::string& out, const std::string& text) {
    if (out.size() < SvgTrefElement::kMaxTextBytes)
        out.append(text, 0, SvgTrefElement::kMaxTextBytes - out.size());
}

// The character data of an element read before: its glyphs and runs in
// document order. Counts the elements visited.
void GatherLoaded(const SvgElement& element, std::string& out, long& visited) {
    std::vector<const SvgElement*> stack{&element};
    while (!stack.empty() && out.size() < SvgTrefElement::kMaxTextBytes) {
        const SvgElement* e = stack.back();
        stack.pop_back();
        ++visited;
        if (e->GetKind() == SvgKindPositionGlyph)
            Append(out, static_cast<const SvgPositionGlyphFigure*>(e->GetFigure())->text);
        else if (e->GetKind() == SvgKindText || e->GetKind() == SvgKindTspan)
            Append(out, static_cast<const SvgTextElement*>(e)->GetTextFigure()->text);
        const std::vector<SvgElement*>& children = e->GetChildren();
        for (size_t i = children.size(); i-- > 0;)
            stack.push_back(children[i]);
    }
}

// The character data within an XML element, in document order.
void GatherXml(const TiXmlNode* node, std::string& out) {
    std::vector<const TiXmlNode*> stack{node};
    while (!stack.empty() && out.size() < SvgTrefElement::kMaxTextBytes) {
        const TiXmlNode* n = stack.back();
        stack.pop_back();
        if (const TiXmlText* text = n->ToText())
            Append(out, text->ValueStr());
        for (const TiXmlNode* child = n->LastChild(); child; child = child->PreviousSibling())
            stack.push_back(child);
    }
}

// The element of the XML document with the id, or null; visits at most
// `budget` nodes, and counts those it visited.
const TiXmlElement* FindXml(const TiXmlNode* top, const char* id, long budget, long& visited) {
    std::vector<const TiXmlNode*> stack{top};
    while (!stack.empty() && visited < budget) {
        const TiXmlNode* n = stack.back();
        stack.pop_back();
        ++visited;
        if (const TiXmlElement* e = n->ToElement()) {
            const char* own = e->Attribute("id");
            if (own && std::strcmp(own, id) == 0)
                return e;
        }
        for (const TiXmlNode* child = n->LastChild(); child; child = child->PreviousSibling())
            stack.push_back(child);
    }
    return nullptr;
}

bool Contains(const TiXmlNode* outer, const TiXmlNode* inner) {
    for (; inner; inner = inner->Parent())
        if (inner == outer)
            return true;
    return false;
}

} // namespace

SvgTrefElement::SvgTrefElement() : SvgTspanElement("tref") {}

bool SvgTrefElement::ReadAttributes(TiXmlElement* xml) {
    ReadPositionLists(xml);
    ReadStringAttribute(xml, "lengthAdjust", lengthAdjust);
    ReadResolvedLength(xml, "textLength", textLength);
    if (IsTextRoot())
        return true;
    // Only the text ResolveAll put in; elements written inside are not drawn.
    for (TiXmlNode* node = xml->FirstChild(); node; node = node->NextSibling()) {
        if (TiXmlText* text = node->ToText())
            GetTextFigure()->text += text->ValueStr();
    }
    return true;
}

void SvgTrefElement::ResolveAll(TiXmlElement* textXml, SvgEngine* owner) {
    std::vector<TiXmlElement*> trefs, stack{textXml};
    while (!stack.empty()) {
        TiXmlElement* e = stack.back();
        stack.pop_back();
        if (std::strcmp(e->Value(), "tref") == 0)
            trefs.push_back(e);
        std::vector<TiXmlElement*> children;
        for (TiXmlElement* child = e->FirstChildElement(); child;
             child = child->NextSiblingElement())
            children.push_back(child);
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    size_t total = 0; // bytes the trefs took
    for (TiXmlElement* tref : trefs) {
        std::string text;
        const char* id = Href(tref);
        if (id && (!owner || owner->TakeCopyBudget(1))) {
            long visited = 0;
            if (SvgElement* loaded = owner ? owner->FindElementById(id) : nullptr) {
                GatherLoaded(*loaded, text, visited);
            } else if (const TiXmlDocument* document = tref->GetDocument()) {
                // Later in the file: searched in the XML not yet read.
                const TiXmlElement* target =
                    FindXml(document, id, kNodesPerBudgetUnit * 4096, visited);
                // The text around the tref is not yet known: one naming an
                // element around it (or itself) has none.
                if (target && !Contains(target, tref))
                    GatherXml(target, text);
            }
            size_t keep = std::min(text.size(), kMaxTextBytes - total);
            while (keep > 0 && keep < text.size() && (text[keep] & 0xC0) == 0x80)
                --keep; // not within a character
            text.resize(keep);
            total += text.size();
            long cost = visited / kNodesPerBudgetUnit + long(text.size()) * kBudgetUnitsPerByte;
            if (owner && !owner->TakeCopyBudget(cost))
                text.clear();
        }
        tref->Clear();
        if (!text.empty())
            tref->LinkEndChild(new TiXmlText(text));
    }
}
