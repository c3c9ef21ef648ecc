// WebP decoding with libwebp: still images, and the first frame of an
// animated one on its canvas.

#include <cstring>
#include <webp/decode.h>
#include <webp/demux.h>

#include "platform/gdiplus/ImageReaders.h"

namespace Gdiplus {

namespace {

// Premultiplied, in the byte order of a native 32-bit ARGB word.
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr WEBP_CSP_MODE kStoreMode = MODE_bgrA;
#else
constexpr WEBP_CSP_MODE kStoreMode = MODE_Argb;
#endif

// Decodes a still WebP bitstream into the store at (x, y); false when it is
// damaged or does not fit there.
bool DecodeInto(const uint8_t* data, size_t size, PixelStore& store, int x, int y) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config) ||
        WebPGetFeatures(data, size, &config.input) != VP8_STATUS_OK || config.input.has_animation ||
        x < 0 || y < 0 || int64_t(x) + config.input.width > store.width ||
        int64_t(y) + config.input.height > store.height)
        return false;
    config.output.colorspace = kStoreMode;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = reinterpret_cast<uint8_t*>(store.Row(y) + x);
    config.output.u.RGBA.stride = store.stride;
    config.output.u.RGBA.size = size_t(store.stride) * size_t(store.height - y) - size_t(x) * 4;
    bool ok = WebPDecode(data, size, &config) == VP8_STATUS_OK;
    WebPFreeDecBuffer(&config.output);
    return ok;
}

} // namespace

Status ReadWebp(const BYTE* data, size_t size, uint64_t maxPixels, UINT* width, UINT* height,
                std::shared_ptr<PixelStore>* out) {
    *width = 0;
    *height = 0;
    if (SniffImage(data, size) != ImageKind::Webp)
        return UnknownImageFormat;
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data, size, &features) != VP8_STATUS_OK || features.width <= 0 ||
        features.height <= 0)
        return UnknownImageFormat;
    *width = UINT(features.width);
    *height = UINT(features.height);
    if (!out)
        return Ok;
    if (!FitsImageLimit(*width, *height, maxPixels))
        return ValueOverflow;
    Status status = Ok;
    std::shared_ptr<PixelStore> store =
        PixelStore::Create(features.width, features.height, &status);
    if (!store)
        return status;
    for (int y = 0; y < store->height; ++y)
        std::memset(store->Row(y), 0, size_t(store->width) * 4);

    bool ok = false;
    if (!features.has_animation) {
        ok = DecodeInto(data, size, *store, 0, 0);
    } else {
        // The first frame, placed on the canvas (clear elsewhere).
        WebPData whole = {data, size};
        WebPDemuxer* demux = WebPDemux(&whole);
        WebPIterator frame;
        if (demux && WebPDemuxGetI(demux, WEBP_FF_CANVAS_WIDTH) == *width &&
            WebPDemuxGetI(demux, WEBP_FF_CANVAS_HEIGHT) == *height &&
            WebPDemuxGetFrame(demux, 1, &frame)) {
            ok = DecodeInto(frame.fragment.bytes, frame.fragment.size, *store, frame.x_offset,
                            frame.y_offset);
            WebPDemuxReleaseIterator(&frame);
        }
        WebPDemuxDelete(demux);
    }
    if (!ok)
        return UnknownImageFormat;
    store->MarkWritten();
    *out = std::move(store);
    return Ok;
}

} // namespace Gdiplus
