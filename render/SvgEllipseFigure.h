#pragma once

#include "render/SvgFigure.h"

// One ellipse around (cx, cy) with radii rx and ry.
class SvgEllipseFigure : public SvgFigure {
public:
    SvgEllipseFigure() = default;
    ~SvgEllipseFigure() override = default;

    Gdiplus::Status BuildPath() override;
    // The base copy, then the geometry of source (a figure of this class).
    void CopyFrom(const SvgFigure* source) override;

    // Geometry in user units, read by the element.
    float cx = 0.0f;
    float cy = 0.0f;
    float rx = 0.0f;
    float ry = 0.0f;
};
