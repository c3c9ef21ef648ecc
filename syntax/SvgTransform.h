#pragma once

#include "syntax/SvgMatrix.h"

// Transform type codes of the SVG 1.1 DOM.
enum SvgTransformType : unsigned short {
    SVG_TRANSFORM_UNKNOWN = 0,
    SVG_TRANSFORM_MATRIX = 1,
    SVG_TRANSFORM_TRANSLATE = 2,
    SVG_TRANSFORM_SCALE = 3,
    SVG_TRANSFORM_ROTATE = 4,
    SVG_TRANSFORM_SKEWX = 5,
    SVG_TRANSFORM_SKEWY = 6,
};

// One item of a transform list: its type, its angle in degrees (rotate and
// skews only) and its full effect as a matrix. A new item has type 0, angle 0
// and the identity.
class SvgTransform {
public:
    // Degrees to radians, as every transform angle is converted.
    static constexpr double kDegreesToRadians = 0.017453292519444445;

    SvgTransform() = default;
    virtual ~SvgTransform() = default;

    virtual unsigned short getType() const { return static_cast<unsigned short>(m_type); }
    virtual SvgMatrix getMatrix() const { return m_matrix; }
    virtual double getAngle() const { return m_angle; }

    virtual void setMatrix(const SvgMatrix& matrix);
    virtual void setTranslate(double tx, double ty);
    virtual void setScale(double sx, double sy);
    // Rotation by angle degrees about (cx, cy).
    virtual void setRotate(double angle, double cx, double cy);
    virtual void setSkewX(double angle);
    virtual void setSkewY(double angle);

private:
    int m_type = SVG_TRANSFORM_UNKNOWN;
    double m_angle = 0.0;
    SvgMatrix m_matrix;
};
