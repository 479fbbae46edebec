#pragma once
#include <cstdint>
#include <string>

namespace lumaforge::test {

// What a made-up BMP file looks like; the defaults give a plain 24-bit picture stored bottom-up.
struct BmpShape {
    int width = 1;
    int height = 1;  // negative: stored top-down
    int bitCount = 24;
    uint32_t compression = 0;  // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields, 4 JPEG
    uint32_t infoSize = 40;    // 12 for the OS/2 core header
    int planes = 1;
    uint32_t colorsUsed = 0;
    uint32_t colorRgb = 0x3366CC;  // every pixel, as 0xRRGGBB (24 bits only)
    size_t cutBytes = 0;           // bytes taken off the end of the file
    std::string trailer = {};      // bytes after the pixels
};

inline void PutLe(std::string& out, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        out[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

inline std::string MakeBmp(const BmpShape& shape) {
    const bool core = shape.infoSize == 12;
    const int rows = shape.height < 0 ? -shape.height : shape.height;
    const int columns = shape.width > 0 ? shape.width : 0;  // a negative width in the header has no pixels
    std::string info(shape.infoSize, '\0');
    PutLe(info, 0, shape.infoSize, 4);
    if (core) {
        PutLe(info, 4, shape.width, 2);
        PutLe(info, 6, shape.height, 2);
        PutLe(info, 8, shape.planes, 2);
        PutLe(info, 10, shape.bitCount, 2);
    } else {
        PutLe(info, 4, static_cast<uint32_t>(shape.width), 4);
        PutLe(info, 8, static_cast<uint32_t>(shape.height), 4);
        PutLe(info, 12, shape.planes, 2);
        PutLe(info, 14, shape.bitCount, 2);
        PutLe(info, 16, shape.compression, 4);
        PutLe(info, 32, shape.colorsUsed, 4);
    }
    std::string tables;
    if (shape.compression == 3 && shape.infoSize == 40)
        tables = std::string("\x00\xF8\x00\x00\xE0\x07\x00\x00\x1F\x00\x00\x00", 12);
    const uint32_t colors = shape.colorsUsed ? shape.colorsUsed : shape.bitCount <= 8 ? 1u << shape.bitCount : 0;
    for (uint32_t i = 0; i < colors; ++i)
        tables += core ? std::string("\x10\x20\x30", 3) : std::string("\x10\x20\x30\x00", 4);

    std::string pixels;
    if (shape.compression == 1 || shape.compression == 2) {
        // Each row one run of colour 0 (split at 255 pixels), then end of line; end of picture.
        for (int row = 0; row < rows; ++row) {
            for (int left = columns; left > 0; left -= 255)
                pixels += {static_cast<char>(left > 255 ? 255 : left), '\0'};
            pixels += std::string("\0\0", 2);
        }
        pixels += std::string("\0\1", 2);
        PutLe(info, 20, static_cast<uint32_t>(pixels.size()), 4);
    } else {
        const size_t stride = (static_cast<size_t>(columns) * shape.bitCount + 31) / 32 * 4;
        std::string row(stride, '\0');
        if (shape.bitCount == 24) {
            for (int x = 0; x < columns; ++x) {
                row[3 * x] = static_cast<char>(shape.colorRgb & 0xFF);
                row[3 * x + 1] = static_cast<char>(shape.colorRgb >> 8 & 0xFF);
                row[3 * x + 2] = static_cast<char>(shape.colorRgb >> 16 & 0xFF);
            }
        }
        for (int y = 0; y < rows; ++y)
            pixels += row;
    }

    std::string file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    const size_t offset = 14 + info.size() + tables.size();
    PutLe(file, 10, static_cast<uint32_t>(offset), 4);
    file += info + tables + pixels + shape.trailer;
    PutLe(file, 2, static_cast<uint32_t>(file.size()), 4);
    file.resize(file.size() - shape.cutBytes);
    return file;
}

}  // namespace lumaforge::test
