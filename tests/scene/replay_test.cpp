// The same script fed through the main window's procedure must leave the
// scene exactly as the direct calls of the steps do.
#include "shell/shell.h"
#include "tests/scene/replay_script.h"

namespace {

void WindowProcTick(int timerId) {
    EXPECT_EQ(SceneWindowProc(nullptr, WM_TIMER, static_cast<WPARAM>(timerId), 0), 0);
}

void WindowProcKey(int key, bool down) {
    EXPECT_EQ(SceneWindowProc(nullptr, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(key), 0), 0);
}

TEST(SceneReplayThroughWindowProc, MatchesDirectSteps) {
    StartScene();
    RunReplay({DirectReplayTick, DirectReplayKey, nullptr});
    std::uint64_t direct = SceneDigest();

    StartScene();
    RunReplay({WindowProcTick, WindowProcKey, nullptr});
    EXPECT_EQ(SceneDigest(), direct);
}

// A timer identifier other than the three moves nothing.
TEST(SceneReplayThroughWindowProc, UnknownTimerDoesNothing) {
    StartScene();
    for (int i = 0; i < 10; i++) SceneWindowProc(nullptr, WM_TIMER, 1, 0);
    std::uint64_t before = SceneDigest();
    for (WPARAM id : {WPARAM{0}, WPARAM{4}, WPARAM{99}}) {
        EXPECT_EQ(SceneWindowProc(nullptr, WM_TIMER, id, 0), 0);
    }
    EXPECT_EQ(SceneDigest(), before);
}

}  // namespace
