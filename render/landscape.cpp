// landscape.cpp -- the solid layers: terrain mesh, water plane, flagpole,
// trees and flag. Drawn with the depth test on and blending off.
#include "render/render.h"

#include "scene/scene.h"

namespace {

constexpr int TERRAIN_CELLS = TERRAIN_SIDE - 1;
constexpr float TERRAIN_CELL_SIZE = 0.5f;

constexpr GLint CYLINDER_SLICES = 8;
constexpr GLint CYLINDER_STACKS = 5;
constexpr float POLE_RADIUS = 0.02f;
constexpr float POLE_HEIGHT = 0.85f;
constexpr float KNOB_BASE_RADIUS = 0.03f;
constexpr float KNOB_TOP_RADIUS = 0.04f;
constexpr float KNOB_HEIGHT = 0.1f;
constexpr float TRUNK_RADIUS = 0.02f;

// One fir-tree fan: eight triangles up the trunk's axis, each standing on a
// horizontal edge out to w at b * height, its apex on the axis at p * height.
struct FoliageStep {
    float base;   // b
    float width;  // w, not scaled with the height
    float apex;   // p
};
constexpr int FOLIAGE_STEPS = 8;
constexpr FoliageStep FOLIAGE[FOLIAGE_STEPS] = {
    {0.2f, 0.4f, 0.3f},   {0.28f, 0.35f, 0.4f}, {0.38f, 0.32f, 0.5f}, {0.48f, 0.3f, 0.6f},
    {0.58f, 0.25f, 0.7f}, {0.68f, 0.2f, 0.8f},  {0.78f, 0.15f, 0.9f}, {0.88f, 0.1f, 1.0f},
};
constexpr float FOLIAGE_FAN_STEP = 45.0f;
constexpr float FOLIAGE_FAN_END = 405.0f;
constexpr float FOLIAGE_FAN_OFFSET = 5.0f;

constexpr int FLAG_STRIPS = FLAG_EDGES - 1;
constexpr float FLAG_STRIP_WIDTH = 0.05f;
constexpr float FLAG_STRIP_TEXTURE = 0.125f;
constexpr float FLAG_HEIGHT = 0.3f;

}  // namespace

// A cell is grass only when all four of its corners are exactly flat ground;
// -0.0 compares equal to 0.0 and counts as flat.
static bool IsGrassCell(int row, int column) {
    int flatCorners = 0;
    if (g_terrain[row][column] == 0.0f) flatCorners++;
    if (g_terrain[row][column + 1] == 0.0f) flatCorners++;
    if (g_terrain[row + 1][column] == 0.0f) flatCorners++;
    if (g_terrain[row + 1][column + 1] == 0.0f) flatCorners++;
    return flatCorners > 3;
}

// 16 x 16 quads, row 0 (farthest) first, walked by accumulated translations
// from the far left corner. Each cell shows the whole texture once.
void DrawTerrain() {
    glLoadIdentity();
    glTranslatef(-4.0f, -1.0f, -8.0f);
    for (int row = 0; row < TERRAIN_CELLS; row++) {
        for (int column = 0; column < TERRAIN_CELLS; column++) {
            glBindTexture(GL_TEXTURE_2D, g_textures[IsGrassCell(row, column) ? TEX_GRASS : TEX_EARTH]);
            glBegin(GL_QUADS);
            glTexCoord2f(1.0f, 1.0f);
            glVertex3f(TERRAIN_CELL_SIZE, g_terrain[row][column + 1], -TERRAIN_CELL_SIZE);
            glTexCoord2f(0.0f, 1.0f);
            glVertex3f(0.0f, g_terrain[row][column], -TERRAIN_CELL_SIZE);
            glTexCoord2f(0.0f, 0.0f);
            glVertex3f(0.0f, g_terrain[row + 1][column], 0.0f);
            glTexCoord2f(1.0f, 0.0f);
            glVertex3f(TERRAIN_CELL_SIZE, g_terrain[row + 1][column + 1], 0.0f);
            glEnd();
            glTranslatef(TERRAIN_CELL_SIZE, 0.0f, 0.0f);
        }
        glTranslatef(-TERRAIN_CELLS * TERRAIN_CELL_SIZE, 0.0f, 0.0f);
        glTranslatef(0.0f, 0.0f, TERRAIN_CELL_SIZE);
    }
}

// Level opaque plane over the hollow, at every water level; the blue-green
// tint removes the texture's red. The terrain hides it where it rises above.
void DrawWater() {
    glColor4f(0.0f, 0.6f, 0.8f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, g_textures[TEX_WATER]);
    glLoadIdentity();
    glTranslatef(-2.0f, g_waterLevel, -6.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-2.8f, 0.0f, 4.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(-2.8f, 0.0f, -2.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(2.0f, 0.0f, -2.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(2.0f, 0.0f, 4.0f);
    glEnd();
}

// An open tube up the +y axis from the current origin. Without a quadric
// (gluNewQuadric failed at set-up) there is nothing to draw it with.
static void DrawUprightCylinder(float baseRadius, float topRadius, float height) {
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
    if (g_quadric != nullptr) {
        gluCylinder(g_quadric, baseRadius, topRadius, height, CYLINDER_SLICES, CYLINDER_STACKS);
    }
}

// Pole on flat ground at x 1, z -6, and the knob around its top, in wood.
void DrawFlagpole() {
    glBindTexture(GL_TEXTURE_2D, g_textures[TEX_WOOD]);

    glLoadIdentity();
    glTranslatef(1.0f, -1.0f, -6.0f);
    DrawUprightCylinder(POLE_RADIUS, POLE_RADIUS, POLE_HEIGHT);

    glLoadIdentity();
    glTranslatef(1.0f, -0.18f, -6.0f);
    DrawUprightCylinder(KNOB_BASE_RADIUS, KNOB_TOP_RADIUS, KNOB_HEIGHT);
}

// One untextured fan in the z = 0 plane of the current frame, on the +x side
// of the trunk; it leaves the current colour at the inner green.
static void DrawFoliageFan(float height) {
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_TRIANGLES);
    for (int step = 0; step < FOLIAGE_STEPS; step++) {
        const FoliageStep* f = &FOLIAGE[step];
        float baseY = f->base * height;
        float apexY = f->apex * height;
        glColor4f(0.0f, 0.7f, 0.0f, 1.0f);
        glVertex3f(0.0f, baseY, 0.0f);
        glColor4f(0.0f, 0.4f, 0.0f, 1.0f);
        glVertex3f(f->width, baseY, 0.0f);
        glColor4f(0.0f, 0.7f, 0.0f, 1.0f);
        glVertex3f(0.0f, apexY, 0.0f);
    }
    glEnd();
    glEnable(GL_TEXTURE_2D);
}

// Six trees on the common lift. The fan rotations accumulate, giving nine
// fans at uneven headings; each trunk after the first inherits the green of
// the previous crown as its tint.
void DrawTrees() {
    for (int index = 0; index < TREE_COUNT; index++) {
        const Tree* tree = &g_trees[index];

        glDisable(GL_BLEND);
        glBindTexture(GL_TEXTURE_2D, g_textures[TEX_WOOD]);
        glLoadIdentity();
        glTranslatef(tree->x, g_treeLift, tree->z);
        DrawUprightCylinder(TRUNK_RADIUS, TRUNK_RADIUS, tree->height);

        glLoadIdentity();
        glTranslatef(tree->x, g_treeLift, tree->z);
        for (float angle = 0.0f; angle < FOLIAGE_FAN_END; angle += FOLIAGE_FAN_STEP) {
            glRotatef(angle + FOLIAGE_FAN_OFFSET, 0.0f, 1.0f, 0.0f);
            DrawFoliageFan(tree->height);
        }
    }
}

// Eight strips hanging right of the pole axis, folded along their shared
// edges by the wave while the air is on, flat at z -6 otherwise.
void DrawFlag() {
    glLoadIdentity();
    glTranslatef(1.0f, -0.2f, -6.0f);
    glBindTexture(GL_TEXTURE_2D, g_textures[TEX_FLAG]);
    float left = 0.0f;
    for (int strip = 0; strip < FLAG_STRIPS; strip++) {
        float right = left + FLAG_STRIP_WIDTH;
        float sLeft = static_cast<float>(strip) * FLAG_STRIP_TEXTURE;
        float sRight = static_cast<float>(strip + 1) * FLAG_STRIP_TEXTURE;
        float zLeft = 0.0f;
        float zRight = 0.0f;
        if (g_airOn != 0) {
            zLeft = g_flagWave[strip];
            zRight = g_flagWave[strip + 1];
        }
        glBegin(GL_QUADS);
        glTexCoord2f(sLeft, 1.0f);
        glVertex3f(left, 0.0f, zLeft);
        glTexCoord2f(sRight, 1.0f);
        glVertex3f(right, 0.0f, zRight);
        glTexCoord2f(sRight, 0.0f);
        glVertex3f(right, -FLAG_HEIGHT, zRight);
        glTexCoord2f(sLeft, 0.0f);
        glVertex3f(left, -FLAG_HEIGHT, zLeft);
        glEnd();
        left = right;
    }
}
