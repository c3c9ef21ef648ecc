// PNG encoding built for speed: one pass per row that unpremultiplies,
// filters and compresses, with nothing searched for but runs of equal bytes.
// With the "up" filter an unchanged stretch of a row becomes a run of zero
// bytes, which a deflate match at distance 1 covers 258 bytes at a time.

#include "platform/gdiplus/PngWriter.h"

#include <zlib.h>

#include <cstring>
#include <new>
#include <vector>

namespace Gdiplus {

namespace {

constexpr size_t kChunkBytes = size_t(1) << 18; // IDAT size the output is cut into
constexpr int kMaxMatch = 258;

struct Code {
    uint32_t bits; // already reversed for the LSB-first bit order of deflate
    uint32_t length;
};

uint32_t Reverse(uint32_t code, int length) {
    uint32_t out = 0;
    for (int i = 0; i < length; ++i) {
        out = (out << 1) | (code & 1);
        code >>= 1;
    }
    return out;
}

// The fixed literal/length code of deflate.
Code FixedCode(int symbol) {
    if (symbol < 144)
        return {Reverse(0x30 + symbol, 8), 8};
    if (symbol < 256)
        return {Reverse(0x190 + symbol - 144, 9), 9};
    if (symbol < 280)
        return {Reverse(symbol - 256, 7), 7};
    return {Reverse(0xC0 + symbol - 280, 8), 8};
}

struct Tables {
    Code literal[256];
    Code match[kMaxMatch + 1]; // length code, extra bits and distance code 0 (distance 1)
    Code end;

    Tables() {
        for (int i = 0; i < 256; ++i)
            literal[i] = FixedCode(i);
        end = FixedCode(256);
        static const int base[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                     15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                     67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        for (int length = 3; length <= kMaxMatch; ++length) {
            int k = 28;
            while (base[k] > length)
                --k;
            Code c = FixedCode(257 + k);
            uint32_t bits = c.bits | (uint32_t(length - base[k]) << c.length);
            // Distance 1 is distance code 0: five zero bits.
            match[length] = {bits, c.length + uint32_t(extra[k]) + 5};
        }
    }
};

const Tables& FixedTables() {
    static const Tables tables;
    return tables;
}

class Encoder {
public:
    Encoder(PngSink sink, void* closure) : sink_(sink), closure_(closure) {
        out_.reserve(kChunkBytes + 64);
    }

    bool Failed() const { return failed_; }

    void Chunk(const char* type, const unsigned char* data, size_t length) {
        if (failed_)
            return;
        unsigned char head[8];
        PutBig32(head, uint32_t(length));
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0, head + 4, 4);
        if (length)
            crc = crc32(crc, data, uInt(length));
        unsigned char tail[4];
        PutBig32(tail, uint32_t(crc));
        Send(head, 8);
        if (length)
            Send(data, length);
        Send(tail, 4);
    }

    void Signature() {
        static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        Send(sig, 8);
    }

    // zlib header (deflate, 32 KiB window, fastest) and the one block's header:
    // final, fixed codes.
    void BeginStream() {
        out_.push_back(0x78);
        out_.push_back(0x01);
        Put(1 | (1 << 1), 3);
    }

    void Row(const unsigned char* f, size_t length) {
        adler_ = adler32(adler_, f, uInt(length));
        const Tables& t = FixedTables();
        size_t i = 0;
        while (i < length) {
            unsigned char b = f[i++];
            Put(t.literal[b].bits, t.literal[b].length);
            size_t j = i;
            if (b == 0) {
                uint64_t word;
                while (j + 8 <= length && (std::memcpy(&word, f + j, 8), word == 0))
                    j += 8;
            }
            while (j < length && f[j] == b)
                ++j;
            size_t run = j - i;
            while (run >= 3) {
                size_t m = run < size_t(kMaxMatch) ? run : size_t(kMaxMatch);
                Put(t.match[m].bits, t.match[m].length);
                run -= m;
            }
            while (run--)
                Put(t.literal[b].bits, t.literal[b].length);
            i = j;
            if (out_.size() >= kChunkBytes)
                FlushData(false);
        }
    }

    void EndStream() {
        const Tables& t = FixedTables();
        Put(t.end.bits, t.end.length);
        while (count_ > 0) {
            out_.push_back(uint8_t(acc_));
            acc_ >>= 8;
            count_ = count_ > 8 ? count_ - 8 : 0;
        }
        unsigned char a[4];
        PutBig32(a, uint32_t(adler_));
        out_.insert(out_.end(), a, a + 4);
        FlushData(true);
    }

private:
    static void PutBig32(unsigned char* p, uint32_t v) {
        p[0] = uint8_t(v >> 24);
        p[1] = uint8_t(v >> 16);
        p[2] = uint8_t(v >> 8);
        p[3] = uint8_t(v);
    }

    void Put(uint32_t bits, uint32_t length) {
        acc_ |= uint64_t(bits) << count_;
        count_ += length;
        if (count_ >= 32) {
            unsigned char b[4] = {uint8_t(acc_), uint8_t(acc_ >> 8), uint8_t(acc_ >> 16),
                                  uint8_t(acc_ >> 24)};
            out_.insert(out_.end(), b, b + 4);
            acc_ >>= 32;
            count_ -= 32;
        }
    }

    // Whole bytes so far go out as one IDAT chunk; the bits not yet making a
    // byte stay in the accumulator.
    void FlushData(bool last) {
        if (!out_.empty() || last)
            Chunk("IDAT", out_.data(), out_.size());
        out_.clear();
    }

    void Send(const unsigned char* data, size_t length) {
        if (!failed_ && !sink_(closure_, data, length))
            failed_ = true;
    }

    PngSink sink_;
    void* closure_;
    std::vector<unsigned char> out_;
    uint64_t acc_ = 0;
    uint32_t count_ = 0;
    uLong adler_ = 1;
    bool failed_ = false;
};

bool Opaque(const unsigned char* data, int width, int height, int stride) {
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < width; ++x)
            if ((row[x] >> 24) != 0xFF)
                return false;
    }
    return true;
}

// Premultiplied pixels to straight RGBA bytes, rounding as Cairo's writer does.
void ToRgba(const uint32_t* in, int width, unsigned char* out) {
    for (int x = 0; x < width; ++x, out += 4) {
        uint32_t p = in[x];
        uint32_t a = p >> 24;
        if (a == 0xFF) {
            out[0] = uint8_t(p >> 16);
            out[1] = uint8_t(p >> 8);
            out[2] = uint8_t(p);
            out[3] = 0xFF;
        } else if (a == 0) {
            std::memset(out, 0, 4);
        } else {
            out[0] = uint8_t((((p >> 16) & 0xFF) * 255 + a / 2) / a);
            out[1] = uint8_t((((p >> 8) & 0xFF) * 255 + a / 2) / a);
            out[2] = uint8_t(((p & 0xFF) * 255 + a / 2) / a);
            out[3] = uint8_t(a);
        }
    }
}

void ToRgb(const uint32_t* in, int width, unsigned char* out) {
    for (int x = 0; x < width; ++x, out += 3) {
        uint32_t p = in[x];
        out[0] = uint8_t(p >> 16);
        out[1] = uint8_t(p >> 8);
        out[2] = uint8_t(p);
    }
}

bool Encode(const unsigned char* data, int width, int height, int stride, PngSink sink,
            void* closure) {
    bool opaque = Opaque(data, width, height, stride);
    const size_t channels = opaque ? 3 : 4;
    const size_t rowBytes = size_t(width) * channels;

    Encoder encoder(sink, closure);
    encoder.Signature();
    unsigned char ihdr[13];
    const uint32_t w = uint32_t(width), h = uint32_t(height);
    const unsigned char size[8] = {uint8_t(w >> 24), uint8_t(w >> 16), uint8_t(w >> 8), uint8_t(w),
                                   uint8_t(h >> 24), uint8_t(h >> 16), uint8_t(h >> 8), uint8_t(h)};
    std::memcpy(ihdr, size, 8);
    ihdr[8] = 8;              // bits per channel
    ihdr[9] = opaque ? 2 : 6; // RGB or RGBA
    ihdr[10] = ihdr[11] = 0;  // deflate, adaptive filtering
    ihdr[12] = 0;             // not interlaced
    encoder.Chunk("IHDR", ihdr, sizeof ihdr);
    encoder.BeginStream();

    // prev holds the unfiltered bytes of the row above (zero above the first).
    std::vector<unsigned char> prev(rowBytes, 0), cur(rowBytes), filtered(rowBytes + 1);
    filtered[0] = 2; // up
    const unsigned char* above = nullptr;
    for (int y = 0; y < height && !encoder.Failed(); ++y) {
        const unsigned char* raw = data + size_t(y) * stride;
        if (above && std::memcmp(raw, above, size_t(width) * 4) == 0) {
            // Same pixels as the row above: all differences are zero.
            std::memset(filtered.data() + 1, 0, rowBytes);
        } else {
            const uint32_t* pixels = reinterpret_cast<const uint32_t*>(raw);
            if (opaque)
                ToRgb(pixels, width, cur.data());
            else
                ToRgba(pixels, width, cur.data());
            unsigned char* f = filtered.data() + 1;
            const unsigned char* c = cur.data();
            const unsigned char* p = prev.data();
            for (size_t i = 0; i < rowBytes; ++i)
                f[i] = uint8_t(c[i] - p[i]);
            prev.swap(cur);
        }
        above = raw;
        encoder.Row(filtered.data(), filtered.size());
    }
    encoder.EndStream();
    encoder.Chunk("IEND", nullptr, 0);
    return !encoder.Failed();
}

} // namespace

bool WritePng(const unsigned char* data, int width, int height, int stride, PngSink sink,
              void* closure) {
    if (!data || width <= 0 || height <= 0 || stride < width * 4 || !sink)
        return false;
    try {
        return Encode(data, width, height, stride, sink, closure);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace Gdiplus
