#pragma once

#include <vector>

class GdiGraphics;
class SvgElement;
class SvgEngine;
class SvgMarkerElement;
struct SvgPathData;

// One marker as a shape draws it: at (x, y) of the shape's user space, turned
// by angle degrees and scaled by scale (the stroke width, or 1).
struct SvgMarkerInstance {
    const SvgMarkerElement* marker;
    float x, y;
    float angle;
    float scale;
};

// A vertex of an outline, and the outline's direction there in degrees: where
// it comes in and goes on, the angle halfway between the two directions; at
// the ends of an open subpath, the one direction it has. A closed subpath's
// first and last vertices take the closing segment's direction in and the
// first segment's out. A segment of no length goes on in the direction of
// the last one before it that has a length (0° when none has).
struct SvgMarkerVertex {
    float x, y;
    float angle;
};

// The markers of one shape, placed when the document is read: marker-start on
// its first vertex, marker-mid on every other but the last, marker-end on the
// last, drawn in that order.
class SvgMarkerPlacement {
public:
    // Instances one document places at most; the rest are left out.
    static constexpr long kMaxInstances = 250000;

    // The vertices of a path, line, polyline or polygon element's outline;
    // none for other elements. Subpaths that only move have none.
    static std::vector<SvgMarkerVertex> Vertices(const SvgElement& shape);
    static std::vector<SvgMarkerVertex> PathVertices(const SvgPathData& data);
    // Places the markers of every path, line, polyline and polygon under root
    // (copies and the content of markers included) whose style names any.
    static void PlaceAll(SvgElement& root, SvgEngine& engine);

    const std::vector<SvgMarkerInstance>& Instances() const { return m_instances; }
    // Draws the instances in order, under the shape's user space, with the
    // shape as the context of context-fill and context-stroke. Nothing while
    // a clip path's coverage is drawn.
    void Draw(GdiGraphics& graphics, const SvgElement& shape) const;

private:
    std::vector<SvgMarkerInstance> m_instances;
};
