#include "engine/SvgInputDecoder.h"

#include <iconv.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Output is made a step at a time; only what is written is touched.
constexpr size_t kStep = size_t(1) << 20;

const char kReplacementChar[] = "\xEF\xBF\xBD"; // U+FFFD

bool StartsWith(const std::string& bytes, const char* lit, size_t n) {
    return bytes.size() >= n && std::memcmp(bytes.data(), lit, n) == 0;
}

// How much more of the output to make room for: what is reserved, in steps
// of at most kStep (and never too little to make progress).
size_t Step(const std::string& out) {
    return std::clamp<size_t>(out.capacity() - out.size(), 64, kStep);
}

// Room for the output, reserved at once when its size can be told (a copy
// made while it grows would double the memory a large document takes).
std::string Reserved(size_t expected, size_t maxSize) {
    std::string out;
    out.reserve(std::min(expected, maxSize) + 16);
    return out;
}

// The value of the encoding pseudo-attribute of an XML declaration at the
// start of the bytes (after white space); empty when there is none.
std::string DeclaredEncoding(const std::string& bytes) {
    size_t p = bytes.find_first_not_of(" \t\r\n");
    if (p == std::string::npos || bytes.compare(p, 5, "<?xml") != 0)
        return {};
    std::string decl = bytes.substr(p, 512);
    size_t end = decl.find("?>");
    if (end == std::string::npos)
        return {};
    decl.resize(end);
    size_t at = decl.find("encoding");
    if (at == std::string::npos)
        return {};
    at = decl.find_first_not_of(" \t\r\n", at + 8);
    if (at == std::string::npos || decl[at] != '=')
        return {};
    at = decl.find_first_not_of(" \t\r\n", at + 1);
    if (at == std::string::npos || (decl[at] != '"' && decl[at] != '\''))
        return {};
    size_t close = decl.find(decl[at], at + 1);
    if (close == std::string::npos)
        return {};
    return decl.substr(at + 1, close - at - 1);
}

// The iconv name for an encoding label of the list this reader takes; empty
// for UTF-8 and for labels not on it. The Latin-1 and ASCII labels mean
// Windows-1252, as in every web browser: the two differ only in bytes 0x80 to
// 0x9F, which Windows editors fill with the euro sign and typographic quotes.
std::string IconvName(std::string label) {
    for (char& c : label)
        c = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : (c == '_' ? '-' : c);
    static const char* const kWindows1252[] = {"ISO-8859-1", "ISO8859-1", "LATIN1", "L1",
                                               "US-ASCII",   "ASCII",     "CP1252", "WINDOWS-1252"};
    for (const char* name : kWindows1252) {
        if (label == name)
            return "WINDOWS-1252";
    }
    static const char* const kOthers[] = {
        "ISO-8859-2",   "ISO-8859-3",   "ISO-8859-4",   "ISO-8859-5",   "ISO-8859-6",
        "ISO-8859-7",   "ISO-8859-8",   "ISO-8859-9",   "ISO-8859-10",  "ISO-8859-11",
        "ISO-8859-13",  "ISO-8859-14",  "ISO-8859-15",  "ISO-8859-16",  "WINDOWS-1250",
        "WINDOWS-1251", "WINDOWS-1253", "WINDOWS-1254", "WINDOWS-1255", "WINDOWS-1256",
        "WINDOWS-1257", "WINDOWS-1258", "KOI8-R",       "KOI8-U",       "SHIFT-JIS",
        "EUC-JP",       "EUC-KR",       "GBK",          "GB18030",      "BIG5"};
    if (label.size() == 6 && label.compare(0, 5, "CP125") == 0)
        label = "WINDOWS-" + label.substr(2);
    if (label == "GB2312")
        label = "GBK"; // a superset, as browsers read it
    if (label == "SJIS")
        label = "SHIFT-JIS";
    for (const char* name : kOthers) {
        if (label == name)
            return label == "SHIFT-JIS" ? "SHIFT_JIS" : label;
    }
    return {};
}

} // namespace

bool SvgInputDecoder::IsGzip(const std::string& bytes) {
    return StartsWith(bytes, "\x1F\x8B", 2);
}

SvgInputStatus SvgInputDecoder::Inflate(std::string& bytes, size_t maxSize) {
    z_stream stream{};
    if (bytes.size() < 18 || inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        bytes.clear(); // shorter than a member's header and trailer
        return SvgInputStatus::Truncated;
    }
    // The last member's trailer holds its size (modulo 2^32): a hint.
    const unsigned char* trailer =
        reinterpret_cast<const unsigned char*>(bytes.data() + bytes.size() - 4);
    size_t hint = trailer[0] | trailer[1] << 8 | trailer[2] << 16 | size_t(trailer[3]) << 24;
    // Deflate makes at most 1032 bytes of each: a larger hint is a lie.
    hint = std::min(hint, 1032 * bytes.size());
    std::string out = Reserved(std::max(hint, 4 * bytes.size()), maxSize);
    stream.next_in = reinterpret_cast<Bytef*>(&bytes[0]);
    SvgInputStatus status = SvgInputStatus::Truncated;
    size_t left = bytes.size();
    for (;;) {
        // zlib counts in 32 bits.
        uInt in = static_cast<uInt>(std::min(left, kStep));
        stream.avail_in = in;
        size_t used = out.size();
        size_t room = std::min(Step(out), maxSize + 1 - used);
        out.resize(used + room);
        stream.next_out = reinterpret_cast<Bytef*>(&out[used]);
        stream.avail_out = static_cast<uInt>(room);
        int result = inflate(&stream, Z_NO_FLUSH);
        size_t made = room - stream.avail_out;
        out.resize(used + made);
        left -= in - stream.avail_in;
        if (out.size() > maxSize) {
            out.resize(maxSize);
            status = SvgInputStatus::TooLarge;
            break;
        }
        if (result == Z_STREAM_END) {
            // Another member may follow; anything else after the stream is
            // left out, as gzip does.
            if (left >= 2 && std::memcmp(stream.next_in, "\x1F\x8B", 2) == 0 &&
                inflateReset(&stream) == Z_OK)
                continue;
            status = SvgInputStatus::Ok;
            break;
        }
        if (result == Z_BUF_ERROR && (left == 0 || (made == 0 && stream.avail_in == in)))
            break; // the data ends inside the stream
        if (result != Z_OK && result != Z_BUF_ERROR) {
            status = SvgInputStatus::Damaged;
            break;
        }
    }
    inflateEnd(&stream);
    bytes.swap(out);
    return status;
}

std::string SvgInputDecoder::DetectEncoding(const std::string& bytes, size_t& skip) {
    skip = 0;
    // Byte-order marks, UTF-32 before UTF-16 (whose little-endian mark starts
    // the other's).
    struct Mark {
        const char* bytes;
        size_t length;
        const char* encoding;
        size_t skip;
    };
    static const Mark kMarks[] = {
        {"\xEF\xBB\xBF", 3, "", 3},
        {"\xFF\xFE\x00\x00", 4, "UTF-32LE", 4},
        {"\x00\x00\xFE\xFF", 4, "UTF-32BE", 4},
        {"\xFF\xFE", 2, "UTF-16LE", 2},
        {"\xFE\xFF", 2, "UTF-16BE", 2},
        // Without a mark: how "<?" (or "<" in UTF-32) is written.
        {"\x3C\x00\x00\x00", 4, "UTF-32LE", 0},
        {"\x00\x00\x00\x3C", 4, "UTF-32BE", 0},
        {"\x3C\x00\x3F\x00", 4, "UTF-16LE", 0},
        {"\x00\x3C\x00\x3F", 4, "UTF-16BE", 0},
    };
    for (const Mark& mark : kMarks) {
        if (StartsWith(bytes, mark.bytes, mark.length)) {
            skip = mark.skip;
            return mark.encoding;
        }
    }
    return IconvName(DeclaredEncoding(bytes));
}

bool SvgInputDecoder::ConvertToUtf8(std::string& bytes, const std::string& encoding, size_t skip,
                                    size_t maxSize) {
    skip = std::min(skip, bytes.size());
    iconv_t converter = iconv_open("UTF-8", encoding.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        bytes.erase(0, skip);
        return true; // left as it is
    }
    // A sequence the encoding does not define is skipped a code unit at a
    // time. UTF-8 takes at most 3 bytes for a 16-bit unit, 4 for a 32-bit one,
    // and 3 for a byte of an 8-bit encoding.
    size_t unit = encoding.compare(0, 6, "UTF-32") == 0   ? 4
                  : encoding.compare(0, 6, "UTF-16") == 0 ? 2
                                                          : 1;
    size_t left = bytes.size() - skip;
    std::string out = Reserved(unit == 1 ? 3 * left : unit == 2 ? 3 * left / 2 : left, maxSize);
    char* in = &bytes[0] + skip;
    bool whole = true;
    while (left > 0) {
        if (out.size() > maxSize) {
            out.resize(maxSize);
            whole = false;
            break;
        }
        size_t used = out.size();
        size_t step = Step(out);
        out.resize(used + step);
        char* to = &out[used];
        size_t room = step;
        size_t result = iconv(converter, &in, &left, &to, &room);
        int error = errno;
        out.resize(used + step - room);
        if (result == static_cast<size_t>(-1) && error != E2BIG) {
            // Invalid (EILSEQ) or cut short at the end (EINVAL).
            out.append(kReplacementChar, 3);
            size_t step = error == EILSEQ ? std::min(unit, left) : left;
            in += step;
            left -= step;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(converter);
    if (out.size() > maxSize) {
        out.resize(maxSize);
        whole = false;
    }
    bytes.swap(out);
    return whole;
}

SvgInputStatus SvgInputDecoder::Decode(std::string& bytes, size_t maxSize) {
    SvgInputStatus status = SvgInputStatus::Ok;
    if (IsGzip(bytes))
        status = Inflate(bytes, maxSize);
    size_t skip = 0;
    std::string encoding = DetectEncoding(bytes, skip);
    if (!encoding.empty()) {
        if (!ConvertToUtf8(bytes, encoding, skip, maxSize) && status == SvgInputStatus::Ok)
            status = SvgInputStatus::TooLarge;
    } else if (skip > 0) {
        bytes.erase(0, skip);
    }
    return status;
}
