#pragma once

#include <string>

// A growable string of 16-bit code units, with no terminator stored, plus an
// owned narrow copy rebuilt on request (c_str). Narrow text is widened byte by
// byte with sign extension: bytes 0x80..0xFF become units 0xFF80..0xFFFF.
class SvgString {
public:
    SvgString() = default;
    SvgString(const char* text);
    SvgString(const std::string& text);
    SvgString(const SvgString& other);
    SvgString(SvgString&& other) noexcept;
    SvgString& operator=(const SvgString& other);
    SvgString& operator=(SvgString&& other) noexcept;

    virtual ~SvgString();

    virtual void append(const std::string& text);
    virtual void append(const char* text);
    virtual void append(const SvgString& text);
    virtual void append(const SvgString* text);
    virtual SvgString& operator+=(const SvgString& text);

    virtual void assign(const std::string& text);
    virtual void assign(const char* text);
    virtual void assign(const SvgString& text);

    // Removes count units from start; out-of-range parts are ignored.
    virtual void erase(int start, int count);

    virtual void insert(int offset, const std::string& text);
    virtual void insert(int offset, const char* text);
    virtual void insert(int offset, const SvgString& text);

    virtual void prepend(const std::string& text);
    virtual void prepend(const char* text);
    virtual void prepend(const SvgString& text);

    virtual void replace(int offset, int count, const std::string& text);
    virtual void replace(int offset, int count, const char* text);
    virtual void replace(int offset, int count, const SvgString& text);

    virtual void push(unsigned short unit);
    virtual void clear();
    // Units [start, end), clamped to the string; empty when start >= end.
    virtual SvgString substring(int start, int end) const;
    // The unit at index, or 0 outside the string.
    virtual unsigned short charAt(int index) const;
    virtual unsigned short operator[](int index) const;
    virtual int length() const;
    // Low byte of every unit, then a 0 byte. Valid until the next c_str,
    // clear, or destruction.
    virtual const char* c_str();

    // Three-way comparison: the difference of the first differing units, else
    // the difference of the lengths. Narrow text is widened as on construction.
    // A null C string compares less than every string (result 1).
    virtual int compare(const std::string& text) const;
    virtual int compare(const char* text) const;
    virtual int compare(const SvgString& text) const;

    virtual bool operator<(const std::string& text) const;
    virtual bool operator<(const char* text) const;
    virtual bool operator<(const SvgString& text) const;
    virtual bool operator<=(const std::string& text) const;
    virtual bool operator<=(const char* text) const;
    virtual bool operator<=(const SvgString& text) const;
    virtual bool operator>(const std::string& text) const;
    virtual bool operator>(const char* text) const;
    virtual bool operator>(const SvgString& text) const;
    virtual bool operator>=(const std::string& text) const;
    virtual bool operator>=(const char* text) const;
    virtual bool operator>=(const SvgString& text) const;
    virtual bool operator!=(const std::string& text) const;
    virtual bool operator!=(const char* text) const;
    virtual bool operator!=(const SvgString& text) const;
    virtual bool operator==(const std::string& text) const;
    virtual bool operator==(const char* text) const;
    virtual bool operator==(const SvgString& text) const;

    // Direct, non-virtual access for the readers.
    const unsigned short* data() const { return m_begin; }
    int size() const { return static_cast<int>(m_end - m_begin); }
    // Narrow copy (low bytes) of units [start, end) into out, clamped.
    void copyNarrow(int start, int end, std::string& out) const;

private:
    void appendBytes(const char* text, std::size_t count);
    void appendUnits(const unsigned short* units, std::size_t count);
    void reserve(std::size_t capacity);
    int compareBytes(const char* text, std::size_t count) const;
    void freeNarrow();

    char* m_narrow = nullptr;
    unsigned short* m_begin = nullptr;
    unsigned short* m_end = nullptr;
    unsigned short* m_capacity = nullptr;
};
