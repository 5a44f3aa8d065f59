#include <cmath>
#include <string>

#include "tests/scene/scene_fixture.h"

namespace {

using WindTest = SceneTest;

TEST_F(WindTest, FirstEightLeaves) {
    const float want[8][2] = {{-6.0f, 0.0f}, {-5.0f, 1.4f}, {-4.0f, 1.0f}, {-3.0f, 2.0f},
                              {-4.5f, 2.2f}, {-6.0f, 1.5f}, {-5.0f, 1.7f}, {-4.0f, 0.0f}};
    for (int i = 0; i < 8; i++) {
        EmitWindParticle();
        const Particle& p = g_windPool[i];
        EXPECT_EQ(p.active, 1) << i;
        EXPECT_EQ(FloatBits(p.z), FloatBits(want[i][0])) << i;
        EXPECT_EQ(FloatBits(p.y), FloatBits(want[i][1])) << i;
        EXPECT_EQ(FloatBits(p.x), FloatBits(-5.0f)) << i;
        EXPECT_EQ(FloatBits(p.rotX) | FloatBits(p.rotY) | FloatBits(p.rotZ), 0u) << i;
        EXPECT_EQ(FloatBits(p.r) | FloatBits(p.g) | FloatBits(p.b) | FloatBits(p.size), 0u) << i;
    }
    EXPECT_EQ(LiveCount(g_windPool, WIND_POOL_SIZE), 8);
    EXPECT_EQ(g_randomState, 1u);
}

TEST_F(WindTest, FullPoolEmitsNothingAndKeepsTheCycles) {
    for (int i = 0; i < WIND_POOL_SIZE; i++) EmitWindParticle();
    ASSERT_EQ(LiveCount(g_windPool, WIND_POOL_SIZE), WIND_POOL_SIZE);
    EXPECT_EQ(g_windDepthStep, 256 % 5);
    EXPECT_EQ(g_windHeightStep, 256 % 7);
    std::uint64_t full = SceneDigest();
    for (int i = 0; i < 10; i++) EmitWindParticle();
    EXPECT_EQ(SceneDigest(), full);
    // Emission 256: depth state 1 (-5.0), height state 4 (2.2), in the lowest free slot.
    g_windPool[200].active = 0;
    g_windPool[100].active = 0;
    EmitWindParticle();
    EXPECT_EQ(g_windPool[100].active, 1);
    EXPECT_EQ(g_windPool[200].active, 0);
    EXPECT_EQ(g_windPool[100].z, -5.0f);
    EXPECT_EQ(g_windPool[100].y, 2.2f);
}

TEST_F(WindTest, ReusedSlotStartsAtAngleZero) {
    EmitWindParticle();
    Particle& p = g_windPool[0];
    p.rotX = 35.0f;
    p.rotY = 355.0f;
    p.rotZ = 180.0f;
    p.x = 7.03f;
    p.active = 0;
    EmitWindParticle();
    EXPECT_EQ(p.active, 1);
    EXPECT_EQ(FloatBits(p.rotX) | FloatBits(p.rotY) | FloatBits(p.rotZ), 0u);
    EXPECT_EQ(p.x, -5.0f);
    EXPECT_EQ(p.z, -5.0f);  // second emission
}

TEST_F(WindTest, LeafLivesExactly201MotionTicks) {
    EmitWindParticle();
    Particle& p = g_windPool[0];
    for (int tick = 1; tick <= 201; tick++) {
        MoveWindParticles();
        if (tick == 200) {
            EXPECT_EQ(p.active, 1);
            EXPECT_EQ(p.x, 6.9999909f);  // not yet past 7
        }
    }
    EXPECT_EQ(p.active, 0);
    EXPECT_EQ(p.x, 7.0599909f);
    EXPECT_NEAR(p.y, 1.005f, 1e-4f);
    // Angles are whole multiples of 5 within [0, 360].
    for (float a : {p.rotX, p.rotY, p.rotZ}) {
        EXPECT_GE(a, 0.0f);
        EXPECT_LE(a, 360.0f);
        EXPECT_EQ(std::fmod(a, 5.0f), 0.0f);
    }
    RandomModel model;
    for (int i = 0; i < 201; i++) model.Next();
    EXPECT_EQ(g_randomState, model.state);
    MoveWindParticles();
    EXPECT_EQ(g_randomState, model.state);  // a free slot draws nothing
}

// The leaf that passes x = 7 still draws and tumbles, so the leaf after it
// gets the second draw of the tick: 18467 % 6 = 5 (rotZ - 5).
TEST_F(WindTest, LeafLeavingStillTakesItsDraw) {
    EmitWindParticle();
    EmitWindParticle();
    g_windPool[0].x = 6.9999909f;
    MoveWindParticles();
    EXPECT_EQ(g_windPool[0].active, 0);
    EXPECT_EQ(g_windPool[0].rotZ, 355.0f);  // first draw 41 % 6 = 5
    EXPECT_EQ(g_windPool[1].active, 1);
    EXPECT_EQ(g_windPool[1].rotZ, 355.0f);
    RandomModel model;
    model.Next();
    model.Next();
    EXPECT_EQ(g_randomState, model.state);
}

TEST_F(WindTest, ExactlySevenStaysAlive) {
    EmitWindParticle();
    float below = 7.0f - 0.06f;
    ASSERT_EQ(below + 0.06f, 7.0f);
    g_windPool[0].x = below;
    MoveWindParticles();
    EXPECT_EQ(g_windPool[0].x, 7.0f);
    EXPECT_EQ(g_windPool[0].active, 1);
}

struct TumbleCase {
    const char* name;
    int draw;
    float rotX, rotY, rotZ;     // before
    float wantX, wantY, wantZ;  // after
};

class WindTumbleTest : public ::testing::TestWithParam<TumbleCase> {};

TEST_P(WindTumbleTest, DrawTumblesOneAxisAndWraps) {
    const TumbleCase& c = GetParam();
    StartScene();
    EmitWindParticle();
    Particle& p = g_windPool[0];
    p.rotX = c.rotX;
    p.rotY = c.rotY;
    p.rotZ = c.rotZ;
    g_randomState = StateBeforeDraw(6, c.draw);
    MoveWindParticles();
    EXPECT_EQ(FloatBits(p.rotX), FloatBits(c.wantX));
    EXPECT_EQ(FloatBits(p.rotY), FloatBits(c.wantY));
    EXPECT_EQ(FloatBits(p.rotZ), FloatBits(c.wantZ));
    EXPECT_EQ(FloatBits(p.x), FloatBits(-5.0f + 0.06f));
    EXPECT_EQ(FloatBits(p.y), FloatBits(0.005f));
}

INSTANTIATE_TEST_SUITE_P(Angles, WindTumbleTest,
                         ::testing::Values(TumbleCase{"xUp", 0, 10, 20, 30, 15, 20, 30},
                                           TumbleCase{"xDown", 1, 10, 20, 30, 5, 20, 30},
                                           TumbleCase{"yUp", 2, 10, 20, 30, 10, 25, 30},
                                           TumbleCase{"yDown", 3, 10, 20, 30, 10, 15, 30},
                                           TumbleCase{"zUp", 4, 10, 20, 30, 10, 20, 35},
                                           TumbleCase{"zDown", 5, 10, 20, 30, 10, 20, 25},
                                           // 360 and 0 on the untouched axes stay as they are.
                                           TumbleCase{"endsStay", 4, 360, 0, 30, 360, 0, 35},
                                           TumbleCase{"upTo360Stays", 0, 355, 0, 0, 360, 0, 0},
                                           TumbleCase{"past360WrapsTo5", 2, 0, 360, 0, 0, 5, 0},
                                           TumbleCase{"below0WrapsTo355", 5, 0, 0, 0, 0, 0, 355},
                                           TumbleCase{"downTo0Stays", 3, 0, 5, 0, 0, 0, 0}),
                         [](const ::testing::TestParamInfo<TumbleCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(WindTest, FlagWaveTravelsOutward) {
    const float start[FLAG_EDGES] = {0.0f, 0.1f, 0.05f, 0.0f, -0.05f, -0.1f, -0.05f, 0.0f, 0.05f};
    const float afterOne[FLAG_EDGES] = {0.0f, 0.05f, 0.1f, 0.05f, 0.0f, -0.05f, -0.1f, -0.05f, 0.0f};
    RotateFlagWave();
    for (int i = 0; i < FLAG_EDGES; i++) EXPECT_EQ(FloatBits(g_flagWave[i]), FloatBits(afterOne[i])) << i;
    for (int tick = 2; tick <= 24; tick++) {
        RotateFlagWave();
        EXPECT_EQ(FloatBits(g_flagWave[0]), 0u) << tick;
        if (tick % 8 == 0) {
            for (int i = 0; i < FLAG_EDGES; i++)
                EXPECT_EQ(FloatBits(g_flagWave[i]), FloatBits(start[i])) << tick << " " << i;
        }
    }
}

// The wave is moved, never recomputed, whatever the switches say.
TEST_F(WindTest, FlagWaveMovesValuesUnchangedWithAirOff) {
    g_airOn = 0;
    for (int i = 1; i < FLAG_EDGES; i++) g_flagWave[i] = static_cast<float>(i) + 0.1f;
    RotateFlagWave();
    EXPECT_EQ(FloatBits(g_flagWave[0]), 0u);
    EXPECT_EQ(FloatBits(g_flagWave[1]), FloatBits(8.1f));
    for (int i = 2; i < FLAG_EDGES; i++)
        EXPECT_EQ(FloatBits(g_flagWave[i]), FloatBits(static_cast<float>(i - 1) + 0.1f)) << i;
}

}  // namespace
