#include "document/SvgTspanElement.h"

#include "render/SvgTextFigure.h"

#include <tinyxml.h>

SvgTspanElement::SvgTspanElement() : SvgTextElement(SvgKindTspan, "tspan") {}

bool SvgTspanElement::ReadAttributes(TiXmlElement* xml) {
    ReadPositionLists(xml);
    ReadStringAttribute(xml, "lengthAdjust", lengthAdjust);
    ReadResolvedLength(xml, "textLength", textLength);
    if (GetDepth() >= kMaxDepth)
        return true; // children would lie too deep
    // Character data goes to the run being filled: this element's own until a
    // child element is made, then an unnamed run after that child.
    SvgTextFigure* run = GetTextFigure();
    for (TiXmlNode* node = xml->FirstChild(); node; node = node->NextSibling()) {
        if (TiXmlText* text = node->ToText()) {
            if (!run)
                run = AddRun()->GetTextFigure();
            run->text += text->ValueStr();
        } else if (TiXmlElement* element = node->ToElement()) {
            size_t before = m_children.size();
            AddElement(element);
            if (m_children.size() != before)
                run = nullptr;
        }
    }
    return true;
}

SvgTspanElement* SvgTspanElement::AddRun() {
    SvgTspanElement* run = new SvgTspanElement();
    AddChild(run);
    // Loaded from an element with no attributes: its style is all inherited.
    TiXmlElement empty("tspan");
    run->LoadFromXml(&empty);
    run->SetId("");
    return run;
}
