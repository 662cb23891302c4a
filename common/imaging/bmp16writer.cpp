#include "common/imaging/bmp16writer.h"

#include "common/binaryio.h"

namespace imaging {

std::uint32_t bmp16RowBytes(int width)
{
    return (std::uint32_t(width) * 2u + 3u) & ~3u;
}

std::uint32_t bmp16FileSize(int width, int height)
{
    return kBmpPixelOffset + bmp16RowBytes(width) * std::uint32_t(height);
}

std::uint16_t rgb555(QRgb colour)
{
    return std::uint16_t(((qRed(colour) >> 3) << 10) | ((qGreen(colour) >> 3) << 5) | (qBlue(colour) >> 3));
}

std::vector<std::uint8_t> encodeBmp16(const QImage &image)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width();
    const int height = rgb.height();
    const std::uint32_t rowBytes = bmp16RowBytes(width);
    const std::uint32_t fileSize = bmp16FileSize(width, height);

    std::vector<std::uint8_t> out;
    out.reserve(fileSize);
    common::LeWriter w(out);
    // File header.
    w.u8(0, 'B');
    w.u8(1, 'M');
    w.u32(2, fileSize);
    w.u32(6, 0);
    w.u32(10, kBmpPixelOffset);
    // Information header: bottom-up, one plane, 16 bits, no compression.
    w.u32(14, kBmpInfoHeaderSize);
    w.i32(18, width);
    w.i32(22, height);
    w.u16(26, 1);
    w.u16(28, 16);
    w.u32(30, 0); // compression
    w.u32(34, 0); // image size (may be 0 when uncompressed)
    w.i32(38, 0); // horizontal resolution
    w.i32(42, 0); // vertical resolution
    w.u32(46, 0); // colours used
    w.u32(50, 0); // important colours
    w.reserveTo(fileSize); // pads every row with zeros

    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(height - 1 - y));
        std::uint8_t *row = out.data() + kBmpPixelOffset + std::size_t(y) * rowBytes;
        for (int x = 0; x < width; ++x)
            common::storeU16(row + 2 * x, rgb555(line[x]));
    }
    return out;
}

common::FileError writeBmp16(const QString &path, const QImage &image)
{
    const std::vector<std::uint8_t> bytes = encodeBmp16(image);
    if (bytes.empty())
        return {false, QStringLiteral("empty image")};
    return common::writeFileAtomically(path, bytes);
}

} // namespace imaging
