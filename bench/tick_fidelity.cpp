// Tick fidelity: runs the real program for ten seconds with the main loop
// drawing frames flat out, counts the ticks of each timer that reach the
// window procedure and compares them with the nominal count.
//
//   bench_tick_fidelity [texture folder] [seconds]
//
// Run it in (or point it at) the folder with the textures, under a display.
#include "platform/platform_test.h"
#include "shell/shell.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point g_start;
Clock::duration g_length;
long g_ticks[4];
long g_frames;
bool g_closing;

void CountTick(const MSG* message) {
    if (message->message == WM_TIMER && message->wParam < 4) ++g_ticks[message->wParam];
}

void CountFrameAndStop(HDC) {
    if (g_frames++ == 0) {
        // Measure from the first frame on: the timers started just before it.
        g_start = Clock::now();
        for (long& ticks : g_ticks) ticks = 0;
    }
    if (!g_closing && Clock::now() - g_start >= g_length) {
        g_closing = true;
        PostMessageA(g_window, WM_CLOSE, 0, 0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && chdir(argv[1]) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    g_length = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));

    PlatformRecordMessageBoxes(true);
    PlatformSetDispatchHook(CountTick);
    PlatformSetSwapHook(CountFrameAndStop);
    const int exitCode = WinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL);
    const double elapsed = std::chrono::duration<double>(Clock::now() - g_start).count();

    std::printf("%.2f s, %ld frames (%.1f per second), exit code %d\n", elapsed, g_frames, g_frames / elapsed,
                exitCode);
    std::printf("%-16s %8s %8s %8s\n", "timer", "ticks", "nominal", "ratio");
    const struct {
        const char* name;
        UINT_PTR id;
        UINT periodMs;
    } timers[] = {{"TIMER_LEVELS", TIMER_LEVELS, TIMER_LEVELS_MS},
                  {"TIMER_MOTION", TIMER_MOTION, TIMER_MOTION_MS},
                  {"TIMER_SWITCHES", TIMER_SWITCHES, TIMER_SWITCHES_MS}};
    bool withinGoal = true;
    for (const auto& timer : timers) {
        const long nominal = static_cast<long>(seconds * 1000.0 / timer.periodMs);
        const double ratio = static_cast<double>(g_ticks[timer.id]) / nominal;
        withinGoal = withinGoal && ratio >= 0.98 && ratio <= 1.02;
        std::printf("%-16s %8ld %8ld %8.3f\n", timer.name, g_ticks[timer.id], nominal, ratio);
    }
    std::printf("goal (each within 2%% of nominal): %s\n", withinGoal ? "met" : "missed");
    return exitCode;
}
