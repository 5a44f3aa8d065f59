#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "tests/scene/scene_fixture.h"

namespace {

// Level ticks until the level stops moving; also checks it then stays put.
int TicksUntilRest(const float* level, float* beforeLast) {
    int ticks = 0;
    for (;;) {
        float before = *level;
        StepLevels();
        if (FloatBits(*level) == FloatBits(before)) break;
        *beforeLast = before;
        ticks++;
        if (ticks > 1000) break;
    }
    float rest = *level;
    for (int i = 0; i < 5; i++) StepLevels();
    EXPECT_EQ(FloatBits(*level), FloatBits(rest));
    return ticks;
}

using LevelTest = SceneTest;

TEST_F(LevelTest, AtStartBothLevelsRestAtTheirOnLimits) {
    for (int i = 0; i < 10; i++) StepLevels();
    EXPECT_EQ(FloatBits(g_treeLift), FloatBits(-1.0f));
    EXPECT_EQ(FloatBits(g_waterLevel), FloatBits(-1.2f));
}

TEST_F(LevelTest, TreeLiftFullTravels) {
    float beforeLast = 0.0f;
    g_earthOn = 0;
    EXPECT_EQ(TicksUntilRest(&g_treeLift, &beforeLast), 91);
    EXPECT_EQ(beforeLast, 7.9999948f);  // still below 8, so one more step
    EXPECT_EQ(g_treeLift, 8.0999947f);

    g_earthOn = 1;
    EXPECT_EQ(TicksUntilRest(&g_treeLift, &beforeLast), 92);
    EXPECT_EQ(beforeLast, -0.99999994f);  // still above -1
    EXPECT_EQ(g_treeLift, -1.0999999f);

    for (int cycle = 0; cycle < 3; cycle++) {
        g_earthOn = 0;
        EXPECT_EQ(TicksUntilRest(&g_treeLift, &beforeLast), 92) << cycle;
        EXPECT_EQ(g_treeLift, 8.0999947f) << cycle;
        g_earthOn = 1;
        EXPECT_EQ(TicksUntilRest(&g_treeLift, &beforeLast), 92) << cycle;
        EXPECT_EQ(g_treeLift, -1.0999999f) << cycle;
    }
    EXPECT_EQ(FloatBits(g_waterLevel), FloatBits(-1.2f));
}

TEST_F(LevelTest, WaterDrainsAndFillsBackExactly) {
    float beforeLast = 0.0f;
    for (int cycle = 0; cycle < 3; cycle++) {
        g_waterOn = 0;
        EXPECT_EQ(TicksUntilRest(&g_waterLevel, &beforeLast), 17) << cycle;
        EXPECT_EQ(beforeLast, -1.9999993f) << cycle;  // still above -2
        EXPECT_EQ(g_waterLevel, -2.0499992f) << cycle;
        g_waterOn = 1;
        EXPECT_EQ(TicksUntilRest(&g_waterLevel, &beforeLast), 17) << cycle;
        EXPECT_EQ(FloatBits(g_waterLevel), FloatBits(-1.2f)) << cycle;
    }
    EXPECT_EQ(FloatBits(g_treeLift), FloatBits(-1.0f));
}

// A limit is tested before the step: a level sitting exactly on the limit
// does not move, one a hair inside it takes a full step past it.
struct LimitCase {
    const char* name;
    std::uint8_t earthOn, waterOn;
    float treeLift, waterLevel;
    float wantTreeLift, wantWaterLevel;
};

class LevelLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(LevelLimitTest, StrictTestThenUnclampedStep) {
    const LimitCase& c = GetParam();
    StartScene();
    g_earthOn = c.earthOn;
    g_waterOn = c.waterOn;
    g_treeLift = c.treeLift;
    g_waterLevel = c.waterLevel;
    StepLevels();
    EXPECT_EQ(FloatBits(g_treeLift), FloatBits(c.wantTreeLift));
    EXPECT_EQ(FloatBits(g_waterLevel), FloatBits(c.wantWaterLevel));
}

const float JUST_ABOVE_MINUS_1 = std::nextafter(-1.0f, 0.0f);
const float JUST_BELOW_8 = std::nextafter(8.0f, 0.0f);
const float JUST_BELOW_MINUS_1_2 = std::nextafter(-1.2f, -10.0f);
const float JUST_ABOVE_MINUS_2 = std::nextafter(-2.0f, 0.0f);

INSTANTIATE_TEST_SUITE_P(
    Limits, LevelLimitTest,
    ::testing::Values(LimitCase{"onLimitsStay", 1, 1, -1.0f, -1.2f, -1.0f, -1.2f},
                      LimitCase{"offLimitsStay", 0, 0, 8.0f, -2.0f, 8.0f, -2.0f},
                      LimitCase{"beyondLimitsStay", 1, 0, -5.0f, -3.0f, -5.0f, -3.0f},
                      LimitCase{"beyondOffLimitsStay", 0, 1, 9.0f, 0.0f, 9.0f, 0.0f},
                      LimitCase{"hairInsideOn", 1, 1, JUST_ABOVE_MINUS_1, JUST_BELOW_MINUS_1_2,
                                JUST_ABOVE_MINUS_1 - 0.1f, JUST_BELOW_MINUS_1_2 + 0.05f},
                      LimitCase{"hairInsideOff", 0, 0, JUST_BELOW_8, JUST_ABOVE_MINUS_2, JUST_BELOW_8 + 0.1f,
                                JUST_ABOVE_MINUS_2 - 0.05f}),
    [](const ::testing::TestParamInfo<LimitCase>& info) { return std::string(info.param.name); });

TEST_F(LevelTest, FlippingMidTravelReversesAtOnce) {
    g_earthOn = 0;
    g_waterOn = 0;
    for (int i = 0; i < 10; i++) StepLevels();
    float lift = g_treeLift, water = g_waterLevel;
    EXPECT_GT(lift, -1.0f);
    EXPECT_LT(lift, 8.0f);
    EXPECT_LT(water, -1.2f);
    EXPECT_GT(water, -2.0f);

    g_earthOn = 1;
    g_waterOn = 1;
    StepLevels();
    EXPECT_EQ(FloatBits(g_treeLift), FloatBits(lift - 0.1f));
    EXPECT_EQ(FloatBits(g_waterLevel), FloatBits(water + 0.05f));

    // The way back ends at the first value that fails the test: within one
    // step beyond the limit, after about as many steps as went out.
    float beforeLast = 0.0f;
    int liftTicks = 1 + TicksUntilRest(&g_treeLift, &beforeLast);
    EXPECT_LE(g_treeLift, -1.0f);
    EXPECT_GT(g_treeLift, -1.1f);
    EXPECT_GE(liftTicks, 10);
    EXPECT_LE(liftTicks, 11);
    EXPECT_GE(g_waterLevel, -1.2f);
    EXPECT_LT(g_waterLevel, -1.15f);
}

TEST_F(LevelTest, AirAndFireSwitchesLeaveLevelsAlone) {
    // Two identical runs with trees rising and water draining; the second
    // also flips air and fire every tick.
    auto run = [](bool flipOthers) {
        StartScene();
        g_earthOn = 0;
        g_waterOn = 0;
        std::pair<std::uint32_t, std::uint32_t> trace[40];
        for (auto& t : trace) {
            if (flipOthers) {
                g_keys[KEY_F3] = 1;
                g_keys[KEY_F4] = 1;
                PollSwitchKeys();
            }
            StepLevels();
            t = {FloatBits(g_treeLift), FloatBits(g_waterLevel)};
        }
        return std::vector<std::pair<std::uint32_t, std::uint32_t>>(std::begin(trace), std::end(trace));
    };
    EXPECT_EQ(run(false), run(true));
    // At rest, flipping air and fire does not start either level moving.
    StartScene();
    for (int i = 0; i < 6; i++) {
        g_keys[KEY_F3 + (i % 2)] = 1;
        PollSwitchKeys();
        StepLevels();
        EXPECT_EQ(FloatBits(g_treeLift), FloatBits(-1.0f));
        EXPECT_EQ(FloatBits(g_waterLevel), FloatBits(-1.2f));
    }
}

// ---- switches ----

using SwitchTest = SceneTest;

std::uint8_t* SwitchOf(int key) {
    switch (key) {
        case KEY_F1:
            return &g_earthOn;
        case KEY_F2:
            return &g_waterOn;
        case KEY_F3:
            return &g_airOn;
        default:
            return &g_fireOn;
    }
}

TEST_F(SwitchTest, OnePressFlipsItsSwitchOnce) {
    for (int key = KEY_F1; key <= KEY_F4; key++) {
        StartScene();
        g_keys[key] = 1;
        PollSwitchKeys();
        EXPECT_EQ(g_keys[key], 0) << key;
        for (int other = KEY_F1; other <= KEY_F4; other++) {
            EXPECT_EQ(*SwitchOf(other), other == key ? 0 : 1) << key << " " << other;
        }
        PollSwitchKeys();
        EXPECT_EQ(*SwitchOf(key), 0) << key;
        g_keys[key] = 1;
        PollSwitchKeys();
        EXPECT_EQ(*SwitchOf(key), 1) << key;
    }
}

TEST_F(SwitchTest, KeysPressedInOnePeriodAllFlipAtOneTick) {
    g_keys[KEY_F4] = 1;
    g_keys[KEY_F1] = 1;
    g_keys[KEY_F2] = 1;
    PollSwitchKeys();
    EXPECT_EQ(g_earthOn, 0);
    EXPECT_EQ(g_waterOn, 0);
    EXPECT_EQ(g_airOn, 1);
    EXPECT_EQ(g_fireOn, 0);
    for (int key = KEY_F1; key <= KEY_F4; key++) EXPECT_EQ(g_keys[key], 0);
}

// A held key sends repeated key-downs; each only sets the entry again, so the
// switch flips at most once per poll, and again at the next poll that finds
// a fresh repeat.
TEST_F(SwitchTest, HeldKeyFlipsAtMostOncePerPoll) {
    const int repeatsBeforePoll[] = {3, 0, 1, 5, 0, 0, 2};
    std::uint8_t expected = 1;
    for (int repeats : repeatsBeforePoll) {
        for (int r = 0; r < repeats; r++) g_keys[KEY_F2] = 1;
        PollSwitchKeys();
        if (repeats > 0) expected = expected == 0 ? 1 : 0;
        EXPECT_EQ(g_waterOn, expected) << repeats;
    }
}

TEST_F(SwitchTest, TapReleasedBeforeThePollFlipsNothing) {
    g_keys[KEY_F3] = 1;
    g_keys[KEY_F3] = 0;  // key-up before the switch tick
    PollSwitchKeys();
    EXPECT_EQ(g_airOn, 1);
}

TEST_F(SwitchTest, OtherKeysAreIgnoredAndKept) {
    const int others[] = {0x00, 0x41, 0x6F, 0x74, 0x79, 0x7B, 0xFF};
    for (int key : others) g_keys[key] = 1;
    PollSwitchKeys();
    for (int key : others) EXPECT_EQ(g_keys[key], 1) << key;
    EXPECT_EQ(g_earthOn + g_waterOn + g_airOn + g_fireOn, 4);
}

// A switch never holds anything but 0 or 1 in a run; if it did, any
// non-zero value counts as on and flips to 0.
class SwitchValueTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(SwitchValueTest, FlipMapsZeroToOneAndAnythingElseToZero) {
    for (int key = KEY_F1; key <= KEY_F4; key++) {
        StartScene();
        *SwitchOf(key) = static_cast<std::uint8_t>(GetParam().first);
        g_keys[key] = 1;
        PollSwitchKeys();
        EXPECT_EQ(*SwitchOf(key), GetParam().second) << key;
    }
}

INSTANTIATE_TEST_SUITE_P(Values, SwitchValueTest,
                         ::testing::Values(std::make_pair(0, 1), std::make_pair(1, 0), std::make_pair(2, 0),
                                           std::make_pair(0x80, 0), std::make_pair(0xFF, 0)));

}  // namespace
