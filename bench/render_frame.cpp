// Frame rate of RenderFrame plus the buffer swap on the machine's OpenGL
// (llvmpipe under Xvfb here), with both particle pools full, measured in the
// same run as frames that only clear and swap. The counters give both rates
// and their ratio: how many empty frames one scene frame costs.
//
// --frames-only: skip the benchmarks, draw a few frames to warm up and then
// one more in ProfiledFrame, for a profiler to look at.
#include "tools/offscreen.h"

#include "render/render.h"
#include "scene/scene.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

// Fills every free slot with a copy of the live particle before it, so the
// pool is exactly full (the fire pool loses a few particles on some ticks).
void TopUpPool(Particle* pool, int size) {
    for (int i = 1; i < size; i++) {
        if (pool[i].active == 0 && pool[i - 1].active != 0) {
            pool[i] = pool[i - 1];
        }
    }
}

int LiveParticles(const Particle* pool, int size) {
    int live = 0;
    for (int i = 0; i < size; i++) {
        live += pool[i].active != 0 ? 1 : 0;
    }
    return live;
}

// The generated textures, everything on, five seconds of ticks: by then
// the wind pool is full and the fire pool within a few of full.
bool OpenFullScene(int width, int height) {
    ResetSnapshotScene();
    if (!OpenSnapshotWindow(width, height)) {
        return false;
    }
    InitSnapshotRender(TESSAVINE_TEXTURE_DIR);
    RunSnapshotTimeline(0, 5000);
    TopUpPool(g_firePool, FIRE_POOL_SIZE);
    TopUpPool(g_windPool, WIND_POOL_SIZE);
    return LiveParticles(g_firePool, FIRE_POOL_SIZE) == FIRE_POOL_SIZE &&
           LiveParticles(g_windPool, WIND_POOL_SIZE) == WIND_POOL_SIZE;
}

void CloseScene() {
    gluDeleteQuadric(g_quadric);
    g_quadric = nullptr;
    CloseSnapshotWindow();
}

void ClearFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
}

void BM_FrameAndSwap(benchmark::State& state) {
    int width = static_cast<int>(state.range(0));
    int height = static_cast<int>(state.range(1));
    if (!OpenFullScene(width, height)) {
        CloseScene();
        state.SkipWithError("no window, or the particle pools are not full");
        return;
    }
    using Clock = std::chrono::steady_clock;
    // Warm up both kinds of frame once.
    RenderFrame();
    SwapSnapshotBuffers();
    ClearFrame();
    SwapSnapshotBuffers();

    Clock::duration sceneTime{};
    std::int64_t frames = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        RenderFrame();
        SwapSnapshotBuffers();
        sceneTime += Clock::now() - start;
        frames++;
    }
    // As many clear-only frames, in the same window and run.
    Clock::time_point start = Clock::now();
    for (std::int64_t i = 0; i < frames; i++) {
        ClearFrame();
        SwapSnapshotBuffers();
    }
    Clock::duration clearTime = Clock::now() - start;

    double sceneSeconds = std::chrono::duration<double>(sceneTime).count();
    double clearSeconds = std::chrono::duration<double>(clearTime).count();
    state.counters["scene_fps"] = static_cast<double>(frames) / sceneSeconds;
    state.counters["clear_fps"] = static_cast<double>(frames) / clearSeconds;
    state.counters["scene/clear"] = sceneSeconds / clearSeconds;
    CloseScene();
}

BENCHMARK(BM_FrameAndSwap)->Args({640, 480})->Args({1280, 960})->Unit(benchmark::kMillisecond)->UseRealTime();

// The frame a profiler looks at: valgrind --tool=callgrind
// --toggle-collect='*ProfiledFrame*' collects this call alone.
__attribute__((noinline)) void ProfiledFrame() {
    RenderFrame();
    SwapSnapshotBuffers();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--frames-only") == 0) {
        if (!OpenFullScene(640, 480)) {
            std::fprintf(stderr, "no window, or the particle pools are not full\n");
            return 1;
        }
        // Shaders are compiled on first use: warm up before the frame.
        for (int i = 0; i < 3; i++) {
            RenderFrame();
            SwapSnapshotBuffers();
        }
        ProfiledFrame();
        CloseScene();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
