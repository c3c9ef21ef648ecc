#include "style/SvgTextStyle.h"

SvgTextStyle::SvgTextStyle(const SvgTextStyle& other)
    : shareCount(1), fontFamily(other.fontFamily), fontSpecification(other.fontSpecification),
      font(other.font), fontVariationSettings(other.fontVariationSettings) {}

SvgTextStyle* SvgTextStyle::Empty() {
    static SvgTextStyle* const empty = new SvgTextStyle;
    return empty;
}

void SvgTextStyle::Release() {
    if (this != Empty() && --shareCount == 0)
        delete this;
}

void SvgTextStyle::Clear() {
    for (SvgStringValue* v : {&fontFamily, &fontSpecification, &font, &fontVariationSettings}) {
        v->set = 0;
        v->inherit = 0;
        v->value.clear();
    }
}
