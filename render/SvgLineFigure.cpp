#include "render/SvgLineFigure.h"

using namespace Gdiplus;

Status SvgLineFigure::BuildPath() {
    if (!path)
        return OutOfMemory;
    path->Record(GdipResetPath(path->Get()));
    return path->Record(GdipAddPathLine(path->Get(), x1, y1, x2, y2));
}

void SvgLineFigure::CopyFrom(const SvgFigure* source) {
    SvgFigure::CopyFrom(source);
    if (const SvgLineFigure* other = dynamic_cast<const SvgLineFigure*>(source)) {
        x1 = other->x1;
        y1 = other->y1;
        x2 = other->x2;
        y2 = other->y2;
    }
}
