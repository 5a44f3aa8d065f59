// The message queue, periodic timers and the translation of SDL events into
// window messages.
#include "platform/platform_internal.h"
#include "platform/platform_test.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Timer {
    HWND window;
    UINT_PTR id;
    Clock::duration period;
    Clock::time_point due;
    bool pending;  // one tick waits to be taken
};

std::deque<MSG> g_queue;
std::vector<Timer> g_timers;
PlatformDispatchHook g_dispatchHook;

DWORD MessageTime() {
    return static_cast<DWORD>(SDL_GetTicks());
}

void Enqueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_queue.push_back(MSG{window, message, wParam, lParam, MessageTime(), POINT{0, 0}});
}

// Flags each timer whose time has come. A tick already waiting absorbs the
// ones that fall due meanwhile, and the schedule stays on its own grid, so a
// busy loop loses ticks rather than drifting or catching up in bursts.
void FlagDueTimers() {
    const Clock::time_point now = Clock::now();
    for (Timer& timer : g_timers) {
        if (now < timer.due) continue;
        timer.pending = true;
        const auto missed = (now - timer.due) / timer.period;
        timer.due += timer.period * (missed + 1);
    }
}

// The waiting tick that fell due first, or none.
Timer* NextPendingTimer() {
    Timer* next = nullptr;
    for (Timer& timer : g_timers) {
        if (timer.pending && (!next || timer.due < next->due)) next = &timer;
    }
    return next;
}

WPARAM VirtualKeyFromScancode(SDL_Scancode scancode, SDL_Keycode keycode) {
    if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
    if (keycode >= SDLK_0 && keycode <= SDLK_9) return '0' + (keycode - SDLK_0);
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return VK_F1 + (scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) {
        return VK_F12 + 1 + (scancode - SDL_SCANCODE_F13);
    }
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) {
        return VK_NUMPAD0 + 1 + (scancode - SDL_SCANCODE_KP_1);
    }
    switch (scancode) {
        case SDL_SCANCODE_BACKSPACE:
            return VK_BACK;
        case SDL_SCANCODE_TAB:
            return VK_TAB;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER:
            return VK_RETURN;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT:
            return VK_SHIFT;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL:
            return VK_CONTROL;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT:
            return VK_MENU;
        case SDL_SCANCODE_PAUSE:
            return VK_PAUSE;
        case SDL_SCANCODE_CAPSLOCK:
            return VK_CAPITAL;
        case SDL_SCANCODE_ESCAPE:
            return VK_ESCAPE;
        case SDL_SCANCODE_SPACE:
            return VK_SPACE;
        case SDL_SCANCODE_PAGEUP:
            return VK_PRIOR;
        case SDL_SCANCODE_PAGEDOWN:
            return VK_NEXT;
        case SDL_SCANCODE_END:
            return VK_END;
        case SDL_SCANCODE_HOME:
            return VK_HOME;
        case SDL_SCANCODE_LEFT:
            return VK_LEFT;
        case SDL_SCANCODE_UP:
            return VK_UP;
        case SDL_SCANCODE_RIGHT:
            return VK_RIGHT;
        case SDL_SCANCODE_DOWN:
            return VK_DOWN;
        case SDL_SCANCODE_INSERT:
            return VK_INSERT;
        case SDL_SCANCODE_DELETE:
            return VK_DELETE;
        case SDL_SCANCODE_KP_0:
            return VK_NUMPAD0;
        case SDL_SCANCODE_KP_MULTIPLY:
            return VK_MULTIPLY;
        case SDL_SCANCODE_KP_PLUS:
            return VK_ADD;
        case SDL_SCANCODE_KP_MINUS:
            return VK_SUBTRACT;
        case SDL_SCANCODE_KP_PERIOD:
            return VK_DECIMAL;
        case SDL_SCANCODE_KP_DIVIDE:
            return VK_DIVIDE;
        case SDL_SCANCODE_SEMICOLON:
            return 0xBA;
        case SDL_SCANCODE_EQUALS:
            return 0xBB;
        case SDL_SCANCODE_COMMA:
            return 0xBC;
        case SDL_SCANCODE_MINUS:
            return 0xBD;
        case SDL_SCANCODE_PERIOD:
            return 0xBE;
        case SDL_SCANCODE_SLASH:
            return 0xBF;
        case SDL_SCANCODE_GRAVE:
            return 0xC0;
        case SDL_SCANCODE_LEFTBRACKET:
            return 0xDB;
        case SDL_SCANCODE_BACKSLASH:
            return 0xDC;
        case SDL_SCANCODE_RIGHTBRACKET:
            return 0xDD;
        case SDL_SCANCODE_APOSTROPHE:
            return 0xDE;
        default:
            return 0;
    }
}

void TranslateKey(const SDL_KeyboardEvent& key) {
    PlatformWindow* window = PlatformWindowFromId(key.windowID);
    const WPARAM vk = VirtualKeyFromScancode(key.keysym.scancode, key.keysym.sym);
    if (!window || vk == 0) return;

    const bool down = key.type == SDL_KEYDOWN;
    const bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    // Keys under Alt, F10 and Alt itself are system keys, as on the desktop
    // the program was written for; the default procedure acts on them.
    const bool system = alt || vk == VK_F10 || vk == VK_MENU;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);

    LPARAM lParam = 1 | (static_cast<LPARAM>(key.keysym.scancode & 0xFF) << 16);
    if (alt) lParam |= KEY_ALT_HELD;
    if (!down || key.repeat) lParam |= LPARAM{1} << 30;  // the key was down before
    if (!down) lParam |= LPARAM{1} << 31;                // released
    Enqueue(window, message, vk, lParam);
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    PlatformWindow* window = PlatformWindowFromId(event.windowID);
    if (!window) return;
    int width, height;
    switch (event.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MINIMIZED:
            PlatformClientSize(window, &width, &height);
            Enqueue(window, WM_SIZE, 0, MAKELPARAM(width, height));
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            Enqueue(window, WM_PAINT, 0, 0);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            Enqueue(window, WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
}

bool IsInput(UINT message) {
    return message == WM_CLOSE || (message >= WM_KEYDOWN && message <= WM_SYSCHAR);
}

}  // namespace

void PlatformPumpEvents() {
    SDL_Event event;
    while (SDL_WasInit(SDL_INIT_VIDEO) && SDL_PollEvent(&event)) {
        if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
            TranslateKey(event.key);
        } else if (event.type == SDL_WINDOWEVENT) {
            TranslateWindowEvent(event.window);
        }
    }
    FlagDueTimers();
}

void PlatformForgetWindow(HWND window) {
    g_timers.erase(std::remove_if(g_timers.begin(), g_timers.end(),
                                  [window](const Timer& timer) { return timer.window == window; }),
                   g_timers.end());
    for (MSG& message : g_queue) {
        if (message.hwnd == window) message.hwnd = nullptr;
    }
}

// Runs while a modal box is up. SDL belongs to the box's thread meanwhile, so
// this loop keeps to our own queue and clock: ticks and queued size and paint
// messages reach their procedures; input for the windows is discarded, as the
// box holds the input; everything else waits for the main loop.
void PlatformModalLoop(HWND, bool (*done)(void*), void* context) {
    while (!done(context)) {
        FlagDueTimers();
        std::deque<MSG> kept;
        while (!g_queue.empty()) {
            MSG message = g_queue.front();
            g_queue.pop_front();
            if (message.message == WM_SIZE || message.message == WM_PAINT) {
                DispatchMessageA(&message);
            } else if (!IsInput(message.message) || !message.hwnd) {
                kept.push_back(message);
            }
        }
        g_queue.insert(g_queue.begin(), kept.begin(), kept.end());
        while (Timer* timer = NextPendingTimer()) {
            timer->pending = false;
            MSG tick{timer->window, WM_TIMER, timer->id, 0, MessageTime(), POINT{0, 0}};
            DispatchMessageA(&tick);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

BOOL PeekMessageA(MSG* message, HWND, UINT, UINT, UINT removeFlags) {
    PlatformPumpEvents();
    if (!g_queue.empty()) {
        *message = g_queue.front();
        if (removeFlags & PM_REMOVE) g_queue.pop_front();
        return TRUE;
    }
    if (Timer* timer = NextPendingTimer()) {
        *message = MSG{timer->window, WM_TIMER, timer->id, 0, MessageTime(), POINT{0, 0}};
        if (removeFlags & PM_REMOVE) timer->pending = false;
        return TRUE;
    }
    return FALSE;
}

BOOL TranslateMessage(const MSG* message) {
    if (!message || (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN)) return FALSE;
    const WPARAM vk = message->wParam;
    const bool shift = (SDL_WasInit(SDL_INIT_VIDEO) && (SDL_GetModState() & KMOD_SHIFT) != 0);
    WPARAM character = 0;
    if (vk >= 'A' && vk <= 'Z') {
        character = shift ? vk : vk - 'A' + 'a';
    } else if ((vk >= '0' && vk <= '9') || vk == VK_SPACE || vk == VK_RETURN || vk == VK_ESCAPE ||
               vk == VK_BACK || vk == VK_TAB) {
        character = vk;
    }
    if (character == 0) return FALSE;
    Enqueue(message->hwnd, message->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, character, message->lParam);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* message) {
    if (!message || !message->hwnd) return 0;
    if (g_dispatchHook) g_dispatchHook(message);
    return PlatformSendMessage(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Enqueue(window, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    Enqueue(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC) {
    const Clock::duration period = std::chrono::milliseconds(std::max(periodMs, 1u));
    for (Timer& timer : g_timers) {
        if (timer.window == window && timer.id == id) {
            timer.period = period;
            timer.due = Clock::now() + period;
            return id;
        }
    }
    g_timers.push_back(Timer{window, id, period, Clock::now() + period, false});
    return id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    const auto before = g_timers.size();
    g_timers.erase(
        std::remove_if(g_timers.begin(), g_timers.end(),
                       [&](const Timer& timer) { return timer.window == window && timer.id == id; }),
        g_timers.end());
    return g_timers.size() != before ? TRUE : FALSE;
}

void PlatformSetDispatchHook(PlatformDispatchHook hook) {
    g_dispatchHook = hook;
}

int PlatformActiveTimerCount() {
    return static_cast<int>(g_timers.size());
}
