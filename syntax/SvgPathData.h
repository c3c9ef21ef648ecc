#pragma once

#include <cmath>
#include <cstddef>

// Kinds of the segments in an SvgPathData record.
enum SvgPathSegmentKind {
    SvgPathSegmentMove = 0,  // x, y
    SvgPathSegmentLine = 1,  // x, y
    SvgPathSegmentCubic = 2, // x1, y1, x2, y2, x, y
    SvgPathSegmentClose = 3, // no coordinates
};

// A built outline: one block of floats holding first one kind per segment
// (stored as a float), then the coordinates of all segments in order.
// The record owns its block.
struct SvgPathData {
    float* data = nullptr;
    std::size_t segmentCount = 0;
    std::size_t coordinateCount = 0;

    SvgPathData() = default;
    ~SvgPathData() { clear(); }
    SvgPathData(const SvgPathData&) = delete;
    SvgPathData& operator=(const SvgPathData&) = delete;

    // Frees the block and sets both counts to zero.
    void clear() {
        delete[] data;
        data = nullptr;
        segmentCount = 0;
        coordinateCount = 0;
    }

    bool empty() const { return segmentCount == 0; }
    // Kind of segment i (truncated from its stored float).
    int segmentKind(std::size_t i) const { return static_cast<int>(data[i]); }
    // Whether segment i is a cubic that carries on the arc of the segment
    // before it (an arc is built of several cubics, but has ends only where
    // its command does). Such a cubic's kind is stored as 2.5: it reads as a
    // cubic everywhere else.
    bool continuesArc(std::size_t i) const { return data[i] != std::floor(data[i]); }
    // The coordinates, which follow the kinds.
    const float* coordinates() const { return data + segmentCount; }
};
