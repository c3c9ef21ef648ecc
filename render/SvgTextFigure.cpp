#include "render/SvgTextFigure.h"

#include "document/SvgElement.h"
#include "document/SvgElementBounds.h"

using namespace Gdiplus;

SvgTextFigure::~SvgTextFigure() {
    delete overlay;
}

Status SvgTextFigure::BuildPath() {
    if (!path)
        return OutOfMemory;
    Status status = path->Record(GdipResetPath(path->Get()));
    glyphs.AddTo(*path);
    delete overlay;
    overlay = nullptr;
    if (glyphs.HasOverlay() && (overlay = GdiPath::Create(FillModeWinding)))
        glyphs.AddOverlayTo(*overlay);
    return status;
}

void SvgTextFigure::PaintOverlay(GdiGraphics& graphics, bool coverage) {
    if (!overlay)
        return;
    if (coverage) {
        PaintCoverageOf(graphics, overlay);
        return;
    }
    FillPath(graphics, overlay);
    StrokePath(graphics, overlay);
}

void SvgTextFigure::CopyFrom(const SvgFigure* source) {
    const auto* run = dynamic_cast<const SvgTextFigure*>(source);
    if (!run || run == this)
        return;
    SvgFigure::CopyFrom(source);
    x = run->x;
    y = run->y;
    text = run->text;
    glyphs = run->glyphs;
    delete overlay;
    overlay = run->overlay ? run->overlay->Clone() : nullptr;
}

RectF SvgTextFigure::TextBox() {
    if (!textBoxKnown) {
        textBoxKnown = true;
        if (const SvgElement* element = GetOwner())
            SvgElementBounds::Of(*element, textBox);
    }
    return textBox;
}

RectF SvgTextFigure::TextBoxAround(const SvgElement* element) {
    // Up to the text element, or the tspan outside any text.
    auto inText = [](const SvgElement* e) {
        return e && (e->GetKind() == SvgKindText || e->GetKind() == SvgKindTspan);
    };
    while (element && inText(element->GetParent()))
        element = element->GetParent();
    if (!inText(element))
        return RectF();
    return static_cast<SvgTextFigure*>(element->GetFigure())->TextBox();
}
