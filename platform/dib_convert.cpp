// dib_convert.cpp -- memory device contexts, 24-bit DIB sections and the
// conversion of device-independent bitmap data into them.
//
// A section's memory holds rows of blue, green, red pixels, each row padded to
// a multiple of 4 bytes, in the row order of the data converted into it. It
// starts out black (zero-filled); conversion overwrites what the data covers.
//
// Sources understood by SetDIBits, all with BI_RGB unless named:
//   1, 4, 8 bits  colour-table indices, most significant bits first; an index
//                 beyond the table gives black
//   16 bits       5-5-5 blue in the low bits, top bit unused; 5 bits widen to 8
//                 by repeating their top bits, so 31 becomes 255
//   24 bits       blue, green, red
//   32 bits       blue, green, red, unused
//   BI_RLE8       8 bits, run-length encoded
//   BI_RLE4       4 bits, run-length encoded
// Run-length data: runs and absolute runs that reach past the end of a row are
// clipped there (the rest of the run is dropped, not wrapped); after a delta
// past the row end, pixels up to the next end of line are dropped; a delta or
// end of line past the last row ends the decoding, and so does running out of
// data without an end-of-bitmap code.
// Pixels the data never reaches are left as they were: black in a new section.
#include "platform/platform_internal.h"
#include "platform/platform_test.h"

#include <cstdlib>
#include <cstring>

struct PlatformDibSection {
    LONG width;
    LONG rows;                            // the height without its sign
    std::size_t stride;                   // bytes a row, a multiple of 4
    BYTE* bits;                           // rows * stride bytes
    PlatformDeviceContext* selectedInto;  // none while not selected
};

// Generous handle tables, like the desktop's GDI handle limits: the program
// holds one memory device context and one section at a time.
constexpr int PLATFORM_MAX_MEMORY_DCS = 16;
constexpr int PLATFORM_MAX_DIB_SECTIONS = 64;

static PlatformDeviceContext* g_memoryDcs[PLATFORM_MAX_MEMORY_DCS];
static PlatformDibSection* g_dibSections[PLATFORM_MAX_DIB_SECTIONS];

// What a new memory device context holds until a section is selected into it:
// a stand-in for the desktop's one-pixel stock bitmap. It is never deleted.
static PlatformDibSection g_stockBitmap = {1, 1, 4, nullptr, nullptr};

static int PlatformFindMemoryDc(HDC deviceContext) {
    if (deviceContext == nullptr) return -1;
    for (int i = 0; i < PLATFORM_MAX_MEMORY_DCS; i++) {
        if (g_memoryDcs[i] == deviceContext) return i;
    }
    return -1;
}

static int PlatformFindDibSection(HGDIOBJ object) {
    if (object == nullptr) return -1;
    for (int i = 0; i < PLATFORM_MAX_DIB_SECTIONS; i++) {
        if (g_dibSections[i] == object) return i;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// Device contexts and sections
// ---------------------------------------------------------------------------

HDC CreateCompatibleDC(HDC) {
    for (int i = 0; i < PLATFORM_MAX_MEMORY_DCS; i++) {
        if (g_memoryDcs[i] != nullptr) continue;
        PlatformDeviceContext* dc =
            static_cast<PlatformDeviceContext*>(std::malloc(sizeof(PlatformDeviceContext)));
        if (dc == nullptr) return nullptr;
        dc->window = nullptr;
        dc->selected = &g_stockBitmap;
        g_memoryDcs[i] = dc;
        return dc;
    }
    return nullptr;
}

// The section selected into the context is released from it, not deleted.
BOOL DeleteDC(HDC deviceContext) {
    int index = PlatformFindMemoryDc(deviceContext);
    if (index < 0) return FALSE;
    PlatformDibSection* selected = static_cast<PlatformDibSection*>(deviceContext->selected);
    if (selected != &g_stockBitmap) selected->selectedInto = nullptr;
    std::free(deviceContext);
    g_memoryDcs[index] = nullptr;
    return TRUE;
}

// Only 24-bit uncompressed sections in their own memory are made.
HBITMAP CreateDIBSection(HDC, const BITMAPINFO* header, UINT usage, void** bits, HANDLE section,
                         DWORD offset) {
    if (bits != nullptr) *bits = nullptr;
    if (header == nullptr || usage != DIB_RGB_COLORS || section != nullptr || offset != 0) return nullptr;
    const BITMAPINFOHEADER& info = header->bmiHeader;
    if (info.biSize < sizeof(BITMAPINFOHEADER) || info.biBitCount != 24 || info.biCompression != BI_RGB)
        return nullptr;
    if (info.biWidth <= 0 || info.biHeight == 0 || info.biHeight == INT32_MIN) return nullptr;
    LONG rows = info.biHeight < 0 ? -info.biHeight : info.biHeight;
    // At most 2^31 * 3 + 3 bytes a row times 2^31 rows: no overflow in 64 bits.
    std::uint64_t stride = (static_cast<std::uint64_t>(info.biWidth) * 3 + 3) & ~std::uint64_t{3};
    std::uint64_t bytes = stride * static_cast<std::uint64_t>(rows);
    if (bytes > SIZE_MAX) return nullptr;

    int slot = -1;
    for (int i = 0; i < PLATFORM_MAX_DIB_SECTIONS && slot < 0; i++) {
        if (g_dibSections[i] == nullptr) slot = i;
    }
    if (slot < 0) return nullptr;
    PlatformDibSection* dib = static_cast<PlatformDibSection*>(std::malloc(sizeof(PlatformDibSection)));
    if (dib == nullptr) return nullptr;
    dib->bits = static_cast<BYTE*>(std::calloc(1, static_cast<std::size_t>(bytes)));
    if (dib->bits == nullptr) {
        std::free(dib);
        return nullptr;
    }
    dib->width = info.biWidth;
    dib->rows = rows;
    dib->stride = static_cast<std::size_t>(stride);
    dib->selectedInto = nullptr;
    g_dibSections[slot] = dib;
    if (bits != nullptr) *bits = dib->bits;
    return dib;
}

// Returns what the context held before; none on failure. A section can be
// selected into one memory device context at a time.
HGDIOBJ SelectObject(HDC deviceContext, HGDIOBJ object) {
    if (PlatformFindMemoryDc(deviceContext) < 0) return nullptr;
    PlatformDibSection* incoming;
    if (object == &g_stockBitmap) {
        incoming = &g_stockBitmap;
    } else {
        int index = PlatformFindDibSection(object);
        if (index < 0) return nullptr;
        incoming = g_dibSections[index];
        if (incoming->selectedInto != nullptr && incoming->selectedInto != deviceContext) return nullptr;
    }
    PlatformDibSection* previous = static_cast<PlatformDibSection*>(deviceContext->selected);
    if (previous != &g_stockBitmap) previous->selectedInto = nullptr;
    if (incoming != &g_stockBitmap) incoming->selectedInto = deviceContext;
    deviceContext->selected = incoming;
    return previous;
}

// A section still selected into a device context cannot be deleted; the
// stock bitmap is left alone.
BOOL DeleteObject(HGDIOBJ object) {
    if (object == &g_stockBitmap) return TRUE;
    int index = PlatformFindDibSection(object);
    if (index < 0) return FALSE;
    PlatformDibSection* dib = g_dibSections[index];
    if (dib->selectedInto != nullptr) return FALSE;
    std::free(dib->bits);
    std::free(dib);
    g_dibSections[index] = nullptr;
    return TRUE;
}

// Conversion writes straight into the section's memory: nothing is pending.
BOOL GdiFlush() {
    return TRUE;
}

// ---------------------------------------------------------------------------
// Conversion
// ---------------------------------------------------------------------------

// One pixel as it is stored in the section, blue first; the fourth byte is 0.
struct PlatformDibColor {
    BYTE bgr[4];
};

struct PlatformDibTarget {
    BYTE* bits;
    std::size_t stride;
    LONG width;
    LONG firstRow;  // rows outside [firstRow, endRow) are not written
    LONG endRow;
};

// The colour table as it will be written: entries beyond what the header
// holds or announces stay black.
static void PlatformDibPalette(const BITMAPINFO* header, PlatformDibColor palette[256]) {
    std::memset(palette, 0, 256 * sizeof(PlatformDibColor));
    const BITMAPINFOHEADER& info = header->bmiHeader;
    if (info.biBitCount > 8) return;
    DWORD entries = info.biClrUsed != 0 ? info.biClrUsed : (DWORD{1} << info.biBitCount);
    DWORD reachable = DWORD{1} << info.biBitCount;
    if (entries > reachable) entries = reachable;
    const BYTE* table = reinterpret_cast<const BYTE*>(header) + info.biSize;
    for (DWORD i = 0; i < entries; i++) {
        palette[i].bgr[0] = table[4 * i];
        palette[i].bgr[1] = table[4 * i + 1];
        palette[i].bgr[2] = table[4 * i + 2];
    }
}

static inline void PlatformDibPut(BYTE* out, const PlatformDibColor& color) {
    out[0] = color.bgr[0];
    out[1] = color.bgr[1];
    out[2] = color.bgr[2];
}

// Widens a 5-bit channel to 8 bits.
static inline BYTE PlatformDibWiden5(unsigned value) {
    return static_cast<BYTE>((value << 3) | (value >> 2));
}

// Converts one uncompressed row of `width` pixels.
static void PlatformDibConvertRow(const BYTE* in, BYTE* out, LONG width, WORD bitCount,
                                  const PlatformDibColor* palette) {
    switch (bitCount) {
        case 1:
            for (LONG x = 0; x < width; x++) {
                PlatformDibPut(out + 3 * x, palette[(in[x >> 3] >> (7 - (x & 7))) & 1]);
            }
            break;
        case 4:
            for (LONG x = 0; x < width; x++) {
                BYTE pair = in[x >> 1];
                PlatformDibPut(out + 3 * x, palette[(x & 1) ? (pair & 0x0F) : (pair >> 4)]);
            }
            break;
        case 8: {
            // The padding behind the row gives room for a 4-byte store up to
            // the last pixel but one; the last pixel is written byte by byte.
            LONG x = 0;
            for (; x + 1 < width; x++) std::memcpy(out + 3 * x, palette[in[x]].bgr, 4);
            PlatformDibPut(out + 3 * x, palette[in[x]]);
            break;
        }
        case 16:
            for (LONG x = 0; x < width; x++) {
                unsigned value = in[2 * x] | (in[2 * x + 1] << 8);
                out[3 * x] = PlatformDibWiden5(value & 0x1F);
                out[3 * x + 1] = PlatformDibWiden5((value >> 5) & 0x1F);
                out[3 * x + 2] = PlatformDibWiden5((value >> 10) & 0x1F);
            }
            break;
        case 24:
            std::memcpy(out, in, 3 * static_cast<std::size_t>(width));
            break;
        case 32:
            for (LONG x = 0; x < width; x++) {
                out[3 * x] = in[4 * x];
                out[3 * x + 1] = in[4 * x + 1];
                out[3 * x + 2] = in[4 * x + 2];
            }
            break;
    }
}

// Writes `count` pixels of a run starting at column x of data row y, clipped
// to the row and to the rows being converted. color(i) gives the i-th pixel.
template <typename ColorOf>
static void PlatformDibRun(const PlatformDibTarget& target, std::int64_t x, std::int64_t y,
                           std::int64_t count, ColorOf color) {
    if (y < target.firstRow || y >= target.endRow || x >= target.width) return;
    std::int64_t end = x + count < target.width ? x + count : target.width;
    BYTE* row = target.bits + static_cast<std::size_t>(y) * target.stride;
    for (std::int64_t i = x; i < end; i++) PlatformDibPut(row + 3 * i, color(i - x));
}

// Decodes run-length data of `size` bytes; fourBits selects BI_RLE4.
static void PlatformDibDecodeRle(const PlatformDibTarget& target, const BYTE* data, std::size_t size,
                                 bool fourBits, const PlatformDibColor* palette) {
    const BYTE* p = data;
    const BYTE* end = data + size;
    // Wide enough that no amount of data can overflow them.
    std::int64_t x = 0;
    std::int64_t y = 0;
    while (end - p >= 2 && y < target.endRow) {
        BYTE count = p[0];
        BYTE code = p[1];
        p += 2;
        if (count != 0) {
            // A run of one index, or for four bits two indices in turn.
            if (fourBits) {
                PlatformDibRun(target, x, y, count, [&](std::int64_t i) -> const PlatformDibColor& {
                    return palette[(i & 1) ? (code & 0x0F) : (code >> 4)];
                });
            } else {
                PlatformDibRun(target, x, y, count,
                               [&](std::int64_t) -> const PlatformDibColor& { return palette[code]; });
            }
            x += count;
        } else if (code == 0) {  // end of line
            x = 0;
            y++;
        } else if (code == 1) {  // end of bitmap
            break;
        } else if (code == 2) {  // delta: move right and up
            if (end - p < 2) break;
            x += p[0];
            y += p[1];
            p += 2;
        } else {
            // Absolute run of `code` indices, padded to an even number of bytes.
            std::size_t bytes = fourBits ? (code + 1u) / 2 : code;
            std::size_t padded = (bytes + 1) & ~std::size_t{1};
            std::size_t present = static_cast<std::size_t>(end - p);
            std::int64_t pixels = code;
            if (bytes > present) {
                bytes = present;
                pixels =
                    fourBits ? 2 * static_cast<std::int64_t>(present) : static_cast<std::int64_t>(present);
            }
            const BYTE* run = p;
            if (fourBits) {
                PlatformDibRun(target, x, y, pixels, [&](std::int64_t i) -> const PlatformDibColor& {
                    BYTE pair = run[i >> 1];
                    return palette[(i & 1) ? (pair & 0x0F) : (pair >> 4)];
                });
            } else {
                PlatformDibRun(target, x, y, pixels,
                               [&](std::int64_t i) -> const PlatformDibColor& { return palette[run[i]]; });
            }
            x += pixels;
            p += padded < present ? padded : present;
        }
    }
}

int SetDIBits(HDC, HBITMAP bitmap, UINT startLine, UINT lines, const void* bits, const BITMAPINFO* header,
              UINT usage) {
    int index = PlatformFindDibSection(bitmap);
    if (index < 0 || bits == nullptr || header == nullptr || usage != DIB_RGB_COLORS) return 0;
    PlatformDibSection* dib = g_dibSections[index];
    const BITMAPINFOHEADER& info = header->bmiHeader;
    if (info.biSize != sizeof(BITMAPINFOHEADER)) return 0;
    if (info.biWidth != dib->width || info.biHeight == INT32_MIN) return 0;
    LONG rows = info.biHeight < 0 ? -info.biHeight : info.biHeight;
    if (rows != dib->rows || startLine >= static_cast<UINT>(rows)) return 0;
    UINT count = static_cast<UINT>(rows) - startLine;
    if (lines < count) count = lines;
    if (count == 0) return 0;

    WORD bitCount = info.biBitCount;
    bool runLength = info.biCompression == BI_RLE8 || info.biCompression == BI_RLE4;
    if (info.biCompression == BI_RGB) {
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
            bitCount != 32)
            return 0;
    } else if (!(info.biCompression == BI_RLE8 && bitCount == 8) &&
               !(info.biCompression == BI_RLE4 && bitCount == 4)) {
        return 0;
    }

    PlatformDibColor palette[256];
    PlatformDibPalette(header, palette);
    const BYTE* in = static_cast<const BYTE*>(bits);
    if (runLength) {
        PlatformDibTarget target = {dib->bits, dib->stride, dib->width, static_cast<LONG>(startLine),
                                    static_cast<LONG>(startLine + count)};
        PlatformDibDecodeRle(target, in, info.biSizeImage, info.biCompression == BI_RLE4, palette);
    } else {
        std::size_t inStride = ((static_cast<std::size_t>(dib->width) * bitCount + 31) / 32) * 4;
        for (UINT row = 0; row < count; row++) {
            PlatformDibConvertRow(in + row * inStride, dib->bits + (startLine + row) * dib->stride,
                                  dib->width, bitCount, palette);
        }
    }
    return static_cast<int>(count);
}

// For the tests: memory device contexts and sections that exist.
int PlatformLiveGdiObjectCount() {
    int count = 0;
    for (PlatformDeviceContext* dc : g_memoryDcs) count += dc != nullptr;
    for (PlatformDibSection* dib : g_dibSections) count += dib != nullptr;
    return count;
}
