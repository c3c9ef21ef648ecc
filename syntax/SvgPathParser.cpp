#include "syntax/SvgPathParser.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

bool isDigitByte(char c) {
    return c >= '0' && c <= '9';
}

// Decimal order of magnitude of a number text whose exact conversion fell out
// of range: positive means too large, otherwise too small.
long orderOfMagnitude(const char* first, const char* last) {
    const char* p = first;
    if (p < last && (*p == '+' || *p == '-'))
        ++p;
    long order = 0;
    bool seenNonZero = false;
    bool afterPeriod = false;
    for (; p < last && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            afterPeriod = true;
            continue;
        }
        if (!seenNonZero && *p == '0') {
            if (afterPeriod)
                --order;
            continue;
        }
        if (!seenNonZero)
            seenNonZero = true;
        if (!afterPeriod)
            ++order;
    }
    long exponent = 0;
    if (p < last) {
        ++p;
        bool negative = false;
        if (p < last && (*p == '+' || *p == '-'))
            negative = *p++ == '-';
        for (; p < last; ++p)
            if (exponent < 100000000)
                exponent = exponent * 10 + (*p - '0');
        if (negative)
            exponent = -exponent;
    }
    return order + exponent;
}

} // namespace

SvgPathParser::~SvgPathParser() = default;

bool SvgPathParser::convertNumber(const char* first, const char* last, float& value) {
    const bool negative = first < last && *first == '-';
    if (first < last && (*first == '+' || *first == '-'))
        ++first;
    // Decimal forms only: never the named or hexadecimal ones.
    if (first == last || !(isDigitByte(*first) || *first == '.'))
        return false;
    double d = 0;
    const auto result = std::from_chars(first, last, d, std::chars_format::general);
    if (negative)
        d = -d;
    if (result.ec == std::errc::result_out_of_range) {
        if (orderOfMagnitude(first, last) > 0)
            return false;
        d = negative ? -0.0 : 0.0;
    } else if (result.ec != std::errc()) {
        return false;
    }
    const float f = static_cast<float>(d);
    if (!std::isfinite(f))
        return false;
    value = f;
    return true;
}

bool SvgPathParser::parseNumberText(float& value, bool allowSign) {
    const char* const start = m_current;
    const char* p = start;
    bool negative = false;
    if (allowSign && (*p == '+' || *p == '-'))
        negative = *p++ == '-';

    // The digits are gathered on the way for the common short numbers, which
    // convert exactly without a second pass over the text.
    std::uint64_t mantissa = 0;
    int digitCount = 0;
    int scale = 0;
    bool fits = true;
    const char* const digits = p;
    for (; isDigitByte(*p); ++p) {
        if (mantissa == 0 && *p == '0')
            continue;
        if (digitCount == 19) {
            fits = false;
            continue;
        }
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        ++digitCount;
    }
    const char* const digitsEnd = p;
    const bool hasDigits = digitsEnd != digits;
    if (*p == '.') {
        const char* fraction = ++p;
        for (; isDigitByte(*p); ++p) {
            if (digitCount == 19) {
                fits = false;
                continue;
            }
            --scale;
            if (mantissa == 0 && *p == '0')
                continue;
            mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
            ++digitCount;
        }
        if (!hasDigits && p == fraction)
            return false; // a period with no digit
    } else if (!hasDigits) {
        return false; // a sign with no digit, or no number at all
    }
    const char* const mantissaEnd = p;
    const char* end = mantissaEnd;
    const char* valueEnd = mantissaEnd;
    long exponent = 0;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (*q == '+' || *q == '-')
            negativeExponent = *q++ == '-';
        if (isDigitByte(*q)) {
            for (; isDigitByte(*q); ++q)
                if (exponent < 100000)
                    exponent = exponent * 10 + (*q - '0');
            if (negativeExponent)
                exponent = -exponent;
            end = valueEnd = q;
        } else {
            // No exponent after the e: the number is its leading digits only,
            // while the value still reads the whole mantissa.
            if (!hasDigits)
                return false;
            end = digitsEnd;
        }
    }

    static constexpr double powersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const long decimalExponent = scale + exponent;
    if (fits && mantissa == 0) {
        value = negative ? -0.0f : 0.0f;
    } else if (fits && mantissa <= (std::uint64_t{1} << 53) && decimalExponent >= -22 &&
               decimalExponent <= 22) {
        // Both operands are exact doubles, so one operation rounds correctly.
        double d = static_cast<double>(mantissa);
        d = decimalExponent < 0 ? d / powersOfTen[-decimalExponent]
                                : d * powersOfTen[decimalExponent];
        value = static_cast<float>(negative ? -d : d);
    } else if (!convertNumber(start, valueEnd, value)) {
        return false;
    }
    resetTo(end);
    return true;
}

bool SvgPathParser::parseCoordinatePair(float& x, float& y) {
    if (!parseNumber(x))
        return false;
    skipCommaWsp();
    return parseNumber(y);
}

bool SvgPathParser::parseFlag(bool& flag) {
    if (m_byte != '0' && m_byte != '1')
        return false;
    flag = m_byte == '1';
    advance();
    return true;
}

void SvgPathParser::skipCommaWsp() {
    if (skipWsp()) {
        if (m_class == SvgPathCharComma) {
            advance();
            skipWsp();
        }
    } else if (m_class == SvgPathCharComma) {
        advance();
        skipWsp();
    }
}

bool SvgPathParser::isDrawToLetter() const {
    switch (m_byte) {
    case 'A':
    case 'a':
    case 'C':
    case 'c':
    case 'H':
    case 'h':
    case 'L':
    case 'l':
    case 'Q':
    case 'q':
    case 'S':
    case 's':
    case 'T':
    case 't':
    case 'V':
    case 'v':
    case 'Z':
    case 'z':
        return true;
    default:
        return false;
    }
}

bool SvgPathParser::parse() {
    skipWsp();
    if (m_byte == 'M' || m_byte == 'm') {
        if (!parseCommandGroups())
            return false;
    }
    skipWsp();
    return true;
}

bool SvgPathParser::parseCommandGroups() {
    if (!parseGroup())
        return false;
    for (;;) {
        const char* const mark = position();
        skipWsp();
        if (m_byte != 'M' && m_byte != 'm') {
            resetTo(mark);
            return true;
        }
        if (!parseGroup())
            return false;
    }
}

bool SvgPathParser::parseGroup() {
    if (!parseMoveTo())
        return false;
    skipWsp();
    if (isDrawToLetter())
        return parseDrawToCommands();
    return true;
}

bool SvgPathParser::parseMoveTo() {
    const bool absolute = m_byte == 'M';
    advance();
    skipWsp();
    float x, y;
    if (!parseCoordinatePair(x, y))
        return false;
    moveTo(absolute, x, y);
    const char* const mark = position();
    skipCommaWsp();
    if (!canStartNumber()) {
        resetTo(mark);
        return true;
    }
    // Further pairs after a move are line commands of the same case.
    return parseArguments('l', absolute);
}

bool SvgPathParser::parseDrawToCommands() {
    if (!parseDrawToCommand())
        return false;
    for (;;) {
        const char* const mark = position();
        skipWsp();
        if (!isDrawToLetter()) {
            resetTo(mark);
            return true;
        }
        if (!parseDrawToCommand())
            return false;
    }
}

bool SvgPathParser::parseDrawToCommand() {
    const char letter = static_cast<char>(m_byte);
    const bool absolute = letter >= 'A' && letter <= 'Z';
    const char command = absolute ? static_cast<char>(letter - 'A' + 'a') : letter;
    advance();
    if (command == 'z')
        return closePath();
    skipWsp();
    return parseArguments(command, absolute);
}

bool SvgPathParser::parseArguments(char command, bool absolute) {
    for (;;) {
        if (!parseArgumentSet(command, absolute))
            return false;
        const char* const mark = position();
        skipCommaWsp();
        // An arc starts with a radius, which carries no sign.
        const bool more = command == 'a'
                              ? (m_class == SvgPathCharDigit || m_class == SvgPathCharPeriod)
                              : canStartNumber();
        if (!more) {
            resetTo(mark);
            return true;
        }
    }
}

bool SvgPathParser::parseArgumentSet(char command, bool absolute) {
    float x, y, x1, y1, x2, y2;
    switch (command) {
    case 'l':
        if (!parseCoordinatePair(x, y))
            return false;
        lineTo(absolute, x, y);
        return true;
    case 't':
        if (!parseCoordinatePair(x, y))
            return false;
        smoothQuadTo(absolute, x, y);
        return true;
    case 'h':
        if (!parseNumber(x))
            return false;
        lineToHorizontal(absolute, x);
        return true;
    case 'v':
        if (!parseNumber(y))
            return false;
        lineToVertical(absolute, y);
        return true;
    case 'c':
        if (!parseCoordinatePair(x1, y1))
            return false;
        skipCommaWsp();
        if (!parseCoordinatePair(x2, y2))
            return false;
        skipCommaWsp();
        if (!parseCoordinatePair(x, y))
            return false;
        curveTo(absolute, x, y, x1, y1, x2, y2);
        return true;
    case 's':
        if (!parseCoordinatePair(x2, y2))
            return false;
        skipCommaWsp();
        if (!parseCoordinatePair(x, y))
            return false;
        smoothCurveTo(absolute, x, y, x2, y2);
        return true;
    case 'q':
        if (!parseCoordinatePair(x1, y1))
            return false;
        skipCommaWsp();
        if (!parseCoordinatePair(x, y))
            return false;
        quadTo(absolute, x, y, x1, y1);
        return true;
    case 'a': {
        float rx, ry, rotation;
        bool largeArc, sweep;
        if (!parseNonNegativeNumber(rx))
            return false;
        skipCommaWsp();
        if (!parseNonNegativeNumber(ry))
            return false;
        skipCommaWsp();
        if (!parseNumber(rotation))
            return false;
        skipCommaWsp();
        if (!parseFlag(largeArc))
            return false;
        skipCommaWsp();
        if (!parseFlag(sweep))
            return false;
        skipCommaWsp();
        if (!parseCoordinatePair(x, y))
            return false;
        arcTo(absolute, x, y, rx, ry, rotation, largeArc, sweep);
        return true;
    }
    default:
        return false;
    }
}
