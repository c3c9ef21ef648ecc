// A fast PNG encoder for premultiplied ARGB32 pixels (Cairo's image format).
#pragma once

#include <cstddef>
#include <cstdint>

namespace Gdiplus {

// Receives encoded bytes; returns false to abandon the encoding.
using PngSink = bool (*)(void* closure, const unsigned char* data, size_t length);

// Encodes the image as an 8-bit PNG with straight alpha: a palette (with
// alphas when any colour is not opaque) when it has at most 256 colours, else
// RGB when every pixel is opaque, else RGBA. Pixels decode to exactly what
// Cairo's own PNG writer gives for the same data. The stream is compressed
// with libdeflate. Returns false when the sink failed or memory ran out.
bool WritePng(const unsigned char* data, int width, int height, int stride, PngSink sink,
              void* closure);

} // namespace Gdiplus
