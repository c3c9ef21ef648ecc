#include "syntax/SvgRotationReport.h"
#include "syntax/SvgScanner.h"
#include "syntax/SvgTransformList.h"

namespace {

// Reads one function's arguments. Every step either advances or fails; a
// position of -1 from skipSpace (an unclosed comment) fails the function.
class FunctionReader {
public:
    FunctionReader(SvgScanner& scanner, int pos) : m_scanner(scanner), m_pos(pos) {}

    int pos() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_scanner.length(); }

    bool skip() {
        m_pos = m_scanner.skipSpace(m_pos);
        return m_pos >= 0;
    }
    bool expect(char c) {
        if (m_scanner.charAt(m_pos) != c)
            return false;
        ++m_pos;
        return true;
    }
    bool number(double& out) {
        int next = m_scanner.readNumber(m_pos, out);
        if (next == m_pos)
            return false;
        m_pos = next;
        return true;
    }
    // An optional comma, and the white space after it.
    bool optionalComma() {
        if (m_scanner.charAt(m_pos) != ',')
            return true;
        ++m_pos;
        return skip();
    }
    bool isAt(char c) { return m_scanner.charAt(m_pos) == c; }

private:
    SvgScanner& m_scanner;
    int m_pos;
};

bool readMatrix(FunctionReader& in, SvgTransformList& out) {
    if (!in.skip() || !in.expect('(') || in.atEnd())
        return false;
    double v[6];
    int count = 0;
    for (;;) {
        if (count == 6)
            return false;
        if (!in.skip() || !in.number(v[count]))
            return false;
        ++count;
        if (!in.skip() || !in.optionalComma())
            return false;
        if (in.isAt(')'))
            break;
        if (in.atEnd())
            return false;
    }
    in.expect(')');
    if (count != 6)
        return false;
    SvgTransform item;
    item.setMatrix(SvgMatrix(v[0], v[1], v[2], v[3], v[4], v[5]));
    out.appendItem(item);
    return true;
}

// translate and scale: one number, then an optional second one.
bool readOneOrTwo(FunctionReader& in, double& first, double& second, bool& hasSecond) {
    if (!in.skip() || !in.expect('(') || !in.skip() || !in.number(first))
        return false;
    if (!in.skip() || !in.optionalComma())
        return false;
    hasSecond = in.number(second);
    if (!in.skip() || !in.expect(')'))
        return false;
    return true;
}

bool readTranslate(FunctionReader& in, SvgTransformList& out) {
    double tx = 0, ty = 0;
    bool hasTy = false;
    if (!readOneOrTwo(in, tx, ty, hasTy))
        return false;
    SvgTransform item;
    item.setTranslate(tx, hasTy ? ty : 0.0);
    out.appendItem(item);
    return true;
}

bool readScale(FunctionReader& in, SvgTransformList& out) {
    double sx = 0, sy = 0;
    bool hasSy = false;
    if (!readOneOrTwo(in, sx, sy, hasSy))
        return false;
    SvgTransform item;
    item.setScale(sx, hasSy ? sy : sx);
    out.appendItem(item);
    return true;
}

bool readRotate(FunctionReader& in, SvgTransformList& out) {
    double angle = 0, cx = 0, cy = 0;
    if (!in.skip() || !in.expect('(') || !in.skip() || !in.number(angle))
        return false;
    if (!in.skip() || !in.optionalComma())
        return false;
    if (in.number(cx)) {
        if (!in.skip() || !in.optionalComma() || !in.number(cy) || !in.skip())
            return false;
    }
    if (!in.expect(')'))
        return false;
    SvgReportRotation(angle, cx, cy);
    SvgTransform item;
    item.setRotate(angle, cx, cy);
    out.appendItem(item);
    return true;
}

bool readSkew(FunctionReader& in, SvgTransformList& out, bool alongX) {
    double angle = 0;
    if (!in.skip() || !in.expect('(') || !in.skip() || !in.number(angle))
        return false;
    if (!in.skip() || !in.expect(')'))
        return false;
    SvgTransform item;
    if (alongX)
        item.setSkewX(angle);
    else
        item.setSkewY(angle);
    out.appendItem(item);
    return true;
}

} // namespace

bool SvgScanner::readTransformList(SvgTransformList& out, const SvgString& text) {
    setText(text);
    if (length() <= 0)
        return true;
    int pos = 0;
    for (;;) {
        pos = skipSpace(pos);
        if (pos < 0)
            return true;
        SvgString name;
        int afterName = readName(pos, name);
        if (afterName == pos)
            return true;

        FunctionReader in(*this, afterName);
        bool ok = true;
        if (name == "matrix")
            ok = readMatrix(in, out);
        else if (name == "translate")
            ok = readTranslate(in, out);
        else if (name == "scale")
            ok = readScale(in, out);
        else if (name == "rotate")
            ok = readRotate(in, out);
        else if (name == "skewX")
            ok = readSkew(in, out, true);
        else if (name == "skewY")
            ok = readSkew(in, out, false);
        if (!ok)
            return false;

        pos = skipSpace(in.pos());
        if (pos < 0)
            return true;
        if (charAt(pos) == ',') {
            pos = skipSpace(pos + 1);
            if (pos < 0)
                return true;
        }
        if (pos >= length())
            return true;
    }
}
