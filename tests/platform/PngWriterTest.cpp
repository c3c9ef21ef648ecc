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

// A strict reader for 8-bit palette, RGB and RGBA files (zlib inflates):
// checks the signature, every chunk's CRC and order, the zlib stream (with its
// checksum), the filter bytes and the palette indexes, and gives straight RGBA
// bytes.
struct Decoded {
    bool ok = false;
    std::string problem;
    int width = 0, height = 0, colorType = 0;
    std::vector<std::string> chunks; // types in file order
    Bytes rgba;
};

Decoded Decode(const Bytes& file) {
    Decoded d;
    static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), sig, 8) != 0) {
        d.problem = "signature";
        return d;
    }
    Bytes idat, palette, alphas;
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
        d.chunks.push_back(type);
        const unsigned char* body = &file[at + 8];
        if (crc32(0, &file[at + 4], length + 4) != Big32(body + length)) {
            d.problem = "CRC of " + type;
            return d;
        }
        if (type == "IHDR") {
            d.width = int(Big32(body));
            d.height = int(Big32(body + 4));
            d.colorType = body[9];
            if (body[8] != 8 || (d.colorType != 2 && d.colorType != 3 && d.colorType != 6) ||
                body[12] != 0) {
                d.problem = "format";
                return d;
            }
        } else if (type == "PLTE") {
            if (!idat.empty() || length % 3 || length == 0 || length > 768) {
                d.problem = "PLTE";
                return d;
            }
            palette.assign(body, body + length);
        } else if (type == "tRNS") {
            if (!idat.empty() || palette.empty() || length > palette.size() / 3) {
                d.problem = "tRNS";
                return d;
            }
            alphas.assign(body, body + length);
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
    if ((d.colorType == 3) != !palette.empty()) {
        d.problem = "palette and colour type disagree";
        return d;
    }
    const size_t channels = d.colorType == 6 ? 4 : d.colorType == 2 ? 3 : 1;
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
            if (channels == 1) {
                size_t index = cur[x];
                if (3 * index >= palette.size()) {
                    d.problem = "index past the palette";
                    return d;
                }
                d.rgba.insert(d.rgba.end(), &palette[3 * index], &palette[3 * index] + 3);
                d.rgba.push_back(index < alphas.size() ? alphas[index] : 0xFF);
                continue;
            }
            d.rgba.insert(d.rgba.end(), &cur[x * channels], &cur[x * channels] + channels);
            if (channels == 3)
                d.rgba.push_back(0xFF);
        }
        prev.swap(cur);
    }
    d.ok = true;
    return d;
}

// The image encoded by the encoder under test and by Cairo, both decoded;
// gives ours.
Decoded ExpectSameAsCairo(cairo_surface_t* surface, int expectedColorType) {
    cairo_surface_flush(surface);
    Bytes ours;
    EXPECT_TRUE(WritePng(cairo_image_surface_get_data(surface),
                         cairo_image_surface_get_width(surface),
                         cairo_image_surface_get_height(surface),
                         cairo_image_surface_get_stride(surface), Append, &ours));
    Bytes theirs;
    EXPECT_EQ(CAIRO_STATUS_SUCCESS,
              cairo_surface_write_to_png_stream(surface, AppendCairo, &theirs));
    Decoded a = Decode(ours), b = Decode(theirs);
    EXPECT_TRUE(a.ok) << a.problem;
    EXPECT_TRUE(b.ok) << b.problem;
    EXPECT_EQ(expectedColorType, a.colorType);
    EXPECT_EQ(b.width, a.width);
    EXPECT_EQ(b.height, a.height);
    EXPECT_TRUE(a.rgba == b.rgba);
    return a;
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
    // Transparent with an anti-aliased shape: few colours, so a palette with
    // alphas; long runs, edges.
    cairo_surface_t* s = Surface(300, 200);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgba(cr, 0.2, 0.5, 0.9, 0.7);
    cairo_arc(cr, 150, 100, 80.3, 0, 6.283);
    cairo_fill(cr);
    Decoded d = ExpectSameAsCairo(s, 3);
    EXPECT_EQ(d.chunks, (std::vector<std::string>{"IHDR", "PLTE", "tRNS", "IDAT", "IEND"}));

    // Opaque: a palette without alphas.
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.9, 0.1, 0.3);
    cairo_rectangle(cr, 10.5, 20.25, 200, 90);
    cairo_fill(cr);
    d = ExpectSameAsCairo(s, 3);
    EXPECT_EQ(d.chunks, (std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}));

    // A gradient has too many colours for a palette.
    cairo_pattern_t* ramp = cairo_pattern_create_linear(0, 0, 300, 200);
    cairo_pattern_add_color_stop_rgb(ramp, 0, 1, 0, 0);
    cairo_pattern_add_color_stop_rgb(ramp, 1, 0, 0.5, 1);
    cairo_set_source(cr, ramp);
    cairo_paint(cr);
    ExpectSameAsCairo(s, 2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr, 0, 0, 100, 50);
    cairo_fill(cr);
    ExpectSameAsCairo(s, 6);
    cairo_pattern_destroy(ramp);
    cairo_destroy(cr);
    cairo_surface_destroy(s);

    // Entirely transparent.
    s = Surface(64, 64);
    ExpectSameAsCairo(s, 3);
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

TEST(PngWriter, PaletteHoldsUpTo256StraightColours) {
    // count opaque colours, then transparent pixels whose (invalid) channels
    // differ but which all mean the one colour "transparent".
    auto image = [](int count, int junk) {
        cairo_surface_t* s = Surface(count + junk, 1);
        auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
        for (int x = 0; x < count; ++x)
            row[x] = 0xFF000040 | uint32_t(x & 0xFF) << 16 | uint32_t(x >> 8) << 8;
        for (int x = 0; x < junk; ++x)
            row[count + x] = uint32_t(x + 1);
        cairo_surface_mark_dirty(s);
        return s;
    };
    const struct {
        int count, junk, type;
    } rows[] = {{256, 0, 3}, {257, 0, 2}, {255, 400, 3}, {256, 1, 6}, {1, 0, 3}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.count) + " colours, " + std::to_string(row.junk));
        cairo_surface_t* s = image(row.count, row.junk);
        ExpectSameAsCairo(s, row.type);
        cairo_surface_destroy(s);
    }
}

TEST(PngWriter, RunsOfEveryLengthAndOddSizes) {
    // Rows made of runs of one colour, 1 to 600 pixels long, so that matches
    // of every length and their remainders occur; rows repeat and change. With
    // colours of their own in each of the first rows, too many for a palette.
    for (bool many : {false, true}) {
        SCOPED_TRACE(many ? "many colours" : "few colours");
        cairo_surface_t* s = Surface(5000, 12);
        unsigned char* data = cairo_image_surface_get_data(s);
        for (int y = 0; y < 12; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + y * cairo_image_surface_get_stride(s));
            int x = 0;
            for (int run = 1; x < 5000; ++run) {
                uint32_t seed = uint32_t(run) * 2654435761u + (many ? uint32_t(y) * 40503u : 0);
                uint32_t c = (run % 3 == 0) ? 0 : 0xFF000000 | (seed >> 8);
                if (y >= 9)
                    c = (run + y) % 2 ? 0x80402010 : 0xFF102030;
                for (int i = 0; i < run % 601 && x < 5000; ++i)
                    row[x++] = c;
            }
        }
        cairo_surface_mark_dirty(s);
        ExpectSameAsCairo(s, many ? 6 : 3);
        cairo_surface_destroy(s);
    }

    for (int w : {1, 2, 3}) {
        for (int h : {1, 2, 700}) {
            cairo_surface_t* s = Surface(w, h);
            FillEveryAlpha(s, unsigned(w * 1000 + h));
            ExpectSameAsCairo(s, w * h > 256 ? 6 : 3);
            cairo_surface_destroy(s);
        }
    }
}

TEST(PngWriter, RowsThatChangeInPlaces) {
    // Each row repeats the one above but for one pixel (or none), at every
    // position modulo four and more, in colour with and without transparency;
    // a first row of 301 colours (no palette) or of one (a palette).
    for (int w : {301, 11}) {
        for (uint32_t alpha : {0xFF000000u, 0x7F000000u}) {
            SCOPED_TRACE(std::to_string(w) + " wide, alpha " + std::to_string(alpha >> 24));
            const int h = 3 * 11;
            cairo_surface_t* s = Surface(w, h);
            unsigned char* data = cairo_image_surface_get_data(s);
            int stride = cairo_image_surface_get_stride(s);
            for (int x = 0; x < w; ++x)
                reinterpret_cast<uint32_t*>(data)[x] =
                    alpha | (w > 256 ? uint32_t(x) * 0x010101 : 0x302010);
            for (int y = 1; y < h; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
                std::memcpy(row, data + (y - 1) * stride, size_t(w) * 4);
                if (y % 3 != 0)
                    row[(y * 37) % w] = alpha | uint32_t(y * 0x00050301);
            }
            cairo_surface_mark_dirty(s);
            ExpectSameAsCairo(s, w < 256 ? 3 : alpha == 0xFF000000u ? 2 : 6);
            cairo_surface_destroy(s);
        }
    }
}

TEST(PngWriter, ShortRunsOnlyLeaveLongMatchLengthsUnused) {
    // No run reaches the longest match lengths, so a block's literal and
    // length alphabet ends early: the former writer's coder read codes it had
    // never assigned for those lengths. In a palette and in RGBA.
    for (int colours : {7, 100000}) {
        SCOPED_TRACE(colours);
        cairo_surface_t* s = Surface(997, 23);
        unsigned char* data = cairo_image_surface_get_data(s);
        std::mt19937 random(11);
        for (int y = 0; y < 23; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + y * cairo_image_surface_get_stride(s));
            for (int x = 0; x < 997;) {
                uint32_t c = 0xFF000000 | uint32_t(random() % colours) * 0x0A0301;
                for (int n = 2 + int(random() % 9); n > 0 && x < 997; --n)
                    row[x++] = c;
            }
        }
        cairo_surface_mark_dirty(s);
        ExpectSameAsCairo(s, colours < 256 ? 3 : 2);
        cairo_surface_destroy(s);
    }
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
