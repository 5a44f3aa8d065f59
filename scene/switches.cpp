#include "scene/scene.h"

void PollSwitchKeys() {}
void StepLevels() {}
