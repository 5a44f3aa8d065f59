#include "scene/scene.h"

void EmitWindParticle() {}
void MoveWindParticles() {}
void RotateFlagWave() {}
