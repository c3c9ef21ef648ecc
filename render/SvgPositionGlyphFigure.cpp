#include "render/SvgPositionGlyphFigure.h"

#include "render/SvgFontRun.h"
#include "render/SvgTextBuffer.h"
#include "style/SvgStyle.h"

using namespace Gdiplus;

SvgPositionGlyphFigure::~SvgPositionGlyphFigure() {
    style = nullptr; // borrowed from the text element
}

Status SvgPositionGlyphFigure::BuildPath() {
    if (!path)
        return OutOfMemory;
    path->Record(GdipResetPath(path->Get()));
    SvgFontRequest requested = SvgFontBuilder::Request(*GetStyle());
    GdiFont* font = SvgFontBuilder::BuildFont(requested);
    GdiStringFormat* format = SvgFontBuilder::BuildStringFormat(*GetStyle());
    SvgTextBuffer units(kTextUnits);
    units.Convert(CP_UTF8, text);
    Status status = Ok;
    colorGlyphs.Reset(nullptr);
    if (units.Length() > 0) {
        SvgFontRun run(font, requested);
        status = run.AddTo(path, units.Get(), x, y, format, &colorGlyphs);
    }
    delete format;
    delete font;
    return status;
}

Status SvgPositionGlyphFigure::Fill(GdiGraphics& graphics) {
    Status status = SvgFigure::Fill(graphics);
    if (colorGlyphs.Get() && ReadyFill())
        SvgFontRun::PaintColorGlyphs(graphics, colorGlyphs, PaintAlpha(style->fillOpacity.value));
    return status;
}

float SvgPositionGlyphFigure::Advance() {
    SvgFontRequest requested = SvgFontBuilder::Request(*GetStyle());
    GdiFont* font = SvgFontBuilder::BuildFont(requested);
    SvgTextBuffer units(kTextUnits);
    units.Convert(CP_UTF8, text);
    float advance = 0.0f;
    if (units.Length() > 0) {
        SvgFontRun run(font, requested);
        advance = run.Advance(units.Get());
    }
    delete font;
    return advance;
}

StringAlignment SvgPositionGlyphFigure::Alignment() {
    GdiStringFormat* format = SvgFontBuilder::BuildStringFormat(*GetStyle());
    StringAlignment align = StringAlignmentNear;
    if (format)
        GdipGetStringFormatAlign(format->Get(), &align);
    delete format;
    return align;
}

void SvgPositionGlyphFigure::CopyGlyph(const SvgPositionGlyphFigure& source) {
    if (GdiPath* copy = source.path ? source.path->Clone() : nullptr) {
        delete path;
        path = copy;
    }
    x = source.x;
    y = source.y;
    text = source.text;
    colorGlyphs.CopyFrom(source.colorGlyphs);
}
