// frame.cpp -- one frame in painter's order: thirteen layers, and between
// them the depth test, blending and colour each one is drawn with.
#include "render/render.h"

void RenderFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Blending is off from the previous frame. The depth test is left as it
    // is: off after any frame, still on from the set-up in the first one.
    DrawSky();

    // Stars and clouds are added onto the sky: the destination alpha is 1.
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_ONE, GL_DST_ALPHA);
    glEnable(GL_BLEND);
    DrawStarField();

    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_DST_COLOR);
    glEnable(GL_BLEND);
    DrawMoon();

    glBlendFunc(GL_ONE, GL_DST_ALPHA);
    glEnable(GL_BLEND);
    DrawClouds();

    glColor4ub(255, 255, 255, 255);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    DrawTerrain();

    // Set whether or not the fire burns; the glow draws only while it does.
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    DrawFireGlow();

    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    DrawWater();

    // Leaves blend but keep the depth test, so they also write depth.
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_COLOR, GL_ONE);
    glEnable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    DrawWindParticles();

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    DrawFlagpole();
    DrawTrees();

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    DrawFlag();

    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    DrawFireParticles();

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    DrawIconRow();

    glDisable(GL_BLEND);
    glFinish();
}
