#pragma once

#include "syntax/SvgMatrix.h"

#include <cstddef>
#include <vector>

struct SvgPathData;

// A path measured along its length, for text set on it: built path data
// (moves, lines, cubics, closes) mapped by a matrix and cut into straight
// pieces. Moves between subpaths add no length. Curves are cut finer where
// they are longer, within a budget of points for the whole path, so a huge
// path costs memory in proportion to its data and no more.
class SvgPathWalk {
public:
    // Points a walk keeps at most; curves get fewer pieces beyond it.
    static constexpr size_t kMaxPoints = 1 << 21;

    SvgPathWalk(const SvgPathData& data, const SvgMatrix& matrix);

    double Length() const { return total; }
    // The point at distance along the path and the direction there (radians,
    // clockwise from the x axis, y down); false outside [0, Length()].
    // Backwards, the path is walked from its end to its start.
    bool At(double distance, double& x, double& y, double& angle, bool backwards = false) const;

private:
    struct Point {
        double at; // distance along the path
        float x, y;
    };
    void Add(double x, double y, bool first);
    // The direction of the piece that ends at point piece (radians).
    double Direction(size_t piece) const;

    std::vector<Point> points;
    std::vector<bool> starts; // the point begins a subpath: no piece leads to it
    double total = 0;
};
