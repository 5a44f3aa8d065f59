#include "tests/image/dib_fixtures.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

static void Put16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

static void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::size_t DibTableEnd(const DibLayout& layout) {
    std::size_t header = (layout.core ? 12 : 40) + layout.extraHeader;
    return (layout.fileHeader ? 14 : 0) + header + layout.table.size() * (layout.core ? 3 : 4);
}

std::size_t DibPixelOffset(const DibLayout& layout) {
    if (layout.fileHeader && layout.pixelOffset >= 0) return static_cast<std::size_t>(layout.pixelOffset);
    return DibTableEnd(layout) + (layout.fileHeader ? layout.gap : 0);
}

Bytes DibBuild(const DibLayout& layout, const Bytes& pixelData) {
    Bytes out;
    std::size_t dataAt = DibPixelOffset(layout);
    if (layout.fileHeader) {
        out.push_back('B');
        out.push_back('M');
        Put32(out, static_cast<std::uint32_t>(DibTableEnd(layout) + layout.gap + pixelData.size()));
        Put16(out, 0);
        Put16(out, 0);
        Put32(out, static_cast<std::uint32_t>(dataAt));
    }
    if (layout.core) {
        Put32(out, layout.headerSize >= 0 ? static_cast<std::uint32_t>(layout.headerSize) : 12);
        Put16(out, static_cast<std::uint32_t>(layout.width));
        Put16(out, static_cast<std::uint32_t>(layout.height));
        Put16(out, 1);
        Put16(out, layout.bitCount);
    } else {
        Put32(out, layout.headerSize >= 0 ? static_cast<std::uint32_t>(layout.headerSize) : 40);
        Put32(out, static_cast<std::uint32_t>(layout.width));
        Put32(out, static_cast<std::uint32_t>(layout.height));
        Put16(out, 1);
        Put16(out, layout.bitCount);
        Put32(out, layout.compression);
        Put32(out, layout.sizeImage);
        Put32(out, 2835);
        Put32(out, 2835);
        Put32(out, layout.colorsUsed);
        Put32(out, 0);
    }
    out.insert(out.end(), layout.extraHeader, 0);
    for (const DibRgb& c : layout.table) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        if (!layout.core) out.push_back(0x5A);  // the fourth byte is never looked at
    }
    if (layout.fileHeader) out.insert(out.end(), layout.gap, 0xEE);
    out.insert(out.end(), pixelData.begin(), pixelData.end());
    return out;
}

static std::size_t RowBytes(int bitCount, int width) {
    return (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
}

Bytes DibPackIndices(int bitCount, int width, int rows, const std::vector<int>& indices) {
    std::size_t stride = RowBytes(bitCount, width);
    Bytes out(stride * rows, 0);
    for (int y = 0; y < rows; y++) {
        for (int x = 0; x < width; x++) {
            int index = indices[y * width + x];
            std::size_t bit =
                static_cast<std::size_t>(x) * bitCount;  // from the row's first byte, high bit first
            std::uint8_t& byte = out[y * stride + bit / 8];
            int shift = 8 - bitCount - static_cast<int>(bit % 8);
            byte |= static_cast<std::uint8_t>(index << shift);
        }
    }
    return out;
}

Bytes DibPackColors(int bitCount, int width, int rows, const std::vector<DibRgb>& colors) {
    std::size_t stride = RowBytes(bitCount, width);
    Bytes out(stride * rows, 0x77);  // padding of any value must be skipped
    int bytesPerPixel = bitCount / 8;
    for (int y = 0; y < rows; y++) {
        for (int x = 0; x < width; x++) {
            std::uint8_t* p = &out[y * stride + x * bytesPerPixel];
            const DibRgb& c = colors[y * width + x];
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
            if (bytesPerPixel == 4) p[3] = 0xA5;
        }
    }
    return out;
}

Bytes DibPack555(int width, int rows, const std::vector<DibRgb>& fiveBit) {
    std::size_t stride = RowBytes(16, width);
    Bytes out(stride * rows, 0);
    for (int y = 0; y < rows; y++) {
        for (int x = 0; x < width; x++) {
            const DibRgb& c = fiveBit[y * width + x];
            // The unused top bit is set: it must not leak into red.
            std::uint32_t value = 0x8000u | (c.r << 10) | (c.g << 5) | c.b;
            out[y * stride + 2 * x] = static_cast<std::uint8_t>(value);
            out[y * stride + 2 * x + 1] = static_cast<std::uint8_t>(value >> 8);
        }
    }
    return out;
}

std::vector<DibRgb> DibTestPalette(int count) {
    std::vector<DibRgb> table;
    for (int i = 0; i < count; i++) {
        // 37 is odd, so red alone already tells all 256 entries apart.
        table.push_back(DibRgb{static_cast<std::uint8_t>(i * 37 + 5), static_cast<std::uint8_t>(255 - i * 11),
                               static_cast<std::uint8_t>(i * 3 + 1)});
    }
    return table;
}

std::vector<DibRgb> DibPixels(const unsigned char* pixels, int width, int rows) {
    std::vector<DibRgb> out;
    for (int i = 0; i < width * rows; i++)
        out.push_back(DibRgb{pixels[3 * i], pixels[3 * i + 1], pixels[3 * i + 2]});
    return out;
}

std::string DibMakeTempDir() {
    char name[] = "/tmp/tessavine-image-XXXXXX";
    if (mkdtemp(name) == nullptr) throw std::runtime_error("mkdtemp failed");
    return name;
}

void DibRemoveTree(const std::string& dir) {
    std::error_code error;
    std::filesystem::remove_all(dir, error);
}

std::string DibWriteFile(const std::string& dir, const std::string& name, const Bytes& bytes) {
    std::string path = dir + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

int DibOpenDescriptorCount() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) return -1;
    while (readdir(dir) != nullptr) count++;
    closedir(dir);
    return count;
}

bool DibMapsMention(const std::string& dir) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find(dir) != std::string::npos) return true;
    }
    return false;
}
