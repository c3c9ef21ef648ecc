// GIF decoding with giflib: the first frame of an image, on its logical
// screen. giflib reports errors by return values; nothing jumps.

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <vector>

#include "platform/gdiplus/ImageReaders.h"

namespace Gdiplus {

namespace {

struct GifInput {
    const BYTE* data;
    size_t size;
    size_t position;
};

int ReadInput(GifFileType* gif, GifByteType* out, int length) {
    GifInput* input = static_cast<GifInput*>(gif->UserData);
    size_t n = std::min(size_t(length > 0 ? length : 0), input->size - input->position);
    std::memcpy(out, input->data + input->position, n);
    input->position += n;
    return int(n);
}

// An open GIF, closed at the end of the scope.
struct GifFile {
    GifFileType* gif = nullptr;
    ~GifFile() {
        if (gif)
            DGifCloseFile(gif, nullptr);
    }
};

// Reads the records up to the first image's descriptor; the transparent
// colour index (-1 for none) comes from a graphic control extension before it.
bool FindFirstImage(GifFileType* gif, int& transparent) {
    transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) != GIF_OK)
            return false;
        if (type == IMAGE_DESC_RECORD_TYPE)
            return DGifGetImageDesc(gif) == GIF_OK;
        if (type != EXTENSION_RECORD_TYPE)
            return false; // the end, or something else, before any image
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) != GIF_OK)
            return false;
        if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
            transparent = (block[1] & 1) ? block[4] : -1;
        while (block)
            if (DGifGetExtensionNext(gif, &block) != GIF_OK)
                return false;
    }
}

// The rows of an image in the order they are stored: interlaced images in
// four passes.
std::vector<int> RowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    rows.reserve(size_t(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            rows.push_back(y);
    return rows;
}

} // namespace

Status ReadGif(const BYTE* data, size_t size, uint64_t maxPixels, UINT* width, UINT* height,
               std::shared_ptr<PixelStore>* out) {
    *width = 0;
    *height = 0;
    if (SniffImage(data, size) != ImageKind::Gif)
        return UnknownImageFormat;
    GifInput input{data, size, 0};
    GifFile file;
    int error = 0;
    file.gif = DGifOpen(&input, ReadInput, &error);
    if (!file.gif)
        return error == D_GIF_ERR_NOT_ENOUGH_MEM ? OutOfMemory : UnknownImageFormat;
    GifFileType* gif = file.gif;
    int transparent = -1;
    if (!FindFirstImage(gif, transparent))
        return UnknownImageFormat;
    const GifImageDesc& frame = gif->Image;
    // The logical screen; a file that gives none is as large as its frame.
    uint64_t w = uint64_t(gif->SWidth), h = uint64_t(gif->SHeight);
    if (w == 0 || h == 0) {
        w = uint64_t(frame.Left) + uint64_t(frame.Width);
        h = uint64_t(frame.Top) + uint64_t(frame.Height);
    }
    if (w == 0 || h == 0 || w > 0xFFFFFFFFu || h > 0xFFFFFFFFu)
        return UnknownImageFormat;
    *width = UINT(w);
    *height = UINT(h);
    if (!out)
        return Ok;
    // The frame is decoded whole even where it lies off the screen: it too
    // must fit the limit.
    if (!FitsImageLimit(w, h, maxPixels) ||
        uint64_t(frame.Width) * uint64_t(frame.Height) > maxPixels)
        return ValueOverflow;
    const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (!map || !map->Colors || frame.Width <= 0 || frame.Height <= 0)
        return UnknownImageFormat;

    Status status = Ok;
    std::shared_ptr<PixelStore> store = PixelStore::Create(int(w), int(h), &status);
    if (!store)
        return status;
    // Premultiplied palette: transparent and missing entries are clear.
    uint32_t palette[256] = {};
    for (int i = 0; i < map->ColorCount && i < 256; ++i)
        if (i != transparent)
            palette[i] = 0xFF000000u | uint32_t(map->Colors[i].Red) << 16 |
                         uint32_t(map->Colors[i].Green) << 8 | map->Colors[i].Blue;
    for (int y = 0; y < int(h); ++y)
        std::memset(store->Row(y), 0, size_t(w) * 4);
    std::vector<GifPixelType> line(size_t(frame.Width));
    for (int row : RowOrder(frame.Height, frame.Interlace)) {
        if (DGifGetLine(gif, line.data(), frame.Width) != GIF_OK)
            return UnknownImageFormat;
        int64_t y = int64_t(frame.Top) + row;
        if (y < 0 || y >= int64_t(h))
            continue;
        uint32_t* pixels = store->Row(int(y));
        for (int x = 0; x < frame.Width; ++x) {
            int64_t column = int64_t(frame.Left) + x;
            if (column >= 0 && column < int64_t(w))
                pixels[column] = palette[line[size_t(x)]];
        }
    }
    store->MarkWritten();
    *out = std::move(store);
    return Ok;
}

} // namespace Gdiplus
