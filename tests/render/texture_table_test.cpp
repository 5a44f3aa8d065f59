// The texture table: what each slot holds after the set-up, the messages
// the loading shows, and that every decoded image is released at once.
#include "tests/render/render_fixture.h"
#include "tests/render/render_probes.h"

#include "platform/platform_test.h"
#include "render/render.h"
#include "scene/scene.h"

#include <cstdio>

namespace {

struct SlotImage {
    GLint width;
    GLint height;
    GLint internalFormat;
};

SlotImage ImageOfSlot(int slot) {
    SlotImage image{};
    glBindTexture(GL_TEXTURE_2D, g_textures[slot]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &image.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &image.height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &image.internalFormat);
    return image;
}

// Level 0 of the slot's texture, rows bottom first, packed.
std::vector<std::uint8_t> TexelsOfSlot(int slot, int width, int height) {
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * height * 3);
    glBindTexture(GL_TEXTURE_2D, g_textures[slot]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

bool IsPowerOfTwo(GLint n) {
    return n > 0 && (n & (n - 1)) == 0;
}

// A bitmap whose header claims the 108-byte kind, which the reader refuses.
void WriteV4HeaderBmp(const std::string& path) {
    std::vector<std::uint8_t> bytes = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 14 + 108, 0, 0, 0, 108, 0, 0, 0};
    bytes.resize(14 + 108 + 4 * 4 * 3, 0);
    bytes[18] = 4;  // width 4
    bytes[22] = 4;  // height 4
    bytes[26] = 1;  // planes
    bytes[28] = 24;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

BmpPicture Picture(int width, int height, std::vector<BmpColor> pixels) {
    return BmpPicture{width, height, std::move(pixels)};
}

class TextureTableTest : public RenderWindowTest {
  protected:
    void SetUp() override {
        PlatformClearRecordedMessageBoxes();
        PlatformRecordMessageBoxes(true);
    }
    void TearDown() override {
        StopImageProbe();
        PlatformRecordMessageBoxes(false);
        RenderWindowTest::TearDown();
    }

    // moon 64 x 64, fire 1 x 4, wind with the refused header, water 16 x 8
    // with a colour table, stars 2 x 2; every other file missing.
    void WriteMixedFolder() {
        const std::string dir = Scratch();
        WriteSolidBmp(dir, "moon.bmp", 64, 64, BmpColor{200, 190, 150});
        ASSERT_TRUE(WriteBmpFile(dir + "/fire.bmp", Picture(1, 4, m_fire),
                                 BmpFormat{24, BMP_INFO_HEADER, false, false}, {}));
        WriteV4HeaderBmp(dir + "/wind.bmp");
        std::vector<BmpColor> water;
        for (int i = 0; i < 16 * 8; i++) {
            water.push_back(
                BmpColor{static_cast<std::uint8_t>(i % 3 * 100), 100, static_cast<std::uint8_t>(i % 5 * 50)});
        }
        ASSERT_TRUE(WriteBmpFile(dir + "/water.bmp", Picture(16, 8, water),
                                 BmpFormat{8, BMP_CORE_HEADER, true, false}, {}));
        ASSERT_TRUE(WriteBmpFile(dir + "/stars.bmp", Picture(2, 2, m_stars),
                                 BmpFormat{24, BMP_INFO_HEADER, true, false}, {}));
    }

    // Pictures are given top row first; textures hold the bottom row first.
    const std::vector<BmpColor> m_stars = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {250, 250, 10}};
    const std::vector<BmpColor> m_fire = {{1, 2, 3}, {40, 50, 60}, {70, 80, 90}, {200, 210, 220}};
};

TEST_F(TextureTableTest, AllFilesMissingLeaveEverySlotEmptyWithoutAMessage) {
    g_fireDepthStep = 3;
    g_fireSideStep = 5;
    g_fireTint = 1;
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
    EXPECT_TRUE(PlatformRecordedMessageBoxes().empty());
    for (int slot = 0; slot < TEX_COUNT; slot++) {
        EXPECT_NE(g_textures[slot], 0u) << g_textureFiles[slot];
        EXPECT_EQ(ImageOfSlot(slot).width, 0) << g_textureFiles[slot];
    }
    EXPECT_NE(g_quadric, nullptr);
    EXPECT_EQ(g_fireDepthStep, 0);
    EXPECT_EQ(g_fireSideStep, 0);
}

// The set-up itself leaves the third fire counter alone (ResetSnapshotScene
// zeroes it, so set it after that and run the set-up again).
TEST_F(TextureTableTest, SetUpResetsTwoFireCountersOnly) {
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
    g_fireDepthStep = 4;
    g_fireSideStep = 6;
    g_fireTint = 1;
    gluDeleteQuadric(g_quadric);
    InitRenderState();
    EXPECT_EQ(g_fireDepthStep, 0);
    EXPECT_EQ(g_fireSideStep, 0);
    EXPECT_EQ(g_fireTint, 1);
}

TEST_F(TextureTableTest, BrokenFileShowsItsMessageAndLoadingGoesOn) {
    WriteMixedFolder();
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));

    const std::vector<RecordedMessageBox>& boxes = PlatformRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Unknown DIB file format.");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].type, MB_OK);

    SlotImage moon = ImageOfSlot(TEX_MOON);
    EXPECT_EQ(moon.width, 64);
    EXPECT_EQ(moon.height, 64);
    EXPECT_TRUE(moon.internalFormat == 3 || moon.internalFormat == GL_RGB) << moon.internalFormat;
    EXPECT_EQ(ImageOfSlot(TEX_WIND).width, 0) << "the refused file leaves its slot empty";
    SlotImage water = ImageOfSlot(TEX_WATER);
    EXPECT_EQ(water.width, 16) << "the slot after the refused file is loaded";
    EXPECT_EQ(water.height, 8);
    for (int slot : {TEX_CLOUD, TEX_EARTH, TEX_CONTROLS}) {
        EXPECT_EQ(ImageOfSlot(slot).width, 0) << g_textureFiles[slot];
    }
}

// Rows of 1- and 2-pixel-wide images are 3 and 6 bytes long: uploaded with
// their packing, not padded to 4.
TEST_F(TextureTableTest, NarrowImagesUploadRowByRow) {
    WriteMixedFolder();
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
    struct Narrow {
        int slot;
        int width;
        int height;
        const std::vector<BmpColor>* picture;
    };
    const Narrow narrow[2] = {{TEX_STARS, 2, 2, &m_stars}, {TEX_FIRE, 1, 4, &m_fire}};
    for (const Narrow& n : narrow) {
        SlotImage image = ImageOfSlot(n.slot);
        ASSERT_EQ(image.width, n.width);
        ASSERT_EQ(image.height, n.height);
        std::vector<std::uint8_t> texels = TexelsOfSlot(n.slot, n.width, n.height);
        for (int row = 0; row < n.height; row++) {
            for (int x = 0; x < n.width; x++) {
                const BmpColor& c = (*n.picture)[(n.height - 1 - row) * n.width + x];
                const std::uint8_t* t = &texels[(row * n.width + x) * 3];
                EXPECT_EQ(t[0], c.r) << g_textureFiles[n.slot] << " row " << row << " pixel " << x;
                EXPECT_EQ(t[1], c.g) << g_textureFiles[n.slot] << " row " << row << " pixel " << x;
                EXPECT_EQ(t[2], c.b) << g_textureFiles[n.slot] << " row " << row << " pixel " << x;
            }
        }
    }
}

// Every decoded image is released before the next one is loaded: its pixel
// buffer first, then the record.
TEST_F(TextureTableTest, EachImageIsReleasedRightAfterItsUpload) {
    WriteMixedFolder();
    StartImageProbe();
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
    StopImageProbe();
    std::vector<ImageEvent> events = ProbedImageEvents();

    int loaded = 0;
    for (std::size_t i = 0; i < events.size(); i++) {
        if (!events[i].loaded) {
            continue;
        }
        loaded++;
        std::size_t pixelsFreed = 0;
        std::size_t recordFreed = 0;
        std::size_t nextLoad = events.size();
        for (std::size_t j = i + 1; j < events.size(); j++) {
            if (events[j].loaded) {
                nextLoad = j;
                break;
            }
            if (events[j].block == events[i].pixels && pixelsFreed == 0) {
                pixelsFreed = j;
            }
            if (events[j].block == events[i].block && recordFreed == 0) {
                recordFreed = j;
            }
        }
        EXPECT_NE(pixelsFreed, 0u) << "image " << loaded << ": pixels not freed before the next load";
        EXPECT_NE(recordFreed, 0u) << "image " << loaded << ": record not freed before the next load";
        EXPECT_LT(pixelsFreed, recordFreed) << "image " << loaded << ": record freed before its pixels";
        EXPECT_LT(recordFreed, nextLoad);
    }
    EXPECT_EQ(loaded, 4) << "moon, fire, water and stars decode";
}

// The generated textures all load, each a power of two on both sides.
TEST_F(TextureTableTest, GeneratedTexturesAllLoad) {
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240, TESSAVINE_TEXTURE_DIR));
    EXPECT_TRUE(PlatformRecordedMessageBoxes().empty());
    for (int slot = 0; slot < TEX_COUNT; slot++) {
        SlotImage image = ImageOfSlot(slot);
        EXPECT_TRUE(IsPowerOfTwo(image.width)) << g_textureFiles[slot] << " width " << image.width;
        EXPECT_TRUE(IsPowerOfTwo(image.height)) << g_textureFiles[slot] << " height " << image.height;
    }
}

}  // namespace
