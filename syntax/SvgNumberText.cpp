#include "syntax/SvgNumberText.h"

#include <charconv>
#include <cmath>
#include <locale.h>
#include <stdlib.h>
#include <string>
#include <system_error>

namespace SvgNumberText {

namespace {

inline bool isDigitByte(char c) {
    return c >= '0' && c <= '9';
}

// The white space strtod skips in the "C" locale.
inline bool isCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Out-of-range fallback only: from_chars reports overflow and underflow alike,
// strtod_l tells them apart (HUGE_VAL versus zero or a subnormal).
double convertOutOfRange(const char* first, const char* last) {
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    std::string copy(first, last);
    if (cLocale == static_cast<locale_t>(nullptr))
        return HUGE_VAL; // cannot tell: refuse
    return strtod_l(copy.c_str(), nullptr, cLocale);
}

} // namespace

std::size_t MatchDecimal(const char* first, const char* last) {
    const char* p = first;
    if (p < last && (*p == '+' || *p == '-'))
        ++p;
    std::size_t digits = 0;
    while (p < last && isDigitByte(*p)) {
        ++p;
        ++digits;
    }
    if (p < last && *p == '.') {
        const char* q = p + 1;
        std::size_t fraction = 0;
        while (q < last && isDigitByte(*q)) {
            ++q;
            ++fraction;
        }
        if (digits + fraction > 0) {
            p = q;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0;
    if (p < last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q < last && (*q == '+' || *q == '-'))
            ++q;
        if (q < last && isDigitByte(*q)) {
            while (q < last && isDigitByte(*q))
                ++q;
            p = q;
        }
    }
    return static_cast<std::size_t>(p - first);
}

bool Convert(const char* first, const char* last, double& out) {
    if (first >= last || MatchDecimal(first, last) != static_cast<std::size_t>(last - first))
        return false;
    // from_chars takes no leading plus sign.
    const char* start = (*first == '+') ? first + 1 : first;
    double value = 0.0;
    std::from_chars_result r = std::from_chars(start, last, value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range)
        value = convertOutOfRange(start, last);
    else if (r.ec != std::errc() || r.ptr != last)
        return false;
    if (!std::isfinite(value))
        return false;
    out = value;
    return true;
}

std::size_t Scan(const char* first, const char* last, double& out) {
    const char* p = first;
    while (p < last && isCSpace(*p))
        ++p;
    std::size_t n = MatchDecimal(p, last);
    if (n == 0 || !Convert(p, p + n, out))
        return 0;
    return static_cast<std::size_t>(p - first) + n;
}

std::size_t Scan(const char* text, double& out) {
    if (!text)
        return 0;
    return Scan(text, text + std::char_traits<char>::length(text), out);
}

} // namespace SvgNumberText
