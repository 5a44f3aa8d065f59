#include "scene/scene.h"

#include <cstring>

// Program-start values: the switches on, the lake full, everything else 0.
Particle g_firePool[FIRE_POOL_SIZE];
Particle g_windPool[WIND_POOL_SIZE];
float g_terrain[TERRAIN_SIDE][TERRAIN_SIDE];
Tree g_trees[TREE_COUNT];
float g_flagWave[FLAG_EDGES];

std::uint8_t g_earthOn = 1;
std::uint8_t g_waterOn = 1;
std::uint8_t g_airOn = 1;
std::uint8_t g_fireOn = 1;

float g_waterLevel = -1.2f;
float g_treeLift;

std::int32_t g_fireDepthStep;
std::int32_t g_fireSideStep;
std::int32_t g_fireTint;
std::int32_t g_windDepthStep;
std::int32_t g_windHeightStep;
std::uint32_t g_randomState = 1;

std::uint8_t g_keys[KEY_COUNT];
std::int32_t g_done;

namespace {

// Heights of rows 1..7, columns 1..13; every other grid entry is flat ground.
constexpr int TERRAIN_HILL_ROWS = 7;
constexpr int TERRAIN_HILL_COLUMNS = 13;
constexpr float TERRAIN_HILLS[TERRAIN_HILL_ROWS][TERRAIN_HILL_COLUMNS] = {
    {2.0f, 1.8f, 1.6f, 1.4f, 1.5f, 1.65f, 1.5f, 2.0f, 1.6f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 0.0f, 2.0f, 2.15f, 2.0f, 0.0f, 0.0f, 0.0f, 0.0f, 2.0f, 1.6f},
    {0.0f, 0.0f, 0.0f, -0.3f, -0.3f, -0.3f, -0.3f, 1.4f, 1.4f, 0.0f, 0.0f, 1.4f, 0.0f},
    {0.0f, 0.0f, 0.0f, -0.4f, -0.4f, -0.4f, -0.4f, 1.3f, 1.2f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, -0.4f, -0.4f, -0.4f, -0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {-0.5f, -0.5f, -0.4f, -0.3f, -0.3f, -0.3f, -0.3f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {-0.6f, -0.6f, 0.0f, -0.2f, -0.2f, -0.2f, -0.2f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
};

// One period of a triangle wave of amplitude 0.1; entry 0 is the pole.
constexpr float FLAG_WAVE_START[FLAG_EDGES] = {0.0f, 0.1f, 0.05f, 0.0f, -0.05f, -0.1f, -0.05f, 0.0f, 0.05f};

constexpr Tree TREE_START[TREE_COUNT] = {
    {1.0f, -1.0f, -2.3f}, {1.2f, 0.0f, -4.0f},  {0.9f, 2.0f, -6.0f},
    {1.1f, 2.2f, -5.0f},  {1.0f, -1.0f, -4.0f}, {1.2f, 0.9f, -3.0f},
};

}  // namespace

void InitSceneData() {
    for (int row = 0; row < TERRAIN_SIDE; row++) {
        for (int column = 0; column < TERRAIN_SIDE; column++) {
            g_terrain[row][column] = 0.0f;
        }
    }
    for (int edge = 0; edge < FLAG_EDGES; edge++) {
        g_flagWave[edge] = FLAG_WAVE_START[edge];
    }
    for (int row = 0; row < TERRAIN_HILL_ROWS; row++) {
        for (int column = 0; column < TERRAIN_HILL_COLUMNS; column++) {
            g_terrain[row + 1][column + 1] = TERRAIN_HILLS[row][column];
        }
    }
    for (int tree = 0; tree < TREE_COUNT; tree++) {
        g_trees[tree] = TREE_START[tree];
    }
}

void ResetSceneState() {
    std::memset(g_firePool, 0, sizeof g_firePool);
    std::memset(g_windPool, 0, sizeof g_windPool);
    std::memset(g_terrain, 0, sizeof g_terrain);
    std::memset(g_trees, 0, sizeof g_trees);
    std::memset(g_flagWave, 0, sizeof g_flagWave);
    g_earthOn = 1;
    g_waterOn = 1;
    g_airOn = 1;
    g_fireOn = 1;
    g_waterLevel = -1.2f;
    g_treeLift = 0.0f;
    g_fireDepthStep = 0;
    g_fireSideStep = 0;
    g_fireTint = 0;
    g_windDepthStep = 0;
    g_windHeightStep = 0;
    g_randomState = 1;
    std::memset(g_keys, 0, sizeof g_keys);
    g_done = 0;
}
