#pragma once

#include "syntax/SvgPathScanner.h"

// Recursive-descent recogniser of SVG 1.1 path data. Each command is reported
// through a callback as soon as its arguments are read; nothing is resolved
// here (relative values are passed as written). A malformed text stops the
// run at the first error, after the callbacks of the commands before it.
//
// Every callback gets the end point first, then the control points in path
// order. Only closePath's result is used: false makes the close fail.
class SvgPathParser : public SvgPathScanner {
public:
    ~SvgPathParser() override;

    bool parse() override;

    virtual bool moveTo(bool absolute, float x, float y) = 0;
    virtual bool closePath() = 0;
    virtual bool lineTo(bool absolute, float x, float y) = 0;
    virtual bool lineToHorizontal(bool absolute, float x) = 0;
    virtual bool lineToVertical(bool absolute, float y) = 0;
    virtual bool curveTo(bool absolute, float x, float y, float x1, float y1, float x2,
                         float y2) = 0;
    virtual bool smoothCurveTo(bool absolute, float x, float y, float x2, float y2) = 0;
    virtual bool quadTo(bool absolute, float x, float y, float x1, float y1) = 0;
    virtual bool smoothQuadTo(bool absolute, float x, float y) = 0;
    virtual bool arcTo(bool absolute, float x, float y, float rx, float ry, float rotation,
                       bool largeArc, bool sweep) = 0;

    // Converts the decimal text [first, last) (optional sign, digits, period,
    // exponent) as the C library would, narrowed to float. False when the
    // value does not fit a float (overflow); underflow gives a signed zero.
    static bool convertNumber(const char* first, const char* last, float& value);

private:
    bool parseCommandGroups();
    bool parseGroup();
    bool parseMoveTo();
    bool parseDrawToCommands();
    bool parseDrawToCommand();
    bool parseArguments(char command, bool absolute);
    bool parseArgumentSet(char command, bool absolute);

    void skipCommaWsp();
    bool canStartNumber() const {
        return m_class == SvgPathCharDigit || m_class == SvgPathCharPeriod ||
               m_class == SvgPathCharSign;
    }
    bool isDrawToLetter() const;

    bool parseNumber(float& value) { return parseNumberText(value, true); }
    bool parseNonNegativeNumber(float& value) { return parseNumberText(value, false); }
    bool parseNumberText(float& value, bool allowSign);
    bool parseCoordinatePair(float& x, float& y);
    bool parseFlag(bool& flag);
};
