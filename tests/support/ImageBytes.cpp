#include "ImageBytes.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <zlib.h>

namespace {

void Put32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

void Chunk(Bytes& out, const char* type, const Bytes& data) {
    Put32(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, static_cast<uint32_t>(crc32(0, out.data() + start, out.size() - start)));
}

} // namespace

Bytes PngBytes(uint32_t width, uint32_t height, int bitDepth, int colorType, const Bytes& scanlines,
               bool interlaced, const Bytes& palette, const Bytes& transparency) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    Put32(header, width);
    Put32(header, height);
    header.insert(header.end(),
                  {static_cast<unsigned char>(bitDepth), static_cast<unsigned char>(colorType), 0,
                   0, static_cast<unsigned char>(interlaced ? 1 : 0)});
    Chunk(out, "IHDR", header);
    if (!palette.empty())
        Chunk(out, "PLTE", palette);
    if (!transparency.empty())
        Chunk(out, "tRNS", transparency);
    uLongf length = compressBound(scanlines.size());
    Bytes data(length);
    compress2(data.data(), &length, scanlines.data(), scanlines.size(), 9);
    data.resize(length);
    Chunk(out, "IDAT", data);
    Chunk(out, "IEND", {});
    return out;
}

Bytes PngFromArgb(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb) {
    Bytes rows;
    for (uint32_t y = 0; y < height; ++y) {
        rows.push_back(0);
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t c = argb[y * width + x];
            rows.insert(rows.end(),
                        {static_cast<unsigned char>(c >> 16), static_cast<unsigned char>(c >> 8),
                         static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 24)});
        }
    }
    return PngBytes(width, height, 8, 6, rows);
}

Bytes WithDeclaredSize(Bytes png, uint32_t width, uint32_t height) {
    // The header chunk starts at byte 8: length, "IHDR", width, height, ..., CRC.
    Bytes size;
    Put32(size, width);
    Put32(size, height);
    std::copy(size.begin(), size.end(), png.begin() + 16);
    uint32_t crc = static_cast<uint32_t>(crc32(0, png.data() + 12, 17));
    Bytes crcBytes;
    Put32(crcBytes, crc);
    std::copy(crcBytes.begin(), crcBytes.end(), png.begin() + 29);
    return png;
}

Bytes WithPrivateChunk(const Bytes& png, size_t length) {
    Bytes out(png.begin(), png.end() - 12); // before IEND
    Chunk(out, "prVt", Bytes(length, 0));
    out.insert(out.end(), png.end() - 12, png.end());
    return out;
}

Bytes JpegQuadrants(int width, int height, JpegKind kind) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    int components = kind == JpegKind::Gray ? 1 : kind == JpegKind::AdobeCmyk ? 4 : 3;
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = kind == JpegKind::Gray        ? JCS_GRAYSCALE
                          : kind == JpegKind::AdobeCmyk ? JCS_CMYK
                                                        : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (kind == JpegKind::Progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    Bytes row(static_cast<size_t>(width) * components);
    while (info.next_scanline < info.image_height) {
        bool top = info.next_scanline < info.image_height / 2;
        for (int x = 0; x < width; ++x) {
            bool left = x < width / 2;
            uint32_t rgb = top ? (left ? 0xFF0000 : 0x00FF00) : (left ? 0x0000FF : 0xFFFFFF);
            unsigned char* p = &row[static_cast<size_t>(x) * components];
            if (components == 1) {
                p[0] = top == left ? 255 : 0;
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                unsigned char v = static_cast<unsigned char>(rgb >> (16 - 8 * c));
                // Adobe's CMYK stores inverted inks: the stored value is the colour's.
                p[c] = v;
            }
            if (components == 4)
                p[3] = 255; // no black ink
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

std::string Base64(const Bytes& bytes) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t v = uint32_t(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            v |= uint32_t(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            v |= bytes[i + 2];
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kAlphabet[v & 63] : '=';
    }
    return out;
}

std::string DataUrl(const Bytes& bytes, const char* mediaType) {
    return std::string("data:") + mediaType + ";base64," + Base64(bytes);
}
