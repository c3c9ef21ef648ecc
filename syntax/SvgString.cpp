#include "syntax/SvgString.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// A narrow byte as a unit: sign extension, so 0x80..0xFF become 0xFF80..0xFFFF.
inline unsigned short widen(char c) {
    return static_cast<unsigned short>(static_cast<signed char>(c));
}

inline std::size_t clampIndex(int index, std::size_t length) {
    if (index <= 0)
        return 0;
    return std::min(static_cast<std::size_t>(index), length);
}

// This length minus the other's, within int.
inline int lengthDifference(std::size_t length, std::size_t other) {
    long long d = static_cast<long long>(length) - static_cast<long long>(other);
    return static_cast<int>(std::clamp<long long>(d, INT_MIN, INT_MAX));
}

} // namespace

SvgString::SvgString(const char* text) {
    append(text);
}

SvgString::SvgString(const std::string& text) {
    append(text);
}

SvgString::SvgString(const SvgString& other) {
    appendUnits(other.m_begin, other.m_end - other.m_begin);
}

SvgString::SvgString(SvgString&& other) noexcept
    : m_begin(other.m_begin), m_end(other.m_end), m_capacity(other.m_capacity) {
    other.m_begin = other.m_end = other.m_capacity = nullptr;
}

SvgString& SvgString::operator=(const SvgString& other) {
    assign(other);
    return *this;
}

SvgString& SvgString::operator=(SvgString&& other) noexcept {
    if (this != &other) {
        freeNarrow();
        delete[] m_begin;
        m_begin = other.m_begin;
        m_end = other.m_end;
        m_capacity = other.m_capacity;
        other.m_begin = other.m_end = other.m_capacity = nullptr;
        other.freeNarrow();
    }
    return *this;
}

SvgString::~SvgString() {
    freeNarrow();
    delete[] m_begin;
}

void SvgString::freeNarrow() {
    delete[] m_narrow;
    m_narrow = nullptr;
}

void SvgString::reserve(std::size_t capacity) {
    std::size_t length = m_end - m_begin;
    if (capacity <= static_cast<std::size_t>(m_capacity - m_begin))
        return;
    unsigned short* grown = new unsigned short[capacity];
    if (length)
        std::memcpy(grown, m_begin, length * sizeof(unsigned short));
    delete[] m_begin;
    m_begin = grown;
    m_end = m_begin + length;
    m_capacity = m_begin + capacity;
}

void SvgString::appendBytes(const char* text, std::size_t count) {
    if (count == 0)
        return;
    std::size_t length = m_end - m_begin;
    if (length + count > static_cast<std::size_t>(m_capacity - m_begin))
        reserve(std::max(length + count, 2 * length));
    for (std::size_t i = 0; i < count; ++i)
        m_end[i] = widen(text[i]);
    m_end += count;
}

void SvgString::appendUnits(const unsigned short* units, std::size_t count) {
    if (count == 0)
        return;
    std::size_t length = m_end - m_begin;
    if (length + count > static_cast<std::size_t>(m_capacity - m_begin)) {
        // units may point into this string: keep its offset across the move.
        bool inside = units >= m_begin && units < m_end;
        std::size_t offset = inside ? units - m_begin : 0;
        reserve(std::max(length + count, 2 * length));
        if (inside)
            units = m_begin + offset;
    }
    std::memmove(m_end, units, count * sizeof(unsigned short));
    m_end += count;
}

void SvgString::append(const std::string& text) {
    appendBytes(text.data(), text.size());
}

void SvgString::append(const char* text) {
    if (text)
        appendBytes(text, std::strlen(text));
}

void SvgString::append(const SvgString& text) {
    appendUnits(text.m_begin, text.m_end - text.m_begin);
}

void SvgString::append(const SvgString* text) {
    if (text)
        append(*text);
}

SvgString& SvgString::operator+=(const SvgString& text) {
    append(text);
    return *this;
}

void SvgString::assign(const std::string& text) {
    clear();
    append(text);
}

void SvgString::assign(const char* text) {
    auto address = [](const char* p) { return reinterpret_cast<std::uintptr_t>(p); };
    if (m_narrow && text && address(text) >= address(m_narrow) &&
        address(text) <= address(m_narrow + size())) {
        std::string copy(text); // our own narrow copy, freed by clear
        assign(copy);
        return;
    }
    clear();
    append(text);
}

void SvgString::assign(const SvgString& text) {
    if (&text == this)
        return;
    clear();
    append(text);
}

void SvgString::erase(int start, int count) {
    std::size_t length = m_end - m_begin;
    std::size_t from = clampIndex(start, length);
    if (count <= 0 || from >= length)
        return;
    std::size_t n = std::min(static_cast<std::size_t>(count), length - from);
    std::memmove(m_begin + from, m_begin + from + n, (length - from - n) * sizeof(unsigned short));
    m_end -= n;
}

void SvgString::insert(int offset, const std::string& text) {
    insert(offset, SvgString(text));
}

void SvgString::insert(int offset, const char* text) {
    insert(offset, SvgString(text));
}

void SvgString::insert(int offset, const SvgString& text) {
    replace(offset, 0, text);
}

void SvgString::prepend(const std::string& text) {
    insert(0, text);
}

void SvgString::prepend(const char* text) {
    insert(0, text);
}

void SvgString::prepend(const SvgString& text) {
    insert(0, text);
}

void SvgString::replace(int offset, int count, const std::string& text) {
    replace(offset, count, SvgString(text));
}

void SvgString::replace(int offset, int count, const char* text) {
    replace(offset, count, SvgString(text));
}

void SvgString::replace(int offset, int count, const SvgString& text) {
    int length = size();
    int from = static_cast<int>(clampIndex(offset, length));
    int to =
        count <= 0
            ? from
            : static_cast<int>(std::min<long long>(static_cast<long long>(from) + count, length));
    SvgString head = substring(0, from);
    SvgString tail = substring(to, length);
    // text may be this very string: take it before clearing.
    SvgString middle = (&text == this) ? SvgString(text) : SvgString();
    const SvgString& insertText = (&text == this) ? middle : text;
    clear();
    append(head);
    append(insertText);
    append(tail);
}

void SvgString::push(unsigned short unit) {
    if (m_end == m_capacity) {
        std::size_t length = m_end - m_begin;
        reserve(length + std::max<std::size_t>(length, 1));
    }
    *m_end++ = unit;
}

void SvgString::clear() {
    m_end = m_begin;
    freeNarrow();
}

SvgString SvgString::substring(int start, int end) const {
    SvgString result;
    std::size_t length = m_end - m_begin;
    std::size_t from = clampIndex(start, length);
    std::size_t to = clampIndex(end, length);
    if (from < to)
        result.appendUnits(m_begin + from, to - from);
    return result;
}

unsigned short SvgString::charAt(int index) const {
    if (index < 0 || index >= size())
        return 0;
    return m_begin[index];
}

unsigned short SvgString::operator[](int index) const {
    return charAt(index);
}

int SvgString::length() const {
    return size();
}

const char* SvgString::c_str() {
    freeNarrow();
    std::size_t length = m_end - m_begin;
    m_narrow = new char[length + 1];
    for (std::size_t i = 0; i < length; ++i)
        m_narrow[i] = static_cast<char>(m_begin[i] & 0xFF);
    m_narrow[length] = 0;
    return m_narrow;
}

void SvgString::copyNarrow(int start, int end, std::string& out) const {
    std::size_t length = m_end - m_begin;
    std::size_t from = clampIndex(start, length);
    std::size_t to = clampIndex(end, length);
    out.clear();
    if (from >= to)
        return;
    out.resize(to - from);
    for (std::size_t i = from; i < to; ++i)
        out[i - from] = static_cast<char>(m_begin[i] & 0xFF);
}

int SvgString::compareBytes(const char* text, std::size_t count) const {
    std::size_t length = m_end - m_begin;
    std::size_t n = std::min(length, count);
    for (std::size_t i = 0; i < n; ++i) {
        int d = static_cast<int>(m_begin[i]) - static_cast<int>(widen(text[i]));
        if (d != 0)
            return d;
    }
    return lengthDifference(length, count);
}

int SvgString::compare(const std::string& text) const {
    return compareBytes(text.data(), text.size());
}

int SvgString::compare(const char* text) const {
    if (!text)
        return 1;
    return compareBytes(text, std::strlen(text));
}

int SvgString::compare(const SvgString& text) const {
    std::size_t length = m_end - m_begin;
    std::size_t other = text.m_end - text.m_begin;
    std::size_t n = std::min(length, other);
    for (std::size_t i = 0; i < n; ++i) {
        int d = static_cast<int>(m_begin[i]) - static_cast<int>(text.m_begin[i]);
        if (d != 0)
            return d;
    }
    return lengthDifference(length, other);
}

bool SvgString::operator<(const std::string& text) const {
    return compare(text) < 0;
}
bool SvgString::operator<(const char* text) const {
    return compare(text) < 0;
}
bool SvgString::operator<(const SvgString& text) const {
    return compare(text) < 0;
}
bool SvgString::operator<=(const std::string& text) const {
    return compare(text) <= 0;
}
bool SvgString::operator<=(const char* text) const {
    return compare(text) <= 0;
}
bool SvgString::operator<=(const SvgString& text) const {
    return compare(text) <= 0;
}
bool SvgString::operator>(const std::string& text) const {
    return compare(text) > 0;
}
bool SvgString::operator>(const char* text) const {
    return compare(text) > 0;
}
bool SvgString::operator>(const SvgString& text) const {
    return compare(text) > 0;
}
bool SvgString::operator>=(const std::string& text) const {
    return compare(text) >= 0;
}
bool SvgString::operator>=(const char* text) const {
    return compare(text) >= 0;
}
bool SvgString::operator>=(const SvgString& text) const {
    return compare(text) >= 0;
}
bool SvgString::operator!=(const std::string& text) const {
    return compare(text) != 0;
}
bool SvgString::operator!=(const char* text) const {
    return compare(text) != 0;
}
bool SvgString::operator!=(const SvgString& text) const {
    return compare(text) != 0;
}
bool SvgString::operator==(const std::string& text) const {
    return compare(text) == 0;
}
bool SvgString::operator==(const char* text) const {
    return compare(text) == 0;
}
bool SvgString::operator==(const SvgString& text) const {
    return compare(text) == 0;
}
