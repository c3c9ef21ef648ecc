#include "render/SvgTextFigure.h"

#include "render/SvgFontRun.h"
#include "render/SvgTextBuffer.h"
#include "style/SvgStyle.h"

using namespace Gdiplus;

SvgTextFigure::~SvgTextFigure() {
    delete font;
    delete stringFormat;
}

Status SvgTextFigure::BuildPath() {
    if (!path)
        return OutOfMemory;
    path->Record(GdipResetPath(path->Get()));
    if (!font) {
        requested = SvgFontBuilder::Request(*GetStyle());
        font = SvgFontBuilder::BuildFont(requested);
    }
    if (!stringFormat) {
        if (GdiStringFormat* first = SvgFontBuilder::BuildStringFormat(*GetStyle())) {
            stringFormat = first->Clone();
            delete first;
        }
    }
    SvgTextBuffer units(kTextUnits);
    units.Convert(CP_UTF8, text);
    if (units.Length() == 0)
        return Ok;
    SvgFontRun run(font, requested);
    return run.AddTo(path, units.Get(), x, y, stringFormat);
}

void SvgTextFigure::CopyFrom(const SvgFigure*) {}
