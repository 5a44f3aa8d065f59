// The fixed-function state in force at each layer of a frame: on entry to the
// layer and at its first primitive, compared with the frame's state table.
#include "tests/render/render_fixture.h"
#include "tests/render/render_probes.h"

#include "render/render.h"
#include "scene/scene.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace {

constexpr GLint NO_BLEND = -1;  // blending off: the factors do not matter

struct LayerExpectation {
    ProbeLayer layer;
    const char* name;
    bool depthTest;
    GLint source;  // NO_BLEND when blending is off
    GLint destination;
    bool texturing;  // at the first primitive
    int texture;     // slot bound at the first primitive, -1: not checked
};

// Depth test and blending at every layer but the first two, which inherit
// them from the frame before (checked separately).
const LayerExpectation LAYER_TABLE[] = {
    {PROBE_SKY, "sky", false, NO_BLEND, 0, false, -1},
    {PROBE_STAR_FIELD, "star field", false, GL_ONE, GL_DST_ALPHA, true, TEX_STARS},
    {PROBE_MOON, "moon", false, GL_ONE, GL_DST_COLOR, true, TEX_MOON},
    {PROBE_CLOUDS, "clouds", false, GL_ONE, GL_DST_ALPHA, true, TEX_CLOUD},
    {PROBE_TERRAIN, "terrain", true, NO_BLEND, 0, true, TEX_EARTH},  // cell (0, 0) touches a hill
    {PROBE_FIRE_GLOW, "fire glow", false, GL_SRC_ALPHA, GL_ONE, true, TEX_FLAME},
    {PROBE_WATER, "water", true, NO_BLEND, 0, true, TEX_WATER},
    {PROBE_WIND_PARTICLES, "wind particles", true, GL_SRC_COLOR, GL_ONE, true, TEX_WIND},
    {PROBE_FLAGPOLE, "flagpole", true, NO_BLEND, 0, true, TEX_WOOD},
    {PROBE_TREES, "trees", true, NO_BLEND, 0, true, TEX_WOOD},
    {PROBE_FLAG, "flag", true, NO_BLEND, 0, true, TEX_FLAG},
    {PROBE_FIRE_PARTICLES, "fire particles", false, GL_SRC_ALPHA, GL_ONE, true, -1},
    {PROBE_ICON_ROW, "icon row", false, GL_SRC_ALPHA, GL_ONE, true, TEX_ICON_EARTH},
};

::testing::AssertionResult StateMatches(const GlStateRecord& state, const LayerExpectation& e,
                                        bool checkTexturing) {
    if (!state.recorded) {
        return ::testing::AssertionFailure() << e.name << ": nothing recorded";
    }
    bool blend = e.source != NO_BLEND;
    if (state.depthTest != e.depthTest) {
        return ::testing::AssertionFailure() << e.name << ": depth test " << state.depthTest;
    }
    if (state.blend != blend) {
        return ::testing::AssertionFailure() << e.name << ": blending " << state.blend;
    }
    if (blend && (state.blendSource != e.source || state.blendDestination != e.destination)) {
        return ::testing::AssertionFailure() << e.name << ": blend factors 0x" << std::hex
                                             << state.blendSource << ", 0x" << state.blendDestination;
    }
    if (checkTexturing && state.texturing != e.texturing) {
        return ::testing::AssertionFailure() << e.name << ": texturing " << state.texturing;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ColorIs(const GlStateRecord& state, float r, float g, float b, float a) {
    const float expected[4] = {r, g, b, a};
    for (int i = 0; i < 4; i++) {
        if (std::fabs(state.color[i] - expected[i]) > 1e-6f) {
            return ::testing::AssertionFailure()
                   << "colour (" << state.color[0] << ", " << state.color[1] << ", " << state.color[2] << ", "
                   << state.color[3] << "), expected (" << r << ", " << g << ", " << b << ", " << a << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

class LayerStateTest : public RenderWindowTest {
  protected:
    // Frames after half a second with everything on: both pools hold
    // particles, so every layer draws. The second frame is probed.
    void ProbeSecondFrame() {
        ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
        RunSnapshotTimeline(0, 500);
        RenderFrame();
        StartLayerProbe();
        RenderFrame();
        StopLayerProbe();
    }
    void TearDown() override {
        StopLayerProbe();
        RenderWindowTest::TearDown();
    }
};

TEST_F(LayerStateTest, LayersRunOnceEachInFrameOrder) {
    ProbeSecondFrame();
    std::vector<ProbeLayer> expected;
    for (int layer = 0; layer < PROBE_LAYER_COUNT; layer++) {
        expected.push_back(static_cast<ProbeLayer>(layer));
    }
    EXPECT_EQ(ProbedLayerOrder(), expected);
}

TEST_F(LayerStateTest, StateAtEachLayerFollowsTheFrameTable) {
    ProbeSecondFrame();
    for (const LayerExpectation& e : LAYER_TABLE) {
        const LayerRecord& record = ProbedLayer(e.layer);
        EXPECT_TRUE(StateMatches(record.entry, e, false)) << "on entry";
        EXPECT_TRUE(StateMatches(record.firstPrimitive, e, true)) << "at the first primitive";
        if (e.texture >= 0 && record.firstPrimitive.recorded) {
            EXPECT_EQ(static_cast<GLuint>(record.firstPrimitive.boundTexture), g_textures[e.texture])
                << e.name;
        }
    }
}

TEST_F(LayerStateTest, ColoursInForceAtTheFirstPrimitive) {
    ProbeSecondFrame();
    EXPECT_TRUE(ColorIs(ProbedLayer(PROBE_STAR_FIELD).firstPrimitive, 1, 1, 1, 1)) << "star field";
    EXPECT_TRUE(ColorIs(ProbedLayer(PROBE_MOON).firstPrimitive, 1, 1, 1, 1)) << "moon";
    EXPECT_TRUE(ColorIs(ProbedLayer(PROBE_CLOUDS).firstPrimitive, 1, 1, 1, 0.5f)) << "clouds";
    EXPECT_TRUE(ColorIs(ProbedLayer(PROBE_TERRAIN).firstPrimitive, 1, 1, 1, 1)) << "terrain";
    EXPECT_TRUE(ColorIs(ProbedLayer(PROBE_FIRE_GLOW).firstPrimitive, 1, 1, 0, 1)) << "fire glow";
    EXPECT_TRUE(ColorIs(ProbedLayer(PROBE_WATER).firstPrimitive, 0, 0.6f, 0.8f, 1)) << "water";
    EXPECT_TRUE(ColorIs(ProbedLayer(PROBE_WIND_PARTICLES).firstPrimitive, 1, 1, 1, 1)) << "leaves";
    EXPECT_TRUE(ColorIs(ProbedLayer(PROBE_FLAGPOLE).firstPrimitive, 1, 1, 1, 1)) << "flagpole";
    EXPECT_TRUE(ColorIs(ProbedLayer(PROBE_TREES).firstPrimitive, 1, 1, 1, 1)) << "first trunk";
    EXPECT_TRUE(ColorIs(ProbedLayer(PROBE_FLAG).firstPrimitive, 1, 1, 1, 1)) << "flag";
    EXPECT_TRUE(ColorIs(ProbedLayer(PROBE_ICON_ROW).firstPrimitive, 1, 1, 1, 1)) << "earth icon, on";

    // The first live fire particle, as a flame in its own colour or as smoke.
    const Particle* first = nullptr;
    for (const Particle& p : g_firePool) {
        if (p.active != 0) {
            first = &p;
            break;
        }
    }
    ASSERT_NE(first, nullptr);
    const GlStateRecord& fire = ProbedLayer(PROBE_FIRE_PARTICLES).firstPrimitive;
    if (first->size > 0.15f) {
        EXPECT_TRUE(ColorIs(fire, first->r, first->g, first->b, 0.5f));
        EXPECT_EQ(static_cast<GLuint>(fire.boundTexture), g_textures[TEX_FIRE]);
    } else {
        EXPECT_TRUE(ColorIs(fire, 0.4f, 0.4f, 0.4f, 0.3f));
        EXPECT_EQ(static_cast<GLuint>(fire.boundTexture), g_textures[TEX_SMOKE]);
    }
}

// The set-up leaves the depth test on, so the first frame's sky and stars
// are drawn with it; every later frame starts with it off, as the frame
// before left it.
TEST_F(LayerStateTest, OnlyTheFirstFrameDrawsTheBackdropWithTheDepthTest) {
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
    StartLayerProbe();
    RenderFrame();
    StopLayerProbe();
    EXPECT_TRUE(ProbedLayer(PROBE_SKY).firstPrimitive.depthTest);
    EXPECT_TRUE(ProbedLayer(PROBE_STAR_FIELD).firstPrimitive.depthTest);
    EXPECT_FALSE(ProbedLayer(PROBE_SKY).firstPrimitive.blend);

    StartLayerProbe();
    RenderFrame();
    StopLayerProbe();
    EXPECT_FALSE(ProbedLayer(PROBE_SKY).firstPrimitive.depthTest);
    EXPECT_FALSE(ProbedLayer(PROBE_STAR_FIELD).firstPrimitive.depthTest);
}

TEST_F(LayerStateTest, FrameEndsWithBlendingAndDepthTestOffAndTexturingOn) {
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
    RunSnapshotTimeline(0, 300);
    RenderFrame();
    GlStateRecord after = QueryGlState();
    EXPECT_FALSE(after.depthTest);
    EXPECT_FALSE(after.blend);
    EXPECT_TRUE(after.texturing);
    EXPECT_EQ(after.blendSource, GL_SRC_ALPHA);
    EXPECT_EQ(after.blendDestination, GL_ONE);
    EXPECT_TRUE(ColorIs(after, 1, 1, 1, 1));
}

// With the fire off the glow layer draws nothing, but the frame still makes
// its state changes around it; the icon row starts with the earth icon off.
TEST_F(LayerStateTest, FireAndEarthOffChangeWhatIsDrawnNotTheState) {
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
    g_fireOn = 0;
    g_earthOn = 0;
    RenderFrame();
    StartLayerProbe();
    RenderFrame();
    StopLayerProbe();
    const LayerRecord& glow = ProbedLayer(PROBE_FIRE_GLOW);
    EXPECT_EQ(glow.calls, 1);
    EXPECT_FALSE(glow.firstPrimitive.recorded);
    EXPECT_TRUE(StateMatches(glow.entry, LAYER_TABLE[PROBE_FIRE_GLOW], false));
    EXPECT_TRUE(ColorIs(ProbedLayer(PROBE_ICON_ROW).firstPrimitive, 0.5f, 0.5f, 0.5f, 1))
        << "earth icon, off";
}

class LayerGeometryTest : public LayerStateTest {
  protected:
    // One probed frame of the scene as it stands, after one unprobed frame.
    void ProbeFrame() {
        RenderFrame();
        StartLayerProbe();
        RenderFrame();
        StopLayerProbe();
    }
};

// The pole, the knob and the first trunk are white; each later trunk takes
// the inner green of the crown drawn before it.
TEST_F(LayerGeometryTest, LaterTrunksInheritTheCrownGreen) {
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
    ProbeFrame();
    std::vector<PrimitiveRecord> pole = ProbedPrimitivesOf(PROBE_FLAGPOLE);
    ASSERT_EQ(pole.size(), 2u);
    EXPECT_TRUE(ColorIs(pole[0].state, 1, 1, 1, 1));
    EXPECT_TRUE(ColorIs(pole[1].state, 1, 1, 1, 1));
    std::vector<PrimitiveRecord> trunks;
    for (const PrimitiveRecord& p : ProbedPrimitivesOf(PROBE_TREES)) {
        if (p.cylinder) {
            trunks.push_back(p);
        }
    }
    ASSERT_EQ(trunks.size(), static_cast<std::size_t>(TREE_COUNT));
    EXPECT_TRUE(ColorIs(trunks[0].state, 1, 1, 1, 1)) << "tree 0";
    for (int tree = 1; tree < TREE_COUNT; tree++) {
        EXPECT_TRUE(ColorIs(trunks[tree].state, 0, 0.7f, 0, 1)) << "tree " << tree;
        EXPECT_TRUE(trunks[tree].state.texturing) << "tree " << tree;
        EXPECT_FLOAT_EQ(static_cast<float>(trunks[tree].cylinderShape[2]), g_trees[tree].height);
    }
}

// The fan rotations add up: the fans of a tree point along the headings 5,
// 55, 150, 290, 115, 345, 260, 220 and 225 degrees about its trunk.
TEST_F(LayerGeometryTest, FoliageFansAccumulateTheirRotations) {
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
    g_treeLift = 2.5f;
    ProbeFrame();
    const float headings[9] = {5, 55, 150, 290, 115, 345, 260, 220, 225};
    std::vector<PrimitiveRecord> fans;
    for (const PrimitiveRecord& p : ProbedPrimitivesOf(PROBE_TREES)) {
        if (!p.cylinder) {
            fans.push_back(p);
        }
    }
    ASSERT_EQ(fans.size(), static_cast<std::size_t>(TREE_COUNT * 9));
    for (int tree = 0; tree < TREE_COUNT; tree++) {
        for (int fan = 0; fan < 9; fan++) {
            const PrimitiveRecord& p = fans[tree * 9 + fan];
            // Rotating about y turns the x axis to (cos a, 0, -sin a).
            float heading = std::atan2(-p.modelview[2], p.modelview[0]) * 180.0f / 3.14159265f;
            if (heading < 0) {
                heading += 360.0f;
            }
            EXPECT_NEAR(heading, headings[fan], 0.01f) << "tree " << tree << ", fan " << fan;
            EXPECT_FLOAT_EQ(p.modelview[12], g_trees[tree].x);
            EXPECT_FLOAT_EQ(p.modelview[13], 2.5f);
            EXPECT_FLOAT_EQ(p.modelview[14], g_trees[tree].z);
            EXPECT_FALSE(p.state.texturing);
            ASSERT_EQ(p.vertices.size(), 24u);
            // The top triangle's apex is the tree's height up the trunk.
            EXPECT_FLOAT_EQ(p.vertices[23].y, g_trees[tree].height);
        }
    }
}

// A cell is grass only when all four corners are exactly 0: 183 of the 256
// cells with the start heights. -0.0 counts as 0, the smallest height not.
TEST_F(LayerGeometryTest, GrassOnlyWhereAllFourCornersAreExactlyZero) {
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
    g_terrain[16][0] = -0.0f;
    g_terrain[16][16] = 1e-30f;
    ProbeFrame();
    std::vector<PrimitiveRecord> cells = ProbedPrimitivesOf(PROBE_TERRAIN);
    ASSERT_EQ(cells.size(), 256u);
    int grass = 0;
    for (const PrimitiveRecord& cell : cells) {
        GLuint bound = static_cast<GLuint>(cell.state.boundTexture);
        EXPECT_TRUE(bound == g_textures[TEX_GRASS] || bound == g_textures[TEX_EARTH]);
        grass += bound == g_textures[TEX_GRASS] ? 1 : 0;
    }
    // The near right cell has lost its grass to the tiny height; the near
    // left one keeps it.
    EXPECT_EQ(grass, 182);
    EXPECT_EQ(static_cast<GLuint>(cells[15 * 16].state.boundTexture), g_textures[TEX_GRASS]);
    EXPECT_EQ(static_cast<GLuint>(cells[255].state.boundTexture), g_textures[TEX_EARTH]);
    // Cell (0, 0) shares its near right corner with the first hill.
    EXPECT_EQ(static_cast<GLuint>(cells[0].state.boundTexture), g_textures[TEX_EARTH]);
    // Cell (2, 5) of the far hills: its far right corner is h[2][6] = 2.15.
    const PrimitiveRecord& hill = cells[2 * 16 + 5];
    ASSERT_EQ(hill.vertices.size(), 4u);
    EXPECT_FLOAT_EQ(hill.vertices[0].y, 2.15f);
    EXPECT_FLOAT_EQ(hill.modelview[12], -4.0f + 0.5f * 5);
    EXPECT_FLOAT_EQ(hill.modelview[14], -8.0f + 0.5f * 2);
}

struct FlagCase {
    const char* name;
    std::uint8_t air;
};

void PrintTo(const FlagCase& c, std::ostream* os) {
    *os << c.name;
}

class FlagTest : public LayerGeometryTest, public ::testing::WithParamInterface<FlagCase> {};

// Eight strips of 0.05 side by side; their edges take the wave's depths
// while the air is on and lie flat otherwise.
TEST_P(FlagTest, StripsFollowTheWaveOnlyWhileTheAirIsOn) {
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
    RunSnapshotTimeline(0, 90);  // three motion ticks: the wave has moved
    g_airOn = GetParam().air;
    ProbeFrame();
    std::vector<PrimitiveRecord> strips = ProbedPrimitivesOf(PROBE_FLAG);
    ASSERT_EQ(strips.size(), 8u);
    float edge = 0.0f;
    for (int k = 0; k < 8; k++) {
        const std::vector<Vertex3>& v = strips[k].vertices;
        ASSERT_EQ(v.size(), 4u);
        float left = g_airOn ? g_flagWave[k] : 0.0f;
        float right = g_airOn ? g_flagWave[k + 1] : 0.0f;
        EXPECT_FLOAT_EQ(v[0].x, edge);
        EXPECT_FLOAT_EQ(v[0].z, left);
        EXPECT_FLOAT_EQ(v[1].z, right);
        EXPECT_FLOAT_EQ(v[2].z, right);
        EXPECT_FLOAT_EQ(v[3].z, left);
        EXPECT_FLOAT_EQ(v[2].y, -0.3f);
        edge += 0.05f;
        EXPECT_FLOAT_EQ(v[1].x, edge);
    }
}

INSTANTIATE_TEST_SUITE_P(Air, FlagTest, ::testing::Values(FlagCase{"On", 1}, FlagCase{"Off", 0}),
                         [](const ::testing::TestParamInfo<FlagCase>& info) { return info.param.name; });

struct FireParticleCase {
    const char* name;
    float size;
    bool smoke;
};

void PrintTo(const FireParticleCase& c, std::ostream* os) {
    *os << c.name;
}

class FireParticleTest : public LayerGeometryTest, public ::testing::WithParamInterface<FireParticleCase> {};

// The signed size is the half-side as it is: a flame above 0.15, smoke at or
// below, and a negative size puts the first corner at the lower right.
TEST_P(FireParticleTest, SignedSizeIsTheHalfSide) {
    const FireParticleCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
    g_fireOn = 0;
    g_airOn = 0;
    g_firePool[7] = Particle{1, 0.25f, 0.5f, -5.5f, 0, 0, 0, 1.0f, 0.3f, 0.0f, c.size};
    ProbeFrame();
    std::vector<PrimitiveRecord> quads = ProbedPrimitivesOf(PROBE_FIRE_PARTICLES);
    ASSERT_EQ(quads.size(), 1u);
    const PrimitiveRecord& q = quads[0];
    EXPECT_FLOAT_EQ(q.modelview[12], 1.25f);
    EXPECT_FLOAT_EQ(q.modelview[13], 0.5f);
    EXPECT_FLOAT_EQ(q.modelview[14], -5.5f);
    ASSERT_EQ(q.vertices.size(), 4u);
    EXPECT_FLOAT_EQ(q.vertices[0].x, -c.size);
    EXPECT_FLOAT_EQ(q.vertices[0].y, c.size);
    EXPECT_FLOAT_EQ(q.vertices[2].x, c.size);
    EXPECT_FLOAT_EQ(q.vertices[2].y, -c.size);
    if (c.smoke) {
        EXPECT_TRUE(ColorIs(q.state, 0.4f, 0.4f, 0.4f, 0.3f));
        EXPECT_EQ(static_cast<GLuint>(q.state.boundTexture), g_textures[TEX_SMOKE]);
    } else {
        EXPECT_TRUE(ColorIs(q.state, 1.0f, 0.3f, 0.0f, 0.5f));
        EXPECT_EQ(static_cast<GLuint>(q.state.boundTexture), g_textures[TEX_FIRE]);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FireParticleTest,
                         ::testing::Values(FireParticleCase{"Flame", 0.3f, false},
                                           FireParticleCase{"JustAboveSmoke", 0.16f, false},
                                           FireParticleCase{"ExactlyAtSmoke", 0.15f, true},
                                           FireParticleCase{"Vanished", 0.0f, true},
                                           FireParticleCase{"TurnedSmoke", -0.3f, true}),
                         [](const ::testing::TestParamInfo<FireParticleCase>& info) {
                             return info.param.name;
                         });

// A leaf turned about x, then y, then z, in that order.
TEST_F(LayerGeometryTest, LeafTurnsAboutXThenYThenZ) {
    ASSERT_NO_FATAL_FAILURE(OpenScene(320, 240));
    g_fireOn = 0;
    g_airOn = 0;
    g_windPool[3] = Particle{1, -2.0f, 1.0f, -4.0f, 90.0f, 90.0f, 0.0f, 0, 0, 0, 0};
    ProbeFrame();
    std::vector<PrimitiveRecord> leaves = ProbedPrimitivesOf(PROBE_WIND_PARTICLES);
    ASSERT_EQ(leaves.size(), 1u);
    const GLfloat* m = leaves[0].modelview;
    EXPECT_FLOAT_EQ(m[12], -1.0f);
    EXPECT_FLOAT_EQ(m[13], 1.0f);
    EXPECT_FLOAT_EQ(m[14], -4.0f);
    // Turned about y by 90 the leaf's x axis points along -z, and turned
    // about x by 90 after that along +y. The other order would leave it
    // along -z.
    EXPECT_NEAR(m[0], 0.0f, 1e-6f);
    EXPECT_NEAR(m[1], 1.0f, 1e-6f);
    EXPECT_NEAR(m[2], 0.0f, 1e-6f);
}

}  // namespace
