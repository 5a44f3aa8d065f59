#include "scene/scene.h"

namespace {

constexpr int WIND_DEPTH_STEPS = 5;
constexpr float WIND_DEPTHS[WIND_DEPTH_STEPS] = {-6.0f, -5.0f, -4.0f, -3.0f, -4.5f};

constexpr int WIND_HEIGHT_STEPS = 7;
constexpr float WIND_HEIGHTS[WIND_HEIGHT_STEPS] = {0.0f, 1.4f, 1.0f, 2.0f, 2.2f, 1.5f, 1.7f};

constexpr float WIND_START_X = -5.0f;
constexpr float WIND_DRIFT_X = 0.06f;
constexpr float WIND_DRIFT_Y = 0.005f;
constexpr float WIND_END_X = 7.0f;
constexpr float WIND_TUMBLE = 5.0f;

// Angles stay multiples of 5 in [0, 360]: 365 becomes 5, -5 becomes 355, and
// 360 and 0 stay as they are.
void WrapAngleDown(float* angle) {
    if (*angle > 360.0f) {
        *angle -= 360.0f;
    }
}

void WrapAngleUp(float* angle) {
    if (*angle < 0.0f) {
        *angle += 360.0f;
    }
}

}  // namespace

void EmitWindParticle() {
    int slot = 0;
    while (slot < WIND_POOL_SIZE && g_windPool[slot].active != 0) {
        slot++;
    }
    if (slot == WIND_POOL_SIZE) {
        return;  // pool full: no leaf, and the cycles keep their places
    }

    Particle* p = &g_windPool[slot];
    p->z = WIND_DEPTHS[g_windDepthStep];
    g_windDepthStep = (g_windDepthStep + 1) % WIND_DEPTH_STEPS;
    p->x = WIND_START_X;
    p->rotX = 0.0f;
    p->rotY = 0.0f;
    p->rotZ = 0.0f;
    p->y = WIND_HEIGHTS[g_windHeightStep];
    g_windHeightStep = (g_windHeightStep + 1) % WIND_HEIGHT_STEPS;
    p->active = 1;
}

// A leaf that passes the right edge is freed but still tumbles this tick, so
// the leaves after it receive the same random draws as if it had stayed.
void MoveWindParticles() {
    for (int slot = 0; slot < WIND_POOL_SIZE; slot++) {
        Particle* p = &g_windPool[slot];
        if (p->active != 1) {
            continue;
        }
        p->y += WIND_DRIFT_Y;
        p->x += WIND_DRIFT_X;
        if (p->x > WIND_END_X) {
            p->active = 0;
        }
        switch (NextRandom() % 6) {
            case 0:
                p->rotX += WIND_TUMBLE;
                break;
            case 1:
                p->rotX -= WIND_TUMBLE;
                break;
            case 2:
                p->rotY += WIND_TUMBLE;
                break;
            case 3:
                p->rotY -= WIND_TUMBLE;
                break;
            case 4:
                p->rotZ += WIND_TUMBLE;
                break;
            default:
                p->rotZ -= WIND_TUMBLE;  // 5
                break;
        }
        WrapAngleDown(&p->rotX);
        WrapAngleDown(&p->rotY);
        WrapAngleDown(&p->rotZ);
        WrapAngleUp(&p->rotX);
        WrapAngleUp(&p->rotY);
        WrapAngleUp(&p->rotZ);
    }
}

void RotateFlagWave() {
    float freeEdge = g_flagWave[FLAG_EDGES - 1];
    for (int edge = FLAG_EDGES - 1; edge > 1; edge--) {
        g_flagWave[edge] = g_flagWave[edge - 1];
    }
    g_flagWave[1] = freeEdge;
}
