// Shared helpers for the scene tests: a reset to the values the scene holds
// when the first tick arrives, the three timer ticks in dispatch order, an
// independent model of the random generator and a digest of the whole state.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "scene/scene.h"

// The state at the first timer tick: program start, InitSceneData, then what
// the entry sequence sets (free slots, fire tint 0, trees on the ground).
inline void StartScene() {
    ResetSceneState();
    InitSceneData();
    for (Particle& p : g_firePool) p.active = 0;
    for (Particle& p : g_windPool) p.active = 0;
    g_done = 0;
    g_fireDepthStep = 0;
    g_fireSideStep = 0;
    g_fireTint = 0;
    g_treeLift = -1.0f;
}

inline void LevelTick() {
    StepLevels();
    if (g_fireOn == 1) EmitFireParticle();
    if (g_airOn == 1) EmitWindParticle();
}

inline void MotionTick() {
    RotateFlagWave();
    MoveFireParticles();
    MoveWindParticles();
}

inline void SwitchTick() {
    PollSwitchKeys();
}

inline std::uint32_t FloatBits(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

// The generator as defined: 32-bit state, x * 214013 + 2531011 mod 2^32,
// output bits 16..30. Written with 64-bit arithmetic and an explicit modulus.
struct RandomModel {
    std::uint64_t state = 1;
    int Next() {
        state = (state * 214013ull + 2531011ull) % 4294967296ull;
        return static_cast<int>((state / 65536ull) % 32768ull);
    }
};

// The first state s >= 1 whose next draw reduced mod `modulus` is `wanted`.
inline std::uint32_t StateBeforeDraw(int modulus, int wanted) {
    for (std::uint64_t s = 1;; s++) {
        RandomModel m;
        m.state = s;
        if (m.Next() % modulus == wanted) return static_cast<std::uint32_t>(s);
    }
}

// FNV-1a over every scene global, field by field (struct padding excluded).
struct Digest {
    std::uint64_t hash = 14695981039346656037ull;
    void Bytes(const void* data, std::size_t size) {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; i++) {
            hash ^= bytes[i];
            hash *= 1099511628211ull;
        }
    }
    void Float(float f) {
        std::uint32_t bits = FloatBits(f);
        Bytes(&bits, sizeof bits);
    }
    void Particles(const Particle* pool, int count) {
        for (int i = 0; i < count; i++) {
            const Particle& p = pool[i];
            Bytes(&p.active, 1);
            for (float f : {p.x, p.y, p.z, p.rotX, p.rotY, p.rotZ, p.r, p.g, p.b, p.size}) Float(f);
        }
    }
};

inline std::uint64_t SceneDigest() {
    Digest d;
    d.Particles(g_firePool, FIRE_POOL_SIZE);
    d.Particles(g_windPool, WIND_POOL_SIZE);
    for (const auto& row : g_terrain)
        for (float h : row) d.Float(h);
    for (const Tree& t : g_trees) {
        d.Float(t.height);
        d.Float(t.x);
        d.Float(t.z);
    }
    for (float w : g_flagWave) d.Float(w);
    d.Bytes(&g_earthOn, 1);
    d.Bytes(&g_waterOn, 1);
    d.Bytes(&g_airOn, 1);
    d.Bytes(&g_fireOn, 1);
    d.Float(g_waterLevel);
    d.Float(g_treeLift);
    for (std::int32_t v : {g_fireDepthStep, g_fireSideStep, g_fireTint, g_windDepthStep, g_windHeightStep})
        d.Bytes(&v, sizeof v);
    d.Bytes(&g_randomState, sizeof g_randomState);
    d.Bytes(g_keys, sizeof g_keys);
    d.Bytes(&g_done, sizeof g_done);
    return d.hash;
}

class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override { StartScene(); }
};

inline int LiveCount(const Particle* pool, int count) {
    int live = 0;
    for (int i = 0; i < count; i++) live += pool[i].active != 0;
    return live;
}
