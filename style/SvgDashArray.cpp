#include "style/SvgDashArray.h"

#include <algorithm>

SvgDashArray::SvgDashArray(const SvgDashArray& other)
    : dashOffset(other.dashOffset), dasharraySet(other.dasharraySet),
      dasharrayInherit(other.dasharrayInherit), dashoffsetSet(other.dashoffsetSet) {
    setDashes(other.dashes, other.dashCount);
    emMask = other.emMask;
    exMask = other.exMask;
    percentMask = other.percentMask;
    offsetUnit = other.offsetUnit;
}

SvgDashArray& SvgDashArray::operator=(const SvgDashArray& other) {
    if (this != &other) {
        dashOffset = other.dashOffset;
        dasharraySet = other.dasharraySet;
        dasharrayInherit = other.dasharrayInherit;
        dashoffsetSet = other.dashoffsetSet;
        setDashes(other.dashes, other.dashCount);
        emMask = other.emMask;
        exMask = other.exMask;
        percentMask = other.percentMask;
        offsetUnit = other.offsetUnit;
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
    emMask = exMask = percentMask = 0;
}

void SvgDashArray::resolveFontRelative(double fontSize) {
    for (int i = 0; i < dashCount && i < 64; ++i) {
        uint64_t bit = uint64_t(1) << i;
        if (emMask & bit)
            dashes[i] *= fontSize;
        else if (exMask & bit)
            dashes[i] *= fontSize / 2;
    }
    emMask = exMask = 0;
    if (offsetUnit == OffsetEm || offsetUnit == OffsetEx) {
        dashOffset *= offsetUnit == OffsetEm ? fontSize : fontSize / 2;
        offsetUnit = OffsetUser;
    }
}
