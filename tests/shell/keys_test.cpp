// Key messages through the real window procedure and the real switch poll.
#include "platform/platform_test.h"
#include "scene/scene.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class KeysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(g_keys, 0, sizeof g_keys);
        g_earthOn = g_waterOn = g_airOn = g_fireOn = 1;
    }
    void Key(UINT message, WPARAM key) { SceneWindowProc(nullptr, message, key, 1); }
    void SwitchTick() { SceneWindowProc(nullptr, WM_TIMER, TIMER_SWITCHES, 0); }
};

TEST_F(KeysTest, ATapReleasedBeforeThePollFlipsNothing) {
    Key(WM_KEYDOWN, VK_F1);
    Key(WM_KEYUP, VK_F1);
    SwitchTick();
    EXPECT_EQ(g_earthOn, 1);
}

TEST_F(KeysTest, APressHeldAcrossThePollFlipsOnce) {
    Key(WM_KEYDOWN, VK_F4);
    SwitchTick();
    SwitchTick();
    EXPECT_EQ(g_fireOn, 0);
    Key(WM_KEYUP, VK_F4);
    SwitchTick();
    EXPECT_EQ(g_fireOn, 0);
}

TEST_F(KeysTest, AltF4ClosesWithoutTouchingTheFireSwitch) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = SceneWindowProc;
    windowClass.lpszClassName = "KeysTest";
    RegisterClassA(&windowClass);
    g_window = CreateWindowExA(0, "KeysTest", "keys", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(g_window, nullptr);
    PlatformRecordMessageBoxes(true);
    PlatformClearRecordedMessageBoxes();
    MSG stale;
    while (PeekMessageA(&stale, nullptr, 0, 0, PM_REMOVE)) {
    }

    // Alt+F4 arrives as a system key and goes to the default procedure,
    // which turns it into a close request.
    EXPECT_EQ(SceneWindowProc(g_window, WM_SYSKEYDOWN, VK_F4, 1 | (LPARAM{1} << 29)), 0);
    SwitchTick();

    EXPECT_EQ(g_keys[VK_F4], 0);
    EXPECT_EQ(g_fireOn, 1);
    ASSERT_EQ(PlatformRecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(PlatformRecordedMessageBoxes()[0].caption, "Thanks.");
    EXPECT_EQ(PlatformRecordedMessageBoxes()[0].owner, g_window);
    bool quit = false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) quit = quit || message.message == WM_QUIT;
    EXPECT_TRUE(quit);
    DestroyWindow(g_window);
    g_window = nullptr;
}

}  // namespace
