#pragma once

// shape-rendering (inherited): crispEdges and optimizeSpeed draw shapes
// without anti-aliasing.
enum class SvgShapeRendering : unsigned char {
    Auto = 0,
    OptimizeSpeed = 1,
    CrispEdges = 2,
    GeometricPrecision = 3,
};

inline bool SvgIsAliased(SvgShapeRendering mode) {
    return mode == SvgShapeRendering::OptimizeSpeed || mode == SvgShapeRendering::CrispEdges;
}
