#pragma once

#include "render/SvgFigure.h"
#include "syntax/SvgPathData.h"

// The outline of a path element: its built path data replayed into the path.
class SvgPathFigure : public SvgFigure {
public:
    SvgPathFigure() = default;

    Gdiplus::Status BuildPath() override;
    // Nothing is copied: a copy keeps its empty path data.
    void CopyFrom(const SvgFigure* /*source*/) override {}

    SvgPathData pathData;
};
