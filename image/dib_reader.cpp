// dib_reader.cpp -- reads one bitmap file into a packed 24-bit RGB image.
//
// The file is mapped whole. Its bitmap header (core or info, with or without
// the 14-byte file header in front) and its colour table are brought into one
// working form, a 40-byte info header followed by 4-byte colour entries; the
// platform converts the pixel data into a 24-bit section, and the rows are
// copied out with red and blue swapped and the row padding dropped.
//
// Every field is read byte by byte, little-endian: the file gives no alignment.
// Nothing is read before it is known to lie inside the file.
#include "image/image.h"

#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

static const char* const DIB_TEXT_OUT_OF_MEMORY = "Out of memory.";
static const char* const DIB_TEXT_UNKNOWN_FORMAT = "Unknown DIB file format.";
static const char* const DIB_TEXT_CONVERSION = "Image file conversion error.";
static const char* const DIB_CAPTION = "Error";

constexpr std::size_t DIB_FILE_HEADER_SIZE = 14;
constexpr DWORD DIB_CORE_HEADER_SIZE = 12;
constexpr DWORD DIB_INFO_HEADER_SIZE = 40;
constexpr DWORD DIB_MAX_COLORS_USED = 0xFFFF;

// Bitmaps beyond these bounds are far larger than any texture and are refused
// before anything is made for them.
constexpr std::int64_t DIB_MAX_SIDE = 16384;
constexpr std::uint64_t DIB_MAX_OUTPUT_BYTES = std::uint64_t{256} << 20;

// The open-failure text is at most 255 characters: 26 of its own plus at most
// 229 of the path, so a longer path is cut and the text keeps its ending.
constexpr int DIB_MESSAGE_SIZE = 256;
constexpr std::size_t DIB_MAX_PATH_SHOWN = 229;

// Everything one call holds, so that the clean-up can release exactly what exists.
struct DibDecode {
    const char* path;
    HANDLE file;
    HANDLE mapping;
    const BYTE* view;
    BITMAPINFO* working;
    BITMAPINFO* target;
    HDC memoryDc;
    HBITMAP section;
    unsigned char* pixels;
    RgbImage* image;
    bool openFailed;
};

static WORD DibReadU16(const BYTE* p) {
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

static DWORD DibReadU32(const BYTE* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}

// Shows one of the reader's failures, owned by the window with the focus.
static void DibFail(const char* text) {
    MessageBoxA(GetFocus(), text, DIB_CAPTION, MB_OK);
}

// True when the bitmap header starting at `at` lies inside the file as far as
// it is read: its size field, then the whole of a core header, or for every
// other kind the 40 bytes that an info header has (the colour count looks at
// its bits-per-pixel and colours-used fields whatever the size says).
static bool DibHeaderInFile(const BYTE* view, std::size_t fileSize, std::size_t at) {
    if (fileSize < at || fileSize - at < 4) return false;
    std::size_t read =
        DibReadU32(view + at) == DIB_CORE_HEADER_SIZE ? DIB_CORE_HEADER_SIZE : DIB_INFO_HEADER_SIZE;
    return fileSize - at >= read;
}

// True when `entries` colour entries of `entrySize` bytes starting at `at` lie
// inside the file.
static bool DibTableInFile(std::size_t fileSize, std::size_t at, std::size_t entries, std::size_t entrySize) {
    return at <= fileSize && entries * entrySize <= fileSize - at;
}

std::uint16_t DibColorCount(const unsigned char* header) {
    WORD bitCount;
    if (DibReadU32(header) == DIB_CORE_HEADER_SIZE) {
        bitCount = DibReadU16(header + 10);
    } else {
        DWORD colorsUsed = DibReadU32(header + 32);
        if (colorsUsed != 0) return static_cast<std::uint16_t>(colorsUsed);
        bitCount = DibReadU16(header + 14);
    }
    switch (bitCount) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

// Core header: 16-bit sizes, 3-byte colour entries; what it lacks becomes 0,
// and the table it implies is announced as used and important.
static void DibFillFromCore(BITMAPINFO* working, const BYTE* header, WORD colors) {
    BITMAPINFOHEADER& info = working->bmiHeader;
    info.biSize = DIB_INFO_HEADER_SIZE;
    info.biWidth = DibReadU16(header + 4);
    info.biHeight = DibReadU16(header + 6);
    info.biPlanes = DibReadU16(header + 8);
    info.biBitCount = DibReadU16(header + 10);
    info.biCompression = BI_RGB;
    info.biSizeImage = 0;
    info.biXPelsPerMeter = 0;
    info.biYPelsPerMeter = 0;
    info.biClrUsed = colors;
    info.biClrImportant = colors;
    const BYTE* in = header + DIB_CORE_HEADER_SIZE;
    BYTE* out = reinterpret_cast<BYTE*>(working) + DIB_INFO_HEADER_SIZE;
    for (WORD i = 0; i < colors; i++) {
        out[4 * i] = in[3 * i];
        out[4 * i + 1] = in[3 * i + 1];
        out[4 * i + 2] = in[3 * i + 2];
        out[4 * i + 3] = 0;
    }
}

// Info header: the ten fields and the colour entries as they stand.
static void DibFillFromInfo(BITMAPINFO* working, const BYTE* header, WORD colors) {
    BITMAPINFOHEADER& info = working->bmiHeader;
    info.biSize = DibReadU32(header);
    info.biWidth = static_cast<LONG>(DibReadU32(header + 4));
    info.biHeight = static_cast<LONG>(DibReadU32(header + 8));
    info.biPlanes = DibReadU16(header + 12);
    info.biBitCount = DibReadU16(header + 14);
    info.biCompression = DibReadU32(header + 16);
    info.biSizeImage = DibReadU32(header + 20);
    info.biXPelsPerMeter = static_cast<LONG>(DibReadU32(header + 24));
    info.biYPelsPerMeter = static_cast<LONG>(DibReadU32(header + 28));
    info.biClrUsed = DibReadU32(header + 32);
    info.biClrImportant = DibReadU32(header + 36);
    std::memcpy(reinterpret_cast<BYTE*>(working) + DIB_INFO_HEADER_SIZE, header + DIB_INFO_HEADER_SIZE,
                std::size_t{4} * colors);
}

// Copies the section's rows (blue, green, red, padded to 4 bytes) into packed
// red, green, blue rows. A top-down bitmap is turned over on the way, so the
// output is always bottom row first.
static void DibCopyOut(const BYTE* section, unsigned char* out, LONG width, LONG rows, bool topDown) {
    std::size_t inStride = 3 * static_cast<std::size_t>(width) + (width & 3);
    std::size_t outStride = 3 * static_cast<std::size_t>(width);
    for (LONG row = 0; row < rows; row++) {
        const BYTE* in = section + row * inStride;
        unsigned char* o = out + (topDown ? rows - 1 - row : row) * outStride;
        LONG x = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        // Four pixels at a time, as three 32-bit words in and three out: this
        // copy is most of the time a decode takes.
        for (; x + 4 <= width; x += 4) {
            std::uint32_t a, b, c;
            std::memcpy(&a, in, 4);      // B0 G0 R0 B1
            std::memcpy(&b, in + 4, 4);  // G1 R1 B2 G2
            std::memcpy(&c, in + 8, 4);  // R2 B3 G3 R3
            std::uint32_t oa =
                ((a >> 16) & 0xFF) | (a & 0xFF00) | ((a & 0xFF) << 16) | (((b >> 8) & 0xFF) << 24);
            std::uint32_t ob = (b & 0xFF) | ((a >> 24) << 8) | ((c & 0xFF) << 16) | (b & 0xFF000000u);
            std::uint32_t oc =
                ((b >> 16) & 0xFF) | ((c >> 24) << 8) | (c & 0xFF0000) | (((c >> 8) & 0xFF) << 24);
            std::memcpy(o, &oa, 4);
            std::memcpy(o + 4, &ob, 4);
            std::memcpy(o + 8, &oc, 4);
            o += 12;
            in += 12;
        }
#endif
        for (; x < width; x++) {
            o[0] = in[2];
            o[1] = in[1];
            o[2] = in[0];
            o += 3;
            in += 3;
        }
    }
}

// Steps 1 to 16; a failure shows its message (the open failures excepted) and
// returns, leaving the clean-up to the caller.
static void DibDecodeSteps(DibDecode* d) {
    // 1. Open the file for reading.
    d->file = CreateFileA(d->path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (d->file == INVALID_HANDLE_VALUE) {
        d->openFailed = true;
        return;
    }

    // 2. A read-only mapping of the whole file; an empty file has none.
    d->mapping = CreateFileMappingA(d->file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (d->mapping == nullptr) {
        d->openFailed = true;
        return;
    }

    // 3. A view of all of it.
    d->view = static_cast<const BYTE*>(MapViewOfFile(d->mapping, FILE_MAP_READ, 0, 0, 0));
    if (d->view == nullptr) {
        d->openFailed = true;
        return;
    }
    const BYTE* view = d->view;
    std::size_t fileSize = MappedViewSize(view);

    // 4. "BM" in front marks the file header, which says where the pixel data
    // starts; otherwise the bitmap header starts the file.
    std::size_t headerAt = 0;
    std::size_t bitsAt = 0;
    bool bitsKnown = false;
    if (fileSize >= 2 && view[0] == 'B' && view[1] == 'M') {
        if (fileSize < DIB_FILE_HEADER_SIZE) {
            DibFail(DIB_TEXT_UNKNOWN_FORMAT);
            return;
        }
        headerAt = DIB_FILE_HEADER_SIZE;
        bitsAt = DibReadU32(view + 10);
        bitsKnown = true;
    }
    if (!DibHeaderInFile(view, fileSize, headerAt)) {
        DibFail(DIB_TEXT_UNKNOWN_FORMAT);
        return;
    }
    const BYTE* header = view + headerAt;
    DWORD headerSize = DibReadU32(header);

    // 5. The number of colour entries, whatever kind of header this is.
    WORD colors = DibColorCount(header);

    // 6. The working header with room for them.
    d->working =
        static_cast<BITMAPINFO*>(LocalAlloc(LMEM_FIXED, DIB_INFO_HEADER_SIZE + std::size_t{4} * colors));
    if (d->working == nullptr) {
        DibFail(DIB_TEXT_OUT_OF_MEMORY);
        return;
    }

    // 7. Fill it by the kind of header. The colour table must lie inside the
    // file, and an info header may not announce more colours than the working
    // header can hold.
    std::size_t tableAt = headerAt + headerSize;
    std::size_t entrySize;
    if (headerSize == DIB_CORE_HEADER_SIZE) {
        entrySize = 3;
        if (!DibTableInFile(fileSize, tableAt, colors, entrySize)) {
            DibFail(DIB_TEXT_UNKNOWN_FORMAT);
            return;
        }
        DibFillFromCore(d->working, header, colors);
    } else if (headerSize == DIB_INFO_HEADER_SIZE) {
        entrySize = 4;
        if (DibReadU32(header + 32) > DIB_MAX_COLORS_USED ||
            !DibTableInFile(fileSize, tableAt, colors, entrySize)) {
            DibFail(DIB_TEXT_UNKNOWN_FORMAT);
            return;
        }
        DibFillFromInfo(d->working, header, colors);
    } else {
        DibFail(DIB_TEXT_UNKNOWN_FORMAT);
        return;
    }
    BITMAPINFOHEADER& working = d->working->bmiHeader;

    // 8. Without a file header the pixel data follows the colour table.
    if (!bitsKnown) bitsAt = tableAt + entrySize * colors;

    // 9. Fill in an image size and a colours-used value of 0.
    bool sizeGiven = working.biSizeImage != 0;
    if (working.biSizeImage == 0) {
        working.biSizeImage = (static_cast<DWORD>(working.biWidth) * working.biBitCount + 7) / 8 *
                              static_cast<DWORD>(working.biHeight);
    }
    if (working.biClrUsed == 0) working.biClrUsed = colors;

    // The picture must have a size, one that a texture can have, and all its
    // pixel data must be in the file. Run-length data is read no further than
    // the image size, which therefore may not reach past the end of the file:
    // a size the file gives is held to that, one worked out here is cut to it.
    std::int64_t width = working.biWidth;
    std::int64_t rows = working.biHeight < 0 ? -std::int64_t{working.biHeight} : working.biHeight;
    if (width <= 0 || rows == 0) {
        DibFail(DIB_TEXT_UNKNOWN_FORMAT);
        return;
    }
    if (width > DIB_MAX_SIDE || rows > DIB_MAX_SIDE ||
        static_cast<std::uint64_t>(width * rows * 3) > DIB_MAX_OUTPUT_BYTES) {
        DibFail(DIB_TEXT_OUT_OF_MEMORY);
        return;
    }
    if (bitsAt > fileSize) {
        DibFail(DIB_TEXT_CONVERSION);
        return;
    }
    std::size_t bitsInFile = fileSize - bitsAt;
    if (working.biCompression == BI_RLE8 || working.biCompression == BI_RLE4) {
        if (sizeGiven && working.biSizeImage > bitsInFile) {
            DibFail(DIB_TEXT_CONVERSION);
            return;
        }
    } else if (working.biCompression == BI_RGB) {
        std::uint64_t stride = (static_cast<std::uint64_t>(width) * working.biBitCount + 31) / 32 * 4;
        if (stride * static_cast<std::uint64_t>(rows) > bitsInFile) {
            DibFail(DIB_TEXT_CONVERSION);
            return;
        }
    }
    if (working.biSizeImage > bitsInFile) working.biSizeImage = static_cast<DWORD>(bitsInFile);

    // 10. A memory device context for the conversion.
    d->memoryDc = CreateCompatibleDC(nullptr);
    if (d->memoryDc == nullptr) {
        DibFail(DIB_TEXT_OUT_OF_MEMORY);
        return;
    }

    // 11. The header of the 24-bit section: same size, packed image size.
    d->target = static_cast<BITMAPINFO*>(LocalAlloc(LMEM_ZEROINIT, sizeof(BITMAPINFOHEADER)));
    if (d->target == nullptr) {
        DibFail(DIB_TEXT_OUT_OF_MEMORY);
        return;
    }
    BITMAPINFOHEADER& target = d->target->bmiHeader;
    target.biSize = DIB_INFO_HEADER_SIZE;
    target.biWidth = working.biWidth;
    target.biHeight = working.biHeight;
    target.biPlanes = 1;
    target.biBitCount = 24;
    target.biCompression = BI_RGB;
    target.biSizeImage = static_cast<DWORD>(rows * width * 3);

    // 12. The section itself.
    void* sectionBits = nullptr;
    d->section = CreateDIBSection(d->memoryDc, d->target, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
    if (d->section == nullptr) {
        DibFail(DIB_TEXT_OUT_OF_MEMORY);
        return;
    }

    // 13. Select it into the device context.
    if (SelectObject(d->memoryDc, d->section) == nullptr) {
        DibFail(DIB_TEXT_OUT_OF_MEMORY);
        return;
    }

    // 14. Convert every row of the pixel data into the section.
    if (SetDIBits(d->memoryDc, d->section, 0, static_cast<UINT>(rows), view + bitsAt, d->working,
                  DIB_RGB_COLORS) == 0) {
        DibFail(DIB_TEXT_CONVERSION);
        return;
    }
    GdiFlush();

    // 15. The output buffer, filled from the section.
    d->pixels = static_cast<unsigned char*>(std::malloc(target.biSizeImage));
    if (d->pixels == nullptr) {
        DibFail(DIB_TEXT_OUT_OF_MEMORY);
        return;
    }
    DibCopyOut(static_cast<const BYTE*>(sectionBits), d->pixels, working.biWidth, static_cast<LONG>(rows),
               working.biHeight < 0);

    // 16. The record.
    d->image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
    if (d->image == nullptr) {
        DibFail(DIB_TEXT_OUT_OF_MEMORY);
        return;
    }
    d->image->width = working.biWidth;
    d->image->height = static_cast<std::int32_t>(rows);
    d->image->pixels = d->pixels;
}

// Releases what the call made, in this order: the device context (the section
// is still selected into it), the section, both headers, the view, the
// mapping, the file.
static void DibCleanUp(DibDecode* d) {
    if (d->memoryDc != nullptr) DeleteDC(d->memoryDc);
    if (d->section != nullptr) DeleteObject(d->section);
    if (d->target != nullptr) LocalFree(d->target);
    if (d->working != nullptr) LocalFree(d->working);
    if (d->view != nullptr) UnmapViewOfFile(d->view);
    if (d->mapping != nullptr) CloseHandle(d->mapping);
    if (d->file != INVALID_HANDLE_VALUE) CloseHandle(d->file);
}

// Tells that the file could not be opened. A path too long for the text is
// cut, never in the middle of a UTF-8 character.
static void DibShowOpenFailure(const char* path) {
    std::size_t shown = std::strlen(path);
    if (shown > DIB_MAX_PATH_SHOWN) {
        shown = DIB_MAX_PATH_SHOWN;
        while (shown > 0 && (static_cast<unsigned char>(path[shown]) & 0xC0) == 0x80) shown--;
    }
    char text[DIB_MESSAGE_SIZE];
    std::snprintf(text, sizeof text, "Failed to open DIB file %.*s.\n", static_cast<int>(shown), path);
    DibFail(text);
}

RgbImage* DecodeDibFile(const char* path) {
    if (path == nullptr) return nullptr;
    DibDecode d = {};
    d.path = path;
    d.file = INVALID_HANDLE_VALUE;

    DibDecodeSteps(&d);

    // 17. Release everything the call made for its own work.
    DibCleanUp(&d);

    // 18. Without a record the pixel buffer goes too; an open failure is told
    // only now that the file is released.
    if (d.image == nullptr) {
        std::free(d.pixels);
        if (d.openFailed) DibShowOpenFailure(path);
    }

    // 19.
    return d.image;
}

// A file that cannot be opened for reading is skipped without a word.
RgbImage* LoadImageFile(const char* path) {
    if (path == nullptr) return nullptr;
    FILE* file = std::fopen(path, "r");
    if (file == nullptr) return nullptr;
    std::fclose(file);
    return DecodeDibFile(path);
}
