// PNG decoding with libpng. libpng reports errors by a long jump: the
// functions that call it hold no object with a destructor, so that a jump
// skips nothing, and the jump never leaves them.

#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>

#include "platform/gdiplus/ImageReaders.h"

namespace Gdiplus {

namespace {

struct PngInput {
    const BYTE* data;
    size_t size;
    size_t position;
};

void ReadInput(png_structp png, png_bytep out, size_t length) {
    PngInput* input = static_cast<PngInput*>(png_get_io_ptr(png));
    if (length > input->size - input->position)
        png_error(png, "truncated");
    std::memcpy(out, input->data + input->position, length);
    input->position += length;
}

// Errors jump back to the setjmp of the calling function; nothing is printed.
void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

bool ReadHeader(png_structp png, png_infop info, png_uint_32* width, png_uint_32* height) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    *width = png_get_image_width(png, info);
    *height = png_get_image_height(png, info);
    return true;
}

// Every colour type and depth becomes 8-bit RGBA, interlaced images included.
bool SetTransforms(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return png_get_bit_depth(png, info) == 8 && png_get_channels(png, info) == 4;
}

bool ReadRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    return true;
}

// RGBA bytes to premultiplied ARGB, in place.
void ConvertRow(BYTE* row, png_uint_32 width) {
    for (png_uint_32 x = 0; x < width; ++x) {
        BYTE* p = row + 4 * size_t(x);
        uint32_t pixel =
            Premultiply((ARGB(p[3]) << 24) | (ARGB(p[0]) << 16) | (ARGB(p[1]) << 8) | ARGB(p[2]));
        std::memcpy(p, &pixel, 4);
    }
}

} // namespace

Status ReadPng(const BYTE* data, size_t size, uint64_t maxPixels, UINT* width, UINT* height,
               std::shared_ptr<PixelStore>* out) {
    *width = 0;
    *height = 0;
    if (SniffImage(data, size) != ImageKind::Png)
        return UnknownImageFormat;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png)
        return OutOfMemory;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return OutOfMemory;
    }
    PngInput input{data, size, 0};
    png_set_read_fn(png, &input, ReadInput);
    // Every chunk but the image data, its palette and its transparency
    // (colour management, text, metadata, unknown chunks) is skipped unread:
    // none changes what is drawn.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    // The size limits are ours (checked below), so that a large header is
    // told apart from a damaged one.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_chunk_malloc_max(png, 8u << 20);

    Status status = Ok;
    png_uint_32 w = 0, h = 0;
    if (!ReadHeader(png, info, &w, &h)) {
        status = UnknownImageFormat;
    } else {
        *width = w;
        *height = h;
        if (!out) {
            // the size only
        } else if (!FitsImageLimit(w, h, maxPixels)) {
            status = ValueOverflow;
        } else if (!SetTransforms(png, info)) {
            status = UnknownImageFormat;
        } else if (std::shared_ptr<PixelStore> store =
                       PixelStore::Create(int(w), int(h), &status)) {
            std::vector<png_bytep> rows(h);
            for (png_uint_32 y = 0; y < h; ++y)
                rows[y] = store->data + size_t(y) * store->stride;
            if (ReadRows(png, rows.data())) {
                for (png_uint_32 y = 0; y < h; ++y)
                    ConvertRow(rows[y], w);
                store->MarkWritten();
                *out = std::move(store);
            } else {
                status = UnknownImageFormat;
            }
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return status;
}

ImageKind SniffImage(const BYTE* data, size_t size) {
    static const BYTE kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (data && size >= 8 && std::memcmp(data, kPng, 8) == 0)
        return ImageKind::Png;
    if (data && size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return ImageKind::Jpeg;
    if (data && size >= 6 &&
        (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
        return ImageKind::Gif;
    if (data && size >= 12 && std::memcmp(data, "RIFF", 4) == 0 &&
        std::memcmp(data + 8, "WEBP", 4) == 0)
        return ImageKind::Webp;
    return ImageKind::Unknown;
}

} // namespace Gdiplus
