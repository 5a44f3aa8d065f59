// The whole program in this process: start-up, main loop, closing and the
// start-up failures, with the message boxes recorded instead of shown.
#include "platform/platform_test.h"
#include "scene/scene.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <ostream>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

int g_frames;
int g_ticks[4];
HWND g_windowWhileRunning;
Clock::time_point g_started;

void CountTick(const MSG* message) {
    if (message->message == WM_TIMER && message->wParam < 4) ++g_ticks[message->wParam];
}

// Closes the window once a handful of frames have been drawn and each timer
// has had time to tick a few times.
void CloseAfterAWhile(HDC) {
    ++g_frames;
    if (g_frames == 1) g_started = Clock::now();
    if (g_windowWhileRunning == nullptr && g_frames >= 5 &&
        Clock::now() - g_started > std::chrono::milliseconds(300)) {
        g_windowWhileRunning = g_window;
        PostMessageA(g_window, WM_CLOSE, 0, 0);
    }
}

void CountFrame(HDC) {
    ++g_frames;
}

TEST(WinMainTest, RunsUntilClosedThenThanksAndReturnsZero) {
    PlatformRecordMessageBoxes(true);
    PlatformSetSwapHook(CloseAfterAWhile);
    PlatformSetDispatchHook(CountTick);

    const int exitCode = WinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL);

    EXPECT_EQ(exitCode, 0);
    EXPECT_GE(g_frames, 5);
    EXPECT_EQ(g_done, 1);
    // All three timers reached the window procedure while the loop drew.
    EXPECT_GT(g_ticks[TIMER_LEVELS], 0);
    EXPECT_GT(g_ticks[TIMER_MOTION], 0);
    EXPECT_GT(g_ticks[TIMER_SWITCHES], 0);

    const auto& boxes = PlatformRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Thanks.");
    EXPECT_EQ(boxes[0].owner, g_windowWhileRunning);
    EXPECT_EQ(boxes[0].type, MB_OK);
}

struct FailureCase {
    PlatformFailure failure;
    const char* text;
};

std::ostream& operator<<(std::ostream& out, const FailureCase& c) {
    return out << c.text;
}

class StartUpFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(StartUpFailureTest, ShowsTheFailingCallAndReturnsMinusOne) {
    PlatformRecordMessageBoxes(true);
    PlatformForceFailure(GetParam().failure);
    PlatformSetSwapHook(CountFrame);
    g_frames = 0;

    const int exitCode = WinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL);

    EXPECT_EQ(exitCode, -1);
    const auto& boxes = PlatformRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, GetParam().text);
    EXPECT_EQ(boxes[0].caption, "bah.");
    EXPECT_EQ(boxes[0].owner, g_window);
    EXPECT_NE(g_window, nullptr);
    EXPECT_EQ(PlatformActiveTimerCount(), 0);
    EXPECT_EQ(g_frames, 0);
    PlatformForceFailure(PLATFORM_FAIL_NONE);
}

INSTANTIATE_TEST_SUITE_P(GraphicsSetUp, StartUpFailureTest,
                         ::testing::Values(FailureCase{PLATFORM_FAIL_CHOOSE_PIXEL_FORMAT,
                                                       "ChoosePixelFormat()"},
                                           FailureCase{PLATFORM_FAIL_SET_PIXEL_FORMAT, "SetPixelFormat()"},
                                           FailureCase{PLATFORM_FAIL_MAKE_CURRENT, "wglMakeCurrent()"}));

TEST(WinMainTest, StartsTheSceneFromItsStartValues) {
    // Values a previous run could have left behind.
    g_firePool[5].active = 1;
    g_windPool[200].active = 1;
    g_treeLift = 3.0f;
    g_fireTint = 1;
    g_done = 7;
    PlatformRecordMessageBoxes(true);
    PlatformForceFailure(PLATFORM_FAIL_NONE);
    PlatformSetSwapHook([](HDC) {
        // Inspect the state the first frame sees, then close.
        static bool checked = false;
        if (checked) return;
        checked = true;
        EXPECT_EQ(g_firePool[5].active, 0);
        EXPECT_EQ(g_windPool[200].active, 0);
        EXPECT_EQ(g_treeLift, -1.0f);
        EXPECT_EQ(g_done, 0);
        EXPECT_EQ(g_terrain[2][6], 2.15f);
        PostMessageA(g_window, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL), 0);
}

}  // namespace
