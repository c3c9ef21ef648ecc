#pragma once

#include "render/SvgFigure.h"

// One ellipse around (cx, cy) with radius r.
class SvgCircleFigure : public SvgFigure {
public:
    SvgCircleFigure() = default;
    ~SvgCircleFigure() override = default;

    Gdiplus::Status BuildPath() override;
    // The base copy, then the geometry of source (a figure of this class).
    void CopyFrom(const SvgFigure* source) override;

    // Geometry in user units, read by the element.
    float cx = 0.0f;
    float cy = 0.0f;
    float r = 0.0f;
};
