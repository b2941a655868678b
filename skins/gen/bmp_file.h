// 24-bit BMP files of the skin generator.
#pragma once

#include <string>

#include "skins/gen/raster.h"

// The file image of a picture: BITMAPFILEHEADER, a 40-byte BITMAPINFOHEADER, rows bottom-up in
// blue-green-red order, each padded to four bytes.
std::string EncodeBmp(const Bitmap& b);
void WriteFile(const std::string& path, const std::string& bytes);
