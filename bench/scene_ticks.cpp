// Cost of one tick of each timer with both particle pools full (128 fire,
// 256 wind), the heaviest load the scene can carry.
#include <benchmark/benchmark.h>

#include "scene/scene.h"

namespace {

// Fewer motion ticks than the shortest life (81 for fire, 201 for leaves)
// run between refills, so every slot stays live during the measurement.
constexpr int BENCH_REFILL_EVERY = 64;

void FillPools() {
    for (Particle& p : g_firePool) p.active = 0;
    for (Particle& p : g_windPool) p.active = 0;
    for (int i = 0; i < FIRE_POOL_SIZE; i++) EmitFireParticle();
    for (int i = 0; i < WIND_POOL_SIZE; i++) EmitWindParticle();
}

void StartFull() {
    InitSceneData();
    g_earthOn = g_waterOn = g_airOn = g_fireOn = 1;
    g_treeLift = -1.0f;
    g_waterLevel = -1.2f;
    FillPools();
}

// Both pools full: each emission searches its whole pool and emits nothing.
void BM_LevelTick(benchmark::State& state) {
    StartFull();
    g_earthOn = 0;  // keep a level moving: the lift rises for 91 ticks, then flip
    int ticks = 0;
    for (auto _ : state) {
        StepLevels();
        if (g_fireOn == 1) EmitFireParticle();
        if (g_airOn == 1) EmitWindParticle();
        if (++ticks == 91) {
            ticks = 0;
            g_earthOn = g_earthOn == 0 ? 1 : 0;
        }
    }
    if (g_firePool[FIRE_POOL_SIZE - 1].active != 1 || g_windPool[WIND_POOL_SIZE - 1].active != 1) {
        state.SkipWithError("pools ran empty");
    }
}
BENCHMARK(BM_LevelTick);

// 384 live particles, 384 random draws.
void BM_MotionTick(benchmark::State& state) {
    StartFull();
    int ticks = 0;
    for (auto _ : state) {
        RotateFlagWave();
        MoveFireParticles();
        MoveWindParticles();
        if (++ticks == BENCH_REFILL_EVERY) {
            state.PauseTiming();
            ticks = 0;
            FillPools();
            state.ResumeTiming();
        }
    }
    for (const Particle& p : g_firePool) {
        if (p.active != 1) state.SkipWithError("a fire particle died");
    }
    for (const Particle& p : g_windPool) {
        if (p.active != 1) state.SkipWithError("a leaf left");
    }
}
BENCHMARK(BM_MotionTick);

void BM_SwitchTickIdle(benchmark::State& state) {
    StartFull();
    for (auto _ : state) {
        PollSwitchKeys();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SwitchTickIdle);

void BM_SwitchTickAllKeys(benchmark::State& state) {
    StartFull();
    for (auto _ : state) {
        g_keys[KEY_F1] = g_keys[KEY_F2] = g_keys[KEY_F3] = g_keys[KEY_F4] = 1;
        PollSwitchKeys();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SwitchTickAllKeys);

}  // namespace
