#pragma once

#include "document/SvgElement.h"
#include "style/SvgLength.h"

#include <string>

// The `svg` element (also made for `arc` and `filter`): maps its viewBox into
// its viewport and renders its children there. Its plain figure carries the
// style its children inherit, as a group's does.
class SvgRootElement : public SvgElement {
public:
    SvgRootElement();
    ~SvgRootElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgRootElement(); }
    void ReadStyle(TiXmlElement* xml) override { ReadStyleInto(m_figure, xml); }
    // Takes the source's style, position, size, viewBox and preserveAspectRatio.
    void CopyFrom(const SvgElement* source) override;
    void Render(GdiGraphics& graphics) override;
    // Render with the viewport matrix as last computed: reads the tree only.
    void RenderInViewport(GdiGraphics& graphics);
    SvgFigure* GetFigure() const override { return m_figure; }

    // Recomputes the viewport matrix from the size, viewBox and preserveAspectRatio.
    void ComputeViewportMatrix();

    SvgRect GetViewBox() const override { return m_viewBox; }
    float GetWidth() const { return m_width.computed; }
    float GetHeight() const { return m_height.computed; }
    // The window size set by the host.
    void SetSize(float width, float height);
    const std::string& GetPreserveAspectRatio() const { return m_preserveAspectRatio; }
    // False when the viewBox is empty: nothing is drawn.
    bool IsDrawable() const { return m_drawable; }
    // The six elements of the viewport matrix (m11, m12, m21, m22, dx, dy).
    void GetViewportElements(float elements[6]) const;

private:
    SvgRect m_viewBox;
    SvgLength m_x;
    SvgLength m_y;
    SvgLength m_width;
    SvgLength m_height;
    std::string m_preserveAspectRatio = "none";
    GdiMatrix* m_viewportMatrix; // owned; null when it could not be made
    SvgFigure* m_figure;         // owned; holds the style
    bool m_drawable = false;
    // Without a viewBox, an axis whose length is not absolute (a percentage,
    // or none) maps one user unit to one unit of whatever size it is given.
    bool m_widthFollows = false;
    bool m_heightFollows = false;
};
