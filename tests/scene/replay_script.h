// A fixed minute of timer ticks and key events, run through a driver so the
// same script can feed the steps directly or through the window procedure.
#pragma once

#include <cstddef>

#include "scene/scene.h"
#include "tests/scene/scene_fixture.h"

constexpr int REPLAY_TIMER_LEVELS = 1;
constexpr int REPLAY_TIMER_MOTION = 2;
constexpr int REPLAY_TIMER_SWITCHES = 3;
constexpr int REPLAY_END_MS = 60000;

struct ReplayDriver {
    void (*tick)(int timerId);
    void (*key)(int key, bool down);
    void (*check)(int ms);  // after everything due at `ms`; may be null
};

struct KeyEvent {
    int ms;
    int key;
    bool down;
};

// Switch presses, taps released before the poll, a held key with auto-repeat,
// two keys in one period, and a key that no step reads.
constexpr KeyEvent REPLAY_KEYS[] = {
    {500, 0x41, true},     {1000, KEY_F4, true},   {1120, KEY_F4, false},  {2010, KEY_F1, true},
    {2090, KEY_F1, false}, {4010, KEY_F4, true},   {4030, KEY_F4, false},  {4210, KEY_F4, true},
    {4280, KEY_F4, false}, {6010, KEY_F1, true},   {6500, KEY_F1, true},   {6535, KEY_F1, true},
    {6570, KEY_F1, true},  {6605, KEY_F1, true},   {6640, KEY_F1, true},   {6675, KEY_F1, true},
    {6710, KEY_F1, true},  {7000, KEY_F1, false},  {9000, KEY_F2, true},   {9100, KEY_F2, false},
    {15000, KEY_F2, true}, {15100, KEY_F2, false}, {20000, KEY_F3, true},  {20060, KEY_F3, false},
    {30020, KEY_F3, true}, {30025, KEY_F4, true},  {30080, KEY_F3, false}, {30085, KEY_F4, false},
    {40000, KEY_F4, true}, {40200, KEY_F4, false}, {45000, KEY_F1, true},  {45040, KEY_F1, false},
};

// Time runs in 5 ms steps; key events due at a step come first, then the
// timers due, in the order levels, motion, switches. `skipMotionAt` drops one
// motion tick (to show that the digest notices); -1 drops none.
inline void RunReplay(const ReplayDriver& driver, int skipMotionAt = -1) {
    std::size_t next = 0;
    const std::size_t count = sizeof REPLAY_KEYS / sizeof REPLAY_KEYS[0];
    for (int ms = 5; ms <= REPLAY_END_MS; ms += 5) {
        while (next < count && REPLAY_KEYS[next].ms == ms) {
            driver.key(REPLAY_KEYS[next].key, REPLAY_KEYS[next].down);
            next++;
        }
        if (ms % 15 == 0) driver.tick(REPLAY_TIMER_LEVELS);
        if (ms % 30 == 0 && ms != skipMotionAt) driver.tick(REPLAY_TIMER_MOTION);
        if (ms % 50 == 0) driver.tick(REPLAY_TIMER_SWITCHES);
        if (driver.check != nullptr) driver.check(ms);
    }
}

// The driver that calls the steps directly, in the order of the timer dispatch.
inline void DirectReplayTick(int timerId) {
    if (timerId == REPLAY_TIMER_LEVELS) LevelTick();
    if (timerId == REPLAY_TIMER_MOTION) MotionTick();
    if (timerId == REPLAY_TIMER_SWITCHES) SwitchTick();
}

// What a key-down or key-up message does to the key table.
inline void DirectReplayKey(int key, bool down) {
    g_keys[key] = down ? 1 : 0;
}
