#pragma once

#include <cstddef>
#include <string>
#include <utility>

// A string held as one pointer: null while empty, which most strings of a
// style record are (references to markers, filters, clip paths, masks and
// paint servers), so that a record takes a pointer for each instead of a
// whole std::string. Reads as a const std::string.
class SvgCompactString {
public:
    SvgCompactString() = default;
    SvgCompactString(const SvgCompactString& other) { assign(other.str()); }
    SvgCompactString& operator=(const SvgCompactString& other) {
        if (this != &other)
            assign(other.str());
        return *this;
    }
    SvgCompactString& operator=(const std::string& text) {
        assign(text);
        return *this;
    }
    SvgCompactString& operator=(const char* text) {
        assign(text ? std::string(text) : std::string());
        return *this;
    }
    ~SvgCompactString() { delete m_text; }

    const std::string& str() const { return m_text ? *m_text : Empty(); }
    operator const std::string&() const { return str(); }
    bool empty() const { return !m_text; }
    std::size_t size() const { return str().size(); }
    const char* c_str() const { return str().c_str(); }
    void clear() {
        delete m_text;
        m_text = nullptr;
    }
    void swap(SvgCompactString& other) { std::swap(m_text, other.m_text); }

    friend bool operator==(const SvgCompactString& a, const SvgCompactString& b) {
        return a.str() == b.str();
    }
    friend bool operator!=(const SvgCompactString& a, const SvgCompactString& b) {
        return !(a == b);
    }
    friend bool operator==(const SvgCompactString& a, const std::string& b) { return a.str() == b; }
    friend bool operator!=(const SvgCompactString& a, const std::string& b) { return a.str() != b; }
    friend bool operator==(const SvgCompactString& a, const char* b) { return a.str() == b; }
    friend bool operator!=(const SvgCompactString& a, const char* b) { return a.str() != b; }

private:
    static const std::string& Empty() {
        static const std::string empty;
        return empty;
    }
    void assign(const std::string& text) {
        if (text.empty()) {
            clear();
        } else if (m_text) {
            *m_text = text;
        } else {
            m_text = new std::string(text);
        }
    }

    std::string* m_text = nullptr; // never an empty string
};
