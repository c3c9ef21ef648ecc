// The PNG encoder: valid files whose pixels match Cairo's own PNG writer.

#include "platform/gdiplus/PngWriter.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using Gdiplus::WritePng;

namespace {

using Bytes = std::vector<unsigned char>;

bool Append(void* closure, const unsigned char* data, size_t length) {
    auto* out = static_cast<Bytes*>(closure);
    out->insert(out->end(), data, data + length);
    return true;
}

cairo_status_t AppendCairo(void* closure, const unsigned char* data, unsigned int length) {
    Append(closure, data, length);
    return CAIRO_STATUS_SUCCESS;
}

uint32_t Big32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

int Paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

// A strict reader for 8-bit RGB/RGBA files: checks the signature, every
// chunk's CRC, the zlib stream (with its checksum) and the filter bytes, and
// gives straight RGBA bytes.
struct Decoded {
    bool ok = false;
    std::string problem;
    int width = 0, height = 0, colorType = 0;
    Bytes rgba;
};

Decoded Decode(const Bytes& file) {
    Decoded d;
    static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), sig, 8) != 0) {
        d.problem = "signature";
        return d;
    }
    Bytes idat;
    bool ended = false;
    for (size_t at = 8; at < file.size();) {
        if (file.size() - at < 12) {
            d.problem = "truncated chunk";
            return d;
        }
        uint32_t length = Big32(&file[at]);
        if (file.size() - at - 12 < length) {
            d.problem = "chunk length";
            return d;
        }
        std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const unsigned char* body = &file[at + 8];
        if (crc32(0, &file[at + 4], length + 4) != Big32(body + length)) {
            d.problem = "CRC of " + type;
            return d;
        }
        if (type == "IHDR") {
            d.width = int(Big32(body));
            d.height = int(Big32(body + 4));
            d.colorType = body[9];
            if (body[8] != 8 || (d.colorType != 2 && d.colorType != 6) || body[12] != 0) {
                d.problem = "format";
                return d;
            }
        } else if (type == "IDAT") {
            idat.insert(idat.end(), body, body + length);
        } else if (type == "IEND") {
            ended = at + 12 == file.size();
        }
        at += 12 + length;
    }
    if (!ended) {
        d.problem = "no IEND at the end";
        return d;
    }
    const size_t channels = d.colorType == 6 ? 4 : 3;
    const size_t rowBytes = size_t(d.width) * channels;
    Bytes raw(size_t(d.height) * (rowBytes + 1));
    uLongf rawLength = uLongf(raw.size());
    if (uncompress(raw.data(), &rawLength, idat.data(), uLong(idat.size())) != Z_OK ||
        rawLength != raw.size()) {
        d.problem = "zlib stream";
        return d;
    }
    Bytes prev(rowBytes, 0), cur(rowBytes);
    d.rgba.reserve(size_t(d.width) * d.height * 4);
    for (int y = 0; y < d.height; ++y) {
        const unsigned char* in = &raw[size_t(y) * (rowBytes + 1)];
        for (size_t i = 0; i < rowBytes; ++i) {
            int a = i >= channels ? cur[i - channels] : 0, b = prev[i],
                c = i >= channels ? prev[i - channels] : 0;
            int predictor[5] = {0, a, b, (a + b) / 2, Paeth(a, b, c)};
            if (in[0] > 4) {
                d.problem = "filter type";
                return d;
            }
            cur[i] = uint8_t(in[1 + i] + predictor[in[0]]);
        }
        for (int x = 0; x < d.width; ++x) {
            d.rgba.insert(d.rgba.end(), &cur[x * channels], &cur[x * channels] + channels);
            if (channels == 3)
                d.rgba.push_back(0xFF);
        }
        prev.swap(cur);
    }
    d.ok = true;
    return d;
}

// The image encoded by the encoder under test and by Cairo, both decoded.
void ExpectSameAsCairo(cairo_surface_t* surface, int expectedColorType) {
    cairo_surface_flush(surface);
    Bytes ours;
    ASSERT_TRUE(WritePng(cairo_image_surface_get_data(surface),
                         cairo_image_surface_get_width(surface),
                         cairo_image_surface_get_height(surface),
                         cairo_image_surface_get_stride(surface), Append, &ours));
    Bytes theirs;
    ASSERT_EQ(CAIRO_STATUS_SUCCESS,
              cairo_surface_write_to_png_stream(surface, AppendCairo, &theirs));
    Decoded a = Decode(ours), b = Decode(theirs);
    ASSERT_TRUE(a.ok) << a.problem;
    ASSERT_TRUE(b.ok) << b.problem;
    EXPECT_EQ(expectedColorType, a.colorType);
    EXPECT_EQ(b.width, a.width);
    EXPECT_EQ(b.height, a.height);
    EXPECT_TRUE(a.rgba == b.rgba);
}

cairo_surface_t* Surface(int w, int h) {
    return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
}

// Premultiplied pixels of every alpha value with colour channels up to alpha.
void FillEveryAlpha(cairo_surface_t* s, unsigned seed) {
    std::mt19937 random(seed);
    unsigned char* data = cairo_image_surface_get_data(s);
    int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    for (int y = 0; y < h; ++y) {
        auto* row =
            reinterpret_cast<uint32_t*>(data + size_t(y) * cairo_image_surface_get_stride(s));
        for (int x = 0; x < w; ++x) {
            uint32_t a = (x + y * w) % 256;
            uint32_t r = random() % (a + 1), g = random() % (a + 1), b = random() % (a + 1);
            row[x] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    cairo_surface_mark_dirty(s);
}

TEST(PngWriter, MatchesCairoOnDrawnPictures) {
    // Transparent with an anti-aliased shape: RGBA, long zero runs, edges.
    cairo_surface_t* s = Surface(300, 200);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgba(cr, 0.2, 0.5, 0.9, 0.7);
    cairo_arc(cr, 150, 100, 80.3, 0, 6.283);
    cairo_fill(cr);
    ExpectSameAsCairo(s, 6);

    // Opaque: written as RGB.
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.9, 0.1, 0.3);
    cairo_rectangle(cr, 10.5, 20.25, 200, 90);
    cairo_fill(cr);
    ExpectSameAsCairo(s, 2);
    cairo_destroy(cr);
    cairo_surface_destroy(s);

    // Entirely transparent.
    s = Surface(64, 64);
    ExpectSameAsCairo(s, 6);
    cairo_surface_destroy(s);
}

TEST(PngWriter, MatchesCairoOnEveryAlphaAndOnNoise) {
    cairo_surface_t* s = Surface(256, 40);
    FillEveryAlpha(s, 1);
    ExpectSameAsCairo(s, 6);
    // Channels above alpha, which only a careless direct write can leave:
    // each channel keeps to itself.
    auto* first = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
    first[1] = 0x01FFFFFF;
    first[2] = 0x80FF00FF;
    first[3] = 0x10FF2000;
    cairo_surface_mark_dirty(s);
    ExpectSameAsCairo(s, 6);
    cairo_surface_destroy(s);

    // Opaque noise: nothing but literals.
    s = Surface(97, 33);
    std::mt19937 random(7);
    unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 97; ++x)
            reinterpret_cast<uint32_t*>(data + y * cairo_image_surface_get_stride(s))[x] =
                0xFF000000 | (random() & 0xFFFFFF);
    cairo_surface_mark_dirty(s);
    ExpectSameAsCairo(s, 2);
    cairo_surface_destroy(s);
}

TEST(PngWriter, RunsOfEveryLengthAndOddSizes) {
    // A row made of runs of one colour, 1 to 600 pixels long, so that matches
    // of every length and their remainders occur; rows repeat and change.
    cairo_surface_t* s = Surface(5000, 6);
    unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < 6; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * cairo_image_surface_get_stride(s));
        int x = 0;
        for (int run = 1; x < 5000; ++run) {
            uint32_t c = (run % 3 == 0) ? 0 : 0xFF000000 | uint32_t(run * 2654435761u >> 8);
            if (y >= 3)
                c = (run + y) % 2 ? 0x80402010 : 0xFF102030;
            for (int i = 0; i < run % 601 && x < 5000; ++i)
                row[x++] = c;
        }
    }
    cairo_surface_mark_dirty(s);
    ExpectSameAsCairo(s, 6);
    cairo_surface_destroy(s);

    for (int w : {1, 2, 3}) {
        for (int h : {1, 2, 700}) {
            s = Surface(w, h);
            FillEveryAlpha(s, unsigned(w * 1000 + h));
            ExpectSameAsCairo(s, 6);
            cairo_surface_destroy(s);
        }
    }
}

TEST(PngWriter, RowsThatChangeInPlaces) {
    // Each row repeats the one above but for one pixel (or none), at every
    // position of an odd width, in colour with and without transparency.
    for (uint32_t alpha : {0xFF000000u, 0x7F000000u}) {
        const int w = 11, h = 3 * w;
        cairo_surface_t* s = Surface(w, h);
        unsigned char* data = cairo_image_surface_get_data(s);
        int stride = cairo_image_surface_get_stride(s);
        for (int x = 0; x < w; ++x)
            reinterpret_cast<uint32_t*>(data)[x] = alpha | 0x00302010;
        for (int y = 1; y < h; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
            std::memcpy(row, data + (y - 1) * stride, size_t(w) * 4);
            if (y % 3 != 0)
                row[y % w] = alpha | uint32_t(y * 0x00050301);
        }
        cairo_surface_mark_dirty(s);
        ExpectSameAsCairo(s, alpha == 0xFF000000u ? 2 : 6);
        cairo_surface_destroy(s);
    }
}

TEST(PngWriter, SkewedByteCountsKeepCodesWithinFifteenBits) {
    // Byte k occurs about 1.7^k times (the last count twice): an unlimited
    // Huffman code for that would be 19 bits deep. The bytes are dealt
    // round-robin so that they stay single literals, in one row of one block.
    std::vector<int> left;
    for (int k = 0; k < 20; ++k)
        left.push_back(int(std::lround(std::pow(1.7, k))));
    left.push_back(left.back());
    Bytes bytes;
    for (bool any = true; any;) {
        any = false;
        for (size_t k = 0; k < left.size(); ++k)
            if (left[k] > 0) {
                bytes.push_back(uint8_t(k * 10));
                --left[k];
                any = true;
            }
    }
    while (bytes.size() % 3)
        bytes.push_back(uint8_t(bytes.size()));
    const int w = int(bytes.size() / 3);
    ASSERT_LE(w, 32767);
    cairo_surface_t* s = Surface(w, 1);
    auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
    for (int x = 0; x < w; ++x)
        row[x] = 0xFF000000 | uint32_t(bytes[3 * x]) << 16 | uint32_t(bytes[3 * x + 1]) << 8 |
                 bytes[3 * x + 2];
    cairo_surface_mark_dirty(s);
    ExpectSameAsCairo(s, 2);
    cairo_surface_destroy(s);
}

TEST(PngWriter, LargeImagesSpanSeveralDataChunks) {
    // Noise makes well over one chunk's worth of compressed data.
    cairo_surface_t* s = Surface(600, 500);
    FillEveryAlpha(s, 3);
    ExpectSameAsCairo(s, 6);
    Bytes ours;
    ASSERT_TRUE(WritePng(cairo_image_surface_get_data(s), 600, 500,
                         cairo_image_surface_get_stride(s), Append, &ours));
    size_t chunks = 0;
    for (size_t at = 8; at + 12 <= ours.size(); at += 12 + Big32(&ours[at]))
        chunks += std::memcmp(&ours[at + 4], "IDAT", 4) == 0;
    EXPECT_GT(chunks, 1u);
    cairo_surface_destroy(s);
}

struct Refusing {
    int calls = 0;
    int refuseAt = 0;
};

bool Refuse(void* closure, const unsigned char*, size_t) {
    auto* r = static_cast<Refusing*>(closure);
    return ++r->calls < r->refuseAt;
}

TEST(PngWriter, FailuresAreReported) {
    cairo_surface_t* s = Surface(400, 400);
    FillEveryAlpha(s, 5);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    // A sink that fails: reported, and not written to again.
    for (int at : {1, 2, 5}) {
        Refusing r;
        r.refuseAt = at;
        EXPECT_FALSE(WritePng(data, 400, 400, stride, Refuse, &r));
        EXPECT_EQ(at, r.calls);
    }
    Bytes out;
    EXPECT_FALSE(WritePng(nullptr, 4, 4, 16, Append, &out));
    EXPECT_FALSE(WritePng(data, 0, 4, stride, Append, &out));
    EXPECT_FALSE(WritePng(data, 4, -1, stride, Append, &out));
    EXPECT_FALSE(WritePng(data, 400, 4, 100, Append, &out)); // stride shorter than a row
    EXPECT_FALSE(WritePng(data, 4, 4, stride, nullptr, nullptr));
    EXPECT_TRUE(out.empty());
    cairo_surface_destroy(s);
}

} // namespace
