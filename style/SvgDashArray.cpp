#include "style/SvgDashArray.h"

#include <algorithm>

SvgDashArray::SvgDashArray(const SvgDashArray& other)
    : dashOffset(other.dashOffset), dasharraySet(other.dasharraySet),
      dasharrayInherit(other.dasharrayInherit), dashoffsetSet(other.dashoffsetSet) {
    setDashes(other.dashes, other.dashCount);
}

SvgDashArray& SvgDashArray::operator=(const SvgDashArray& other) {
    if (this != &other) {
        dashOffset = other.dashOffset;
        dasharraySet = other.dasharraySet;
        dasharrayInherit = other.dasharrayInherit;
        dashoffsetSet = other.dashoffsetSet;
        setDashes(other.dashes, other.dashCount);
    }
    return *this;
}

SvgDashArray::~SvgDashArray() {
    delete[] dashes;
}

void SvgDashArray::setDashes(const double* values, int count) {
    double* copy = nullptr;
    if (values && count > 0) {
        copy = new double[count];
        std::copy(values, values + count, copy);
    } else {
        count = 0;
    }
    delete[] dashes;
    dashes = copy;
    dashCount = count;
}

void SvgDashArray::clearDashes() {
    delete[] dashes;
    dashes = nullptr;
    dashCount = 0;
}
