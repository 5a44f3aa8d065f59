// Whole frames read back from the back buffer, with texture files missing so
// that every textured primitive shows its plain current colour. Expected
// colours come from the layer geometry, the colours the layers set and the
// blend factors of each layer.
#include "tests/render/render_fixture.h"

#include "platform/platform_test.h"
#include "render/render.h"
#include "scene/scene.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>

namespace {

constexpr float HALF_FOV_TAN = 0.41421356f;  // tan 22.5 degrees
constexpr float SKY_DEPTH = 16.0f;

// Colour of the sky square at (x, y) of its own plane, with its corners
// (-8, 8) black, (8, 8) black, (8, -8) (0, 0, 0.5), (-8, -8) (0.2, 0, 0.3),
// when the quad is split into triangles along the diagonal from its first to
// its third corner (alongFirst) or from its second to its fourth.
Rgb8 SkyColor(float x, float y, bool alongFirst) {
    struct Corner {
        float x, y, r, g, b;
    };
    const Corner c[4] = {{-8, 8, 0, 0, 0}, {8, 8, 0, 0, 0}, {8, -8, 0, 0, 0.5f}, {-8, -8, 0.2f, 0, 0.3f}};
    int a, b, d;
    if (alongFirst) {
        a = 0;
        b = 2;
        d = (y >= -x) ? 1 : 3;
    } else {
        a = 1;
        b = 3;
        d = (y >= x) ? 0 : 2;
    }
    // Barycentric weights of (x, y) in triangle a, b, d.
    float det = (c[b].y - c[d].y) * (c[a].x - c[d].x) + (c[d].x - c[b].x) * (c[a].y - c[d].y);
    float wa = ((c[b].y - c[d].y) * (x - c[d].x) + (c[d].x - c[b].x) * (y - c[d].y)) / det;
    float wb = ((c[d].y - c[a].y) * (x - c[d].x) + (c[a].x - c[d].x) * (y - c[d].y)) / det;
    float wd = 1.0f - wa - wb;
    auto mix = [&](float Corner::*channel) {
        return static_cast<int>(
            std::lround(255.0f * (wa * c[a].*channel + wb * c[b].*channel + wd * c[d].*channel)));
    };
    return {mix(&Corner::r), mix(&Corner::g), mix(&Corner::b)};
}

// Where the centre of a pixel meets the sky plane, for a window whose
// projection has the integer aspect ratio of width by height.
void SkyPointOfPixel(int column, int row, int width, int height, float* x, float* y) {
    float aspect = static_cast<float>(width / height);
    float ndcX = (static_cast<float>(column) + 0.5f) / width * 2.0f - 1.0f;
    float ndcY = 1.0f - (static_cast<float>(row) + 0.5f) / height * 2.0f;
    *x = ndcX * SKY_DEPTH * HALF_FOV_TAN * aspect;
    *y = ndcY * SKY_DEPTH * HALF_FOV_TAN;
}

::testing::AssertionResult IsSkyColor(const Rgb8& actual, int column, int row, int width, int height) {
    float x, y;
    SkyPointOfPixel(column, row, width, height, &x, &y);
    Rgb8 first = SkyColor(x, y, true);
    Rgb8 second = SkyColor(x, y, false);
    if (ColorNear(actual, first, 2) || ColorNear(actual, second, 2)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "pixel (" << column << ", " << row << ") is (" << actual.r << ", " << actual.g << ", "
           << actual.b << "); the sky there is (" << first.r << ", " << first.g << ", " << first.b << ") or ("
           << second.r << ", " << second.g << ", " << second.b << ")";
}

Rgb8 AddClamped(Rgb8 a, Rgb8 b) {
    return {std::min(255, a.r + b.r), std::min(255, a.g + b.g), std::min(255, a.b + b.b)};
}

class FramePixelsTest : public RenderWindowTest {
  protected:
    void SetUp() override {
        PlatformClearRecordedMessageBoxes();
        PlatformRecordMessageBoxes(true);
    }
    void TearDown() override {
        PlatformRecordMessageBoxes(false);
        RenderWindowTest::TearDown();
    }
};

TEST_F(FramePixelsTest, SkyGradientAtTheCornersOfTheView) {
    ASSERT_NO_FATAL_FAILURE(OpenScene(640, 480));
    SnapshotImage sky = DrawSkyOnly();
    const int corners[4][2] = {{0, 0}, {639, 0}, {639, 479}, {0, 479}};
    for (const auto& corner : corners) {
        EXPECT_TRUE(IsSkyColor(PixelAt(sky, corner[0], corner[1]), corner[0], corner[1], 640, 480));
    }
    // The bottom right is deep blue, the bottom left purple, the top black.
    EXPECT_GT(PixelAt(sky, 639, 479).b, 100);
    EXPECT_GT(PixelAt(sky, 0, 479).r, 35);
    EXPECT_LT(PixelAt(sky, 320, 0).b, 16);
}

TEST_F(FramePixelsTest, AllFilesMissingShowPlainColoursWithoutAMessage) {
    ASSERT_NO_FATAL_FAILURE(OpenScene(640, 480));
    EXPECT_TRUE(PlatformRecordedMessageBoxes().empty());
    g_treeLift = 8.0f;  // the trees out of the way of the lake
    SnapshotImage frame;
    RenderSnapshotFrame(&frame);

    // Untextured star tiles add white onto the sky.
    EXPECT_TRUE(ColorNear(PixelAt(frame, 2, 2), {255, 255, 255}, 0));

    // The lake, over the hollow, in its own opaque colour (0, 0.6, 0.8).
    int column, row;
    ProjectToPixel(-0.8f, -1.2f, -7.0f, &column, &row);
    EXPECT_TRUE(ColorNear(PixelAt(frame, column, row), {0, 153, 204}, 1));
    ProjectToPixel(-2.0f, -1.2f, -6.0f, &column, &row);
    EXPECT_TRUE(ColorNear(PixelAt(frame, column, row), {0, 153, 204}, 1));
}

// Every star texel is added onto the sky, in the first frame too, where the
// depth test is still on from the set-up.
TEST_F(FramePixelsTest, FirstFrameShowsTheStars) {
    WriteSolidBmp(Scratch(), "stars.bmp", 8, 8, BmpColor{96, 96, 96});
    ASSERT_NO_FATAL_FAILURE(OpenScene(640, 480));
    ASSERT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    SnapshotImage first;
    RenderSnapshotFrame(&first);
    SwapSnapshotBuffers();
    SnapshotImage second;
    RenderSnapshotFrame(&second);
    SnapshotImage sky = DrawSkyOnly();

    // Along the top edge, above the icon row and the controls picture.
    const int points[3][2] = {{2, 2}, {637, 2}, {320, 3}};
    for (const auto& p : points) {
        Rgb8 expected = AddClamped(PixelAt(sky, p[0], p[1]), {96, 96, 96});
        EXPECT_TRUE(ColorNear(PixelAt(first, p[0], p[1]), expected, 2)) << "first frame";
        EXPECT_TRUE(ColorNear(PixelAt(second, p[0], p[1]), expected, 2)) << "second frame";
    }
}

struct IconCase {
    const char* name;
    std::uint8_t on[4];  // earth, water, air, fire
};

void PrintTo(const IconCase& c, std::ostream* os) {
    *os << c.name;
}

class IconRowTest : public FramePixelsTest, public ::testing::WithParamInterface<IconCase> {};

// An icon without its picture adds white when its switch is on and grey 0.5
// when it is off; the star file is black, so the sky shows behind the row.
TEST_P(IconRowTest, OnIconsAddWhiteAndOffIconsHalfGrey) {
    WriteSolidBmp(Scratch(), "stars.bmp", 8, 8, BmpColor{0, 0, 0});
    ASSERT_NO_FATAL_FAILURE(OpenScene(640, 480));
    std::uint8_t* switches[4] = {&g_earthOn, &g_waterOn, &g_airOn, &g_fireOn};
    for (int i = 0; i < 4; i++) {
        *switches[i] = GetParam().on[i];
    }
    SnapshotImage frame;
    RenderSnapshotFrame(&frame);
    SnapshotImage sky = DrawSkyOnly();

    for (int i = 0; i < 4; i++) {
        int column, row;
        ProjectToPixel(-0.4f + 0.1f * static_cast<float>(i) + 0.05f, 0.35f, -1.0f, &column, &row);
        Rgb8 added = GetParam().on[i] ? Rgb8{255, 255, 255} : Rgb8{128, 128, 128};
        EXPECT_TRUE(ColorNear(PixelAt(frame, column, row), AddClamped(PixelAt(sky, column, row), added), 1))
            << "icon " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Switches, IconRowTest,
                         ::testing::Values(IconCase{"AllOn", {1, 1, 1, 1}}, IconCase{"AllOff", {0, 0, 0, 0}},
                                           IconCase{"EarthAndAirOff", {0, 1, 0, 1}},
                                           IconCase{"WaterAndFireOff", {1, 0, 1, 0}}),
                         [](const ::testing::TestParamInfo<IconCase>& info) { return info.param.name; });

struct BandCase {
    int width;
    int height;
    bool bands;
};

void PrintTo(const BandCase& c, std::ostream* os) {
    *os << c.width << "x" << c.height;
}

class SideBandsTest : public FramePixelsTest, public ::testing::WithParamInterface<BandCase> {};

// The aspect ratio is the integer quotient of width by height: from twice as
// wide as high on, the 16-wide sky no longer reaches the sides of the view
// and the clear colour shows there. All files are missing, so wherever the
// sky is, white star tiles cover it.
TEST_P(SideBandsTest, BlackBandsOnlyFromTwiceAsWideAsHigh) {
    const BandCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(OpenScene(c.width, c.height));
    SnapshotImage frame;
    RenderSnapshotFrame(&frame);
    Rgb8 expected = c.bands ? Rgb8{0, 0, 0} : Rgb8{255, 255, 255};
    const int rows[2] = {1, c.height / 8};
    for (int row : rows) {
        EXPECT_TRUE(ColorNear(PixelAt(frame, 1, row), expected, 0)) << "left, row " << row;
        EXPECT_TRUE(ColorNear(PixelAt(frame, c.width - 2, row), expected, 0)) << "right, row " << row;
    }
    // Where the sky ends, at x = 8 in its plane.
    if (c.bands) {
        int column, row;
        ProjectToPixel(8.0f, 2.0f, -15.99f, &column, &row);
        EXPECT_TRUE(ColorNear(PixelAt(frame, column + 3, row), {0, 0, 0}, 0));
        EXPECT_TRUE(ColorNear(PixelAt(frame, column - 3, row), {255, 255, 255}, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, SideBandsTest,
                         ::testing::Values(BandCase{640, 480, false}, BandCase{950, 480, false},
                                           BandCase{960, 480, true}, BandCase{1280, 480, true}),
                         [](const ::testing::TestParamInfo<BandCase>& info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });

}  // namespace
