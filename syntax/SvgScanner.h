#pragma once

#include "syntax/SvgString.h"

#include <vector>

class SvgRect;
class SvgTransformList;
struct SvgDeclaration;

// Reads attribute values with an inner syntax. One object per attribute read:
// each read operation takes the whole text, copies it, and walks it with the
// primitives below. Positions are 0-based indices of 16-bit units.
class SvgScanner {
public:
    SvgScanner() = default;
    virtual ~SvgScanner() = default;

    // Primitives, usable on the text given to setText (or to a read operation).

    // Takes a copy of text and its length.
    void setText(const SvgString& text);
    int length() const { return m_length; }

    // Low byte of the unit at pos, or 0 at or past the end (and before 0).
    int charAt(int pos);
    // True when every byte of literal equals charAt at the successive positions.
    bool matchesAt(int pos, const char* literal);
    // Skips white space, "<!-- -->" and "/* */" comments. Returns the position
    // after them, or -1 when a comment is never closed.
    int skipSpace(int pos);
    // One number in the C strtod decimal syntax, reading at most 63 characters.
    // Returns the position after it, or pos (out untouched) when there is none.
    int readNumber(int pos, double& out);
    // An identifier: a letter, then letters, digits, '-' and '_'; a backslash
    // drops itself and the next character. Returns pos when no letter starts it.
    int readName(int pos, SvgString& out);
    // Characters up to and including ':', white space dropped.
    int readPropertyName(int pos, SvgString& out);
    // Characters up to and including ';', everything kept.
    int readPropertyValue(int pos, SvgString& out);

    // Read operations.

    // Numbers separated by white space, comments and at most one comma each.
    // Appends what it read; false at the first item that is not a number.
    bool readNumberList(std::vector<float>& out, const SvgString& text);
    // Exactly four numbers separated by white space, comments and at most one
    // comma each, with white space around them.
    bool readRect(SvgRect& out, const SvgString& text);
    // "name: value;" pairs; appends one new record per pass, owned by the caller.
    bool readDeclarations(std::vector<SvgDeclaration*>& out, const SvgString& text);
    // Transform functions (defined with the transforms, in SvgScannerTransform.cpp).
    bool readTransformList(SvgTransformList& out, const SvgString& text);

private:
    // Like readPropertyName/Value, but straight into a narrow string.
    int collectUntil(int pos, char stop, bool dropSpace, std::string& out);

    SvgString m_text;
    int m_length = 0;
    int m_lastPos = 0;
};
