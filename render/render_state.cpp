// render_state.cpp -- the one-time render state: fixed-function defaults, the
// texture table loaded from the working directory, and the cylinder quadric.
#include "render/render.h"

#include "image/image.h"
#include "scene/scene.h"

#include <cstdlib>

const char* const g_textureFiles[TEX_COUNT] = {
    "moon.bmp",  "fire.bmp",  "wind.bmp",  "water.bmp", "cloud.bmp", "earth.bmp",
    "stars.bmp", "smoke.bmp", "flame.bmp", "wood.bmp",  "grass.bmp", "flag.bmp",
    "e.bmp",     "w.bmp",     "a.bmp",     "f.bmp",     "cont.bmp",
};
GLuint g_textures[TEX_COUNT];
GLUquadric* g_quadric;

// Uploads one decoded image into the slot's texture and releases the image.
// GL refuses sides that are not powers of two; the slot then simply stays
// without an image, and the image is released all the same.
static void UploadTexture(int slot, RgbImage* image) {
    glBindTexture(GL_TEXTURE_2D, g_textures[slot]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image->pixels);
    free(image->pixels);
    free(image);
}

void InitRenderState() {
    g_fireDepthStep = 0;
    g_fireSideStep = 0;

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glDrawBuffer(GL_BACK);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);

    // Decoded rows are packed at 3 bytes a pixel; with the default alignment
    // of 4, images 1 or 2 pixels wide would be read with padding they lack.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    glGenTextures(TEX_COUNT, g_textures);
    for (int slot = 0; slot < TEX_COUNT; slot++) {
        RgbImage* image = LoadImageFile(g_textureFiles[slot]);
        if (image != nullptr) {
            UploadTexture(slot, image);
        }
    }

    // A failed quadric stays null: the cylinders are then left out.
    g_quadric = gluNewQuadric();
    if (g_quadric != nullptr) {
        gluQuadricNormals(g_quadric, GLU_SMOOTH);
        gluQuadricTexture(g_quadric, GL_TRUE);
    }

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
