#include <algorithm>
#include <vector>

#include "tests/scene/scene_fixture.h"

namespace {

struct HeightEntry {
    int row;
    int column;
    float height;
};

// The hills and the lake hollow, listed entry by entry; all other grid
// entries are flat ground.
const HeightEntry HILLS[] = {
    {1, 1, 2.0f},  {1, 2, 1.8f},  {1, 3, 1.6f},  {1, 4, 1.4f},  {1, 5, 1.5f},  {1, 6, 1.65f}, {1, 7, 1.5f},
    {1, 8, 2.0f},  {1, 9, 1.6f},  {2, 5, 2.0f},  {2, 6, 2.15f}, {2, 7, 2.0f},  {2, 12, 2.0f}, {2, 13, 1.6f},
    {3, 4, -0.3f}, {3, 5, -0.3f}, {3, 6, -0.3f}, {3, 7, -0.3f}, {3, 8, 1.4f},  {3, 9, 1.4f},  {3, 12, 1.4f},
    {4, 4, -0.4f}, {4, 5, -0.4f}, {4, 6, -0.4f}, {4, 7, -0.4f}, {4, 8, 1.3f},  {4, 9, 1.2f},  {5, 4, -0.4f},
    {5, 5, -0.4f}, {5, 6, -0.4f}, {5, 7, -0.5f}, {6, 1, -0.5f}, {6, 2, -0.5f}, {6, 3, -0.4f}, {6, 4, -0.3f},
    {6, 5, -0.3f}, {6, 6, -0.3f}, {6, 7, -0.3f}, {7, 1, -0.6f}, {7, 2, -0.6f}, {7, 4, -0.2f}, {7, 5, -0.2f},
    {7, 6, -0.2f}, {7, 7, -0.2f},
};

TEST_F(SceneTest, TerrainHoldsTheHillsAndExactZeroElsewhere) {
    ASSERT_EQ(sizeof HILLS / sizeof HILLS[0], 44u);
    bool listed[TERRAIN_SIDE][TERRAIN_SIDE] = {};
    for (const HeightEntry& e : HILLS) {
        EXPECT_EQ(FloatBits(g_terrain[e.row][e.column]), FloatBits(e.height)) << e.row << "," << e.column;
        listed[e.row][e.column] = true;
    }
    int nonZero = 0;
    for (int row = 0; row < TERRAIN_SIDE; row++) {
        for (int column = 0; column < TERRAIN_SIDE; column++) {
            if (g_terrain[row][column] != 0.0f) nonZero++;
            if (!listed[row][column]) {
                EXPECT_EQ(FloatBits(g_terrain[row][column]), 0u) << row << "," << column;  // +0, not -0
            }
        }
    }
    EXPECT_EQ(nonZero, 44);
}

TEST_F(SceneTest, TerrainExtremesLieWhereTheHollowAndPeakAre) {
    std::vector<std::pair<int, int>> lowest, highest;
    float low = g_terrain[0][0], high = g_terrain[0][0];
    for (int row = 0; row < TERRAIN_SIDE; row++) {
        for (int column = 0; column < TERRAIN_SIDE; column++) {
            low = std::min(low, g_terrain[row][column]);
            high = std::max(high, g_terrain[row][column]);
        }
    }
    for (int row = 0; row < TERRAIN_SIDE; row++) {
        for (int column = 0; column < TERRAIN_SIDE; column++) {
            if (g_terrain[row][column] == low) lowest.push_back({row, column});
            if (g_terrain[row][column] == high) highest.push_back({row, column});
        }
    }
    EXPECT_EQ(low, -0.6f);
    EXPECT_EQ(high, 2.15f);
    EXPECT_EQ(lowest, (std::vector<std::pair<int, int>>{{7, 1}, {7, 2}}));
    EXPECT_EQ(highest, (std::vector<std::pair<int, int>>{{2, 6}}));
}

// The renderer textures flat cells (four corners exactly 0) differently.
TEST_F(SceneTest, TerrainHas183FlatCellsAnd73Shaped) {
    int flat = 0, shaped = 0;
    for (int row = 0; row < TERRAIN_SIDE - 1; row++) {
        for (int column = 0; column < TERRAIN_SIDE - 1; column++) {
            bool allZero =
                FloatBits(g_terrain[row][column]) == 0 && FloatBits(g_terrain[row][column + 1]) == 0 &&
                FloatBits(g_terrain[row + 1][column]) == 0 && FloatBits(g_terrain[row + 1][column + 1]) == 0;
            (allZero ? flat : shaped)++;
        }
    }
    EXPECT_EQ(flat, 183);
    EXPECT_EQ(shaped, 73);
}

TEST_F(SceneTest, TreesAndFlagWaveStartValues) {
    const Tree trees[TREE_COUNT] = {{1.0f, -1.0f, -2.3f}, {1.2f, 0.0f, -4.0f},  {0.9f, 2.0f, -6.0f},
                                    {1.1f, 2.2f, -5.0f},  {1.0f, -1.0f, -4.0f}, {1.2f, 0.9f, -3.0f}};
    for (int i = 0; i < TREE_COUNT; i++) {
        EXPECT_EQ(FloatBits(g_trees[i].height), FloatBits(trees[i].height)) << i;
        EXPECT_EQ(FloatBits(g_trees[i].x), FloatBits(trees[i].x)) << i;
        EXPECT_EQ(FloatBits(g_trees[i].z), FloatBits(trees[i].z)) << i;
    }
    const float wave[FLAG_EDGES] = {0.0f, 0.1f, 0.05f, 0.0f, -0.05f, -0.1f, -0.05f, 0.0f, 0.05f};
    for (int i = 0; i < FLAG_EDGES; i++) EXPECT_EQ(FloatBits(g_flagWave[i]), FloatBits(wave[i])) << i;
}

// Taken during static initialisation, before any test code runs: the scene
// globals are constant-initialised, so this is their program-start state.
struct StartSnapshot {
    std::uint64_t digest;
    std::uint8_t earthOn, waterOn, airOn, fireOn;
    float waterLevel, treeLift;
    std::uint32_t randomState;
    int liveParticles;
};
const StartSnapshot PROGRAM_START = {
    SceneDigest(),
    g_earthOn,
    g_waterOn,
    g_airOn,
    g_fireOn,
    g_waterLevel,
    g_treeLift,
    g_randomState,
    LiveCount(g_firePool, FIRE_POOL_SIZE) + LiveCount(g_windPool, WIND_POOL_SIZE)};

TEST(SceneGlobals, ProgramStartValues) {
    EXPECT_EQ(PROGRAM_START.earthOn, 1);
    EXPECT_EQ(PROGRAM_START.waterOn, 1);
    EXPECT_EQ(PROGRAM_START.airOn, 1);
    EXPECT_EQ(PROGRAM_START.fireOn, 1);
    EXPECT_EQ(FloatBits(PROGRAM_START.waterLevel), FloatBits(-1.2f));
    EXPECT_EQ(FloatBits(PROGRAM_START.treeLift), 0u);
    EXPECT_EQ(PROGRAM_START.randomState, 1u);
    EXPECT_EQ(PROGRAM_START.liveParticles, 0);
    // Every other global is 0: the reset helper sets exactly these values
    // and zeros the rest, and must reproduce the same state.
    ResetSceneState();
    EXPECT_EQ(SceneDigest(), PROGRAM_START.digest);
}

// Everything is overwritten with a byte pattern first: InitSceneData must
// replace all of terrain, trees and flag wave (including the zeros) and must
// leave every other global exactly as it was.
TEST(InitSceneData, WritesOnlyTerrainTreesAndFlag) {
    std::memset(g_terrain, 0x5A, sizeof g_terrain);
    std::memset(g_trees, 0x5A, sizeof g_trees);
    std::memset(g_flagWave, 0x5A, sizeof g_flagWave);
    std::memset(g_firePool, 0xA5, sizeof g_firePool);
    std::memset(g_windPool, 0x3C, sizeof g_windPool);
    std::memset(g_keys, 0x01, sizeof g_keys);
    g_earthOn = 7, g_waterOn = 8, g_airOn = 9, g_fireOn = 10;
    g_waterLevel = 123.0f, g_treeLift = -321.0f;
    g_fireDepthStep = 11, g_fireSideStep = 12, g_fireTint = 13, g_windDepthStep = 14, g_windHeightStep = 15;
    g_randomState = 0xDEADBEEFu;
    g_done = 17;

    Particle fire[FIRE_POOL_SIZE], wind[WIND_POOL_SIZE];
    std::uint8_t keys[KEY_COUNT];
    std::memcpy(fire, g_firePool, sizeof fire);
    std::memcpy(wind, g_windPool, sizeof wind);
    std::memcpy(keys, g_keys, sizeof keys);

    InitSceneData();

    EXPECT_EQ(std::memcmp(fire, g_firePool, sizeof fire), 0);
    EXPECT_EQ(std::memcmp(wind, g_windPool, sizeof wind), 0);
    EXPECT_EQ(std::memcmp(keys, g_keys, sizeof keys), 0);
    EXPECT_EQ(g_earthOn, 7);
    EXPECT_EQ(g_waterOn, 8);
    EXPECT_EQ(g_airOn, 9);
    EXPECT_EQ(g_fireOn, 10);
    EXPECT_EQ(g_waterLevel, 123.0f);
    EXPECT_EQ(g_treeLift, -321.0f);
    EXPECT_EQ(g_fireDepthStep, 11);
    EXPECT_EQ(g_fireSideStep, 12);
    EXPECT_EQ(g_fireTint, 13);
    EXPECT_EQ(g_windDepthStep, 14);
    EXPECT_EQ(g_windHeightStep, 15);
    EXPECT_EQ(g_randomState, 0xDEADBEEFu);
    EXPECT_EQ(g_done, 17);

    // The pattern is gone from all three tables.
    StartScene();
    std::uint64_t fresh = SceneDigest();
    std::memset(g_terrain, 0x5A, sizeof g_terrain);
    std::memset(g_trees, 0x5A, sizeof g_trees);
    std::memset(g_flagWave, 0x5A, sizeof g_flagWave);
    InitSceneData();
    EXPECT_EQ(SceneDigest(), fresh);
}

}  // namespace
