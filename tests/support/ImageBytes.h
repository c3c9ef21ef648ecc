#pragma once

// Small PNG and JPEG files built in memory for the image tests, so that
// their exact contents are written in the tests themselves.

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A PNG of the given header fields whose image data is the given scanlines
// (filter byte included), compressed whole. declaredWidth/Height, when not
// zero, replace the header's size (the data stays as given).
Bytes PngBytes(uint32_t width, uint32_t height, int bitDepth, int colorType, const Bytes& scanlines,
               bool interlaced = false, const Bytes& palette = {}, const Bytes& transparency = {});
// A straight-alpha ARGB image as an 8-bit RGBA PNG, rows unfiltered.
Bytes PngFromArgb(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb);
// The same image with its header's size replaced.
Bytes WithDeclaredSize(Bytes png, uint32_t width, uint32_t height);
// The same image carrying a private ancillary chunk of length zero bytes.
Bytes WithPrivateChunk(const Bytes& png, size_t length);

enum class JpegKind { Rgb, Gray, Progressive, AdobeCmyk };
// A width × height JPEG (quality 95) of four quadrants: red, lime / blue, white
// (grey levels 255, 0 / 0, 255 for Gray).
Bytes JpegQuadrants(int width, int height, JpegKind kind);

// base64 of bytes, and a data: URL of it.
std::string Base64(const Bytes& bytes);
std::string DataUrl(const Bytes& bytes, const char* mediaType = "image/png");
