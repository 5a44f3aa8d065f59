#include "scene/scene.h"

namespace {

// A pressed key is consumed and flips its switch: 0 becomes 1, anything else 0.
void ConsumeSwitchKey(int key, std::uint8_t* onSwitch) {
    if (g_keys[key] == 0) {
        return;
    }
    g_keys[key] = 0;
    *onSwitch = (*onSwitch == 0) ? 1 : 0;
}

}  // namespace

void PollSwitchKeys() {
    ConsumeSwitchKey(KEY_F1, &g_earthOn);
    ConsumeSwitchKey(KEY_F2, &g_waterOn);
    ConsumeSwitchKey(KEY_F3, &g_airOn);
    ConsumeSwitchKey(KEY_F4, &g_fireOn);
}

// Each level tests first and steps after, without clamping, so a full travel
// ends up to one step beyond its limit.
void StepLevels() {
    if (g_earthOn != 0) {
        if (g_treeLift > -1.0f) {
            g_treeLift -= 0.1f;
        }
    } else {
        if (g_treeLift < 8.0f) {
            g_treeLift += 0.1f;
        }
    }

    if (g_waterOn != 0) {
        if (g_waterLevel < -1.2f) {
            g_waterLevel += 0.05f;
        }
    } else {
        if (g_waterLevel > -2.0f) {
            g_waterLevel -= 0.05f;
        }
    }
}
