#include "render/render.h"

void RenderFrame() {}
