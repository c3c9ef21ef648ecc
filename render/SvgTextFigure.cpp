#include "render/SvgTextFigure.h"

using namespace Gdiplus;

Status SvgTextFigure::BuildPath() {
    if (!path)
        return OutOfMemory;
    Status status = path->Record(GdipResetPath(path->Get()));
    glyphs.AddTo(*path);
    return status;
}

void SvgTextFigure::CopyFrom(const SvgFigure* source) {
    const auto* run = dynamic_cast<const SvgTextFigure*>(source);
    if (!run || run == this)
        return;
    SvgFigure::CopyFrom(source);
    x = run->x;
    y = run->y;
    text = run->text;
}
