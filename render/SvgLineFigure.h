#pragma once

#include "render/SvgFigure.h"

// One line from (x1, y1) to (x2, y2).
class SvgLineFigure : public SvgFigure {
public:
    SvgLineFigure() = default;
    ~SvgLineFigure() override = default;

    Gdiplus::Status BuildPath() override;
    // The base copy, then the geometry of source (a figure of this class).
    void CopyFrom(const SvgFigure* source) override;

    // Geometry in user units, read by the element.
    float x1 = 0.0f;
    float y1 = 0.0f;
    float x2 = 0.0f;
    float y2 = 0.0f;
};
