#pragma once

// Splits an elliptical arc given in SVG's end-point form into cubic Bezier
// pieces of at most a quarter turn each.
class SvgArcIterator {
public:
    // Sets up the arc from (x1, y1) to (x2, y2). Returns false when no arc can
    // be computed (equal end points, a zero radius, or numbers that are not
    // finite or give no finite centre or angles); then no piece is produced.
    bool init(float x1, float y1, float x2, float y2, float rx, float ry, float rotationDegrees,
              bool largeArc, bool sweep);

    // Produces the next piece: its two control points and end point. The last
    // piece ends exactly at the arc's end point. False when all are produced.
    bool next(float& cx1, float& cy1, float& cx2, float& cy2, float& x, float& y);

    int pieceCount() const { return m_pieces; }
    float radiusX() const { return m_rx; }
    float radiusY() const { return m_ry; }
    float centerX() const { return m_cx; }
    float centerY() const { return m_cy; }

private:
    int m_pieces = 0;
    int m_produced = 0;
    float m_theta = 0;
    float m_delta = 0;
    float m_t = 0;
    float m_sinPhi = 0;
    float m_cosPhi = 1;
    float m_x = 0;
    float m_y = 0;
    float m_rx = 0;
    float m_ry = 0;
    float m_cx = 0;
    float m_cy = 0;
    float m_endX = 0;
    float m_endY = 0;
};
