// Fuzz entry point: any bytes as a BMP file and as a packed DIB. A decoded image must encode
// and decode again to the same pixels.
#include <cstdint>
#include <cstdlib>

#include "classlib/graphics/bmp_codec.h"
#include "classlib/graphics/graphic_types.h"

namespace {
void Check(const TPixelImage& img) {
  TPixelImage copy = img;
  std::vector<uint8_t> file = EncodeBmpFile(copy.View());
  TPixelImage back = DecodeBmpFile(file.data(), file.size());
  if (back.Width() != img.Width() || back.Height() != img.Height()) std::abort();
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x)
      if (back.PixelRGB(x, y) != img.PixelRGB(x, y)) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    Check(DecodeBmpFile(data, size));
  } catch (const EInvalidGraphic&) {
  }
  try {
    Check(DecodePackedDib(data, size));
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
