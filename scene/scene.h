// scene.h -- scene state and tick steps. The whole mutable scene is the set of
// globals below; the steps write it on timer ticks, the renderer only reads it.
// Everything here runs on the GUI thread and knows nothing of windows or GL.
#pragma once

#include <cstdint>

struct Particle {
    std::uint8_t active;     // 1: the slot holds a live particle
    float x, y, z;           // drawn one unit further along +x than x says
    float rotX, rotY, rotZ;  // degrees; wind particles only
    float r, g, b;           // fire particles only
    float size;              // signed half edge; fire particles only
};

struct Tree {
    float height;
    float x;
    float z;
};

constexpr int FIRE_POOL_SIZE = 128;
constexpr int WIND_POOL_SIZE = 256;
constexpr int TERRAIN_SIDE = 17;  // grid points per side; 16 x 16 cells
constexpr int TREE_COUNT = 6;
constexpr int FLAG_EDGES = 9;
constexpr int KEY_COUNT = 256;
// Virtual-key codes of the four switch keys, as indices into g_keys.
constexpr int KEY_F1 = 0x70;  // earth
constexpr int KEY_F2 = 0x71;  // water
constexpr int KEY_F3 = 0x72;  // air
constexpr int KEY_F4 = 0x73;  // fire

extern Particle g_firePool[FIRE_POOL_SIZE];
extern Particle g_windPool[WIND_POOL_SIZE];
extern float g_terrain[TERRAIN_SIDE][TERRAIN_SIDE];  // [row along depth][column along x]
extern Tree g_trees[TREE_COUNT];
extern float g_flagWave[FLAG_EDGES];

extern std::uint8_t g_earthOn;
extern std::uint8_t g_waterOn;
extern std::uint8_t g_airOn;
extern std::uint8_t g_fireOn;

extern float g_waterLevel;
extern float g_treeLift;

extern std::int32_t g_fireDepthStep;
extern std::int32_t g_fireSideStep;
extern std::int32_t g_fireTint;
extern std::int32_t g_windDepthStep;
extern std::int32_t g_windHeightStep;
extern std::uint32_t g_randomState;

extern std::uint8_t g_keys[KEY_COUNT];
extern std::int32_t g_done;

// Once, first thing at start-up: terrain, flag wave and trees to their start
// values. Touches nothing else.
void InitSceneData();
// Every scene variable back to the value it holds when the program starts,
// before InitSceneData. For tests and tools that restart the scene within one
// process; the program itself never calls it.
void ResetSceneState();

// Every switch tick (50 ms): F1..F4 pressed since the last poll flip their
// switches, in that order, and the press is consumed.
void PollSwitchKeys();
// First step of every level tick (15 ms): tree lift and water level move one
// step towards the limit their switch selects.
void StepLevels();

// The scene's one random generator: 0..32767, a fixed sequence from state 1.
int NextRandom();
// Level tick, while the fire is on: one fire particle into the lowest free slot.
void EmitFireParticle();
// Every motion tick (30 ms): jitter, rise and shrink the live fire particles.
void MoveFireParticles();

// Level tick, while the air is on: one leaf into the lowest free slot.
void EmitWindParticle();
// Every motion tick, after the fire particles: blow and tumble the leaves.
void MoveWindParticles();
// First step of every motion tick: the flag wave moves one place outward.
void RotateFlagWave();
