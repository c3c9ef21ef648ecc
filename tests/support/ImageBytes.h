#pragma once

// Small PNG files built in memory for the image tests, so that their pixels
// are written in the tests themselves.

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A PNG with the given header fields whose image data is the given scanlines
// (filter bytes included); a private chunk of extra zero bytes when asked.
Bytes PngBytes(uint32_t width, uint32_t height, int bitDepth, int colorType, const Bytes& scanlines,
               bool interlaced = false, const Bytes& palette = {}, const Bytes& transparency = {},
               size_t extra = 0);
// Straight-alpha ARGB pixels as an 8-bit RGBA PNG.
Bytes PngFromArgb(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb);
// The same PNG with its header declaring another size.
Bytes WithDeclaredSize(Bytes png, uint32_t width, uint32_t height);

// The bytes of a file; base64 of bytes; a data: URL of them.
Bytes ReadBytes(const std::string& path);
std::string Base64(const Bytes& bytes);
std::string DataUrl(const Bytes& bytes, const char* mediaType = "image/png");
