#pragma once

#include "render/SvgFigure.h"
#include "syntax/SvgPathData.h"

// The outline of a path element: its built path data replayed into the path.
class SvgPathFigure : public SvgFigure {
public:
    SvgPathFigure() = default;

    Gdiplus::Status BuildPath() override;
    // Also takes the source's path data.
    void CopyFrom(const SvgFigure* source) override;

    SvgPathData pathData;
};
