#include "document/SvgPathElement.h"

#include "document/SvgPathWalk.h"
#include "render/SvgPathFigure.h"
#include "syntax/SvgPathBuilder.h"

#include <tinyxml.h>

SvgPathElement::SvgPathElement() : SvgFigureElement(SvgKindPath, "path") {
    m_figure = new SvgPathFigure();
    m_figure->SetOwner(this);
}

SvgPathElement::~SvgPathElement() {
    delete m_figure;
}

SvgPathFigure* SvgPathElement::GetPathFigure() const {
    return static_cast<SvgPathFigure*>(m_figure);
}

bool SvgPathElement::ReadAttributes(TiXmlElement* xml) {
    const char* text = xml ? xml->Attribute("d") : nullptr;
    SvgPathBuilder builder(&GetPathFigure()->pathData);
    builder.parseData(text ? text : "");
    return true;
}

std::shared_ptr<const SvgPathWalk> SvgPathElement::GetWalk() {
    if (!m_walk)
        m_walk =
            std::make_shared<SvgPathWalk>(GetPathFigure()->pathData, GetTransform().getMatrix());
    return m_walk;
}
