#include "syntax/SvgTransform.h"

#include <cmath>

void SvgTransform::setMatrix(const SvgMatrix& matrix) {
    m_type = SVG_TRANSFORM_MATRIX;
    m_matrix = matrix;
}

void SvgTransform::setTranslate(double tx, double ty) {
    m_type = SVG_TRANSFORM_TRANSLATE;
    m_matrix = SvgMatrix(1, 0, 0, 1, tx, ty);
}

void SvgTransform::setScale(double sx, double sy) {
    m_type = SVG_TRANSFORM_SCALE;
    m_matrix = SvgMatrix(sx, 0, 0, sy, 0, 0);
}

void SvgTransform::setRotate(double angle, double cx, double cy) {
    m_angle = angle;
    m_type = SVG_TRANSFORM_ROTATE;
    // translate(cx, cy) x R x translate(-cx, -cy)
    double theta = angle * kDegreesToRadians;
    double cs = std::cos(theta);
    double sn = std::sin(theta);
    m_matrix = SvgMatrix(cs, sn, -sn, cs, cx - cx * cs + cy * sn, cy - cx * sn - cy * cs);
}

void SvgTransform::setSkewX(double angle) {
    m_angle = angle;
    m_type = SVG_TRANSFORM_SKEWX;
    m_matrix = SvgMatrix().skewX(angle * kDegreesToRadians);
}

void SvgTransform::setSkewY(double angle) {
    m_angle = angle;
    m_type = SVG_TRANSFORM_SKEWY;
    m_matrix = SvgMatrix().skewY(angle * kDegreesToRadians);
}
