// particles.cpp -- the light that is added onto the picture: the glow over
// the pole, the leaves of the wind pool, and the fire and smoke particles.
// Particles are drawn one unit to the right of their stored position.
#include "render/render.h"

#include "scene/scene.h"

namespace {

constexpr float PARTICLE_X_OFFSET = 1.0f;
constexpr float GLOW_HALF_SIZE = 0.2f;
constexpr float LEAF_HALF_WIDTH = 0.1f;
constexpr float LEAF_HEIGHT = 0.05f;
constexpr float FIRE_SMOKE_SIZE = 0.15f;  // at or below: smoke

}  // namespace

// Yellow-tinted flame square centred on the pole's axis above the knob, only
// while the fire burns.
void DrawFireGlow() {
    if (g_fireOn == 0) {
        return;
    }
    glLoadIdentity();
    glTranslatef(1.0f, 0.0f, -6.0f);
    glColor4f(1.0f, 1.0f, 0.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, g_textures[TEX_FLAME]);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-GLOW_HALF_SIZE, GLOW_HALF_SIZE, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(GLOW_HALF_SIZE, GLOW_HALF_SIZE, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(GLOW_HALF_SIZE, -GLOW_HALF_SIZE, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-GLOW_HALF_SIZE, -GLOW_HALF_SIZE, 0.0f);
    glEnd();
}

// One 0.2 x 0.05 leaf per live wind particle, hanging below its position and
// turned about x, then y, then z.
void DrawWindParticles() {
    for (int slot = 0; slot < WIND_POOL_SIZE; slot++) {
        const Particle* p = &g_windPool[slot];
        if (p->active == 0) {
            continue;
        }
        glLoadIdentity();
        glTranslatef(p->x + PARTICLE_X_OFFSET, p->y, p->z);
        glRotatef(p->rotX, 1.0f, 0.0f, 0.0f);
        glRotatef(p->rotY, 0.0f, 1.0f, 0.0f);
        glRotatef(p->rotZ, 0.0f, 0.0f, 1.0f);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glBindTexture(GL_TEXTURE_2D, g_textures[TEX_WIND]);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(-LEAF_HALF_WIDTH, 0.0f, 0.0f);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(LEAF_HALF_WIDTH, 0.0f, 0.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(LEAF_HALF_WIDTH, -LEAF_HEIGHT, 0.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-LEAF_HALF_WIDTH, -LEAF_HEIGHT, 0.0f);
        glEnd();
    }
}

// One square per live fire particle: flame in its own colour while its size
// is above 0.15, grey smoke after. The signed size is the half-side as it
// is, so a negative size turns the square (and its texture) by 180 degrees.
void DrawFireParticles() {
    for (int slot = 0; slot < FIRE_POOL_SIZE; slot++) {
        const Particle* p = &g_firePool[slot];
        if (p->active == 0) {
            continue;
        }
        glLoadIdentity();
        glTranslatef(p->x + PARTICLE_X_OFFSET, p->y, p->z);
        if (p->size > FIRE_SMOKE_SIZE) {
            glColor4f(p->r, p->g, p->b, 0.5f);
            glBindTexture(GL_TEXTURE_2D, g_textures[TEX_FIRE]);
        } else {
            glColor4f(0.4f, 0.4f, 0.4f, 0.3f);
            glBindTexture(GL_TEXTURE_2D, g_textures[TEX_SMOKE]);
        }
        float s = p->size;
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(-s, s, 0.0f);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(s, s, 0.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(s, -s, 0.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-s, -s, 0.0f);
        glEnd();
    }
}
