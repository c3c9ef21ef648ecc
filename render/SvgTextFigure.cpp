#include "render/SvgTextFigure.h"

#include "document/SvgElement.h"
#include "document/SvgElementBounds.h"

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
