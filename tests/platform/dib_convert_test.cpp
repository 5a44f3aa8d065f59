// Memory device contexts, 24-bit sections and SetDIBits: every source
// encoding, run-length codes and what data that overruns the bitmap does.
#include "platform/platform.h"
#include "platform/platform_test.h"
#include "tests/image/dib_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A section of width x rows selected into a memory device context, released
// in the order the reader uses.
struct Section {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    unsigned char* bits = nullptr;
    std::size_t stride = 0;

    Section(int width, int height) {
        BITMAPINFOHEADER header = {};
        header.biSize = sizeof header;
        header.biWidth = width;
        header.biHeight = height;
        header.biPlanes = 1;
        header.biBitCount = 24;
        dc = CreateCompatibleDC(nullptr);
        void* memory = nullptr;
        bitmap =
            CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &memory, nullptr, 0);
        bits = static_cast<unsigned char*>(memory);
        stride = (3 * static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
        SelectObject(dc, bitmap);
    }
    ~Section() {
        EXPECT_TRUE(DeleteDC(dc));
        EXPECT_TRUE(DeleteObject(bitmap));
    }

    DibRgb At(int x, int row) const {
        const unsigned char* p = bits + row * stride + 3 * x;
        return DibRgb{p[2], p[1], p[0]};
    }
};

// A working header as the reader hands it over: 40 bytes and the table.
struct Header {
    std::vector<unsigned char> bytes;
    BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(bytes.data()); }

    Header(int width, int height, int bitCount, DWORD compression, const std::vector<DibRgb>& table,
           DWORD sizeImage = 0) {
        bytes.assign(40 + 4 * table.size(), 0);
        BITMAPINFOHEADER h = {};
        h.biSize = 40;
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(bitCount);
        h.biCompression = compression;
        h.biSizeImage = sizeImage;
        h.biClrUsed = static_cast<DWORD>(table.size());
        std::memcpy(bytes.data(), &h, 40);
        for (std::size_t i = 0; i < table.size(); i++) {
            bytes[40 + 4 * i] = table[i].b;
            bytes[40 + 4 * i + 1] = table[i].g;
            bytes[40 + 4 * i + 2] = table[i].r;
        }
    }
};

class DibConvertTest : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(PlatformLiveGdiObjectCount(), 0); }
};

TEST_F(DibConvertTest, NewSectionIsBlackWithRowsPaddedToFourBytes) {
    Section section(5, -3);
    ASSERT_NE(section.bits, nullptr);
    for (std::size_t i = 0; i < 16 * 3; i++) ASSERT_EQ(section.bits[i], 0) << i;
}

TEST_F(DibConvertTest, OnlyTwentyFourBitSectionsAreMade) {
    BITMAPINFOHEADER header = {};
    header.biSize = 40;
    header.biWidth = 4;
    header.biHeight = 4;
    header.biPlanes = 1;
    void* bits = reinterpret_cast<void*>(1);
    for (WORD bitCount : {8, 16, 32}) {
        header.biBitCount = bitCount;
        EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                   nullptr, 0),
                  nullptr);
        EXPECT_EQ(bits, nullptr);
    }
    header.biBitCount = 24;
    header.biWidth = 0;
    EXPECT_EQ(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0),
        nullptr);
}

// A selected section is in use: it goes only after its device context.
TEST_F(DibConvertTest, SelectedSectionCannotBeDeletedBeforeItsContext) {
    Section section(2, 2);
    EXPECT_FALSE(DeleteObject(section.bitmap));
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, section.bitmap), nullptr);
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_FALSE(DeleteDC(other));
}

TEST_F(DibConvertTest, SelectionHandsBackWhatWasSelected) {
    BITMAPINFOHEADER header = {};
    header.biSize = 40;
    header.biWidth = 1;
    header.biHeight = 1;
    header.biPlanes = 1;
    header.biBitCount = 24;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap =
        CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, nullptr, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ stock = SelectObject(dc, bitmap);
    EXPECT_NE(stock, nullptr);
    EXPECT_NE(stock, bitmap);
    EXPECT_EQ(SelectObject(dc, stock), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap)) << "no longer selected";
    EXPECT_EQ(SelectObject(nullptr, stock), nullptr);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr) << "deleted";
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(DibConvertTest, UncompressedRowsKeepTheirOrderFromTheStartLine) {
    Section section(2, 4);
    std::vector<DibRgb> table = DibTestPalette(4);
    Header header(2, 4, 8, BI_RGB, table);
    // Two rows of 4 bytes each: indices 1 2 and 3 0.
    const unsigned char data[8] = {1, 2, 9, 9, 3, 0, 9, 9};
    EXPECT_EQ(SetDIBits(section.dc, section.bitmap, 1, 2, data, header.info(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(section.At(0, 0), DIB_BLACK);
    EXPECT_EQ(section.At(0, 1), table[1]);
    EXPECT_EQ(section.At(1, 1), table[2]);
    EXPECT_EQ(section.At(0, 2), table[3]);
    EXPECT_EQ(section.At(1, 2), table[0]);
    EXPECT_EQ(section.At(1, 3), DIB_BLACK);
    // More lines than remain are cut to what remains.
    EXPECT_EQ(SetDIBits(section.dc, section.bitmap, 3, 10, data, header.info(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(section.At(1, 3), table[2]);
}

TEST_F(DibConvertTest, SixteenBitChannelsWidenToFullRange) {
    Section section(4, 1);
    Header header(4, 1, 16, BI_RGB, {});
    // 0x7FFF white, 0x7C00 red, 0x0200 green 16, 0x0001 blue 1.
    const unsigned char data[8] = {0xFF, 0x7F, 0x00, 0x7C, 0x00, 0x02, 0x01, 0x00};
    EXPECT_EQ(SetDIBits(section.dc, section.bitmap, 0, 1, data, header.info(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(section.At(0, 0), (DibRgb{255, 255, 255}));
    EXPECT_EQ(section.At(1, 0), (DibRgb{255, 0, 0}));
    EXPECT_EQ(section.At(2, 0), (DibRgb{0, 132, 0}));
    EXPECT_EQ(section.At(3, 0), (DibRgb{0, 0, 8}));
}

TEST_F(DibConvertTest, ThirtyTwoBitPixelsDropTheirFourthByte) {
    Section section(2, 1);
    Header header(2, 1, 32, BI_RGB, {});
    const unsigned char data[8] = {1, 2, 3, 0xFF, 4, 5, 6, 0xFF};
    EXPECT_EQ(SetDIBits(section.dc, section.bitmap, 0, 1, data, header.info(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(section.At(0, 0), (DibRgb{3, 2, 1}));
    EXPECT_EQ(section.At(1, 0), (DibRgb{6, 5, 4}));
    EXPECT_EQ(section.bits[6], 0) << "padding stays untouched";
}

TEST_F(DibConvertTest, IndexBeyondTheTableIsBlack) {
    Section section(3, 1);
    std::vector<DibRgb> table = DibTestPalette(3);
    Header header(3, 1, 4, BI_RGB, table);
    const unsigned char data[4] = {0x23, 0xF0, 0, 0};
    EXPECT_EQ(SetDIBits(section.dc, section.bitmap, 0, 1, data, header.info(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(section.At(0, 0), table[2]);
    EXPECT_EQ(section.At(1, 0), DIB_BLACK);
    EXPECT_EQ(section.At(2, 0), DIB_BLACK);
}

TEST_F(DibConvertTest, RefusesWhatItCannotConvert) {
    Section section(2, 2);
    const unsigned char data[64] = {};
    struct Refused {
        int width, height, bitCount;
        DWORD compression;
        UINT start;
    } cases[] = {
        {3, 2, 24, BI_RGB, 0},  // another width than the section's
        {2, 3, 24, BI_RGB, 0},  // another height
        {2, 2, 2, BI_RGB, 0},   // no such depth
        {2, 2, 64, BI_RGB, 0},  //
        {2, 2, 16, 3, 0},       // bit fields
        {2, 2, 4, BI_RLE8, 0},  // run-length codes at the wrong depth
        {2, 2, 8, BI_RLE4, 0},  //
        {2, 2, 24, BI_RGB, 2},  // starts past the last row
    };
    for (const Refused& c : cases) {
        Header header(c.width, c.height, c.bitCount, c.compression, {}, 64);
        EXPECT_EQ(SetDIBits(section.dc, section.bitmap, c.start, 2, data, header.info(), DIB_RGB_COLORS), 0)
            << c.width << "x" << c.height << " " << c.bitCount << " bits, compression " << c.compression;
    }
    Header header(2, 2, 24, BI_RGB, {});
    EXPECT_EQ(SetDIBits(section.dc, section.bitmap, 0, 0, data, header.info(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBits(section.dc, section.bitmap, 0, 2, nullptr, header.info(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBits(section.dc, nullptr, 0, 2, data, header.info(), DIB_RGB_COLORS), 0);
}

// ---------------------------------------------------------------------------
// Run-length data
// ---------------------------------------------------------------------------

struct RleCase {
    const char* name;
    bool fourBits;
    int width;
    int height;
    std::vector<unsigned char> data;
    std::size_t size;           // bytes the header allows; 0: all of data
    std::vector<int> expected;  // data row order; -1 where nothing is written
};

// Nothing written there.
constexpr int N = -1;

const RleCase RLE_CASES[] = {
    {"runs_end_of_line_end_of_bitmap",
     false,
     4,
     3,
     {0x03, 0x01, 0x01, 0x02, 0x00, 0x00, 0x04, 0x03, 0x00, 0x00, 0x02, 0x04, 0x00, 0x01, 0x04, 0x05},
     0,
     {1, 1, 1, 2, /**/ 3, 3, 3, 3, /**/ 4, 4, N, N}},
    {"delta_skips_right_and_up",
     false,
     4,
     3,
     {0x01, 0x05, 0x00, 0x02, 0x02, 0x01, 0x01, 0x06, 0x00, 0x01},
     0,
     {5, N, N, N, /**/ N, N, N, 6, /**/ N, N, N, N}},
    {"absolute_run_padded_to_even",
     false,
     4,
     2,
     {0x00, 0x03, 0x07, 0x08, 0x09, 0x00, 0x01, 0x0A, 0x00, 0x00, 0x01, 0x0B, 0x00, 0x01},
     0,
     {7, 8, 9, 10, /**/ 11, N, N, N}},
    {"run_past_row_end_is_clipped",
     false,
     4,
     2,
     {0x06, 0x02, 0x00, 0x00, 0x01, 0x03, 0x00, 0x01},
     0,
     {2, 2, 2, 2, /**/ 3, N, N, N}},
    {"absolute_past_row_end_is_clipped",
     false,
     4,
     2,
     {0x00, 0x05, 0x01, 0x02, 0x03, 0x04, 0x05, 0x00, 0x01, 0x06, 0x00, 0x01},
     0,
     {1, 2, 3, 4, /**/ N, N, N, N}},
    {"delta_out_of_the_bitmap_ends_it",
     false,
     4,
     2,
     {0x01, 0x01, 0x00, 0x02, 0x00, 0x05, 0x04, 0x02, 0x00, 0x01},
     0,
     {1, N, N, N, /**/ N, N, N, N}},
    {"delta_past_row_end_writes_nothing",
     false,
     4,
     2,
     {0x00, 0x02, 0x09, 0x00, 0x02, 0x03, 0x00, 0x00, 0x01, 0x04},
     0,
     {N, N, N, N, /**/ 4, N, N, N}},
    {"rows_past_the_last_are_ignored",
     false,
     2,
     2,
     {0x02, 0x01, 0x00, 0x00, 0x02, 0x02, 0x00, 0x00, 0x02, 0x03, 0x00, 0x00, 0x02, 0x04},
     0,
     {1, 1, /**/ 2, 2}},
    {"data_ending_without_end_code", false, 4, 2, {0x02, 0x01}, 0, {1, 1, N, N, /**/ N, N, N, N}},
    {"absolute_run_cut_by_end_of_data", false, 4, 1, {0x00, 0x04, 0x07, 0x08}, 0, {7, 8, N, N}},
    {"delta_cut_by_end_of_data", false, 4, 1, {0x01, 0x03, 0x00, 0x02, 0x01}, 0, {3, N, N, N}},
    {"reads_no_further_than_the_size",
     false,
     4,
     2,
     {0x04, 0x01, 0x00, 0x00, 0x04, 0x02, 0x00, 0x01},
     4,
     {1, 1, 1, 1, /**/ N, N, N, N}},
    {"index_beyond_table_is_black", false, 3, 1, {0x01, 0x0F, 0x02, 0x10, 0x00, 0x01}, 0, {15, 16, 16}},
    {"rle4_run_alternates_nibbles",
     true,
     5,
     2,
     {0x05, 0x12, 0x00, 0x00, 0x03, 0x34, 0x00, 0x01},
     0,
     {1, 2, 1, 2, 1, /**/ 3, 4, 3, N, N}},
    {"rle4_absolute_odd_count",
     true,
     5,
     1,
     {0x00, 0x03, 0x56, 0x70, 0x02, 0x99, 0x00, 0x01},
     0,
     {5, 6, 7, 9, 9}},
    {"rle4_absolute_padded_to_even",
     true,
     5,
     2,
     {0x00, 0x05, 0x12, 0x34, 0x50, 0x00, 0x00, 0x00, 0x01, 0x20, 0x00, 0x01},
     0,
     {1, 2, 3, 4, 5, /**/ 2, N, N, N, N}},
    {"rle4_run_past_row_end_is_clipped",
     true,
     5,
     2,
     {0x07, 0xAB, 0x00, 0x01},
     0,
     {10, 11, 10, 11, 10, /**/ N, N, N, N, N}},
    {"rle4_absolute_cut_by_end_of_data", true, 5, 1, {0x00, 0x05, 0xCD}, 0, {12, 13, N, N, N}},
};

class DibRle : public DibConvertTest, public ::testing::WithParamInterface<RleCase> {};

// A table of 16 entries, none of them black: index 16 lies beyond it.
TEST_P(DibRle, WritesExactlyTheCodedPixels) {
    const RleCase& c = GetParam();
    Section section(c.width, c.height);
    std::vector<DibRgb> table = DibTestPalette(16);
    std::size_t size = c.size != 0 ? c.size : c.data.size();
    Header header(c.width, c.height, c.fourBits ? 4 : 8, c.fourBits ? BI_RLE4 : BI_RLE8, table,
                  static_cast<DWORD>(size));
    // Exactly as many bytes as the data has: reading past them is caught.
    std::vector<unsigned char> data(c.data);
    EXPECT_EQ(SetDIBits(section.dc, section.bitmap, 0, c.height, data.data(), header.info(), DIB_RGB_COLORS),
              c.height);
    for (int row = 0; row < c.height; row++) {
        for (int x = 0; x < c.width; x++) {
            int index = c.expected[row * c.width + x];
            DibRgb expected = index < 0 || index >= 16 ? DIB_BLACK : table[index];
            EXPECT_EQ(section.At(x, row), expected) << "x " << x << " row " << row;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, DibRle, ::testing::ValuesIn(RLE_CASES),
                         [](const ::testing::TestParamInfo<RleCase>& info) { return info.param.name; });

}  // namespace
