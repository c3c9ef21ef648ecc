#pragma once

// stroke-dasharray and stroke-dashoffset. The dash entries are owned; copies
// copy them.
struct SvgDashArray {
    // Most entries ReadDashArray keeps.
    static constexpr int MaxDashes = 64;

    SvgDashArray() : dasharraySet(0), dasharrayInherit(0), dashoffsetSet(0) {}
    SvgDashArray(const SvgDashArray& other);
    SvgDashArray& operator=(const SvgDashArray& other);
    ~SvgDashArray();

    // Replaces the entries by a copy of count values (none when count <= 0).
    void setDashes(const double* values, int count);
    // Releases the entries: dashCount 0, dashes null.
    void clearDashes();

    double dashOffset = 0.0;
    int dashCount = 0;
    double* dashes = nullptr;
    unsigned dasharraySet : 1;
    unsigned dasharrayInherit : 1;
    unsigned dashoffsetSet : 1;
};
