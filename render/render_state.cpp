#include "render/render.h"

const char* const g_textureFiles[TEX_COUNT] = {
    "moon.bmp", "fire.bmp",  "wind.bmp", "water.bmp", "cloud.bmp", "earth.bmp", "stars.bmp", "smoke.bmp", "flame.bmp",
    "wood.bmp", "grass.bmp", "flag.bmp", "e.bmp",     "w.bmp",     "a.bmp",     "f.bmp",     "cont.bmp",
};
GLuint g_textures[TEX_COUNT];
GLUquadric* g_quadric;

void InitRenderState() {}
