// backdrop.cpp -- the four layers behind the landscape: sky gradient, star
// tiles, moon and clouds. None of them depends on the scene state.
#include "render/render.h"

namespace {

constexpr int STAR_TILES = 8;  // per row and per column
constexpr float STAR_TILE_SIZE = 2.0f;

}  // namespace

// Untextured square at z -16, smooth-shaded from its corner colours.
void DrawSky() {
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -16.0f);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glColor3f(0.0f, 0.0f, 0.0f);
    glVertex3f(-8.0f, 8.0f, 0.0f);
    glVertex3f(8.0f, 8.0f, 0.0f);
    glColor3f(0.0f, 0.0f, 0.5f);
    glVertex3f(8.0f, -8.0f, 0.0f);
    glColor3f(0.2f, 0.0f, 0.3f);
    glVertex3f(-8.0f, -8.0f, 0.0f);
    glEnd();
}

// 8 x 8 tiles 0.01 in front of the sky, bottom row first. The translations
// accumulate from the lower left corner of the sky. These tiles carry t = 0
// on their upper edge.
void DrawStarField() {
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, g_textures[TEX_STARS]);
    glTranslatef(-8.0f, -8.0f, -15.99f);
    for (int row = 0; row < STAR_TILES; row++) {
        for (int column = 0; column < STAR_TILES; column++) {
            glBegin(GL_QUADS);
            glTexCoord3f(0.0f, 0.0f, 0.0f);
            glVertex3f(0.0f, STAR_TILE_SIZE, 0.0f);
            glTexCoord3f(1.0f, 0.0f, 0.0f);
            glVertex3f(STAR_TILE_SIZE, STAR_TILE_SIZE, 0.0f);
            glTexCoord3f(1.0f, 1.0f, 0.0f);
            glVertex3f(STAR_TILE_SIZE, 0.0f, 0.0f);
            glTexCoord3f(0.0f, 1.0f, 0.0f);
            glVertex3f(0.0f, 0.0f, 0.0f);
            glEnd();
            glTranslatef(STAR_TILE_SIZE, 0.0f, 0.0f);
        }
        glTranslatef(-STAR_TILES * STAR_TILE_SIZE, STAR_TILE_SIZE, 0.0f);
    }
}

// 0.7 x 0.7 square just below the top of the view, added onto the square of
// the colour behind it.
void DrawMoon() {
    glLoadIdentity();
    glTranslatef(0.0f, 0.5f, -3.0f);
    glBindTexture(GL_TEXTURE_2D, g_textures[TEX_MOON]);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.0f, 0.7f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.7f, 0.7f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.7f, 0.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glEnd();
}

// One 2 x 1 cloud rectangle whose lower edge is centred on the current origin.
static void DrawCloudQuad() {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, 1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, 0.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, 0.0f, 0.0f);
    glEnd();
}

// Two clouds added onto the sky; the alpha of 0.5 changes nothing under the
// frame's destination-alpha factor.
void DrawClouds() {
    glBindTexture(GL_TEXTURE_2D, g_textures[TEX_CLOUD]);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);

    glLoadIdentity();
    glTranslatef(0.4f, 0.0f, -3.0f);
    DrawCloudQuad();

    glLoadIdentity();
    glTranslatef(-0.4f, -0.25f, -3.1f);
    DrawCloudQuad();
}
