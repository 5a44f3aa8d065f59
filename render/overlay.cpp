// overlay.cpp -- the row along the top of the view: one icon per element
// switch, bright when on and half bright when off, and the controls picture.
#include "render/render.h"

#include "scene/scene.h"

#include <cstdint>

namespace {

constexpr float ICON_SIZE = 0.1f;
constexpr float CONTROLS_WIDTH = 0.4f;
constexpr float CONTROLS_HEIGHT = 0.3f;
constexpr float ICON_OFF_BRIGHTNESS = 0.5f;

}  // namespace

// A quad hanging from the current origin to the right and down, the whole
// texture on it.
static void DrawOverlayQuad(float width, float height) {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(width, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(width, -height, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.0f, -height, 0.0f);
    glEnd();
}

// Icons for earth, water, air and fire left to right at z -1 from
// (-0.4, 0.4), then the 0.4 x 0.3 controls picture right of them.
void DrawIconRow() {
    const std::uint8_t* switches[4] = {&g_earthOn, &g_waterOn, &g_airOn, &g_fireOn};
    const int icons[4] = {TEX_ICON_EARTH, TEX_ICON_WATER, TEX_ICON_AIR, TEX_ICON_FIRE};

    glLoadIdentity();
    glTranslatef(-0.4f, 0.4f, -1.0f);
    for (int icon = 0; icon < 4; icon++) {
        if (*switches[icon] != 0) {
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        } else {
            glColor4f(ICON_OFF_BRIGHTNESS, ICON_OFF_BRIGHTNESS, ICON_OFF_BRIGHTNESS, 1.0f);
        }
        glBindTexture(GL_TEXTURE_2D, g_textures[icons[icon]]);
        DrawOverlayQuad(ICON_SIZE, ICON_SIZE);
        glTranslatef(ICON_SIZE, 0.0f, 0.0f);
    }

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, g_textures[TEX_CONTROLS]);
    DrawOverlayQuad(CONTROLS_WIDTH, CONTROLS_HEIGHT);
}
