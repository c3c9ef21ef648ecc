#pragma once

#include <array>
#include <cstdint>
#include <string>

// Class of the byte under the path scanner's cursor. Form feed and vertical
// tab are deliberately "other": path data knows only four white-space bytes.
enum SvgPathCharClass : std::uint8_t {
    SvgPathCharDigit = 0,
    SvgPathCharWhiteSpace = 1,
    SvgPathCharComma = 2,
    SvgPathCharPeriod = 3,
    SvgPathCharSign = 4,
    SvgPathCharOpenParenthesis = 5,
    SvgPathCharCloseParenthesis = 6,
    SvgPathCharOther = 7,
    SvgPathCharEnd = 8,
};

namespace SvgPathChars {
constexpr std::array<std::uint8_t, 256> makeClassTable() {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = SvgPathCharOther;
    for (int c = '0'; c <= '9'; ++c)
        table[c] = SvgPathCharDigit;
    table['\t'] = table['\n'] = table['\r'] = table[' '] = SvgPathCharWhiteSpace;
    table[','] = SvgPathCharComma;
    table['.'] = SvgPathCharPeriod;
    table['+'] = table['-'] = SvgPathCharSign;
    table['('] = SvgPathCharOpenParenthesis;
    table[')'] = SvgPathCharCloseParenthesis;
    table[0] = SvgPathCharEnd;
    return table;
}
inline constexpr std::array<std::uint8_t, 256> classTable = makeClassTable();
} // namespace SvgPathChars

// Byte cursor over a zero-terminated text, the base of the path data parser.
// The cursor never moves past the terminating zero.
class SvgPathScanner {
public:
    SvgPathScanner();
    virtual ~SvgPathScanner();
    SvgPathScanner(const SvgPathScanner&) = delete;
    SvgPathScanner& operator=(const SvgPathScanner&) = delete;

    // The start rule; the base version accepts everything.
    virtual bool parse();

    // Runs parse() over the text; true only when parse() succeeds and the
    // whole text was consumed. A null text is read as the empty text.
    bool run(const std::string& text);
    bool run(const char* text);

    // Classifies one byte.
    static SvgPathCharClass classOf(char byte) {
        return static_cast<SvgPathCharClass>(
            SvgPathChars::classTable[static_cast<unsigned char>(byte)]);
    }

protected:
    // The next byte becomes current; stops at the end byte.
    void advance() {
        m_current = m_next;
        m_byte = static_cast<signed char>(*m_current);
        m_class = classOf(*m_current);
        if (m_byte != 0)
            ++m_next;
    }
    // Restarts reading at a position taken earlier (un-reads).
    void resetTo(const char* position) {
        m_next = position;
        advance();
    }
    // One or more white-space bytes; false when there is none.
    bool skipWsp() {
        if (m_class != SvgPathCharWhiteSpace)
            return false;
        do
            advance();
        while (m_class == SvgPathCharWhiteSpace);
        return true;
    }
    bool isWsp() const { return m_class == SvgPathCharWhiteSpace; }
    bool isDigit() const { return m_class == SvgPathCharDigit; }
    bool atEnd() const { return m_class == SvgPathCharEnd; }
    const char* position() const { return m_current; }

    const char* m_next;    // position of the next byte to read
    const char* m_current; // position of the current byte
    SvgPathCharClass m_class;
    signed char m_byte;

private:
    void start(const char* text);
};
