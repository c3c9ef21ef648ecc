#include "document/SvgTransformableElement.h"

#include "document/SvgRenderState.h"
#include "syntax/SvgScanner.h"

#include <tinyxml.h>

void SvgTransformableElement::ReadTransform(TiXmlElement* xml) {
    const char* text = xml->Attribute("transform");
    if (!text)
        return;
    SvgScanner scanner;
    scanner.readTransformList(m_transformList, SvgString(text));
    if (m_transformList.numberOfItems() > 0)
        m_transform = m_transformList.consolidate();
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
