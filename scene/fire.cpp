#include "scene/scene.h"

namespace {

constexpr int FIRE_DEPTH_STEPS = 5;
constexpr float FIRE_DEPTHS[FIRE_DEPTH_STEPS] = {-6.0f, -5.8f, -6.2f, -5.6f, -6.2f};

constexpr int FIRE_SIDE_STEPS = 7;
constexpr float FIRE_SIDES[FIRE_SIDE_STEPS] = {0.0f, 0.05f, -0.05f, 0.1f, -0.1f, -0.075f, 0.075f};

constexpr int FIRE_TINTS = 2;
constexpr float FIRE_TINT_GREEN[FIRE_TINTS] = {0.2f, 0.3f};

constexpr float FIRE_START_SIZE = 0.3f;
constexpr float FIRE_SHRINK = 0.01f;
constexpr float FIRE_RISE = 0.1f;
constexpr float FIRE_END_SIZE = -0.5f;

}  // namespace

int NextRandom() {
    g_randomState = g_randomState * 214013u + 2531011u;
    return static_cast<int>((g_randomState >> 16) & 0x7FFFu);
}

void EmitFireParticle() {
    int slot = 0;
    while (slot < FIRE_POOL_SIZE && g_firePool[slot].active != 0) {
        slot++;
    }
    if (slot == FIRE_POOL_SIZE) {
        return;  // pool full: no particle, and the cycles keep their places
    }

    Particle* p = &g_firePool[slot];
    p->z = FIRE_DEPTHS[g_fireDepthStep];
    g_fireDepthStep = (g_fireDepthStep + 1) % FIRE_DEPTH_STEPS;
    p->y = 0.0f;
    p->x = FIRE_SIDES[g_fireSideStep];
    g_fireSideStep = (g_fireSideStep + 1) % FIRE_SIDE_STEPS;
    p->r = 1.0f;
    p->g = FIRE_TINT_GREEN[g_fireTint];
    p->b = 0.0f;
    g_fireTint = (g_fireTint + 1) % FIRE_TINTS;
    p->size = FIRE_START_SIZE;
    p->active = 1;
}

// Every live particle takes exactly one random draw, even in the tick it
// dies, so the draws left for the leaves depend only on the live count.
void MoveFireParticles() {
    for (int slot = 0; slot < FIRE_POOL_SIZE; slot++) {
        Particle* p = &g_firePool[slot];
        if (p->active == 0) {
            continue;
        }
        switch (NextRandom() % 9) {
            case 1:
                p->x += 0.01f;
                break;
            case 2:
                p->x -= 0.01f;
                break;
            case 3:
                p->z += 0.01f;
                break;
            case 4:
                p->z -= 0.01f;
                break;
            case 5:
                p->x += 0.02f;
                break;
            case 6:
                p->x -= 0.02f;
                break;
            case 7:
                p->z += 0.02f;
                break;
            case 8:
                p->z -= 0.02f;
                break;
            default:
                break;  // 0: no jitter
        }
        p->size -= FIRE_SHRINK;
        p->y += FIRE_RISE;
        if (p->size < FIRE_END_SIZE) {
            p->active = 0;
        }
    }
}
