#include "style/SvgPaintOrder.h"

#include <cstring>
#include <string_view>

namespace {

// The six orders, by number.
const SvgPaintLayer kOrders[6][3] = {
    {SvgPaintLayer::Fill, SvgPaintLayer::Stroke, SvgPaintLayer::Markers},
    {SvgPaintLayer::Fill, SvgPaintLayer::Markers, SvgPaintLayer::Stroke},
    {SvgPaintLayer::Stroke, SvgPaintLayer::Fill, SvgPaintLayer::Markers},
    {SvgPaintLayer::Stroke, SvgPaintLayer::Markers, SvgPaintLayer::Fill},
    {SvgPaintLayer::Markers, SvgPaintLayer::Fill, SvgPaintLayer::Stroke},
    {SvgPaintLayer::Markers, SvgPaintLayer::Stroke, SvgPaintLayer::Fill},
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

} // namespace

void SvgPaintOrder::Layers(unsigned number, SvgPaintLayer layers[3]) {
    const SvgPaintLayer* order = kOrders[number < 6 ? number : 0];
    for (int i = 0; i < 3; ++i)
        layers[i] = order[i];
}

void SvgPaintOrder::Read(SvgEnumValue& value, const char* text) {
    if (!text)
        return;
    while (IsSpace(*text))
        ++text;
    size_t length = std::strlen(text);
    while (length > 0 && IsSpace(text[length - 1]))
        --length;
    std::string_view whole(text, length);
    if (whole == "inherit") {
        value.set = 1;
        value.inherit = 1;
        return;
    }
    if (whole == "normal") {
        value.set = 1;
        value.value = value.computed = 0;
        return;
    }
    SvgPaintLayer given[3];
    int count = 0;
    for (size_t i = 0; i < length;) {
        if (IsSpace(text[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < length && !IsSpace(text[end]))
            ++end;
        std::string_view word(text + i, end - i);
        SvgPaintLayer layer;
        if (word == "fill")
            layer = SvgPaintLayer::Fill;
        else if (word == "stroke")
            layer = SvgPaintLayer::Stroke;
        else if (word == "markers")
            layer = SvgPaintLayer::Markers;
        else
            return;
        for (int k = 0; k < count; ++k)
            if (given[k] == layer)
                return; // named twice
        given[count++] = layer;
        i = end;
    }
    if (count == 0)
        return;
    // The first order that begins with the parts given.
    for (unsigned number = 0; number < 6; ++number) {
        bool matches = true;
        for (int k = 0; k < count; ++k)
            matches = matches && kOrders[number][k] == given[k];
        if (matches) {
            value.set = 1;
            value.value = value.computed = number;
            return;
        }
    }
}
