#pragma once

#include "document/SvgFigureElement.h"
#include "style/SvgLength.h"
#include "syntax/SvgMatrix.h"
#include "syntax/SvgRect.h"

#include <string>

struct SvgRenderContext;
struct SvgMarkerInstance;

// How a marker turns at a vertex (the orient attribute).
enum class SvgMarkerOrient { Angle, Auto, AutoStartReverse };

// The `marker` element, never drawn itself: a shape whose marker-start,
// marker-mid or marker-end names it draws its content at its vertices, turned
// by orient, scaled by the stroke width (markerUnits="strokeWidth", the
// default) and with the point (refX, refY) of its viewBox on the vertex. Its
// content takes its style from the marker and the marker's ancestors, and is
// cut to the marker's viewport (and to the part of it its viewBox fills)
// unless overflow says otherwise.
class SvgMarkerElement : public SvgFigureElement {
public:
    SvgMarkerElement();
    ~SvgMarkerElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgMarkerElement(); }
    void CopyFrom(const SvgElement* source) override;
    void Render(GdiGraphics& /*graphics*/) override {}

    // The angle in degrees of an instance at a vertex whose direction is
    // direction degrees (start: the path's first vertex).
    float AngleAt(float direction, bool start) const;
    // Whether the content is scaled by the stroke width.
    bool ScalesWithStroke() const { return m_strokeUnits; }
    // Works out, once, how the content is placed and cut: when the document's
    // markers are placed.
    void Prepare() const;
    // Draws one instance, under the user space of the shape it marks.
    void Draw(GdiGraphics& graphics, const SvgMarkerInstance& instance,
              SvgRenderContext& context) const;

private:
    // refX or refY in the viewBox: a length, a percentage or keyword of the
    // viewBox (or, without one, of the marker's size).
    float Reference(const SvgLength& length, float keyword, double origin, double size) const;

    SvgLength m_refX, m_refY;
    float m_refXKeyword = -1, m_refYKeyword = -1; // 0, 0.5 or 1 for a keyword; -1 for none
    SvgLength m_width, m_height;
    bool m_strokeUnits = true; // markerUnits="strokeWidth"
    SvgMarkerOrient m_orient = SvgMarkerOrient::Angle;
    float m_angle = 0;
    bool m_viewBoxSet = false;
    SvgRect m_viewBox;
    std::string m_aspect;

    // What Prepare works out.
    mutable bool m_prepared = false;
    mutable bool m_drawable = false;
    mutable bool m_clips = false;
    mutable SvgMatrix m_content;   // content to the placed marker, the reference point at 0
    mutable Gdiplus::RectF m_clip; // the viewport in the placed marker's space
};
