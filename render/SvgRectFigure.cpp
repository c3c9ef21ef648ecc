#include "render/SvgRectFigure.h"

using namespace Gdiplus;

Status SvgRectFigure::BuildPath() {
    if (!path)
        return OutOfMemory;
    GpPath* p = path->Get();
    path->Record(GdipResetPath(p));

    // Without radii, the rectangle exactly as given (the back end refuses
    // non-finite values and adds nothing for an empty one).
    if (rx < 0 && ry < 0)
        return path->Record(GdipAddPathRectangle(p, x, y, width, height));

    float hw = width * 0.5f;
    float hh = height * 0.5f;
    if (rx > hw)
        rx = hw;
    if (ry > hh)
        ry = hh;
    if (rx > 0 && ry < 0)
        ry = rx;
    else if (ry > 0 && rx < 0)
        rx = ry;
    // A radius of 0 given alone leaves the other one unset; both are 0 then,
    // so the lines meet at the corners.
    if (rx == 0 && ry < 0)
        ry = 0;
    else if (ry == 0 && rx < 0)
        rx = 0;
    if (rx > hw)
        rx = ry = hw;
    else if (ry > hh)
        rx = ry = hh;

    float d = 2 * rx;
    float e = 2 * ry;
    // Clockwise from the top edge's start, where SVG starts a rounded
    // rectangle (dashes are laid from there). Empty arcs (a radius of 0) are
    // refused and recorded; the lines still make the outline.
    path->Record(GdipAddPathLine(p, x + rx, y, x + width - rx, y));
    path->Record(GdipAddPathArc(p, x + width - d, y, d, e, 270, 90));
    path->Record(GdipAddPathLine(p, x + width, y + ry, x + width, y + height - ry));
    path->Record(GdipAddPathArc(p, x + width - d, y + height - e, d, e, 0, 90));
    path->Record(GdipAddPathLine(p, x + width - rx, y + height, x + rx, y + height));
    path->Record(GdipAddPathArc(p, x, y + height - e, d, e, 90, 90));
    path->Record(GdipAddPathLine(p, x, y + height - ry, x, y + ry));
    path->Record(GdipAddPathArc(p, x, y, d, e, 180, 90));
    return path->Record(GdipClosePathFigure(p));
}

void SvgRectFigure::CopyFrom(const SvgFigure* source) {
    SvgFigure::CopyFrom(source);
    if (const SvgRectFigure* other = dynamic_cast<const SvgRectFigure*>(source)) {
        x = other->x;
        y = other->y;
        width = other->width;
        height = other->height;
        rx = other->rx;
        ry = other->ry;
    }
}
