#pragma once

#include <cstddef>

// Locale-independent decimal numbers: the one place where text becomes a double.
// The decimal point is always a full stop, whatever the process locale.
// Hexadecimal forms, "inf" and "nan" are not numbers, and a value that
// overflows to infinity is refused. Underflow gives zero (or a subnormal).
namespace SvgNumberText {

// Length of the decimal number that starts exactly at first (no white space):
//   [+-]? (digits ('.' digits?)? | '.' digits) ([eE] [+-]? digits)?
// The exponent only counts when at least one digit follows its letter.
// Returns 0 when no number starts there. Stops at last (or at a 0 byte).
std::size_t MatchDecimal(const char* first, const char* last);

// Converts [first, last), which must be a complete match of MatchDecimal
// (path-data readers may validate their own grammar and call this).
// Correctly rounded. Returns false, leaving out alone, when the span is not a
// number or overflows to infinity.
bool Convert(const char* first, const char* last, double& out);

// The C strtod syntax in the "C" locale, decimal only: skips leading
// white space (space, tab, line feed, vertical tab, form feed, carriage return),
// then one number. Returns the number of bytes consumed, white space included,
// or 0 (out untouched) when there is no number or it overflows.
std::size_t Scan(const char* first, const char* last, double& out);

// As Scan, on a 0-terminated string.
std::size_t Scan(const char* text, double& out);

} // namespace SvgNumberText
