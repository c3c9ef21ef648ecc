#include "render/SvgPositionGlyphFigure.h"

#include "render/SvgTextFigure.h"

using namespace Gdiplus;

SvgPositionGlyphFigure::~SvgPositionGlyphFigure() {
    style = nullptr; // borrowed from the text element
}

Status SvgPositionGlyphFigure::BuildPath() {
    if (!path)
        return OutOfMemory;
    Status status = path->Record(GdipResetPath(path->Get()));
    glyphs.AddTo(*path);
    return status;
}

void SvgPositionGlyphFigure::CopyGlyph(const SvgPositionGlyphFigure& source) {
    if (GdiPath* copy = source.path ? source.path->Clone() : nullptr) {
        delete path;
        path = copy;
    }
    x = source.x;
    y = source.y;
    text = source.text;
    glyphs = source.glyphs;
}

RectF SvgPositionGlyphFigure::PaintBox() const {
    return SvgTextFigure::TextBoxAround(GetOwner());
}
