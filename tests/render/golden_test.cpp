// Whole frames with the generated textures, compared with reference pictures
// in tests/render/golden/. A small per-channel difference is allowed for
// rasteriser differences between Mesa versions.
//
// To write new reference pictures after a deliberate change of the look:
//   cmake --build <build> --target update_render_goldens
// which runs render_tests --gtest_filter='Golden*' under xvfb-run with
// TESSAVINE_UPDATE_GOLDENS=1 in its environment. Look at the pictures before
// committing them.
#include "tests/render/render_fixture.h"

#include "platform/platform.h"
#include "platform/platform_test.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>

namespace {

constexpr int GOLDEN_TOLERANCE = 12;            // per channel
constexpr double GOLDEN_OUTLIER_SHARE = 0.002;  // of all pixels

struct GoldenCase {
    const char* name;
    int width;
    int height;
    int ms;       // simulated time before the picture
    int pressMs;  // when the keys go down; -1 for none
    unsigned keys[4];
    bool firstFrame;  // the very first frame, with the set-up's depth test
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.name;
}

const GoldenCase GOLDEN_CASES[] = {
    // The first frame: nothing has moved, no particle yet.
    {"first_frame", 320, 240, 0, -1, {0, 0, 0, 0}, true},
    // Everything on after the pools have filled: leaves, flames, smoke.
    {"all_on_4s", 320, 240, 4000, -1, {0, 0, 0, 0}, false},
    // Everything switched off at the first switch tick; trees gone, lake
    // drained, the last particles gone.
    {"all_off_7s", 320, 240, 7000, 0, {VK_F1, VK_F2, VK_F3, VK_F4}, false},
    // A wide window with black bands; air off after a second, so the flag
    // hangs flat while the leaves already in the air go on.
    {"wide_air_off", 480, 240, 2500, 1000, {VK_F3, 0, 0, 0}, false},
};

class GoldenFrameTest : public RenderWindowTest, public ::testing::WithParamInterface<GoldenCase> {};

SnapshotImage RenderCase(const GoldenCase& c) {
    SnapshotImage image;
    if (!c.firstFrame) {
        RenderSnapshotFrame(&image);
        SwapSnapshotBuffers();
    }
    int now = 0;
    if (c.pressMs >= 0) {
        RunSnapshotTimeline(0, c.pressMs);
        now = c.pressMs;
        for (unsigned key : c.keys) {
            if (key != 0) {
                PressSnapshotKey(key);
            }
        }
    }
    RunSnapshotTimeline(now, c.ms);
    RenderSnapshotFrame(&image);
    return image;
}

TEST_P(GoldenFrameTest, MatchesReferencePicture) {
    const GoldenCase& c = GetParam();
    PlatformRecordMessageBoxes(true);
    ASSERT_NO_FATAL_FAILURE(OpenScene(c.width, c.height, TESSAVINE_TEXTURE_DIR));
    PlatformRecordMessageBoxes(false);
    ASSERT_TRUE(PlatformRecordedMessageBoxes().empty()) << PlatformRecordedMessageBoxes()[0].text;

    SnapshotImage actual = RenderCase(c);
    std::string golden = std::string(TESSAVINE_GOLDEN_DIR) + "/" + c.name + ".png";
    const char* update = std::getenv("TESSAVINE_UPDATE_GOLDENS");
    if (update != nullptr && update[0] == '1') {
        ASSERT_TRUE(WriteSnapshotPng(golden, actual)) << golden;
        GTEST_SKIP() << "wrote " << golden;
    }

    SnapshotImage expected;
    ASSERT_TRUE(ReadSnapshotPng(golden, &expected)) << "missing reference picture " << golden;
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    long outliers = 0;
    int worst = 0;
    for (std::size_t i = 0; i < actual.rgb.size(); i += 3) {
        int difference = 0;
        for (int channel = 0; channel < 3; channel++) {
            difference = std::max(difference, std::abs(actual.rgb[i + channel] - expected.rgb[i + channel]));
        }
        worst = std::max(worst, difference);
        if (difference > GOLDEN_TOLERANCE) {
            outliers++;
        }
    }
    long pixels = static_cast<long>(actual.width) * actual.height;
    if (static_cast<double>(outliers) > GOLDEN_OUTLIER_SHARE * static_cast<double>(pixels)) {
        std::string diffPath = std::string(::testing::TempDir()) + c.name + "_actual.png";
        WriteSnapshotPng(diffPath, actual);
        ADD_FAILURE() << outliers << " of " << pixels << " pixels differ by more than " << GOLDEN_TOLERANCE
                      << " (worst " << worst << "); this frame is in " << diffPath;
    }
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenFrameTest, ::testing::ValuesIn(GOLDEN_CASES),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) { return info.param.name; });

}  // namespace
