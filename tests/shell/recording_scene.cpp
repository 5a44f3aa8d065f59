// Stands in for the scene and the view: every step appends its name to a log.
#include "tests/shell/recording_scene.h"

#include "scene/scene.h"
#include "shell/shell.h"

std::vector<std::string> g_stepLog;
std::vector<std::pair<int, int>> g_resizeLog;

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

HWND g_window;

void InitSceneData() {
    g_stepLog.push_back("InitSceneData");
}
void PollSwitchKeys() {
    g_stepLog.push_back("PollSwitchKeys");
}
void StepLevels() {
    g_stepLog.push_back("StepLevels");
}
int NextRandom() {
    return 0;
}
void EmitFireParticle() {
    g_stepLog.push_back("EmitFireParticle");
}
void MoveFireParticles() {
    g_stepLog.push_back("MoveFireParticles");
}
void EmitWindParticle() {
    g_stepLog.push_back("EmitWindParticle");
}
void MoveWindParticles() {
    g_stepLog.push_back("MoveWindParticles");
}
void RotateFlagWave() {
    g_stepLog.push_back("RotateFlagWave");
}

void ResizeView(int width, int height) {
    g_resizeLog.emplace_back(width, height);
}
