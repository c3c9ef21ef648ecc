#pragma once

#include <cstddef>
#include <string>

// What became of a document's bytes on their way to UTF-8 text.
enum class SvgInputStatus {
    Ok,
    TooLarge,  // more than the size limit once decompressed or converted: cut there
    Truncated, // the gzip data ends before its stream does: what it gave is kept
    Damaged,   // the gzip data is corrupt: what came before the fault is kept
};

// Turns a document's bytes, as read from a file, into the UTF-8 text the XML
// reader takes. Gzip data (the `.svgz` form) is decompressed, within a size
// limit; text in UTF-16 or UTF-32 (known by a byte-order mark or by how its
// first character is written), or in an 8-bit or East Asian encoding named by
// the XML declaration, is converted. A UTF-8 byte-order mark is dropped.
// Everything else (UTF-8, or an encoding not on the list) stays as it is.
class SvgInputDecoder {
public:
    // Largest text made, decompressed or converted (as large as a file read).
    static constexpr size_t kMaxSize = size_t(256) << 20;

    // Decompresses, then converts. The bytes keep what could be decoded.
    static SvgInputStatus Decode(std::string& bytes, size_t maxSize = kMaxSize);

    // Whether the bytes start with the gzip signature.
    static bool IsGzip(const std::string& bytes);

    // Decompresses gzip data (one or more members); at most maxSize bytes.
    static SvgInputStatus Inflate(std::string& bytes, size_t maxSize = kMaxSize);

    // The encoding the bytes are written in, as iconv names it; empty for
    // UTF-8 and for a declared encoding not on the list. skip gets the length
    // of the byte-order mark.
    static std::string DetectEncoding(const std::string& bytes, size_t& skip);

    // Converts the bytes after skip from encoding to UTF-8 (at most maxSize
    // bytes; false past it). A byte sequence the encoding does not define
    // becomes U+FFFD.
    static bool ConvertToUtf8(std::string& bytes, const std::string& encoding, size_t skip,
                              size_t maxSize = kMaxSize);
};
