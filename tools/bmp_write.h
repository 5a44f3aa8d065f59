// bmp_write.h -- writes device-independent bitmap files in the encodings the
// texture reader takes: 24-bit, or 4- and 8-bit with a colour table (8-bit
// optionally run-length encoded); a 40-byte info header or a 12-byte core
// header; with or without the 14-byte file header in front. Used by the
// texture generator and by tests that need bitmap files on disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BmpColor {
    std::uint8_t r, g, b;
};

// A picture to write: width * height colours, top row first.
struct BmpPicture {
    int width;
    int height;
    std::vector<BmpColor> pixels;
};

enum BmpHeaderKind {
    BMP_INFO_HEADER,  // 40 bytes
    BMP_CORE_HEADER,  // 12 bytes, 3-byte colour entries, no compression
};

struct BmpFormat {
    int bitsPerPixel;  // 24, 8 or 4
    BmpHeaderKind header;
    bool fileHeader;  // the 14-byte "BM" header in front
    bool rle8;        // 8-bit info header only: run-length encoded rows
};

// The whole file as bytes. For 4 and 8 bits a colour table is built from the
// picture's own colours when they fit; otherwise `palette` (at most 16 or
// 256 entries) is used and every pixel takes its nearest entry. A core header
// always carries the full 16 or 256 entries, as its readers expect.
std::vector<std::uint8_t> EncodeBmp(const BmpPicture& picture, const BmpFormat& format,
                                    const std::vector<BmpColor>& palette);
// EncodeBmp, written to path; false when the file cannot be written.
bool WriteBmpFile(const std::string& path, const BmpPicture& picture, const BmpFormat& format,
                  const std::vector<BmpColor>& palette);
