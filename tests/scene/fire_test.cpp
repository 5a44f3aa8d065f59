#include <algorithm>
#include <tuple>
#include <vector>

#include "tests/scene/scene_fixture.h"

namespace {

using FireTest = SceneTest;

TEST(NextRandom, FollowsTheGeneratorFromStateOne) {
    StartScene();
    EXPECT_EQ(NextRandom(), 41);
    EXPECT_EQ(NextRandom(), 18467);
    EXPECT_EQ(NextRandom(), 6334);
    RandomModel model;
    for (int i = 0; i < 3; i++) model.Next();
    for (int i = 0; i < 100000; i++) {
        int value = NextRandom();
        ASSERT_EQ(value, model.Next()) << i;
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
    EXPECT_EQ(g_randomState, model.state);
}

TEST_F(FireTest, FirstEightEmissions) {
    struct Start {
        float z, x, g;
    };
    const Start want[8] = {{-6.0f, 0.0f, 0.2f},   {-5.8f, 0.05f, 0.3f}, {-6.2f, -0.05f, 0.2f},
                           {-5.6f, 0.1f, 0.3f},   {-6.2f, -0.1f, 0.2f}, {-6.0f, -0.075f, 0.3f},
                           {-5.8f, 0.075f, 0.2f}, {-6.2f, 0.0f, 0.3f}};
    for (int i = 0; i < 8; i++) {
        EmitFireParticle();
        const Particle& p = g_firePool[i];
        EXPECT_EQ(p.active, 1) << i;
        EXPECT_EQ(FloatBits(p.z), FloatBits(want[i].z)) << i;
        EXPECT_EQ(FloatBits(p.x), FloatBits(want[i].x)) << i;
        EXPECT_EQ(FloatBits(p.y), 0u) << i;
        EXPECT_EQ(FloatBits(p.r), FloatBits(1.0f)) << i;
        EXPECT_EQ(FloatBits(p.g), FloatBits(want[i].g)) << i;
        EXPECT_EQ(FloatBits(p.b), 0u) << i;
        EXPECT_EQ(FloatBits(p.size), FloatBits(0.3f)) << i;
        EXPECT_EQ(FloatBits(p.rotX) | FloatBits(p.rotY) | FloatBits(p.rotZ), 0u) << i;
    }
    EXPECT_EQ(LiveCount(g_firePool, FIRE_POOL_SIZE), 8);
    EXPECT_EQ(g_randomState, 1u);  // emission draws nothing
}

using StartTriple = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>;

StartTriple StartOf(const Particle& p) {
    return {FloatBits(p.z), FloatBits(p.x), FloatBits(p.g)};
}

// Emits `count` particles into a freshly emptied pool and returns their starts.
std::vector<StartTriple> EmitBatch(int count) {
    for (Particle& p : g_firePool) p.active = 0;
    std::vector<StartTriple> starts;
    for (int i = 0; i < count; i++) {
        EmitFireParticle();
        starts.push_back(StartOf(g_firePool[i]));
    }
    return starts;
}

TEST_F(FireTest, StartPatternRepeatsEvery70Emissions) {
    std::vector<StartTriple> first = EmitBatch(70);
    std::vector<StartTriple> second = EmitBatch(70);
    EXPECT_EQ(first, second);
    // No shorter period: 70 is the least common multiple of 5, 7 and 2.
    for (int period : {2, 5, 7, 10, 14, 35}) {
        bool repeats = true;
        for (int i = 0; i + period < 70; i++) repeats = repeats && first[i] == first[i + period];
        EXPECT_FALSE(repeats) << period;
    }
    // Every (depth state, side state, tint) combination occurs once; depth
    // states 2 and 4 share -6.2, leaving 4 x 7 x 2 distinct starts.
    std::vector<StartTriple> sorted = first;
    std::sort(sorted.begin(), sorted.end());
    int distinct = static_cast<int>(std::unique(sorted.begin(), sorted.end()) - sorted.begin());
    EXPECT_EQ(distinct, 4 * 7 * 2);
}

TEST_F(FireTest, FullPoolEmitsNothingAndKeepsTheCycles) {
    std::vector<StartTriple> reference = EmitBatch(70);  // pattern from counters 0,0,0
    StartScene();
    for (int i = 0; i < FIRE_POOL_SIZE; i++) EmitFireParticle();
    ASSERT_EQ(LiveCount(g_firePool, FIRE_POOL_SIZE), FIRE_POOL_SIZE);
    std::uint64_t full = SceneDigest();
    for (int i = 0; i < 10; i++) EmitFireParticle();
    EXPECT_EQ(SceneDigest(), full);

    // The next successful emission continues the pattern at emission 128.
    g_firePool[40].active = 0;
    EmitFireParticle();
    EXPECT_EQ(g_firePool[40].active, 1);
    EXPECT_EQ(StartOf(g_firePool[40]), reference[128 % 70]);
    EXPECT_EQ(FloatBits(g_firePool[40].z), FloatBits(-5.6f));   // depth state 128 % 5 = 3
    EXPECT_EQ(FloatBits(g_firePool[40].x), FloatBits(-0.05f));  // side state 128 % 7 = 2
    EXPECT_EQ(FloatBits(g_firePool[40].g), FloatBits(0.2f));    // tint 128 % 2 = 0
}

TEST_F(FireTest, LowestFreeSlotIsTakenAndFullyRewritten) {
    std::vector<StartTriple> reference = EmitBatch(70);
    StartScene();
    for (int i = 0; i < 10; i++) EmitFireParticle();
    for (int slot : {3, 7}) {
        // A dead particle's leftovers, all to be overwritten.
        Particle& p = g_firePool[slot];
        p = Particle{0, 9.0f, 8.1f, -7.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.5f, 0.5f, -0.51f};
    }
    const int wantSlots[] = {3, 7, 10, 11};
    for (int n = 0; n < 4; n++) {
        const Particle& p = g_firePool[wantSlots[n]];
        EmitFireParticle();
        EXPECT_EQ(p.active, 1) << n;
        EXPECT_EQ(StartOf(p), reference[10 + n]) << n;
        EXPECT_EQ(FloatBits(p.y), 0u) << n;
        EXPECT_EQ(FloatBits(p.r), FloatBits(1.0f)) << n;
        EXPECT_EQ(FloatBits(p.b), 0u) << n;
        EXPECT_EQ(FloatBits(p.size), FloatBits(0.3f)) << n;
    }
    EXPECT_EQ(LiveCount(g_firePool, FIRE_POOL_SIZE), 12);
}

// One particle from emission to death; y and size do not depend on the draws.
TEST_F(FireTest, ParticleLivesExactly81MotionTicks) {
    EmitFireParticle();
    Particle& p = g_firePool[0];
    for (int tick = 1; tick <= 81; tick++) {
        MoveFireParticles();
        if (tick <= 80) {
            ASSERT_EQ(p.active, 1) << tick;
        }
        if (tick == 14) {
            EXPECT_GT(p.size, 0.15f);
        }
        if (tick == 15) {
            EXPECT_EQ(p.size, 0.15f);  // smoke from here on
        }
        if (tick == 30) {
            EXPECT_GT(p.size, 0.0f);
            EXPECT_LT(p.size, 1e-6f);
        }
        if (tick == 31) {
            EXPECT_LT(p.size, 0.0f);
        }
        if (tick == 80) {
            EXPECT_EQ(p.size, -0.4999998f);  // not yet below -0.5
        }
    }
    EXPECT_EQ(p.active, 0);
    EXPECT_EQ(p.size, -0.5099998f);
    EXPECT_EQ(p.y, 8.0999947f);
    EXPECT_EQ(FloatBits(p.rotX) | FloatBits(p.rotY) | FloatBits(p.rotZ), 0u);
}

TEST_F(FireTest, SizeExactlyMinusHalfDoesNotDie) {
    EmitFireParticle();
    g_firePool[0].size = -0.49f;  // -0.49f - 0.01f rounds to exactly -0.5f
    ASSERT_EQ(-0.49f - 0.01f, -0.5f);
    MoveFireParticles();
    EXPECT_EQ(g_firePool[0].size, -0.5f);
    EXPECT_EQ(g_firePool[0].active, 1);
    MoveFireParticles();
    EXPECT_EQ(g_firePool[0].active, 0);
}

// Every live slot takes one draw per tick, the tick it dies included; free
// slots take none.
TEST_F(FireTest, OneDrawPerLiveParticlePerTick) {
    RandomModel model;
    for (int i = 0; i < 5; i++) EmitFireParticle();
    g_firePool[1].active = 0;
    g_firePool[3].size = -0.495f;  // dies in this tick
    MoveFireParticles();
    for (int i = 0; i < 4; i++) model.Next();
    EXPECT_EQ(g_randomState, model.state);
    EXPECT_EQ(g_firePool[3].active, 0);
    MoveFireParticles();
    for (int i = 0; i < 3; i++) model.Next();
    EXPECT_EQ(g_randomState, model.state);
}

struct JitterCase {
    int draw;
    float dx, dz;
};

class FireJitterTest : public ::testing::TestWithParam<JitterCase> {};

TEST_P(FireJitterTest, DrawSelectsOneAxisStep) {
    const JitterCase& c = GetParam();
    StartScene();
    EmitFireParticle();
    Particle& p = g_firePool[0];
    p.x = 0.5f;
    p.z = -6.0f;
    g_randomState = StateBeforeDraw(9, c.draw);
    MoveFireParticles();
    // An absent step leaves the coordinate bit for bit.
    EXPECT_EQ(FloatBits(p.x), FloatBits(c.dx == 0.0f ? 0.5f : 0.5f + c.dx)) << c.draw;
    EXPECT_EQ(FloatBits(p.z), FloatBits(c.dz == 0.0f ? -6.0f : -6.0f + c.dz)) << c.draw;
    EXPECT_EQ(FloatBits(p.y), FloatBits(0.1f)) << c.draw;
    EXPECT_EQ(FloatBits(p.size), FloatBits(0.3f - 0.01f)) << c.draw;
}

INSTANTIATE_TEST_SUITE_P(AllDraws, FireJitterTest,
                         ::testing::Values(JitterCase{0, 0.0f, 0.0f}, JitterCase{1, 0.01f, 0.0f},
                                           JitterCase{2, -0.01f, 0.0f}, JitterCase{3, 0.0f, 0.01f},
                                           JitterCase{4, 0.0f, -0.01f}, JitterCase{5, 0.02f, 0.0f},
                                           JitterCase{6, -0.02f, 0.0f}, JitterCase{7, 0.0f, 0.02f},
                                           JitterCase{8, 0.0f, -0.02f}));

// Draws 41, 18467, 6334: slot 0 gets 41 % 9 = 5 (x + 0.02), slot 1 gets
// 18467 % 9 = 8 (z - 0.02), slot 2 gets 6334 % 9 = 7 (z + 0.02).
TEST_F(FireTest, DrawsGoToSlotsInOrder) {
    for (int i = 0; i < 3; i++) EmitFireParticle();
    MoveFireParticles();
    EXPECT_EQ(g_firePool[0].x, 0.02f);
    EXPECT_EQ(g_firePool[0].z, -6.0f);
    EXPECT_EQ(g_firePool[1].x, 0.05f);
    EXPECT_EQ(g_firePool[1].z, -5.8f - 0.02f);
    EXPECT_EQ(g_firePool[2].x, -0.05f);
    EXPECT_EQ(g_firePool[2].z, -6.2f + 0.02f);
}

// The leaves draw after the fire: with no live fire particle the first draw
// (41 % 6 = 5, rotZ - 5) goes to the leaf; with two fire particles ahead of
// it the leaf gets the third (6334 % 6 = 4, rotZ + 5).
TEST_F(FireTest, WithoutLiveFireTheLeavesGetTheDraws) {
    EmitWindParticle();
    MoveFireParticles();
    MoveWindParticles();
    EXPECT_EQ(g_windPool[0].rotZ, 355.0f);

    StartScene();
    EmitFireParticle();
    EmitFireParticle();
    EmitWindParticle();
    MoveFireParticles();
    MoveWindParticles();
    EXPECT_EQ(g_windPool[0].rotZ, 5.0f);
}

}  // namespace
