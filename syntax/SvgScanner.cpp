#include "syntax/SvgScanner.h"

#include "syntax/SvgCharClass.h"
#include "syntax/SvgDeclaration.h"
#include "syntax/SvgNumberText.h"
#include "syntax/SvgRect.h"

namespace {

// The character classes see the byte value sign-extended, so only ASCII
// characters can belong to a class.
inline unsigned short classCode(int byte) {
    return static_cast<unsigned short>(static_cast<signed char>(byte));
}

// isWhitespace(classCode(byte)), precomputed: tab to carriage return, 0x1C to
// 0x1F and space; no byte from 0x80 up.
inline bool isSpaceByte(int byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r') || (byte >= 0x1C && byte <= 0x1F);
}

// Longest number text readNumber looks at.
constexpr int kNumberWindow = 63;

// Bytes of the decimal syntax, and the white space strtod skips before it.
inline bool isNumberByte(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E' ||
           c == ' ' || (c >= '\t' && c <= '\r');
}

constexpr double kFloatMax = 3.4028234663852886e38;

} // namespace

void SvgScanner::setText(const SvgString& text) {
    m_text.assign(text);
    m_length = m_text.size();
    m_lastPos = 0;
}

int SvgScanner::charAt(int pos) {
    if (pos < 0 || pos >= m_length)
        return 0;
    m_lastPos = pos;
    return m_text.data()[pos] & 0xFF;
}

bool SvgScanner::matchesAt(int pos, const char* literal) {
    if (!literal)
        return true;
    for (int i = 0; literal[i]; ++i) {
        if (pos < 0 || pos + i >= m_length)
            return false;
        if (charAt(pos + i) != static_cast<unsigned char>(literal[i]))
            return false;
    }
    return true;
}

int SvgScanner::skipSpace(int pos) {
    if (pos < 0)
        return -1;
    const unsigned short* text = m_text.data();
    while (pos < m_length) {
        int c = text[pos] & 0xFF;
        if (c == '<' && matchesAt(pos, "<!--")) {
            pos += 4;
            while (pos < m_length && !matchesAt(pos, "-->"))
                ++pos;
            if (pos >= m_length) {
                m_lastPos = m_length;
                return -1;
            }
            pos += 3;
        } else if (c == '/' && matchesAt(pos, "/*")) {
            pos += 2;
            while (pos < m_length && !matchesAt(pos, "*/"))
                ++pos;
            if (pos >= m_length) {
                m_lastPos = m_length;
                return -1;
            }
            pos += 2;
        } else if (isSpaceByte(c)) {
            ++pos;
        } else {
            break;
        }
    }
    m_lastPos = pos;
    return pos;
}

int SvgScanner::readNumber(int pos, double& out) {
    if (pos < 0 || pos >= m_length)
        return pos;
    // Only characters that can take part in a number (or the white space
    // before it) are copied: the conversion stops at any other one anyway.
    char buffer[kNumberWindow + 1];
    int window = m_length - pos < kNumberWindow ? m_length - pos : kNumberWindow;
    const unsigned short* text = m_text.data() + pos;
    int usable = 0;
    while (usable < window) {
        char c = static_cast<char>(text[usable] & 0xFF);
        if (!isNumberByte(c))
            break;
        buffer[usable++] = c;
    }
    buffer[usable] = 0;
    std::size_t used = SvgNumberText::Scan(buffer, buffer + usable, out);
    return pos + static_cast<int>(used);
}

int SvgScanner::readName(int pos, SvgString& out) {
    int c = charAt(pos);
    if (!isLetter(classCode(c)))
        return pos;
    std::string name(1, static_cast<char>(c));
    ++pos;
    while (pos < m_length) {
        c = charAt(pos);
        if (isLetterOrDigit(classCode(c)) || c == '-' || c == '_') {
            name.push_back(static_cast<char>(c));
            ++pos;
        } else if (c == '\\') {
            // The backslash and the character after it are both dropped.
            pos = pos + 2 < m_length ? pos + 2 : m_length;
        } else {
            break;
        }
    }
    out.assign(name);
    return pos;
}

int SvgScanner::collectUntil(int pos, char stop, bool dropSpace, std::string& out) {
    out.clear();
    if (pos < 0)
        return pos;
    const unsigned short* text = m_text.data();
    int start = pos;
    while (pos < m_length) {
        int c = text[pos] & 0xFF;
        ++pos;
        if (c == stop) {
            m_lastPos = pos - 1;
            return pos;
        }
        if (dropSpace && isSpaceByte(c))
            continue;
        out.push_back(static_cast<char>(c));
    }
    if (pos > start)
        m_lastPos = pos - 1;
    return pos;
}

int SvgScanner::readPropertyName(int pos, SvgString& out) {
    std::string name;
    pos = collectUntil(pos, ':', true, name);
    out.assign(name);
    return pos;
}

int SvgScanner::readPropertyValue(int pos, SvgString& out) {
    std::string value;
    pos = collectUntil(pos, ';', false, value);
    out.assign(value);
    return pos;
}

bool SvgScanner::readNumberList(std::vector<float>& out, const SvgString& text) {
    setText(text);
    if (m_length < 1)
        return true;
    int pos = 0;
    for (;;) {
        pos = skipSpace(pos);
        if (pos < 0)
            return false;
        if (charAt(pos) == ',') {
            pos = skipSpace(pos + 1);
            if (pos < 0)
                return false;
        }
        double value = 0.0;
        int next = readNumber(pos, value);
        if (next == pos)
            return false;
        if (value > kFloatMax || value < -kFloatMax)
            return false; // beyond float: refused like an overflow
        out.push_back(static_cast<float>(value));
        pos = next;
        if (pos >= m_length)
            return true;
    }
}

bool SvgScanner::readRect(SvgRect& out, const SvgString& text) {
    setText(text);
    if (m_length < 1)
        return false;
    double values[4] = {0.0, 0.0, 0.0, 0.0};
    int count = 0;
    int pos = 0;
    while (pos < m_length) {
        pos = skipSpace(pos);
        if (pos < 0)
            return false;
        // One comma may part two numbers; white space may end the text.
        if (count > 0 && charAt(pos) == ',') {
            pos = skipSpace(pos + 1);
            if (pos < 0 || pos >= m_length)
                return false;
        } else if (pos >= m_length) {
            break;
        }
        double value = 0.0;
        int next = readNumber(pos, value);
        if (next == pos || count == 4)
            return false;
        values[count++] = value;
        pos = next;
    }
    if (count != 4)
        return false;
    out.set(values[0], values[1], values[2], values[3]);
    return true;
}

bool SvgScanner::readDeclarations(std::vector<SvgDeclaration*>& out, const SvgString& text) {
    setText(text);
    if (m_length < 1)
        return true;
    std::string name;
    std::string value;
    int pos = 0;
    for (;;) {
        pos = skipSpace(pos);
        if (pos < 0)
            return true;
        pos = collectUntil(pos, ':', true, name);
        pos = skipSpace(pos);
        if (pos < 0)
            return true;
        pos = collectUntil(pos, ';', false, value);
        out.push_back(new SvgDeclaration(name, value));
        if (pos >= m_length)
            return true;
    }
}
