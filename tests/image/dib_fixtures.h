// dib_fixtures.h -- bitmap files built byte by byte in the tests, written to a
// temporary folder, and checks that a decode left nothing behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

struct DibRgb {
    std::uint8_t r, g, b;
    bool operator==(const DibRgb& other) const { return r == other.r && g == other.g && b == other.b; }
};

constexpr DibRgb DIB_BLACK = {0, 0, 0};

// How to lay out one file. Pixel data is passed separately, already encoded.
struct DibLayout {
    bool fileHeader = true;
    bool core = false;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<DibRgb> table;      // entries written behind the header (3 or 4 bytes each)
    std::uint32_t gap = 0;          // bytes of filler between table and pixel data (file header only)
    std::int64_t pixelOffset = -1;  // overrides the offset the file header gives (the data stays put)
    std::int64_t headerSize = -1;   // overrides the header size field; the header is still 12 or 40 bytes
    std::uint32_t extraHeader = 0;  // zero bytes appended to the header (for larger header kinds)
};

Bytes DibBuild(const DibLayout& layout, const Bytes& pixelData);

// The pixel-data offset a file built from layout gives or implies.
std::size_t DibPixelOffset(const DibLayout& layout);
// Offset just behind header and colour table.
std::size_t DibTableEnd(const DibLayout& layout);

// Uncompressed rows, each padded to 4 bytes, in data row order. indices and
// colors are width * rows, row after row.
Bytes DibPackIndices(int bitCount, int width, int rows, const std::vector<int>& indices);
Bytes DibPackColors(int bitCount, int width, int rows, const std::vector<DibRgb>& colors);
// 16-bit 5-5-5 pixels from 5-bit channel values (red, green, blue each 0..31).
Bytes DibPack555(int width, int rows, const std::vector<DibRgb>& fiveBit);

// A colour table of `count` different colours.
std::vector<DibRgb> DibTestPalette(int count);

// The decoded pixels of an image as colours, row after row.
std::vector<DibRgb> DibPixels(const unsigned char* pixels, int width, int rows);

// A fresh folder under /tmp, removed with everything in it by DibRemoveTree.
std::string DibMakeTempDir();
void DibRemoveTree(const std::string& dir);
std::string DibWriteFile(const std::string& dir, const std::string& name, const Bytes& bytes);

// Open descriptors of this process, and whether any mapping of it names a
// file under dir.
int DibOpenDescriptorCount();
bool DibMapsMention(const std::string& dir);
