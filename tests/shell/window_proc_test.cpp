#include "platform/platform_test.h"
#include "scene/scene.h"
#include "shell/shell.h"
#include "tests/shell/recording_scene.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstring>

namespace {

using Steps = std::vector<std::string>;

class WindowProcTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_stepLog.clear();
        g_resizeLog.clear();
        std::memset(g_keys, 0, sizeof g_keys);
        g_fireOn = 1;
        g_airOn = 1;
        MSG stale;
        while (PeekMessageA(&stale, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
};

struct TimerCase {
    WPARAM id;
    std::uint8_t fireOn;
    std::uint8_t airOn;
    Steps steps;
};

std::ostream& operator<<(std::ostream& out, const TimerCase& c) {
    return out << "timer " << c.id << ", fire " << int(c.fireOn) << ", air " << int(c.airOn);
}

class TimerDispatchTest : public WindowProcTest, public ::testing::WithParamInterface<TimerCase> {};

TEST_P(TimerDispatchTest, CallsTheTickStepsInOrder) {
    const TimerCase& c = GetParam();
    g_fireOn = c.fireOn;
    g_airOn = c.airOn;
    EXPECT_EQ(SceneWindowProc(nullptr, WM_TIMER, c.id, 0), 0);
    EXPECT_EQ(g_stepLog, c.steps);
}

const Steps LEVEL_TICK_ALL = {"StepLevels", "EmitFireParticle", "EmitWindParticle"};
const Steps MOTION_TICK = {"RotateFlagWave", "MoveFireParticles", "MoveWindParticles"};

INSTANTIATE_TEST_SUITE_P(Timers, TimerDispatchTest,
                         ::testing::Values(TimerCase{TIMER_LEVELS, 1, 1, LEVEL_TICK_ALL},
                                           TimerCase{TIMER_LEVELS, 0, 1, {"StepLevels", "EmitWindParticle"}},
                                           TimerCase{TIMER_LEVELS, 1, 0, {"StepLevels", "EmitFireParticle"}},
                                           TimerCase{TIMER_LEVELS, 0, 0, {"StepLevels"}},
                                           // Motion runs whatever the switches say.
                                           TimerCase{TIMER_MOTION, 1, 1, MOTION_TICK},
                                           TimerCase{TIMER_MOTION, 0, 0, MOTION_TICK},
                                           TimerCase{TIMER_SWITCHES, 1, 1, {"PollSwitchKeys"}},
                                           TimerCase{TIMER_SWITCHES, 0, 0, {"PollSwitchKeys"}},
                                           // Unknown identifiers are handled by doing nothing.
                                           TimerCase{0, 1, 1, {}}, TimerCase{4, 1, 1, {}},
                                           TimerCase{0x10003, 1, 1, {}}));

TEST_F(WindowProcTest, KeyDownAndUpKeepTheTable) {
    EXPECT_EQ(SceneWindowProc(nullptr, WM_KEYDOWN, VK_F3, 1), 0);
    EXPECT_EQ(g_keys[VK_F3], 1);
    EXPECT_EQ(SceneWindowProc(nullptr, WM_KEYDOWN, 'Q', 1), 0);
    EXPECT_EQ(g_keys['Q'], 1);
    EXPECT_EQ(SceneWindowProc(nullptr, WM_KEYUP, VK_F3, 0), 0);
    EXPECT_EQ(g_keys[VK_F3], 0);
    EXPECT_EQ(g_keys['Q'], 1);
    // An auto-repeat sets the entry exactly as the first press did.
    SceneWindowProc(nullptr, WM_KEYDOWN, VK_F3, 1 | (LPARAM{1} << 30));
    EXPECT_EQ(g_keys[VK_F3], 1);
    EXPECT_TRUE(g_stepLog.empty());
}

TEST_F(WindowProcTest, KeyCodesOutsideTheTableAreIgnored) {
    for (WPARAM code : {WPARAM{256}, WPARAM{0x1FF}, WPARAM{0x10070}}) {
        EXPECT_EQ(SceneWindowProc(nullptr, WM_KEYDOWN, code, 0), 0);
        EXPECT_EQ(SceneWindowProc(nullptr, WM_KEYUP, code, 0), 0);
    }
    for (int key = 0; key < KEY_COUNT; ++key) EXPECT_EQ(g_keys[key], 0) << key;
}

TEST_F(WindowProcTest, SystemKeysLeaveTheTableAlone) {
    // F10 and Alt combinations arrive as system keys; the default procedure
    // gets them (without a window it has nothing to close).
    EXPECT_EQ(SceneWindowProc(nullptr, WM_SYSKEYDOWN, VK_F4, LPARAM{1} << 29), 0);
    EXPECT_EQ(SceneWindowProc(nullptr, WM_SYSKEYDOWN, VK_F10, 0), 0);
    EXPECT_EQ(g_keys[VK_F4], 0);
    EXPECT_EQ(g_keys[VK_F10], 0);
}

TEST_F(WindowProcTest, SizeReachesTheViewAndAsksForAPaint) {
    int owner = 0;
    g_window = reinterpret_cast<HWND>(&owner);
    EXPECT_EQ(SceneWindowProc(nullptr, WM_SIZE, 0, MAKELPARAM(800, 600)), 0);
    EXPECT_EQ(SceneWindowProc(nullptr, WM_SIZE, 0, MAKELPARAM(0, 0)), 0);
    // Both halves are unsigned 16-bit numbers.
    EXPECT_EQ(SceneWindowProc(nullptr, WM_SIZE, 0, MAKELPARAM(0xFFFF, 0x8000)), 0);
    const std::vector<std::pair<int, int>> expected = {{800, 600}, {0, 0}, {65535, 32768}};
    EXPECT_EQ(g_resizeLog, expected);

    MSG message;
    int paints = 0;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        EXPECT_EQ(message.message, WM_PAINT);
        EXPECT_EQ(message.hwnd, g_window);
        ++paints;
    }
    EXPECT_EQ(paints, 3);
    g_window = nullptr;
}

TEST_F(WindowProcTest, CloseShowsTheNoteThenAsksToQuit) {
    PlatformRecordMessageBoxes(true);
    PlatformClearRecordedMessageBoxes();
    HWND owner = reinterpret_cast<HWND>(&g_stepLog);
    EXPECT_EQ(SceneWindowProc(owner, WM_CLOSE, 0, 0), 0);

    ASSERT_EQ(PlatformRecordedMessageBoxes().size(), 1u);
    const RecordedMessageBox& note = PlatformRecordedMessageBoxes()[0];
    EXPECT_EQ(note.owner, owner);
    EXPECT_EQ(note.caption, "Thanks.");
    EXPECT_FALSE(note.text.empty());
    EXPECT_EQ(note.type, MB_OK);

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 0u);
    PlatformRecordMessageBoxes(false);
}

}  // namespace
