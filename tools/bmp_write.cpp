// bmp_write.cpp -- bitmap file encoder. Rows are stored bottom row first.
#include "tools/bmp_write.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr std::uint32_t BMP_FILE_HEADER_SIZE = 14;
constexpr std::uint32_t BMP_INFO_HEADER_SIZE = 40;
constexpr std::uint32_t BMP_CORE_HEADER_SIZE = 12;
constexpr std::uint32_t BMP_COMPRESSION_RLE8 = 1;
constexpr int BMP_RUN_MAX = 255;

void Put16(std::vector<std::uint8_t>* out, std::uint32_t value) {
    out->push_back(static_cast<std::uint8_t>(value & 0xFF));
    out->push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>* out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void Patch32(std::vector<std::uint8_t>* out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; i++) {
        (*out)[at + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
    }
}

bool SameColor(BmpColor a, BmpColor b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

int NearestEntry(const std::vector<BmpColor>& table, BmpColor c) {
    int best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < table.size(); i++) {
        long dr = static_cast<long>(table[i].r) - c.r;
        long dg = static_cast<long>(table[i].g) - c.g;
        long db = static_cast<long>(table[i].b) - c.b;
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// The picture's own colours, in order of first appearance, or none if there
// are more than `limit`.
std::vector<BmpColor> ExactTable(const BmpPicture& picture, std::size_t limit) {
    std::vector<BmpColor> table;
    for (const BmpColor& c : picture.pixels) {
        bool known = false;
        for (const BmpColor& t : table) {
            if (SameColor(t, c)) {
                known = true;
                break;
            }
        }
        if (!known) {
            if (table.size() == limit) {
                return {};
            }
            table.push_back(c);
        }
    }
    return table;
}

// Colour-table indices of the picture, bottom row first.
std::vector<int> IndexRows(const BmpPicture& picture, const std::vector<BmpColor>& table) {
    std::vector<int> indices(picture.pixels.size());
    for (int row = 0; row < picture.height; row++) {
        int source = (picture.height - 1 - row) * picture.width;
        for (int x = 0; x < picture.width; x++) {
            indices[row * picture.width + x] = NearestEntry(table, picture.pixels[source + x]);
        }
    }
    return indices;
}

void PadRow(std::vector<std::uint8_t>* out, std::size_t rowStart) {
    while ((out->size() - rowStart) % 4 != 0) {
        out->push_back(0);
    }
}

void PutRows24(std::vector<std::uint8_t>* out, const BmpPicture& picture) {
    for (int row = picture.height - 1; row >= 0; row--) {
        std::size_t rowStart = out->size();
        for (int x = 0; x < picture.width; x++) {
            const BmpColor& c = picture.pixels[row * picture.width + x];
            out->push_back(c.b);
            out->push_back(c.g);
            out->push_back(c.r);
        }
        PadRow(out, rowStart);
    }
}

void PutRowsIndexed(std::vector<std::uint8_t>* out, const BmpPicture& picture,
                    const std::vector<int>& indices, int bits) {
    for (int row = 0; row < picture.height; row++) {
        std::size_t rowStart = out->size();
        const int* line = &indices[row * picture.width];
        if (bits == 8) {
            for (int x = 0; x < picture.width; x++) {
                out->push_back(static_cast<std::uint8_t>(line[x]));
            }
        } else {
            for (int x = 0; x < picture.width; x += 2) {
                int high = line[x];
                int low = x + 1 < picture.width ? line[x + 1] : 0;
                out->push_back(static_cast<std::uint8_t>((high << 4) | low));
            }
        }
        PadRow(out, rowStart);
    }
}

// Encoded runs only, each row closed by an end-of-line code and the bitmap by
// an end-of-bitmap code.
void PutRowsRle8(std::vector<std::uint8_t>* out, const BmpPicture& picture, const std::vector<int>& indices) {
    for (int row = 0; row < picture.height; row++) {
        const int* line = &indices[row * picture.width];
        int x = 0;
        while (x < picture.width) {
            int run = 1;
            while (x + run < picture.width && run < BMP_RUN_MAX && line[x + run] == line[x]) {
                run++;
            }
            out->push_back(static_cast<std::uint8_t>(run));
            out->push_back(static_cast<std::uint8_t>(line[x]));
            x += run;
        }
        out->push_back(0);
        out->push_back(row + 1 < picture.height ? 0 : 1);
    }
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(const BmpPicture& picture, const BmpFormat& format,
                                    const std::vector<BmpColor>& palette) {
    bool indexed = format.bitsPerPixel != 24;
    bool core = format.header == BMP_CORE_HEADER;
    bool rle = indexed && format.bitsPerPixel == 8 && format.rle8 && !core;
    std::size_t tableLimit = format.bitsPerPixel == 8 ? 256 : 16;

    std::vector<BmpColor> table;
    if (indexed) {
        table = ExactTable(picture, tableLimit);
        if (table.empty()) {
            table = palette;
        }
        if (table.empty() || table.size() > tableLimit) {
            std::fprintf(stderr, "bmp_write: no colour table of at most %zu entries\n", tableLimit);
            std::abort();
        }
        if (core) {
            table.resize(tableLimit, BmpColor{0, 0, 0});
        }
    }

    std::vector<std::uint8_t> out;
    if (format.fileHeader) {
        out.push_back('B');
        out.push_back('M');
        Put32(&out, 0);  // file size, patched below
        Put32(&out, 0);  // reserved
        Put32(&out, 0);  // pixel-data offset, patched below
    }
    std::size_t headerStart = out.size();
    if (core) {
        Put32(&out, BMP_CORE_HEADER_SIZE);
        Put16(&out, static_cast<std::uint32_t>(picture.width));
        Put16(&out, static_cast<std::uint32_t>(picture.height));
        Put16(&out, 1);
        Put16(&out, static_cast<std::uint32_t>(format.bitsPerPixel));
    } else {
        Put32(&out, BMP_INFO_HEADER_SIZE);
        Put32(&out, static_cast<std::uint32_t>(picture.width));
        Put32(&out, static_cast<std::uint32_t>(picture.height));
        Put16(&out, 1);
        Put16(&out, static_cast<std::uint32_t>(format.bitsPerPixel));
        Put32(&out, rle ? BMP_COMPRESSION_RLE8 : 0);
        Put32(&out, 0);     // image size, patched below
        Put32(&out, 2835);  // 72 dots per inch
        Put32(&out, 2835);
        Put32(&out, static_cast<std::uint32_t>(table.size()));
        Put32(&out, 0);
    }
    for (const BmpColor& c : table) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        if (!core) {
            out.push_back(0);
        }
    }

    std::size_t pixelStart = out.size();
    if (!indexed) {
        PutRows24(&out, picture);
    } else if (rle) {
        PutRowsRle8(&out, picture, IndexRows(picture, table));
    } else {
        PutRowsIndexed(&out, picture, IndexRows(picture, table), format.bitsPerPixel);
    }

    if (format.fileHeader) {
        Patch32(&out, 2, static_cast<std::uint32_t>(out.size()));
        Patch32(&out, 10, static_cast<std::uint32_t>(pixelStart));
    }
    if (!core) {
        Patch32(&out, headerStart + 20, static_cast<std::uint32_t>(out.size() - pixelStart));
    }
    return out;
}

bool WriteBmpFile(const std::string& path, const BmpPicture& picture, const BmpFormat& format,
                  const std::vector<BmpColor>& palette) {
    std::vector<std::uint8_t> bytes = EncodeBmp(picture, format, palette);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
