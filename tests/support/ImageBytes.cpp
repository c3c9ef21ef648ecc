#include "ImageBytes.h"

#include <fstream>
#include <iterator>
#include <zlib.h>

namespace {

void Put32(Bytes& out, uint32_t v, size_t at = SIZE_MAX) {
    for (int i = 0; i < 4; ++i) {
        unsigned char byte = static_cast<unsigned char>(v >> (24 - 8 * i));
        if (at == SIZE_MAX)
            out.push_back(byte);
        else
            out[at + i] = byte;
    }
}

void Chunk(Bytes& out, const char* type, const Bytes& data) {
    Put32(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, static_cast<uint32_t>(crc32(0, out.data() + start, uInt(out.size() - start))));
}

} // namespace

Bytes PngBytes(uint32_t width, uint32_t height, int bitDepth, int colorType, const Bytes& scanlines,
               bool interlaced, const Bytes& palette, const Bytes& transparency, size_t extra) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header;
    Put32(header, width);
    Put32(header, height);
    header.insert(header.end(), {static_cast<unsigned char>(bitDepth),
                                 static_cast<unsigned char>(colorType), 0, 0, interlaced});
    Chunk(out, "IHDR", header);
    if (!palette.empty())
        Chunk(out, "PLTE", palette);
    if (!transparency.empty())
        Chunk(out, "tRNS", transparency);
    uLongf length = compressBound(uLong(scanlines.size()));
    Bytes data(length);
    compress2(data.data(), &length, scanlines.data(), uLong(scanlines.size()), 9);
    data.resize(length);
    Chunk(out, "IDAT", data);
    if (extra)
        Chunk(out, "prVt", Bytes(extra, 0));
    Chunk(out, "IEND", {});
    return out;
}

Bytes PngFromArgb(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb) {
    Bytes rows;
    for (uint32_t i = 0; i < width * height; ++i) {
        if (i % width == 0)
            rows.push_back(0);
        for (int shift : {16, 8, 0, 24})
            rows.push_back(static_cast<unsigned char>(argb[i] >> shift));
    }
    return PngBytes(width, height, 8, 6, rows);
}

Bytes WithDeclaredSize(Bytes png, uint32_t width, uint32_t height) {
    // The header chunk: length at 8, "IHDR" at 12, width at 16, height at 20, CRC at 29.
    Put32(png, width, 16);
    Put32(png, height, 20);
    Put32(png, static_cast<uint32_t>(crc32(0, png.data() + 12, 17)), 29);
    return png;
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Base64(const Bytes& bytes) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t v = uint32_t(bytes[i]) << 16;
        v |= i + 1 < bytes.size() ? uint32_t(bytes[i + 1]) << 8 : 0;
        v |= i + 2 < bytes.size() ? bytes[i + 2] : 0;
        for (int k = 0; k < 4; ++k)
            out += k <= int(bytes.size() - i) ? kAlphabet[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

std::string DataUrl(const Bytes& bytes, const char* mediaType) {
    return std::string("data:") + mediaType + ";base64," + Base64(bytes);
}
