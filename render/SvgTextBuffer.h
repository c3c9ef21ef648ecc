#pragma once

#include "platform/win32/Win32.h"

#include <string>
#include <vector>

// A fixed-size UTF-16 buffer that narrow text is converted into with
// MultiByteToWideChar. Text that does not fit is cut at the buffer size, never
// inside a UTF-8 sequence, and always NUL-terminated.
class SvgTextBuffer {
public:
    // Room for capacity UTF-16 units, the terminator included (at least 1).
    explicit SvgTextBuffer(size_t capacity);

    // Converts text (code page CP_UTF8 or CP_ACP). Returns false when the text
    // had to be cut; the buffer then holds the longest prefix that fits.
    bool Convert(UINT codePage, const std::string& text);

    // End of the UTF-8 character that starts at byte `at` of text: a lead byte
    // with all its continuation bytes, else the one byte (a malformed sequence
    // converts to U+FFFD).
    static size_t NextCharacter(const std::string& text, size_t at);

    const WCHAR* Get() const { return units.data(); }
    // Units held before the terminator.
    size_t Length() const { return length; }

private:
    // Units the first `bytes` bytes of text convert to, or 0 on failure.
    static int Measure(UINT codePage, const std::string& text, size_t bytes);

    std::vector<WCHAR> units;
    size_t length = 0;
};
