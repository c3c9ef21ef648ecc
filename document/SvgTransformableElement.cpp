#include "document/SvgTransformableElement.h"

#include "document/SvgRenderState.h"
#include "render/SvgFigure.h"
#include "style/SvgCssTransform.h"
#include "style/SvgStyle.h"
#include "syntax/SvgScanner.h"

#include <tinyxml.h>

void SvgTransformableElement::ReadTransform(TiXmlElement* xml) {
    if (const char* text = xml->Attribute("transform")) {
        SvgScanner scanner;
        scanner.readTransformList(m_transformList, SvgString(text));
        if (m_transformList.numberOfItems() > 0)
            m_transform = m_transformList.consolidate();
    }
    // transform as a property (it wins over the attribute), and transform-origin.
    SvgFigure* figure = GetFigure();
    const SvgStyle* style = figure ? figure->PeekStyle() : nullptr;
    const SvgTransformStyle* given = style ? style->transforms.get() : nullptr;
    if (!given)
        return;
    SvgCssTransform::Context context;
    context.fontSize = style->fontSize.computed;
    SvgRect box = GetViewportRect();
    context.boxWidth = box.getWidth();
    context.boxHeight = box.getHeight();
    SvgMatrix matrix = m_transform.getMatrix();
    if (given->transform.set && !given->transform.inherit)
        SvgCssTransform::Parse(given->transform.value.c_str(), context, matrix);
    double x = 0, y = 0;
    if (given->origin.set && !given->origin.inherit &&
        SvgCssTransform::ParseOrigin(given->origin.value.c_str(), context, x, y))
        matrix =
            SvgMatrix(1, 0, 0, 1, x, y).multiply(matrix).multiply(SvgMatrix(1, 0, 0, 1, -x, -y));
    m_transform.setMatrix(matrix);
}

void SvgTransformableElement::ApplyTransform(GdiGraphics& graphics) {
    SvgMatrix m = m_transform.getMatrix();
    if (m.getA() == 1 && m.getB() == 0 && m.getC() == 0 && m.getD() == 1 && m.getE() == 0 &&
        m.getF() == 0)
        return;                              // no transform: nothing to apply
    GdiMatrix* matrix = GdiMatrix::Create(); // made afresh at every render
    if (!matrix)
        return;
    m.toGdiMatrix(matrix->handle, &matrix->status);
    SvgRenderState::Prepend(graphics, matrix);
    delete matrix;
}
