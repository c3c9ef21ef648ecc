// PNG encoding: our own pixel formats, row filtering and chunk writing around
// libdeflate's compressor. The whole image goes into one buffer of scanlines
// (libdeflate compresses whole buffers), compressed as one zlib stream and cut
// into IDAT chunks. The compressor's time grows with the bytes it is given, so
// a picture of at most 256 colours (icons, flags, logos) is written as one
// palette index a pixel; others as RGB or RGBA with the "up" filter, under
// which an unchanged stretch of a row becomes a run of zero bytes.

#include "platform/gdiplus/PngWriter.h"

#include <libdeflate.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace Gdiplus {

namespace {

constexpr size_t kChunkBytes = size_t(1) << 18; // IDAT size the stream is cut into
// libdeflate's fastest level: on icons, maps and renderings of many colours
// alike it took the fewest instructions of levels 1 to 6, and the palette
// makes up the size (below the former writer's).
constexpr int kLevel = 1;
// Scratch memory a thread keeps between images; a larger image's is released.
constexpr size_t kKeptScratchBytes = size_t(4) << 20;

// Per thread: a compressor (allocating one costs more than compressing an
// icon) and the buffers of the latest image.
struct Scratch {
    libdeflate_compressor* compressor = nullptr;
    int level = -1;
    std::vector<unsigned char> filtered;
    ~Scratch() { libdeflate_free_compressor(compressor); }

    libdeflate_compressor* Compressor(int wanted) {
        if (!compressor || level != wanted) {
            libdeflate_free_compressor(compressor);
            compressor = libdeflate_alloc_compressor(wanted);
            level = compressor ? wanted : -1;
        }
        return compressor;
    }
};

Scratch& ThreadScratch() {
    thread_local Scratch scratch;
    return scratch;
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

void PutBig32(unsigned char* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

class ChunkWriter {
public:
    ChunkWriter(PngSink sink, void* closure) : sink_(sink), closure_(closure) {}

    bool Failed() const { return failed_; }

    void Signature() {
        static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        Send(sig, 8);
    }

    void Chunk(const char* type, const unsigned char* data, size_t length) {
        unsigned char head[8];
        PutBig32(head, uint32_t(length));
        std::memcpy(head + 4, type, 4);
        uint32_t crc = libdeflate_crc32(0, head + 4, 4);
        if (length)
            crc = libdeflate_crc32(crc, data, length);
        unsigned char tail[4];
        PutBig32(tail, crc);
        Send(head, 8);
        if (length)
            Send(data, length);
        Send(tail, 4);
    }

private:
    void Send(const unsigned char* data, size_t length) {
        if (!failed_ && !sink_(closure_, data, length))
            failed_ = true;
    }

    PngSink sink_;
    void* closure_;
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
    // A channel above alpha (not valid premultiplied data) is cut to its low
    // byte, as Cairo does, rather than spill into the next channel.
    uint32_t r = ((((p >> 16) & 0xFF) * 255 + a / 2) / a) & 0xFF;
    uint32_t g = ((((p >> 8) & 0xFF) * 255 + a / 2) / a) & 0xFF;
    uint32_t b = (((p & 0xFF) * 255 + a / 2) / a) & 0xFF;
    return r | (g << 8) | (b << 16) | (a << 24);
}

// Byte-wise x - y modulo 256 in each of four lanes.
inline uint32_t SubtractBytes(uint32_t x, uint32_t y) {
    constexpr uint32_t kHigh = 0x80808080u;
    return ((x | kHigh) - (y & ~kHigh)) ^ ((x ^ ~y) & kHigh);
}

// The image as PNG scanlines, each an "up" filter byte and the differences
// from the row above (the first row's from zero). `out` has room for the rows
// and 16 spare bytes: a store of 16 bytes may start at a row's fourth pixel
// from the end, running into the next row (written after it) or the spare.
void FilterRows(const unsigned char* data, int width, int height, int stride, size_t channels,
                unsigned char* out) {
    const size_t rowBytes = size_t(width) * channels;
    // The straight pixels of the row above, kept up to date only where a
    // pixel changes from one row to the next.
    std::vector<uint32_t> above(size_t(width), 0);
    const uint32_t* rawAbove = nullptr;
    for (int y = 0; y < height; ++y) {
        const uint32_t* raw = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        unsigned char* f = out + size_t(y) * (rowBytes + 1);
        *f++ = 2; // up
        if (rawAbove && std::memcmp(raw, rawAbove, size_t(width) * 4) == 0) {
            std::memset(f, 0, rowBytes);
            rawAbove = raw;
            continue;
        }
        int x = 0;
        while (x < width) {
            if (rawAbove) {
                // Unchanged groups of four pixels.
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
    }
}

// The image's distinct straight colours while there are at most 256 of them,
// and the image as indices into them.
class Palette {
public:
    static constexpr int kMaxColors = 256;

    int Count() const { return count_; }
    uint32_t Color(int i) const { return colors_[i]; } // straight R, G, B, A bytes

    // Rows of one filter byte (none) and an index a pixel. False when the
    // image has more than kMaxColors colours.
    bool IndexRows(const unsigned char* data, int width, int height, int stride,
                   unsigned char* out) {
        const size_t rowBytes = size_t(width) + 1;
        uint32_t last = *reinterpret_cast<const uint32_t*>(data);
        int lastIndex = Find(last);
        for (int y = 0; y < height; ++y) {
            const uint32_t* raw = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
            unsigned char* f = out + size_t(y) * rowBytes;
            if (y > 0 && std::memcmp(raw, data + size_t(y - 1) * stride, size_t(width) * 4) == 0) {
                std::memcpy(f, f - rowBytes, rowBytes);
                continue;
            }
            *f++ = 0; // no filter
            for (int x = 0; x < width;) {
                uint32_t p = raw[x];
                if (p != last) {
                    lastIndex = Find(p);
                    if (lastIndex < 0)
                        return false;
                    last = p;
                }
                // The run of this pixel, four at a time while it lasts.
                const uint64_t pair = uint64_t(p) << 32 | p;
                int end = x + 1;
                uint64_t four[2];
                while (end + 4 <= width && (std::memcpy(four, raw + end, 16),
                                            ((four[0] ^ pair) | (four[1] ^ pair)) == 0))
                    end += 4;
                while (end < width && raw[end] == p)
                    ++end;
                std::memset(f + x, lastIndex, size_t(end - x));
                x = end;
            }
        }
        return true;
    }

private:
    static constexpr uint32_t kSlots = 1024; // premultiplied values seen, at most 3/4 full

    // The index of a premultiplied pixel's colour, added when new; -1 when
    // there would be too many.
    int Find(uint32_t p) {
        uint32_t slot = (p * 2654435761u) >> 22;
        for (;; slot = (slot + 1) & (kSlots - 1)) {
            if (!used_[slot])
                break;
            if (keys_[slot] == p)
                return indices_[slot];
        }
        if (seen_ >= kSlots * 3 / 4)
            return -1;
        uint32_t straight = Straight(p);
        int index = 0;
        while (index < count_ && colors_[index] != straight)
            ++index;
        if (index == count_) {
            if (count_ == kMaxColors)
                return -1;
            colors_[count_++] = straight;
        }
        used_[slot] = true;
        keys_[slot] = p;
        indices_[slot] = uint8_t(index);
        ++seen_;
        return index;
    }

    uint32_t colors_[kMaxColors];
    int count_ = 0;
    uint32_t seen_ = 0;
    bool used_[kSlots] = {};
    uint32_t keys_[kSlots];
    uint8_t indices_[kSlots];
};

bool Encode(const unsigned char* data, int width, int height, int stride, PngSink sink,
            void* closure) {
    Scratch& scratch = ThreadScratch();
    libdeflate_compressor* compressor = scratch.Compressor(kLevel);
    if (!compressor)
        return false;
    std::vector<unsigned char>& filtered = scratch.filtered;

    // Few colours: an index a pixel, without filtering (measured smaller and
    // quicker than up). Else RGB when every pixel is opaque, RGBA when not.
    std::unique_ptr<Palette> palette(new Palette);
    filtered.resize((size_t(width) + 1) * size_t(height));
    if (!palette->IndexRows(data, width, height, stride, filtered.data()))
        palette.reset();
    const bool opaque = !palette && Opaque(data, width, height, stride);
    const size_t channels = palette ? 1 : opaque ? 3 : 4;
    const size_t rowBytes = size_t(width) * channels;
    const size_t filteredBytes = (rowBytes + 1) * size_t(height);
    if (!palette) {
        filtered.resize(filteredBytes + 16);
        FilterRows(data, width, height, stride, channels, filtered.data());
    }

    // Room for the worst case; only the pages written are ever touched.
    const size_t bound = libdeflate_zlib_compress_bound(compressor, filteredBytes);
    std::unique_ptr<unsigned char, FreeDeleter> stream(
        static_cast<unsigned char*>(std::malloc(bound)));
    size_t streamBytes = stream ? libdeflate_zlib_compress(compressor, filtered.data(),
                                                           filteredBytes, stream.get(), bound)
                                : 0;
    if (filtered.capacity() > kKeptScratchBytes)
        std::vector<unsigned char>().swap(filtered);
    if (streamBytes == 0)
        return false;

    ChunkWriter writer(sink, closure);
    writer.Signature();
    unsigned char ihdr[13];
    PutBig32(ihdr, uint32_t(width));
    PutBig32(ihdr + 4, uint32_t(height));
    ihdr[8] = 8;                            // bits per channel
    ihdr[9] = palette ? 3 : opaque ? 2 : 6; // palette, RGB or RGBA
    ihdr[10] = ihdr[11] = 0;                // deflate, adaptive filtering
    ihdr[12] = 0;                           // not interlaced
    writer.Chunk("IHDR", ihdr, sizeof ihdr);
    if (palette) {
        // Colours, then the alphas up to the last entry that is not opaque.
        unsigned char plte[3 * Palette::kMaxColors], trns[Palette::kMaxColors];
        size_t alphas = 0;
        for (int i = 0; i < palette->Count(); ++i) {
            uint32_t c = palette->Color(i);
            plte[3 * i] = uint8_t(c);
            plte[3 * i + 1] = uint8_t(c >> 8);
            plte[3 * i + 2] = uint8_t(c >> 16);
            trns[i] = uint8_t(c >> 24);
            if (trns[i] != 0xFF)
                alphas = size_t(i) + 1;
        }
        writer.Chunk("PLTE", plte, 3 * size_t(palette->Count()));
        if (alphas)
            writer.Chunk("tRNS", trns, alphas);
    }
    for (size_t at = 0; at < streamBytes && !writer.Failed(); at += kChunkBytes) {
        size_t length = streamBytes - at < kChunkBytes ? streamBytes - at : kChunkBytes;
        writer.Chunk("IDAT", stream.get() + at, length);
    }
    if (!writer.Failed())
        writer.Chunk("IEND", nullptr, 0);
    return !writer.Failed();
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
