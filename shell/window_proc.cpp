// The main window's procedure: resizing, the closing note, the key table and
// the timer ticks that drive the scene.
#include "scene/scene.h"
#include "shell/shell.h"

namespace {

const char* const CLOSING_NOTE =
    "Thank you for watching Tessavine.\n"
    "\n"
    "Earth, water, air and fire under the night sky,\n"
    "drawn with OpenGL by the Tessavine developers.";

void DispatchTimer(WPARAM id) {
    switch (id) {
        case TIMER_LEVELS:
            StepLevels();
            if (g_fireOn == 1) EmitFireParticle();
            if (g_airOn == 1) EmitWindParticle();
            break;
        case TIMER_MOTION:
            // Both particle steps draw from the one random generator; this
            // order decides which particle gets which number.
            RotateFlagWave();
            MoveFireParticles();
            MoveWindParticles();
            break;
        case TIMER_SWITCHES:
            PollSwitchKeys();
            break;
        default:
            break;
    }
}

}  // namespace

LRESULT SceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            ResizeView(LOWORD(lParam), HIWORD(lParam));
            PostMessageA(g_window, WM_PAINT, 0, 0);
            return 0;
        case WM_CLOSE:
            // The window stays until the main loop has ended.
            MessageBoxA(window, CLOSING_NOTE, "Thanks.", MB_OK);
            PostQuitMessage(0);
            return 0;
        case WM_KEYDOWN:
            if (wParam < KEY_COUNT) g_keys[wParam] = 1;
            return 0;
        case WM_KEYUP:
            if (wParam < KEY_COUNT) g_keys[wParam] = 0;
            return 0;
        case WM_TIMER:
            DispatchTimer(wParam);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
