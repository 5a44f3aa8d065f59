// The bitmap reader: decoding of every supported layout, its messages for
// broken files, and that nothing stays held afterwards.
#include "image/image.h"

#include "platform/platform.h"
#include "platform/platform_test.h"
#include "tests/image/dib_fixtures.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

namespace {

const char* const TEXT_MEMORY = "Out of memory.";
const char* const TEXT_FORMAT = "Unknown DIB file format.";
const char* const TEXT_CONVERSION = "Image file conversion error.";

// Owns what the reader hands back.
struct Decoded {
    RgbImage* image = nullptr;
    explicit Decoded(RgbImage* decoded) : image(decoded) {}
    ~Decoded() {
        if (image != nullptr) {
            std::free(image->pixels);
            std::free(image);
        }
    }
    Decoded(const Decoded&) = delete;
    Decoded& operator=(const Decoded&) = delete;
};

class DibReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = DibMakeTempDir();
        PlatformRecordMessageBoxes(true);
        PlatformClearRecordedMessageBoxes();
        descriptors = DibOpenDescriptorCount();
    }

    void TearDown() override {
        EXPECT_EQ(DibOpenDescriptorCount(), descriptors) << "a descriptor stayed open";
        EXPECT_FALSE(DibMapsMention(dir)) << "a view stayed mapped";
        EXPECT_EQ(PlatformLiveFileObjectCount(), 0);
        EXPECT_EQ(PlatformLiveGdiObjectCount(), 0);
        PlatformClearRecordedMessageBoxes();
        PlatformRecordMessageBoxes(false);
        DibRemoveTree(dir);
    }

    RgbImage* Decode(const Bytes& bytes) {
        return DecodeDibFile(DibWriteFile(dir, "test.bmp", bytes).c_str());
    }

    // Exactly one box with this text, as the reader shows them.
    static void ExpectOneMessage(const std::string& text) {
        const std::vector<RecordedMessageBox>& boxes = PlatformRecordedMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(boxes[0].type, MB_OK);
        EXPECT_EQ(boxes[0].owner, GetFocus());
    }

    static void ExpectNoMessage() { EXPECT_TRUE(PlatformRecordedMessageBoxes().empty()); }

    std::string dir;
    int descriptors = 0;
};

// ---------------------------------------------------------------------------
// Valid files of every layout
// ---------------------------------------------------------------------------

struct DecodeCase {
    const char* name;
    int bitCount;
    bool core;
    bool fileHeader;
    int width;
    int height;
    std::uint32_t colorsUsed;
};

// Channel levels that 5 bits hold exactly, and what they widen to.
const std::uint8_t FIVE_BIT_LEVELS[3] = {0, 16, 31};
const std::uint8_t EIGHT_BIT_LEVELS[3] = {0, 132, 255};

// The picture of a case: data row order, which for these positive heights is
// bottom row first, the order the image must come out in.
struct Picture {
    DibLayout layout;
    Bytes data;
    std::vector<DibRgb> expected;
};

Picture MakePicture(const DecodeCase& c) {
    Picture p;
    p.layout.fileHeader = c.fileHeader;
    p.layout.core = c.core;
    p.layout.width = c.width;
    p.layout.height = c.height;
    p.layout.bitCount = static_cast<std::uint16_t>(c.bitCount);
    p.layout.colorsUsed = c.colorsUsed;
    int tableSize =
        c.colorsUsed != 0 ? static_cast<int>(c.colorsUsed) : (c.bitCount <= 8 ? 1 << c.bitCount : 0);
    if (c.core) tableSize = c.bitCount <= 8 ? 1 << c.bitCount : 0;
    p.layout.table = DibTestPalette(tableSize);

    int count = c.width * c.height;
    if (c.bitCount <= 8) {
        std::vector<int> indices;
        for (int i = 0; i < count; i++) {
            int x = i % c.width, y = i / c.width;
            int index = (x * 5 + y * 3 + 1) % tableSize;
            indices.push_back(index);
            p.expected.push_back(p.layout.table[index]);
        }
        p.data = DibPackIndices(c.bitCount, c.width, c.height, indices);
    } else if (c.bitCount == 16) {
        std::vector<DibRgb> fiveBit;
        for (int i = 0; i < count; i++) {
            int x = i % c.width, y = i / c.width;
            int r = (x + y) % 3, g = (x + 2 * y + 1) % 3, b = (2 * x + y + 2) % 3;
            fiveBit.push_back(DibRgb{FIVE_BIT_LEVELS[r], FIVE_BIT_LEVELS[g], FIVE_BIT_LEVELS[b]});
            p.expected.push_back(DibRgb{EIGHT_BIT_LEVELS[r], EIGHT_BIT_LEVELS[g], EIGHT_BIT_LEVELS[b]});
        }
        p.data = DibPack555(c.width, c.height, fiveBit);
    } else {
        for (int i = 0; i < count; i++) {
            int x = i % c.width, y = i / c.width;
            p.expected.push_back(DibRgb{static_cast<std::uint8_t>(x * 40 + y),
                                        static_cast<std::uint8_t>(y * 50 + x * 3),
                                        static_cast<std::uint8_t>(200 - x - 7 * y)});
        }
        p.data = DibPackColors(c.bitCount, c.width, c.height, p.expected);
    }
    return p;
}

class DibDecodeLayout : public DibReaderTest, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(DibDecodeLayout, DeliversEveryPixelBottomRowFirst) {
    Picture p = MakePicture(GetParam());
    Decoded decoded(Decode(DibBuild(p.layout, p.data)));
    ASSERT_NE(decoded.image, nullptr);
    ExpectNoMessage();
    EXPECT_EQ(decoded.image->width, GetParam().width);
    EXPECT_EQ(decoded.image->height, GetParam().height);
    EXPECT_EQ(DibPixels(decoded.image->pixels, GetParam().width, GetParam().height), p.expected);
}

const DecodeCase DECODE_CASES[] = {
    {"bpp1_info_file", 1, false, true, 13, 3, 0},
    {"bpp1_info_bare", 1, false, false, 13, 3, 0},
    {"bpp1_core_file", 1, true, true, 9, 2, 0},
    {"bpp1_core_bare", 1, true, false, 33, 2, 0},
    {"bpp4_info_file", 4, false, true, 5, 4, 0},
    {"bpp4_info_bare", 4, false, false, 9, 2, 0},
    {"bpp4_core_file", 4, true, true, 7, 3, 0},
    {"bpp4_core_bare", 4, true, false, 7, 3, 0},
    {"bpp8_info_file_used0", 8, false, true, 5, 3, 0},
    {"bpp8_info_bare_used0", 8, false, false, 5, 3, 0},
    {"bpp8_info_file_used20", 8, false, true, 5, 3, 20},
    {"bpp8_info_bare_used20", 8, false, false, 6, 4, 20},
    {"bpp8_core_file", 8, true, true, 3, 3, 0},
    {"bpp8_core_bare", 8, true, false, 6, 2, 0},
    {"bpp16_info_file", 16, false, true, 5, 3, 0},
    {"bpp16_info_bare", 16, false, false, 3, 2, 0},
    {"bpp24_info_file", 24, false, true, 5, 3, 0},
    {"bpp24_info_bare", 24, false, false, 5, 3, 0},
    {"bpp24_info_bare_used20", 24, false, false, 5, 3, 20},
    {"bpp24_core_file", 24, true, true, 6, 2, 0},
    {"bpp24_core_bare", 24, true, false, 7, 2, 0},
    {"bpp24_1x1_file", 24, false, true, 1, 1, 0},
    {"bpp24_1x1_bare", 24, false, false, 1, 1, 0},
    {"bpp32_info_file", 32, false, true, 5, 3, 0},
    {"bpp32_info_bare", 32, false, false, 2, 2, 0},
    {"bpp8_1x1_core_bare", 8, true, false, 1, 1, 0},
    {"bpp24_16x16_file", 24, false, true, 16, 16, 0},
};

INSTANTIATE_TEST_SUITE_P(Layouts, DibDecodeLayout, ::testing::ValuesIn(DECODE_CASES),
                         [](const ::testing::TestParamInfo<DecodeCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Hand-made files
// ---------------------------------------------------------------------------

TEST_F(DibReaderTest, OneByOneGivesRedGreenBlue) {
    DibLayout layout;
    layout.fileHeader = false;
    Decoded decoded(Decode(DibBuild(layout, {0x10, 0x20, 0x30, 0x00})));
    ASSERT_NE(decoded.image, nullptr);
    EXPECT_EQ(decoded.image->width, 1);
    EXPECT_EQ(decoded.image->height, 1);
    EXPECT_EQ(decoded.image->pixels[0], 0x30);
    EXPECT_EQ(decoded.image->pixels[1], 0x20);
    EXPECT_EQ(decoded.image->pixels[2], 0x10);
}

// Rows of 5 pixels are 16 bytes in the file and 15 in the image.
TEST_F(DibReaderTest, WidthFiveDropsRowPadding) {
    DibLayout layout;
    layout.width = 5;
    layout.height = 2;
    Bytes data = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 0xFF,
                  21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 0xFF};
    Decoded decoded(Decode(DibBuild(layout, data)));
    ASSERT_NE(decoded.image, nullptr);
    const unsigned char expected[30] = {3,  2,  1,  6,  5,  4,  9,  8,  7,  12, 11, 10, 15, 14, 13,
                                        23, 22, 21, 26, 25, 24, 29, 28, 27, 32, 31, 30, 35, 34, 33};
    for (int i = 0; i < 30; i++) EXPECT_EQ(decoded.image->pixels[i], expected[i]) << "byte " << i;
}

TEST_F(DibReaderTest, OneBitPixelsTakeTheHighBitFirst) {
    DibLayout layout;
    layout.bitCount = 1;
    layout.width = 8;
    layout.table = {DibRgb{10, 20, 30}, DibRgb{200, 210, 220}};
    Decoded decoded(Decode(DibBuild(layout, {0xB0, 0, 0, 0})));  // 1011 0000
    ASSERT_NE(decoded.image, nullptr);
    const DibRgb a = layout.table[0], b = layout.table[1];
    EXPECT_EQ(DibPixels(decoded.image->pixels, 8, 1), (std::vector<DibRgb>{b, a, b, b, a, a, a, a}));
}

TEST_F(DibReaderTest, FourBitPixelsTakeTheHighNibbleFirst) {
    DibLayout layout;
    layout.bitCount = 4;
    layout.width = 3;
    layout.table = DibTestPalette(16);
    Decoded decoded(Decode(DibBuild(layout, {0x12, 0x3F, 0, 0})));
    ASSERT_NE(decoded.image, nullptr);
    const std::vector<DibRgb>& t = layout.table;
    EXPECT_EQ(DibPixels(decoded.image->pixels, 3, 1), (std::vector<DibRgb>{t[1], t[2], t[3]}));
}

// The pixel data is read where the file header says, not behind the header.
TEST_F(DibReaderTest, PixelDataComesFromTheFileHeaderOffset) {
    DibLayout layout;
    layout.gap = 6;
    Decoded decoded(Decode(DibBuild(layout, {0x01, 0x02, 0x03, 0x00})));
    ASSERT_NE(decoded.image, nullptr);
    EXPECT_EQ(DibPixels(decoded.image->pixels, 1, 1), (std::vector<DibRgb>{DibRgb{3, 2, 1}}));
}

// With 20 colours announced, the table ends at entry 19 and the pixel data of
// a bare file starts right behind it; indices beyond it come out black.
TEST_F(DibReaderTest, IndicesBeyondTwentyColoursAreBlack) {
    DibLayout layout;
    layout.fileHeader = false;
    layout.bitCount = 8;
    layout.width = 4;
    layout.colorsUsed = 20;
    layout.table = DibTestPalette(20);
    Decoded decoded(Decode(DibBuild(layout, {19, 20, 255, 0})));
    ASSERT_NE(decoded.image, nullptr);
    EXPECT_EQ(DibPixels(decoded.image->pixels, 4, 1),
              (std::vector<DibRgb>{layout.table[19], DIB_BLACK, DIB_BLACK, layout.table[0]}));
}

// A negative height stores the top row first; the image still comes out
// bottom row first, with a positive height.
TEST_F(DibReaderTest, TopDownBitmapsAreTurnedOver) {
    for (int bitCount : {8, 24}) {
        Picture bottomUp = MakePicture(DecodeCase{"", bitCount, false, true, 5, 3, 0});
        DibLayout layout = bottomUp.layout;
        layout.height = -3;
        std::size_t stride = bottomUp.data.size() / 3;
        Bytes reversed;
        for (int row = 2; row >= 0; row--) {
            reversed.insert(reversed.end(), bottomUp.data.begin() + row * stride,
                            bottomUp.data.begin() + (row + 1) * stride);
        }
        Decoded decoded(Decode(DibBuild(layout, reversed)));
        ASSERT_NE(decoded.image, nullptr) << bitCount;
        EXPECT_EQ(decoded.image->width, 5);
        EXPECT_EQ(decoded.image->height, 3);
        EXPECT_EQ(DibPixels(decoded.image->pixels, 5, 3), bottomUp.expected) << bitCount;
    }
    ExpectNoMessage();
}

// Run-length data through the whole reader, with the image size left 0: it is
// then worked out from the size and cut to what the file holds.
TEST_F(DibReaderTest, RunLengthFilesDecode) {
    DibLayout layout;
    layout.bitCount = 8;
    layout.compression = BI_RLE8;
    layout.width = 4;
    layout.height = 2;
    layout.colorsUsed = 4;
    layout.table = DibTestPalette(4);
    const std::vector<DibRgb>& t = layout.table;
    // Exactly the 8 bytes that 4 x 2 pixels of 8 bits would take.
    Bytes data = {0x02, 0x01, 0x02, 0x03, 0x00, 0x00, 0x01, 0x02};
    for (std::int32_t height : {2, -2}) {
        layout.height = height;
        Decoded decoded(Decode(DibBuild(layout, data)));
        ASSERT_NE(decoded.image, nullptr);
        std::vector<DibRgb> first = {t[1], t[1], t[3], t[3]};
        std::vector<DibRgb> second = {t[2], DIB_BLACK, DIB_BLACK, DIB_BLACK};
        std::vector<DibRgb> expected = height > 0 ? first : second;
        const std::vector<DibRgb>& other = height > 0 ? second : first;
        expected.insert(expected.end(), other.begin(), other.end());
        EXPECT_EQ(decoded.image->height, 2);
        EXPECT_EQ(DibPixels(decoded.image->pixels, 4, 2), expected) << height;
    }
    ExpectNoMessage();
}

TEST_F(DibReaderTest, WidestSideIsAccepted) {
    DibLayout layout;
    layout.width = 16384;
    layout.bitCount = 24;
    Bytes data(16384 * 3, 0x40);
    Decoded decoded(Decode(DibBuild(layout, data)));
    ASSERT_NE(decoded.image, nullptr);
    EXPECT_EQ(decoded.image->width, 16384);
    EXPECT_EQ(decoded.image->pixels[16384 * 3 - 1], 0x40);
}

// ---------------------------------------------------------------------------
// Files that are refused
// ---------------------------------------------------------------------------

struct RefusedCase {
    const char* name;
    std::function<Bytes()> build;
    const char* text;
};

Bytes Info(std::function<void(DibLayout&)> change, Bytes data = Bytes(64, 0)) {
    DibLayout layout;
    layout.width = 4;
    layout.height = 2;
    change(layout);
    return DibBuild(layout, data);
}

const RefusedCase REFUSED_CASES[] = {
    {"header108", [] { return Info([](DibLayout& l) { l.headerSize = 108, l.extraHeader = 68; }); },
     TEXT_FORMAT},
    {"header124", [] { return Info([](DibLayout& l) { l.headerSize = 124, l.extraHeader = 84; }); },
     TEXT_FORMAT},
    {"header64_bare",
     [] { return Info([](DibLayout& l) { l.headerSize = 64, l.extraHeader = 24, l.fileHeader = false; }); },
     TEXT_FORMAT},
    {"header0", [] { return Info([](DibLayout& l) { l.headerSize = 0; }); }, TEXT_FORMAT},
    {"fileHeaderOnly", [] { return Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 14, 0, 0, 0}; }, TEXT_FORMAT},
    {"twoBytes",
     [] {
         return Bytes{'B', 'M'};
     },
     TEXT_FORMAT},
    {"oneByte", [] { return Bytes{40}; }, TEXT_FORMAT},
    {"widthZero", [] { return Info([](DibLayout& l) { l.width = 0; }); }, TEXT_FORMAT},
    {"heightZero", [] { return Info([](DibLayout& l) { l.height = 0; }); }, TEXT_FORMAT},
    {"widthNegative", [] { return Info([](DibLayout& l) { l.width = -4; }); }, TEXT_FORMAT},
    {"coreHeightZero", [] { return Info([](DibLayout& l) { l.core = true, l.height = 0; }); }, TEXT_FORMAT},
    {"width16385", [] { return Info([](DibLayout& l) { l.width = 16385; }); }, TEXT_MEMORY},
    {"heightMinus16385", [] { return Info([](DibLayout& l) { l.height = -16385; }); }, TEXT_MEMORY},
    {"heightMostNegative", [] { return Info([](DibLayout& l) { l.height = INT32_MIN; }); }, TEXT_MEMORY},
    {"widthLargest", [] { return Info([](DibLayout& l) { l.width = INT32_MAX, l.bitCount = 32; }); },
     TEXT_MEMORY},
    {"output768MiB", [] { return Info([](DibLayout& l) { l.width = 16384, l.height = 16384; }); },
     TEXT_MEMORY},
    {"outputJustOver256MiB", [] { return Info([](DibLayout& l) { l.width = 16384, l.height = 5462; }); },
     TEXT_MEMORY},
    {"coreWidth65535", [] { return Info([](DibLayout& l) { l.core = true, l.width = 65535; }); },
     TEXT_MEMORY},
    {"colorsUsed65536",
     [] { return Info([](DibLayout& l) { l.bitCount = 8, l.colorsUsed = 65536; }, Bytes(2048, 0)); },
     TEXT_FORMAT},
    {"colorsUsedHighBitsSet",
     [] {
         return Info(
             [](DibLayout& l) { l.bitCount = 8, l.colorsUsed = 0x10014, l.table = DibTestPalette(20); });
     },
     TEXT_FORMAT},
    {"colorsUsedBeyondFile",
     [] {
         return Info([](DibLayout& l) { l.bitCount = 8, l.colorsUsed = 300, l.table = DibTestPalette(20); });
     },
     TEXT_FORMAT},
    {"eightBitTableMissing", [] { return Info([](DibLayout& l) { l.bitCount = 8, l.fileHeader = false; }); },
     TEXT_FORMAT},
    {"pixelOffsetBeyondFile", [] { return Info([](DibLayout& l) { l.pixelOffset = 0x7FFFFFF0; }, Bytes{}); },
     TEXT_CONVERSION},
    {"pixelDataShort", [] { return Info([](DibLayout&) {}, Bytes(4 * 3 * 2 - 1, 0)); }, TEXT_CONVERSION},
    {"twoBitsPerPixel",
     [] { return Info([](DibLayout& l) { l.bitCount = 2, l.table = DibTestPalette(4); }); }, TEXT_CONVERSION},
    {"noBitsPerPixel", [] { return Info([](DibLayout& l) { l.bitCount = 0; }); }, TEXT_CONVERSION},
    {"bitFields", [] { return Info([](DibLayout& l) { l.bitCount = 16, l.compression = 3; }); },
     TEXT_CONVERSION},
    {"rle8AtFourBits",
     [] {
         return Info(
             [](DibLayout& l) { l.bitCount = 4, l.compression = BI_RLE8, l.table = DibTestPalette(16); });
     },
     TEXT_CONVERSION},
    {"rle4AtEightBits",
     [] {
         return Info(
             [](DibLayout& l) { l.bitCount = 8, l.compression = BI_RLE4, l.table = DibTestPalette(256); });
     },
     TEXT_CONVERSION},
    {"rleSizeBeyondFile",
     [] {
         return Info(
             [](DibLayout& l) {
                 l.bitCount = 8, l.compression = BI_RLE8, l.sizeImage = 7, l.colorsUsed = 2;
                 l.table = DibTestPalette(2);
             },
             Bytes{0x04, 0x01, 0x00, 0x01, 0x00, 0x00});
     },
     TEXT_CONVERSION},
};

class DibRefused : public DibReaderTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(DibRefused, ShowsOneMessageAndGivesNoImage) {
    Decoded decoded(Decode(GetParam().build()));
    EXPECT_EQ(decoded.image, nullptr);
    ExpectOneMessage(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Files, DibRefused, ::testing::ValuesIn(REFUSED_CASES),
                         [](const ::testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

// Every proper prefix of a valid file is refused: within the headers and the
// colour table as an unknown format, within the pixel data as a conversion
// error. The empty prefix cannot even be opened.
struct TruncatedCase {
    const char* name;
    DecodeCase picture;
};

const TruncatedCase TRUNCATED_CASES[] = {
    {"bpp8_info_file", {"", 8, false, true, 5, 3, 0}},    {"bpp4_core_bare", {"", 4, true, false, 7, 3, 0}},
    {"bpp24_info_bare", {"", 24, false, false, 5, 3, 0}}, {"bpp16_info_file", {"", 16, false, true, 3, 2, 0}},
    {"bpp1_core_file", {"", 1, true, true, 9, 2, 0}},
};

class DibTruncated : public DibReaderTest, public ::testing::WithParamInterface<TruncatedCase> {};

TEST_P(DibTruncated, EveryPrefixIsRefused) {
    Picture p = MakePicture(GetParam().picture);
    Bytes whole = DibBuild(p.layout, p.data);
    std::size_t tableEnd = DibTableEnd(p.layout);
    for (std::size_t length = 1; length < whole.size(); length++) {
        PlatformClearRecordedMessageBoxes();
        Decoded decoded(Decode(Bytes(whole.begin(), whole.begin() + length)));
        EXPECT_EQ(decoded.image, nullptr) << length;
        ExpectOneMessage(length < tableEnd ? TEXT_FORMAT : TEXT_CONVERSION);
        if (HasFailure()) {
            ADD_FAILURE() << "at length " << length << " of " << whole.size();
            return;
        }
    }
    PlatformClearRecordedMessageBoxes();
    Decoded decoded(Decode(whole));
    EXPECT_NE(decoded.image, nullptr);
}

TEST_F(DibReaderTest, RunLengthDataCutShortOfItsSizeIsRefused) {
    DibLayout layout;
    layout.bitCount = 8;
    layout.compression = BI_RLE8;
    layout.width = 4;
    layout.height = 2;
    layout.colorsUsed = 2;
    layout.table = DibTestPalette(2);
    Bytes data = {0x04, 0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x01};
    layout.sizeImage = static_cast<std::uint32_t>(data.size());
    Bytes whole = DibBuild(layout, data);
    for (std::size_t length = DibTableEnd(layout); length < whole.size(); length++) {
        PlatformClearRecordedMessageBoxes();
        Decoded decoded(Decode(Bytes(whole.begin(), whole.begin() + length)));
        EXPECT_EQ(decoded.image, nullptr) << length;
        ExpectOneMessage(TEXT_CONVERSION);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DibTruncated, ::testing::ValuesIn(TRUNCATED_CASES),
                         [](const ::testing::TestParamInfo<TruncatedCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Files that cannot be opened
// ---------------------------------------------------------------------------

TEST_F(DibReaderTest, EmptyFileCannotBeMapped) {
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    DibWriteFile(dir, "moon.bmp", Bytes{});
    Decoded decoded(LoadImageFile("moon.bmp"));
    Decoded direct(DecodeDibFile("moon.bmp"));
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(decoded.image, nullptr);
    EXPECT_EQ(direct.image, nullptr);
    const std::vector<RecordedMessageBox>& boxes = PlatformRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (const RecordedMessageBox& box : boxes) {
        EXPECT_EQ(box.text, "Failed to open DIB file moon.bmp.\n");
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.type, MB_OK);
    }
}

TEST_F(DibReaderTest, MissingFileIsSilentWhenLoading) {
    std::string path = dir + "/stars.bmp";
    Decoded loaded(LoadImageFile(path.c_str()));
    EXPECT_EQ(loaded.image, nullptr);
    ExpectNoMessage();
    // Decoding directly has no existence check: the open failure is told.
    Decoded decoded(DecodeDibFile(path.c_str()));
    EXPECT_EQ(decoded.image, nullptr);
    ExpectOneMessage("Failed to open DIB file " + path + ".\n");
}

TEST_F(DibReaderTest, NullPathGivesNothing) {
    Decoded loaded(LoadImageFile(nullptr));
    Decoded decoded(DecodeDibFile(nullptr));
    EXPECT_EQ(loaded.image, nullptr);
    EXPECT_EQ(decoded.image, nullptr);
    ExpectNoMessage();
}

// A folder passes the existence check but is no file to open.
TEST_F(DibReaderTest, FolderPassesTheCheckButCannotBeOpened) {
    Decoded decoded(LoadImageFile(dir.c_str()));
    EXPECT_EQ(decoded.image, nullptr);
    ExpectOneMessage("Failed to open DIB file " + dir + ".\n");
}

// 26 characters of text and 229 of the path fill the 255 that fit.
TEST_F(DibReaderTest, LongPathIsCutAndTheTextKeepsItsEnd) {
    std::string path = dir + "/" + std::string(300, 'p');
    Decoded decoded(DecodeDibFile(path.c_str()));
    EXPECT_EQ(decoded.image, nullptr);
    ExpectOneMessage("Failed to open DIB file " + path.substr(0, 229) + ".\n");
    EXPECT_EQ(PlatformRecordedMessageBoxes()[0].text.size(), 255u);

    PlatformClearRecordedMessageBoxes();
    std::string exact = std::string(229, 'q');
    Decoded fits(DecodeDibFile(exact.c_str()));
    ExpectOneMessage("Failed to open DIB file " + exact + ".\n");
}

TEST_F(DibReaderTest, LongPathIsNotCutInsideACharacter) {
    // "é" is two bytes; the cut would fall between them.
    std::string path = std::string(228, 'r') + "\xC3\xA9" + std::string(20, 's');
    Decoded decoded(DecodeDibFile(path.c_str()));
    ExpectOneMessage("Failed to open DIB file " + std::string(228, 'r') + ".\n");
}

// ---------------------------------------------------------------------------
// Colour count
// ---------------------------------------------------------------------------

struct ColorCountCase {
    std::uint32_t headerSize;
    std::uint16_t bitCount;
    std::uint32_t colorsUsed;
    std::uint16_t expected;
};

TEST(DibColorCount, FollowsHeaderKindBitsAndColoursUsed) {
    const ColorCountCase cases[] = {
        {12, 1, 0, 2},       {12, 4, 0, 16},   {12, 8, 0, 256}, {12, 24, 0, 0},   {12, 8, 20, 256},
        {40, 1, 0, 2},       {40, 4, 0, 16},   {40, 8, 0, 256}, {40, 2, 0, 0},    {40, 16, 0, 0},
        {40, 24, 0, 0},      {40, 32, 0, 0},   {40, 8, 20, 20}, {40, 24, 20, 20}, {40, 1, 300, 300},
        {40, 8, 0x10005, 5}, {108, 8, 0, 256}, {124, 24, 7, 7},
    };
    for (const ColorCountCase& c : cases) {
        unsigned char header[40] = {};
        header[0] = static_cast<unsigned char>(c.headerSize);
        if (c.headerSize == 12) {
            header[10] = static_cast<unsigned char>(c.bitCount);
            // Where an info header has its colours used: must not be consulted.
            header[32] = static_cast<unsigned char>(c.colorsUsed);
        } else {
            header[14] = static_cast<unsigned char>(c.bitCount);
            for (int i = 0; i < 4; i++) header[32 + i] = static_cast<unsigned char>(c.colorsUsed >> (8 * i));
        }
        EXPECT_EQ(DibColorCount(header), c.expected)
            << "size " << c.headerSize << " bits " << c.bitCount << " used " << c.colorsUsed;
    }
}

}  // namespace
