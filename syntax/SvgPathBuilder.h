#pragma once

#include "syntax/SvgPathData.h"
#include "syntax/SvgPathParser.h"

#include <cstdint>
#include <string>
#include <vector>

// SVG 1.1 DOM path segment types, used for the last command handled.
enum SvgPathSegType : std::uint16_t {
    SvgPathSegUnknown = 0,
    SvgPathSegClosePath = 1,
    SvgPathSegMoveToAbs = 2,
    SvgPathSegMoveToRel = 3,
    SvgPathSegLineToAbs = 4,
    SvgPathSegLineToRel = 5,
    SvgPathSegCurveToCubicAbs = 6,
    SvgPathSegCurveToCubicRel = 7,
    SvgPathSegCurveToQuadraticAbs = 8,
    SvgPathSegCurveToQuadraticRel = 9,
    SvgPathSegArcAbs = 10,
    SvgPathSegArcRel = 11,
    SvgPathSegLineToHorizontalAbs = 12,
    SvgPathSegLineToHorizontalRel = 13,
    SvgPathSegLineToVerticalAbs = 14,
    SvgPathSegLineToVerticalRel = 15,
    SvgPathSegCurveToCubicSmoothAbs = 16,
    SvgPathSegCurveToCubicSmoothRel = 17,
    SvgPathSegCurveToQuadraticSmoothAbs = 18,
    SvgPathSegCurveToQuadraticSmoothRel = 19,
};

// Turns path data into an outline of moves, lines, cubics and closes:
// relative coordinates are resolved, smooth curves get their reflected
// control points, quadratics are raised to cubics and arcs are split into
// quarter-turn cubics. Segments with coordinates that are not finite are
// left out. One builder serves one parseData() call.
class SvgPathBuilder : public SvgPathParser {
public:
    explicit SvgPathBuilder(SvgPathData* output = nullptr) : m_output(output) {}
    ~SvgPathBuilder() override;

    void setOutput(SvgPathData* output) { m_output = output; }

    bool moveTo(bool absolute, float x, float y) override;
    bool closePath() override;
    bool lineTo(bool absolute, float x, float y) override;
    bool lineToHorizontal(bool absolute, float x) override;
    bool lineToVertical(bool absolute, float y) override;
    bool curveTo(bool absolute, float x, float y, float x1, float y1, float x2, float y2) override;
    bool smoothCurveTo(bool absolute, float x, float y, float x2, float y2) override;
    bool quadTo(bool absolute, float x, float y, float x1, float y1) override;
    bool smoothQuadTo(bool absolute, float x, float y) override;
    bool arcTo(bool absolute, float x, float y, float rx, float ry, float rotation, bool largeArc,
               bool sweep) override;

    // Empties the output record, parses the text and writes the outline of
    // every command before the first error into the record.
    virtual void parseData(const std::string& text);
    // The same for zero-terminated text, read in place.
    void parseData(const char* text);

    float currentX() const { return m_currentX; }
    float currentY() const { return m_currentY; }
    SvgPathSegType lastCommand() const { return m_lastCommand; }

private:
    void appendMove(float x, float y);
    void appendLine(float x, float y);
    // continuing: the cubic carries on the arc of the one before.
    void appendCubic(float x1, float y1, float x2, float y2, float x, float y,
                     bool continuing = false);
    void appendClose();
    void appendQuadratic(float qx, float qy, float x, float y);
    float resolveX(bool absolute, float x) const;
    float resolveY(bool absolute, float y) const;
    void writeRecord();

    SvgPathData* m_output;
    SvgPathSegType m_lastCommand = SvgPathSegUnknown;
    float m_currentX = 0;
    float m_currentY = 0;
    float m_lastControlX = 0;
    float m_lastControlY = 0;
    float m_startX = 0;
    float m_startY = 0;
    std::vector<std::uint8_t> m_kinds;
    std::vector<float> m_coordinates;
};
