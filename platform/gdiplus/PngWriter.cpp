// PNG encoding built for speed: one pass per row that unpremultiplies,
// filters and compresses, with nothing searched for but runs of equal bytes.
// With the "up" filter an unchanged stretch of a row becomes a run of zero
// bytes, which a deflate match at distance 1 covers 258 bytes at a time.

#include "platform/gdiplus/PngWriter.h"

#include <zlib.h>

#include <cstring>
#include <memory>
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
    Encoder(PngSink sink, void* closure) : t_(FixedTables()), sink_(sink), closure_(closure) {}

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
        out_[used_++] = 0x78;
        out_[used_++] = 0x01;
        Put(1 | (1 << 1), 3);
    }

    // One filtered row: each byte as a literal, then the run of equal bytes
    // after it as matches at distance 1.
    void Row(const unsigned char* f, size_t length) {
        size_t i = 0;
        while (i < length) {
            unsigned char b = f[i];
            size_t j = i + 1;
            if (j < length && f[j] != b) {
                // A byte unlike the next: the common case at edges.
                AdlerByte(b);
                Put(t_.literal[b].bits, t_.literal[b].length);
                i = j;
                continue;
            }
            if (b == 0) {
                uint64_t w[4];
                while (j + 32 <= length &&
                       (std::memcpy(w, f + j, 32), (w[0] | w[1] | w[2] | w[3]) == 0))
                    j += 32;
                while (j + 8 <= length && (std::memcpy(w, f + j, 8), w[0] == 0))
                    j += 8;
            }
            while (j < length && f[j] == b)
                ++j;
            Run(b, j - i);
            i = j;
        }
        if (used_ >= kChunkBytes)
            FlushData(false);
    }

    // A row whose differences from the row above are all zero.
    void ZeroRow(size_t length) {
        Run(2, 1);
        Run(0, length);
    }

    void EndStream() {
        Put(t_.end.bits, t_.end.length);
        while (count_ > 0) {
            out_[used_++] = uint8_t(acc_);
            acc_ >>= 8;
            count_ = count_ > 8 ? count_ - 8 : 0;
        }
        PutBig32(out_ + used_, uint32_t((adlerB_ % 65521) << 16 | (adlerA_ % 65521)));
        used_ += 4;
        FlushData(true);
    }

private:
    static void PutBig32(unsigned char* p, uint32_t v) {
        p[0] = uint8_t(v >> 24);
        p[1] = uint8_t(v >> 16);
        p[2] = uint8_t(v >> 8);
        p[3] = uint8_t(v);
    }

    // count bytes b: a literal, then matches at distance 1 for the rest. The
    // checksum is kept as it goes, a run at a time.
    void Run(unsigned char b, size_t count) {
        const Tables& t = t_;
        AdlerRun(b, count);
        Put(t.literal[b].bits, t.literal[b].length);
        size_t rest = count - 1;
        while (rest >= 3) {
            size_t m = rest < size_t(kMaxMatch) ? rest : size_t(kMaxMatch);
            Put(t.match[m].bits, t.match[m].length);
            rest -= m;
        }
        while (rest--)
            Put(t.literal[b].bits, t.literal[b].length);
        if (used_ >= kChunkBytes)
            FlushData(false);
    }

    void Put(uint32_t bits, uint32_t length) {
        acc_ |= uint64_t(bits) << count_;
        count_ += length;
        if (count_ >= 32) {
            uint32_t low = uint32_t(acc_);
            unsigned char b[4] = {uint8_t(low), uint8_t(low >> 8), uint8_t(low >> 16),
                                  uint8_t(low >> 24)};
            std::memcpy(out_ + used_, b, 4);
            used_ += 4;
            acc_ >>= 32;
            count_ -= 32;
        }
    }

    // Single bytes: the sums are reduced only now and then, staying far
    // below 2^64.
    void AdlerByte(uint32_t v) {
        adlerA_ += v;
        adlerB_ += adlerA_;
        if (++unreduced_ == 4096) {
            adlerA_ %= 65521;
            adlerB_ %= 65521;
            unreduced_ = 0;
        }
    }

    // Adler-32 of a run of n equal bytes v, in closed form:
    // a grows by n·v, b by n·a + v·n(n+1)/2.
    void AdlerRun(uint64_t v, uint64_t n) {
        constexpr uint64_t kBase = 65521;
        if (n == 1) {
            AdlerByte(uint32_t(v));
            return;
        }
        unreduced_ = 0;
        adlerB_ = (adlerB_ + n % kBase * adlerA_ + v * (n * (n + 1) / 2 % kBase)) % kBase;
        adlerA_ = (adlerA_ + n % kBase * v) % kBase;
    }

    // Whole bytes so far go out as one IDAT chunk; the bits not yet making a
    // byte stay in the accumulator.
    void FlushData(bool last) {
        if (used_ > 0 || last)
            Chunk("IDAT", out_, used_);
        used_ = 0;
    }

    void Send(const unsigned char* data, size_t length) {
        if (!failed_ && !sink_(closure_, data, length))
            failed_ = true;
    }

    const Tables& t_;
    PngSink sink_;
    void* closure_;
    // Whole bytes of the stream not yet sent. The limit is checked after
    // each run and row; one row of literals, at most 9/8 of 4·32767 + 1
    // bytes, fits in the room past it.
    unsigned char out_[2 * kChunkBytes];
    size_t used_ = 0;
    uint64_t acc_ = 0;
    uint32_t count_ = 0;
    uint64_t adlerA_ = 1, adlerB_ = 0;
    int unreduced_ = 0;
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

// A premultiplied pixel as straight R, G, B, A bytes in memory order, rounding
// as Cairo's writer does.
inline uint32_t Straight(uint32_t p) {
    uint32_t a = p >> 24;
    if (a == 0xFF)
        return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16) | 0xFF000000;
    if (a == 0)
        return 0;
    uint32_t r = (((p >> 16) & 0xFF) * 255 + a / 2) / a;
    uint32_t g = (((p >> 8) & 0xFF) * 255 + a / 2) / a;
    uint32_t b = ((p & 0xFF) * 255 + a / 2) / a;
    return r | (g << 8) | (b << 16) | (a << 24);
}

// Byte-wise x - y modulo 256 in each of four lanes.
inline uint32_t SubtractBytes(uint32_t x, uint32_t y) {
    constexpr uint32_t kHigh = 0x80808080u;
    return ((x | kHigh) - (y & ~kHigh)) ^ ((x ^ ~y) & kHigh);
}

bool Encode(const unsigned char* data, int width, int height, int stride, PngSink sink,
            void* closure) {
    bool opaque = Opaque(data, width, height, stride);
    const size_t channels = opaque ? 3 : 4;
    const size_t rowBytes = size_t(width) * channels;

    std::unique_ptr<Encoder> owned(new Encoder(sink, closure));
    Encoder& encoder = *owned;
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

    // above: the straight pixels of the row above (zero above the first),
    // kept up to date only where a pixel changes from one row to the next.
    // The filtered row has room for stores of 16 bytes that start at its
    // fourth pixel from the end.
    std::vector<uint32_t> above(size_t(width), 0);
    std::vector<unsigned char> filtered(rowBytes + 1 + 4);
    filtered[0] = 2; // up
    const uint32_t* rawAbove = nullptr;
    for (int y = 0; y < height && !encoder.Failed(); ++y) {
        const uint32_t* raw = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        unsigned char* f = filtered.data() + 1;
        if (rawAbove && std::memcmp(raw, rawAbove, size_t(width) * 4) == 0) {
            // Same pixels as the row above: all differences are zero.
            encoder.ZeroRow(rowBytes);
            rawAbove = raw;
            continue;
        }
        int x = 0;
        while (x < width) {
            if (rawAbove) {
                // Unchanged groups of four pixels; the store may run into the
                // next pixel, which is written after it, or into the spare bytes.
                uint64_t now[2], before[2];
                while (x + 4 <= width &&
                       (std::memcpy(now, raw + x, 16), std::memcpy(before, rawAbove + x, 16),
                        ((now[0] ^ before[0]) | (now[1] ^ before[1])) == 0)) {
                    std::memset(f, 0, 16);
                    f += 4 * channels;
                    x += 4;
                }
                if (x == width)
                    break;
            }
            uint32_t difference = 0;
            if (!rawAbove || raw[x] != rawAbove[x]) {
                uint32_t straight = Straight(raw[x]);
                difference = SubtractBytes(straight, above[size_t(x)]);
                above[size_t(x)] = straight;
            }
            std::memcpy(f, &difference, 4);
            f += channels;
            ++x;
        }
        rawAbove = raw;
        encoder.Row(filtered.data(), rowBytes + 1);
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
