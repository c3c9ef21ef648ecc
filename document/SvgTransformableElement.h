#pragma once

#include "document/SvgElement.h"
#include "syntax/SvgTransform.h"
#include "syntax/SvgTransformList.h"

// The second layer: an element with its own `transform`.
class SvgTransformableElement : public SvgElement {
public:
    SvgTransformableElement(int kind, const char* tagName) : SvgElement(kind, tagName) {}
    ~SvgTransformableElement() override = default;

    // Reads "transform" into the list and consolidates it into the transform.
    void ReadTransform(TiXmlElement* xml) override;

    // Prepends the element's transform to the world transform (kinds below 40).
    void ApplyTransform(GdiGraphics& graphics);

    const SvgTransform& GetTransform() const { return m_transform; }
    // Takes source's transform (for a copy).
    void CopyTransformFrom(const SvgTransformableElement& source) {
        m_transformList = source.m_transformList;
        m_transform = source.m_transform;
    }

protected:
    SvgTransformList m_transformList;
    SvgTransform m_transform;
};
