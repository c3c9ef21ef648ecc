#include "style/SvgColor.h"

SvgColor::SvgColor(const SvgColor& other)
    : icc(other.icc ? std::make_unique<SvgIccColor>(*other.icc) : nullptr), r(other.r), g(other.g),
      b(other.b), a(other.a) {}

SvgColor& SvgColor::operator=(const SvgColor& other) {
    if (this != &other) {
        icc = other.icc ? std::make_unique<SvgIccColor>(*other.icc) : nullptr;
        r = other.r;
        g = other.g;
        b = other.b;
        a = other.a;
    }
    return *this;
}
