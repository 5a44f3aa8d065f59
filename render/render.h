// render.h -- the scene renderer: one-time render state and textures, and the
// frame drawn as thirteen layers in a fixed order. Reads the scene, never
// writes it (but for the two fire cycle counters reset at set-up). Needs a
// current OpenGL context; knows nothing of windows.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

enum TextureSlot {
    TEX_MOON,
    TEX_FIRE,
    TEX_WIND,
    TEX_WATER,
    TEX_CLOUD,
    TEX_EARTH,
    TEX_STARS,
    TEX_SMOKE,
    TEX_FLAME,
    TEX_WOOD,
    TEX_GRASS,
    TEX_FLAG,
    TEX_ICON_EARTH,
    TEX_ICON_WATER,
    TEX_ICON_AIR,
    TEX_ICON_FIRE,
    TEX_CONTROLS,
    TEX_COUNT
};

// File name of each slot, relative to the working directory, in slot order.
extern const char* const g_textureFiles[TEX_COUNT];
extern GLuint g_textures[TEX_COUNT];
extern GLUquadric* g_quadric;

// Once, right after the context is made current: fixed state, the 17
// textures, the quadric, one clear.
void InitRenderState();
// Whenever the message queue is empty: one whole frame into the back buffer,
// finished (glFinish) on return. The caller swaps.
void RenderFrame();

// The layers, in frame order. Each starts from the identity modelview matrix;
// RenderFrame sets the depth test and blending each relies on.
void DrawSky();
void DrawStarField();
void DrawMoon();
void DrawClouds();
void DrawTerrain();
void DrawFireGlow();
void DrawWater();
void DrawWindParticles();
void DrawFlagpole();
void DrawTrees();
void DrawFlag();
void DrawFireParticles();
void DrawIconRow();
