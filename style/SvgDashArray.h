#pragma once

#include <cstdint>

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
    // Releases the entries: dashCount 0, dashes null, no relative entry.
    void clearDashes();
    // Turns entries and an offset in em and ex into user units.
    void resolveFontRelative(double fontSize);
    // Whether an entry or the offset is a percentage.
    bool hasPercentages() const { return percentMask != 0 || offsetUnit == OffsetPercent; }

    // The unit the offset is in: user units, or still to be resolved.
    enum : unsigned char { OffsetUser = 0, OffsetEm = 1, OffsetEx = 2, OffsetPercent = 3 };

    double dashOffset = 0.0;
    int dashCount = 0;
    double* dashes = nullptr;
    // Entries given in em or ex (the number as written, until the cascade
    // resolves them) and in percent (a fraction of the viewport's diagonal
    // over the square root of 2, resolved by the figure), bit i for entry i.
    uint64_t emMask = 0;
    uint64_t exMask = 0;
    uint64_t percentMask = 0;
    unsigned char offsetUnit = OffsetUser;
    unsigned dasharraySet : 1;
    unsigned dasharrayInherit : 1;
    unsigned dashoffsetSet : 1;
};
