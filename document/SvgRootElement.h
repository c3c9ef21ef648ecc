#pragma once

#include "document/SvgElement.h"
#include "style/SvgLength.h"

#include <string>

// The `svg` element (also made for `arc` and `filter`): maps its viewBox into
// its viewport and renders its children there. Its plain figure carries the
// style its children inherit, as a group's does.
//
// The outermost one maps its viewBox into the document's own size after its
// preserveAspectRatio, and that size into the host's window, stretched when
// the window has another shape. A nested one has the viewport (x, y, width,
// height) in its parent's user space, 100% wide and high unless told, and
// cuts what it draws to that viewport unless its overflow is visible.
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

    // The viewBox, or without one the viewport's own size at (0, 0).
    SvgRect GetViewBox() const override { return m_viewBox; }
    // The outermost svg: the window's size (the document's own until the host
    // sets another); a nested one: its viewport's.
    float GetWidth() const { return m_viewportWidth; }
    float GetHeight() const { return m_viewportHeight; }
    // The window size set by the host.
    void SetSize(float width, float height);
    // A `use` of a nested svg gives it its own width and height (values not
    // above 0 disable it, as for the svg's own).
    void SetUseSize(const SvgLength& width, const SvgLength& height);
    const std::string& GetPreserveAspectRatio() const { return m_preserveAspectRatio; }
    // False when the viewBox or the viewport is empty: nothing is drawn.
    bool IsDrawable() const { return m_drawable; }
    // The six elements of the viewport matrix (m11, m12, m21, m22, dx, dy).
    void GetViewportElements(float elements[6]) const;

private:
    // The nested svg's viewport from its lengths, in its parent's viewport.
    void ResolveNestedViewport();

    SvgRect m_viewBox;
    SvgLength m_x;
    SvgLength m_y;
    SvgLength m_width;
    SvgLength m_height;
    std::string m_preserveAspectRatio = "xMidYMid meet";
    GdiMatrix* m_viewportMatrix; // owned; null when it could not be made
    SvgFigure* m_figure;         // owned; holds the style
    // The document's own size (the outermost svg), or the viewport's origin
    // and size (a nested one).
    float m_documentWidth = 0;
    float m_documentHeight = 0;
    float m_viewportX = 0;
    float m_viewportY = 0;
    float m_viewportWidth = 0;
    float m_viewportHeight = 0;
    bool m_hasViewBox = false;
    bool m_drawable = false;
    // Without a viewBox, an axis of the outermost svg whose length is not
    // absolute (a percentage, or none) maps one user unit to one unit of
    // whatever size it is given.
    bool m_widthFollows = false;
    bool m_heightFollows = false;
};
