#pragma once

#include "render/SvgFigure.h"

// A rectangle, with rounded corners when a radius is given. Without radii it
// is an integer rectangle (each value truncated toward zero).
class SvgRectFigure : public SvgFigure {
public:
    SvgRectFigure() = default;
    ~SvgRectFigure() override = default;

    // Also stores the adjusted corner radii back into rx and ry.
    Gdiplus::Status BuildPath() override;
    // The base copy, then the geometry of source (a figure of this class).
    void CopyFrom(const SvgFigure* source) override;

    // Geometry in user units, read by the element; a negative radius was not given.
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float rx = -1.0f;
    float ry = -1.0f;
};
