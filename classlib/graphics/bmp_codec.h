// Reading and writing BMP images (files and the packed DIBs of bitmap resources) into plain
// pixel buffers. The input is untrusted (skin archives): every field is checked, a bad image
// raises EInvalidGraphic and nothing is read outside the given bytes. Portable C++.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "classlib/graphics/pixel_image.h"

// Largest width or height, and largest number of pixels, that a decoded image may have.
constexpr int kMaxBmpDimension = 32767;
constexpr int64_t kMaxBmpPixels = int64_t(1) << 25;

// A BMP file: the 14-byte file header, an info header, the colour table and the pixel rows.
// 1, 4, 8 and 24-bit images decode to 24 bits, 32-bit ones (plain or with bit fields) to 32;
// bottom-up and top-down row orders both give rows from the top.
TPixelImage DecodeBmpFile(const uint8_t* data, size_t size);
// A packed DIB as a bitmap resource holds it: the same without the file header.
TPixelImage DecodePackedDib(const uint8_t* data, size_t size);

// A BMP file of the image: bottom-up, uncompressed, at the image's own depth (1, 24 or 32 bits).
std::vector<uint8_t> EncodeBmpFile(const TPixelView& image);
