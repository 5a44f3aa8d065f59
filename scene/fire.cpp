#include "scene/scene.h"

int NextRandom() { return 0; }
void EmitFireParticle() {}
void MoveFireParticles() {}
