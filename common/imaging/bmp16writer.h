#pragma once
// 16-bit bitmap files (BMP, 5-5-5 RGB, no compression), the format of the
// programs' picture exports. Header and pixels are written field by field in
// little-endian order; rows run bottom-up, each padded to a multiple of four
// bytes.

#include "common/fileio.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

namespace imaging {

inline constexpr std::uint32_t kBmpFileHeaderSize = 14;
inline constexpr std::uint32_t kBmpInfoHeaderSize = 40;
inline constexpr std::uint32_t kBmpPixelOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize;

// Bytes of one pixel row of a 16-bit bitmap `width` pixels wide, padded to 4.
std::uint32_t bmp16RowBytes(int width);
// Size of the whole file for an image of `width` x `height` pixels.
std::uint32_t bmp16FileSize(int width, int height);

// A pixel of the 5-5-5 format: bit 15 zero, then five bits each of red,
// green and blue (the top five bits of each 8-bit component).
std::uint16_t rgb555(QRgb colour);

// The file's bytes for `image` (any format; alpha is ignored). An empty
// image gives an empty buffer.
std::vector<std::uint8_t> encodeBmp16(const QImage &image);

// Writes `image` to `path` through a safe save: the old file stays as it was
// when the write fails.
common::FileError writeBmp16(const QString &path, const QImage &image);

} // namespace imaging
