#include "syntax/SvgPathBuilder.h"

#include "syntax/SvgArcIterator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <new>

namespace {

bool allFinite(std::initializer_list<float> values) {
    for (float v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

bool isCubic(SvgPathSegType type) {
    return type == SvgPathSegCurveToCubicAbs || type == SvgPathSegCurveToCubicRel ||
           type == SvgPathSegCurveToCubicSmoothAbs || type == SvgPathSegCurveToCubicSmoothRel;
}

bool isQuadratic(SvgPathSegType type) {
    return type == SvgPathSegCurveToQuadraticAbs || type == SvgPathSegCurveToQuadraticRel ||
           type == SvgPathSegCurveToQuadraticSmoothAbs ||
           type == SvgPathSegCurveToQuadraticSmoothRel;
}

// The kind byte of a cubic that carries on an arc; written as 2.5 (SvgPathData).
const std::uint8_t kArcCubic = 0x80 | SvgPathSegmentCubic;

SvgPathSegType segType(bool absolute, SvgPathSegType absoluteType) {
    return static_cast<SvgPathSegType>(absolute ? absoluteType : absoluteType + 1);
}

// Reflects a control point coordinate about the current point.
float reflect(float current, float control) {
    return static_cast<float>(2.0 * current - control);
}

} // namespace

SvgPathBuilder::~SvgPathBuilder() = default;

float SvgPathBuilder::resolveX(bool absolute, float x) const {
    return absolute ? x : static_cast<float>(static_cast<double>(m_currentX) + x);
}

float SvgPathBuilder::resolveY(bool absolute, float y) const {
    return absolute ? y : static_cast<float>(static_cast<double>(m_currentY) + y);
}

void SvgPathBuilder::appendMove(float x, float y) {
    if (!allFinite({x, y}))
        return;
    m_kinds.push_back(SvgPathSegmentMove);
    m_coordinates.push_back(x);
    m_coordinates.push_back(y);
    m_currentX = m_startX = x;
    m_currentY = m_startY = y;
}

void SvgPathBuilder::appendLine(float x, float y) {
    if (!allFinite({x, y}))
        return;
    m_kinds.push_back(SvgPathSegmentLine);
    m_coordinates.push_back(x);
    m_coordinates.push_back(y);
    m_currentX = x;
    m_currentY = y;
}

void SvgPathBuilder::appendCubic(float x1, float y1, float x2, float y2, float x, float y,
                                 bool continuing) {
    if (!allFinite({x1, y1, x2, y2, x, y}))
        return;
    m_kinds.push_back(continuing ? kArcCubic : std::uint8_t(SvgPathSegmentCubic));
    const float values[] = {x1, y1, x2, y2, x, y};
    m_coordinates.insert(m_coordinates.end(), values, values + 6);
    m_currentX = x;
    m_currentY = y;
}

void SvgPathBuilder::appendClose() {
    m_kinds.push_back(SvgPathSegmentClose);
    m_currentX = m_startX;
    m_currentY = m_startY;
}

void SvgPathBuilder::appendQuadratic(float qx, float qy, float x, float y) {
    // The float factors nearest to 2/3 and 1/3, applied in double precision so
    // no intermediate difference overflows.
    const double twoThirds = 0.6666667f;
    const double oneThird = 0.33333334f;
    const double x0 = m_currentX;
    const double y0 = m_currentY;
    appendCubic(static_cast<float>(x0 + (qx - x0) * twoThirds),
                static_cast<float>(y0 + (qy - y0) * twoThirds),
                static_cast<float>(qx + (x - static_cast<double>(qx)) * oneThird),
                static_cast<float>(qy + (y - static_cast<double>(qy)) * oneThird), x, y);
}

bool SvgPathBuilder::moveTo(bool absolute, float x, float y) {
    m_lastCommand = segType(absolute, SvgPathSegMoveToAbs);
    appendMove(resolveX(absolute, x), resolveY(absolute, y));
    return true;
}

bool SvgPathBuilder::closePath() {
    m_lastCommand = SvgPathSegClosePath;
    appendClose();
    return true;
}

bool SvgPathBuilder::lineTo(bool absolute, float x, float y) {
    m_lastCommand = segType(absolute, SvgPathSegLineToAbs);
    appendLine(resolveX(absolute, x), resolveY(absolute, y));
    return true;
}

bool SvgPathBuilder::lineToHorizontal(bool absolute, float x) {
    m_lastCommand = segType(absolute, SvgPathSegLineToHorizontalAbs);
    appendLine(resolveX(absolute, x), m_currentY);
    return true;
}

bool SvgPathBuilder::lineToVertical(bool absolute, float y) {
    m_lastCommand = segType(absolute, SvgPathSegLineToVerticalAbs);
    appendLine(m_currentX, resolveY(absolute, y));
    return true;
}

bool SvgPathBuilder::curveTo(bool absolute, float x, float y, float x1, float y1, float x2,
                             float y2) {
    m_lastCommand = segType(absolute, SvgPathSegCurveToCubicAbs);
    m_lastControlX = resolveX(absolute, x2);
    m_lastControlY = resolveY(absolute, y2);
    appendCubic(resolveX(absolute, x1), resolveY(absolute, y1), m_lastControlX, m_lastControlY,
                resolveX(absolute, x), resolveY(absolute, y));
    return true;
}

bool SvgPathBuilder::smoothCurveTo(bool absolute, float x, float y, float x2, float y2) {
    float x1 = m_currentX;
    float y1 = m_currentY;
    if (isCubic(m_lastCommand)) {
        x1 = reflect(m_currentX, m_lastControlX);
        y1 = reflect(m_currentY, m_lastControlY);
    }
    m_lastCommand = segType(absolute, SvgPathSegCurveToCubicSmoothAbs);
    m_lastControlX = resolveX(absolute, x2);
    m_lastControlY = resolveY(absolute, y2);
    appendCubic(x1, y1, m_lastControlX, m_lastControlY, resolveX(absolute, x),
                resolveY(absolute, y));
    return true;
}

bool SvgPathBuilder::quadTo(bool absolute, float x, float y, float x1, float y1) {
    m_lastCommand = segType(absolute, SvgPathSegCurveToQuadraticAbs);
    m_lastControlX = resolveX(absolute, x1);
    m_lastControlY = resolveY(absolute, y1);
    appendQuadratic(m_lastControlX, m_lastControlY, resolveX(absolute, x), resolveY(absolute, y));
    return true;
}

bool SvgPathBuilder::smoothQuadTo(bool absolute, float x, float y) {
    float qx = m_currentX;
    float qy = m_currentY;
    if (isQuadratic(m_lastCommand)) {
        qx = reflect(m_currentX, m_lastControlX);
        qy = reflect(m_currentY, m_lastControlY);
    }
    m_lastCommand = segType(absolute, SvgPathSegCurveToQuadraticSmoothAbs);
    m_lastControlX = qx;
    m_lastControlY = qy;
    appendQuadratic(qx, qy, resolveX(absolute, x), resolveY(absolute, y));
    return true;
}

bool SvgPathBuilder::arcTo(bool absolute, float x, float y, float rx, float ry, float rotation,
                           bool largeArc, bool sweep) {
    m_lastCommand = segType(absolute, SvgPathSegArcAbs);
    const float x2 = resolveX(absolute, x);
    const float y2 = resolveY(absolute, y);
    // An arc with numbers that are not finite is dropped.
    if (!allFinite({x2, y2, rx, ry, rotation}))
        return true;
    if (x2 == m_currentX && y2 == m_currentY)
        return true;
    SvgArcIterator arc;
    if (rx == 0 || ry == 0 ||
        !arc.init(m_currentX, m_currentY, x2, y2, rx, ry, rotation, largeArc, sweep)) {
        // A flat ellipse, or one too extreme to compute, joins its ends straight.
        appendLine(x2, y2);
        return true;
    }
    float cx1, cy1, cx2, cy2, ex, ey;
    for (bool first = true; arc.next(cx1, cy1, cx2, cy2, ex, ey); first = false)
        appendCubic(cx1, cy1, cx2, cy2, ex, ey, !first);
    return true;
}

void SvgPathBuilder::parseData(const std::string& text) {
    parseData(text.c_str());
}

void SvgPathBuilder::parseData(const char* text) {
    if (m_output)
        m_output->clear();
    m_lastCommand = SvgPathSegUnknown;
    m_currentX = m_currentY = 0;
    m_lastControlX = m_lastControlY = 0;
    m_startX = m_startY = 0;
    m_kinds.clear();
    m_coordinates.clear();
    if (!m_output)
        return;
    // A guess from the text's length saves most regrowth; together the two
    // reservations take about one and a quarter times the text's size.
    const std::size_t length = std::strlen(text);
    m_kinds.reserve(length / 8 + 4);
    m_coordinates.reserve(length / 4 + 8);
    run(text);
    writeRecord();
}

void SvgPathBuilder::writeRecord() {
    const std::size_t segments = m_kinds.size();
    const std::size_t coordinates = m_coordinates.size();
    if (segments == 0)
        return;
    float* data = new (std::nothrow) float[segments + coordinates];
    if (!data)
        return;
    std::transform(m_kinds.begin(), m_kinds.end(), data, [](std::uint8_t kind) {
        return kind == kArcCubic ? SvgPathSegmentCubic + 0.5f : float(kind);
    });
    std::copy(m_coordinates.begin(), m_coordinates.end(), data + segments);
    m_output->data = data;
    m_output->segmentCount = segments;
    m_output->coordinateCount = coordinates;
}
