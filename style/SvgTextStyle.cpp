#include "style/SvgTextStyle.h"

SvgTextStyle::SvgTextStyle(const SvgTextStyle& other)
    : shareCount(1), fontFamily(other.fontFamily), fontSpecification(other.fontSpecification),
      font(other.font) {}

void SvgTextStyle::Release() {
    if (--shareCount == 0)
        delete this;
}

void SvgTextStyle::Clear() {
    for (SvgStringValue* v : {&fontFamily, &fontSpecification, &font}) {
        v->set = 0;
        v->inherit = 0;
        v->value.clear();
    }
}
