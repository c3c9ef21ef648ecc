// JPEG decoding with libjpeg. Its default error handler ends the process; ours
// jumps back to the function that called libjpeg. Those functions hold no
// object with a destructor, so that a jump skips nothing, and the jump never
// leaves them.

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/gdiplus/ImageReaders.h"

namespace Gdiplus {

namespace {

// A progressive image is a series of scans, each a pass over the whole image;
// real files have a few dozen at most. Past this many the file is refused.
constexpr int kMaxScans = 256;

struct JpegErrors {
    jpeg_error_mgr manager; // first: libjpeg sees a jpeg_error_mgr*
    jmp_buf jump;
};

void OnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

// Warnings are ignored, except data ending before the image is complete:
// libjpeg would paint the rest grey.
void OnMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        OnError(info);
}

void OnOutput(j_common_ptr) {}

void OnProgress(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        OnError(info);
}

bool Create(jpeg_decompress_struct* info, JpegErrors* errors) {
    if (setjmp(errors->jump))
        return false;
    jpeg_create_decompress(info);
    return true;
}

bool ReadHeader(jpeg_decompress_struct* info, JpegErrors* errors) {
    if (setjmp(errors->jump))
        return false;
    return jpeg_read_header(info, TRUE) == JPEG_HEADER_OK;
}

bool Start(jpeg_decompress_struct* info, JpegErrors* errors) {
    if (setjmp(errors->jump))
        return false;
    bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    info->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (!jpeg_start_decompress(info))
        return false;
    return info->output_width == info->image_width && info->output_height == info->image_height &&
           info->output_components == (cmyk ? 4 : 3);
}

// One pixel of a decoded row as straight ARGB. Adobe's CMYK files store the
// inks inverted.
ARGB PixelAt(const JSAMPLE* row, JDIMENSION x, bool cmyk, bool inverted) {
    if (!cmyk) {
        const JSAMPLE* p = row + 3 * size_t(x);
        return 0xFF000000 | (ARGB(p[0]) << 16) | (ARGB(p[1]) << 8) | ARGB(p[2]);
    }
    const JSAMPLE* p = row + 4 * size_t(x);
    unsigned k = inverted ? p[3] : 255 - p[3];
    auto channel = [&](JSAMPLE ink) {
        unsigned v = inverted ? ink : 255 - ink;
        return ARGB((v * k + 127) / 255);
    };
    return 0xFF000000 | (channel(p[0]) << 16) | (channel(p[1]) << 8) | channel(p[2]);
}

bool ReadRows(jpeg_decompress_struct* info, JpegErrors* errors, PixelStore* store) {
    if (setjmp(errors->jump))
        return false;
    bool cmyk = info->out_color_space == JCS_CMYK;
    bool inverted = cmyk && info->saw_Adobe_marker;
    JSAMPARRAY buffer =
        (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                   info->output_width * JDIMENSION(info->output_components), 1);
    while (info->output_scanline < info->output_height) {
        JDIMENSION y = info->output_scanline;
        if (jpeg_read_scanlines(info, buffer, 1) != 1)
            return false;
        uint32_t* out = store->Row(int(y));
        for (JDIMENSION x = 0; x < info->output_width; ++x)
            out[x] = PixelAt(buffer[0], x, cmyk, inverted);
    }
    return true;
}

} // namespace

Status ReadJpeg(const BYTE* data, size_t size, uint64_t maxPixels, UINT* width, UINT* height,
                std::shared_ptr<PixelStore>* out) {
    *width = 0;
    *height = 0;
    if (SniffImage(data, size) != ImageKind::Jpeg)
        return UnknownImageFormat;
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = OnError;
    errors.manager.emit_message = OnMessage;
    errors.manager.output_message = OnOutput;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = OnProgress;
    if (!Create(&info, &errors))
        return OutOfMemory;
    info.progress = &progress;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));

    Status status = Ok;
    if (!ReadHeader(&info, &errors)) {
        status = UnknownImageFormat;
    } else {
        *width = info.image_width;
        *height = info.image_height;
        if (!out) {
            // the size only
        } else if (!FitsImageLimit(info.image_width, info.image_height, maxPixels)) {
            status = ValueOverflow;
        } else {
            // The decoder's own buffers (a progressive image keeps every
            // coefficient) are bounded by the image's size.
            info.mem->max_memory_to_use = long(std::min<uint64_t>(
                uint64_t(info.image_width) * info.image_height * 12 + (16u << 20), uint64_t(1)
                                                                                       << 31));
            std::shared_ptr<PixelStore> store =
                PixelStore::Create(int(info.image_width), int(info.image_height), &status);
            if (store) {
                if (Start(&info, &errors) && ReadRows(&info, &errors, store.get())) {
                    store->MarkWritten();
                    *out = std::move(store);
                } else {
                    status = UnknownImageFormat;
                }
            }
        }
    }
    jpeg_destroy_decompress(&info);
    return status;
}

} // namespace Gdiplus
