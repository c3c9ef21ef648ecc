#pragma once

#include "render/SvgFigure.h"
#include "render/SvgPointList.h"

// A connected series of lines through a list of points: closed for a
// polygon, open for a polyline.
class SvgPointsFigure : public SvgFigure {
public:
    explicit SvgPointsFigure(bool closed) : closed(closed) {}

    Gdiplus::Status BuildPath() override;
    // Also takes the source's points.
    void CopyFrom(const SvgFigure* source) override;

    SvgPointList points;

private:
    const bool closed;
};

class SvgPolygonFigure : public SvgPointsFigure {
public:
    SvgPolygonFigure() : SvgPointsFigure(true) {}
};

class SvgPolylineFigure : public SvgPointsFigure {
public:
    SvgPolylineFigure() : SvgPointsFigure(false) {}
};
