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
    GdiMatrix* matrix = GdiMatrix::Create(); // made afresh at every render
    if (!matrix)
        return;
    m_transform.getMatrix().toGdiMatrix(matrix->handle, &matrix->status);
    SvgRenderState::Prepend(graphics, matrix);
    delete matrix;
}
