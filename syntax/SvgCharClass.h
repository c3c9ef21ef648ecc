#pragma once

// Character classes over 16-bit character codes, after the XML 1.0 productions
// (BaseChar, Ideographic, Letter, Digit) and the Unicode space categories.
bool isBaseChar(unsigned short c);
bool isIdeographic(unsigned short c);
bool isLetter(unsigned short c);
bool isDigit(unsigned short c);
bool isLetterOrDigit(unsigned short c);
bool isSpaceSeparator(unsigned short c);
bool isSpaceChar(unsigned short c);
bool isNoBreakSpace(unsigned short c);
bool isWhitespace(unsigned short c);

// The value of a hexadecimal digit, in either case; -1 for any other byte.
int hexDigitValue(char c);
