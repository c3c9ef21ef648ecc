#include "render/SvgTextBuffer.h"

#include <algorithm>
#include <climits>

SvgTextBuffer::SvgTextBuffer(size_t capacity) : units(std::max<size_t>(capacity, 1), 0) {}

int SvgTextBuffer::Measure(UINT codePage, const std::string& text, size_t bytes) {
    if (bytes == 0)
        return 0;
    return MultiByteToWideChar(codePage, 0, text.data(), int(bytes), nullptr, 0);
}

bool SvgTextBuffer::Convert(UINT codePage, const std::string& text) {
    units[0] = 0;
    length = 0;
    size_t room = units.size() - 1; // one unit stays for the terminator
    // Text holding a NUL ends there, as a C string would.
    size_t bytes = std::min(text.find('\0'), text.size());
    bytes = std::min<size_t>(bytes, INT_MAX);
    bool whole = true;
    // Every byte converts to at most one unit, so a prefix of `room` bytes
    // always fits; a longer text is cut at the longest prefix that fits.
    if (bytes > room && size_t(Measure(codePage, text, bytes)) > room) {
        whole = false;
        size_t low = room, high = bytes; // fits at low; does not at high
        while (high - low > 1) {
            size_t middle = low + (high - low) / 2;
            if (size_t(Measure(codePage, text, middle)) <= room)
                low = middle;
            else
                high = middle;
        }
        bytes = low;
    }
    if (codePage == CP_UTF8 && bytes < std::min(text.size(), text.find('\0'))) {
        // Do not end inside a UTF-8 sequence: back off to its lead byte.
        size_t cut = bytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80 && bytes - cut < 4)
            --cut;
        if ((static_cast<unsigned char>(text[cut]) & 0xC0) != 0x80)
            bytes = cut;
    }
    int written = 0;
    if (bytes > 0)
        written =
            MultiByteToWideChar(codePage, 0, text.data(), int(bytes), units.data(), int(room));
    length = written > 0 ? size_t(written) : 0;
    units[length] = 0;
    return whole;
}

size_t SvgTextBuffer::NextCharacter(const std::string& text, size_t at) {
    if (at >= text.size())
        return text.size();
    unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (lead >= 0xF8 || at + length > text.size())
        return at + 1;
    for (size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80)
            return at + 1;
    }
    return at + length;
}
