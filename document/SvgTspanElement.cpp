#include "document/SvgTspanElement.h"

#include "render/SvgTextFigure.h"

#include <tinyxml.h>

SvgTspanElement::SvgTspanElement() : SvgTextElement(SvgKindTspan, "tspan") {}

bool SvgTspanElement::ReadAttributes(TiXmlElement* xml) {
    SvgTextFigure* figure = GetTextFigure();
    ReadResolvedLength(xml, "x", figure->x);
    ReadResolvedLength(xml, "y", figure->y);
    // The first child alone gives the run; no child elements are made. A
    // comment or other markup gives no text.
    TiXmlNode* first = xml->FirstChild();
    if (first && (first->ToText() || first->ToElement()) && first->Value())
        figure->text = first->Value();
    return true;
}
