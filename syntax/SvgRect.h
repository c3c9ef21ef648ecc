#pragma once

// A rectangle of four doubles: x, y, width, height.
class SvgRect {
public:
    SvgRect() = default;
    SvgRect(double x, double y, double width, double height)
        : m_x(x), m_y(y), m_width(width), m_height(height) {}
    virtual ~SvgRect() = default;

    virtual double getX() const { return m_x; }
    virtual void setX(double x) { m_x = x; }
    virtual double getY() const { return m_y; }
    virtual void setY(double y) { m_y = y; }
    virtual double getWidth() const { return m_width; }
    virtual void setWidth(double width) { m_width = width; }
    virtual double getHeight() const { return m_height; }
    virtual void setHeight(double height) { m_height = height; }
    virtual void set(double x, double y, double width, double height) {
        m_x = x;
        m_y = y;
        m_width = width;
        m_height = height;
    }

private:
    double m_x = 0.0;
    double m_y = 0.0;
    double m_width = 0.0;
    double m_height = 0.0;
};
