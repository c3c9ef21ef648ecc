#include "render/SvgTextFigure.h"

#include "render/SvgFontRun.h"
#include "render/SvgTextBuffer.h"
#include "style/SvgStyle.h"

using namespace Gdiplus;

SvgTextFigure::~SvgTextFigure() {
    delete font;
    delete stringFormat;
}

void SvgTextFigure::Prepare() {
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
}

float SvgTextFigure::Advance() {
    Prepare();
    SvgTextBuffer units(kTextUnits);
    units.Convert(CP_UTF8, text);
    if (units.Length() == 0)
        return 0.0f;
    return SvgFontRun(font, requested).Advance(units.Get());
}

StringAlignment SvgTextFigure::Alignment() {
    Prepare();
    StringAlignment align = StringAlignmentNear;
    if (stringFormat)
        GdipGetStringFormatAlign(stringFormat->Get(), &align);
    return align;
}

Status SvgTextFigure::BuildPath() {
    if (!path)
        return OutOfMemory;
    path->Record(GdipResetPath(path->Get()));
    Prepare();
    SvgTextBuffer units(kTextUnits);
    units.Convert(CP_UTF8, text);
    colorGlyphs.Reset(nullptr);
    if (units.Length() == 0)
        return Ok;
    SvgFontRun run(font, requested);
    return run.AddTo(path, units.Get(), x, y, stringFormat, &colorGlyphs);
}

Status SvgTextFigure::Fill(GdiGraphics& graphics) {
    Status status = SvgFigure::Fill(graphics);
    if (colorGlyphs.Get() && ReadyFill())
        SvgFontRun::PaintColorGlyphs(graphics, colorGlyphs, PaintAlpha(style->fillOpacity.value));
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
    colorGlyphs.CopyFrom(run->colorGlyphs);
}
