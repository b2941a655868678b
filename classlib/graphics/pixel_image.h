// Plain pixel buffers in the layout of a top-down DIB (rows from the top, each padded to four
// bytes; 24 and 32 bits as blue, green, red[, alpha]; 1 bit packed from the high bit, 1 = white).
// Portable: the BMP codec and the pixel transforms work on these natively and under Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Bytes of one row of width pixels at bitsPerPixel, padded to a multiple of four; 0 on overflow.
size_t PixelRowStride(int64_t width, int bitsPerPixel);

// A view over pixels owned elsewhere (a TPixelImage or the memory of a DIB section).
struct TPixelView {
  uint8_t* Bits = nullptr;
  int Width = 0;
  int Height = 0;
  int BitsPerPixel = 24;
  size_t Stride = 0;

  uint8_t* Row(int y) const { return Bits + size_t(y) * Stride; }
  bool Empty() const { return Width <= 0 || Height <= 0 || !Bits; }
};

class TPixelImage {
public:
  TPixelImage() = default;
  // Zero-filled (black) pixels; bitsPerPixel is 1, 24 or 32.
  TPixelImage(int width, int height, int bitsPerPixel);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bpp_; }
  size_t Stride() const { return stride_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }

  uint8_t* Row(int y) { return data_.data() + size_t(y) * stride_; }
  const uint8_t* Row(int y) const { return data_.data() + size_t(y) * stride_; }
  uint8_t* Data() { return data_.data(); }
  const uint8_t* Data() const { return data_.data(); }
  size_t Size() const { return data_.size(); }
  TPixelView View() { return {data_.data(), width_, height_, bpp_, stride_}; }

  // The pixel as a colour value (red in the low byte); a 1-bit pixel is black or white.
  uint32_t PixelRGB(int x, int y) const;
  void SetPixelRGB(int x, int y, uint32_t rgb);

private:
  int width_ = 0;
  int height_ = 0;
  int bpp_ = 24;
  size_t stride_ = 0;
  std::vector<uint8_t> data_;
};

// The same pixels in another of the formats 1, 24 and 32 bits. Into 1 bit a pixel becomes white
// when it is nearer white than black; from 32 bits the alpha byte is dropped, into 32 it is 0.
TPixelImage ConvertPixels(const TPixelView& source, int bitsPerPixel);
// A copy of a view as an owning image.
TPixelImage CopyPixels(const TPixelView& source);
