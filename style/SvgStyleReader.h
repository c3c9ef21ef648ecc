#pragma once

#include <cstddef>

// Walks the declarations of a style attribute in place, without allocating.
// It splits exactly as SvgScanner::readDeclarations does: white space and
// comments are skipped before the name and before the value; the name runs to
// ":" with all white space dropped; the value runs to ";" or the end and keeps
// its white space; every pass yields one declaration (so a text ending in ";"
// and white space yields a last declaration with an empty name); an unclosed
// comment ends the walk.
class SvgDeclarationReader {
public:
    // Longest name kept; longer names are reported as too long (no property
    // name comes near it).
    static constexpr size_t MaxName = 127;

    explicit SvgDeclarationReader(const char* text);

    // Whether the value of length characters ends in "!important" (any case,
    // white space allowed after the "!"); length then leaves it out, with the
    // white space before it.
    static bool CutImportant(const char* value, size_t& length);

    // Moves to the next declaration; false when there is none.
    bool Next();

    const char* Name() const { return m_name; }
    size_t NameLength() const { return m_nameLength; }
    bool NameTooLong() const { return m_nameTooLong; }
    // The value: a slice of the text, not terminated.
    const char* Value() const { return m_value; }
    size_t ValueLength() const { return m_valueLength; }

private:
    // Position after white space and comments, or -1 for an unclosed comment.
    long SkipSpace(long pos) const;

    const char* m_text;
    long m_length;
    long m_pos = 0;
    bool m_done;
    char m_name[MaxName + 1];
    size_t m_nameLength = 0;
    bool m_nameTooLong = false;
    const char* m_value = nullptr;
    size_t m_valueLength = 0;
};
