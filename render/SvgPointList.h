#pragma once

#include <cstddef>
#include <vector>

// A point of a polygon or polyline.
class SvgPoint {
public:
    SvgPoint(float x, float y) : m_x(x), m_y(y) {}

    float getX() const { return m_x; }
    float getY() const { return m_y; }
    void setX(float x) { m_x = x; }
    void setY(float y) { m_y = y; }

private:
    float m_x;
    float m_y;
};

// The ordered points of a polygon or polyline, owned by the list.
class SvgPointList {
public:
    std::size_t numberOfItems() const { return m_points.size(); }
    // Null when index is out of range.
    SvgPoint* getItem(std::size_t index);
    const SvgPoint* getItem(std::size_t index) const;
    void appendItem(const SvgPoint& point) { m_points.push_back(point); }
    // False (and nothing changed) when index is out of range.
    bool replaceItem(const SvgPoint& point, std::size_t index);
    bool removeItem(std::size_t index);
    void clear() { m_points.clear(); }

    // Appends one point per pair of numbers in a points attribute. Tokens are
    // separated by runs of comma, space, tab, carriage return and line feed;
    // each is read as its leading number (0 when it has none), so 10-5 reads
    // as 10. A last token without a partner is ignored, and a number too large
    // for a float ends the list.
    void appendFromText(const char* text);

private:
    std::vector<SvgPoint> m_points;
};
