#include "scene/scene.h"

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

void InitSceneData() {}
