// Window class, main window, showing, sizing and the default window
// procedure, on SDL2.
#include "platform/platform_internal.h"

#include <map>
#include <string>
#include <vector>

const char* const IDI_APPLICATION = "IDI_APPLICATION";
const char* const IDC_ARROW = "IDC_ARROW";

namespace {

constexpr int DEFAULT_WIDTH = 640;
constexpr int DEFAULT_HEIGHT = 480;

std::map<std::string, WNDPROC> g_classes;
std::vector<PlatformWindow*> g_windows;
bool g_videoUp;

bool IsLiveWindow(HWND window) {
    for (PlatformWindow* live : g_windows) {
        if (live == window) return true;
    }
    return false;
}

// What the class background brush asks for: a white client area until the
// program draws into it. An OpenGL window is left to its frames.
void PaintBackground(HWND window) {
    if (window->pixelFormat != 0) return;
    SDL_Surface* surface = SDL_GetWindowSurface(window->sdl);
    if (!surface) return;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 255, 255, 255));
    SDL_UpdateWindowSurface(window->sdl);
}

}  // namespace

bool PlatformInitVideo() {
    if (g_videoUp) return true;
    // The program handles its own close requests and has no use for SDL's
    // signal handlers or its quit-on-last-window event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // The white background before the first frame is painted straight into
    // the window, not through a renderer with an OpenGL context of its own.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    g_videoUp = true;
    return true;
}

PlatformWindow* PlatformWindowFromId(Uint32 id) {
    for (PlatformWindow* window : g_windows) {
        if (SDL_GetWindowID(window->sdl) == id) return window;
    }
    return nullptr;
}

void PlatformClientSize(PlatformWindow* window, int* width, int* height) {
    *width = 0;
    *height = 0;
    if (!window || (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MINIMIZED)) return;
    if (window->visualFormat != 0) {
        SDL_GL_GetDrawableSize(window->sdl, width, height);
    } else {
        SDL_GetWindowSizeInPixels(window->sdl, width, height);
    }
}

LRESULT PlatformSendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsLiveWindow(window) || !window->procedure) return 0;
    return window->procedure(window, message, wParam, lParam);
}

HICON LoadIconA(HINSTANCE, const char*) {
    return nullptr;
}

HCURSOR LoadCursorA(HINSTANCE, const char*) {
    return nullptr;
}

HGDIOBJ GetStockObject(int) {
    return nullptr;
}

WORD RegisterClassA(const WNDCLASSA* windowClass) {
    if (!windowClass || !windowClass->lpszClassName) return 0;
    g_classes[windowClass->lpszClassName] = windowClass->lpfnWndProc;
    return static_cast<WORD>(g_classes.size());
}

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD, int x, int y, int width,
                     int height, HWND, void*, HINSTANCE, void*) {
    auto found = g_classes.find(className ? className : "");
    if (found == g_classes.end() || !PlatformInitVideo()) return nullptr;

    if (x == CW_USEDEFAULT || y == CW_USEDEFAULT) x = y = SDL_WINDOWPOS_UNDEFINED;
    if (width == CW_USEDEFAULT || height == CW_USEDEFAULT || width <= 0 || height <= 0) {
        width = DEFAULT_WIDTH;
        height = DEFAULT_HEIGHT;
    }
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    const int visualFormat = PlatformPreferredFormat();
    if (visualFormat != 0) {
        PlatformRequestFormat(visualFormat);
        flags |= SDL_WINDOW_OPENGL;
    }
    SDL_Window* sdl = SDL_CreateWindow(title ? title : "", x, y, width, height, flags);
    if (!sdl) return nullptr;

    auto* window = new PlatformWindow{sdl, found->second, visualFormat, 0};
    g_windows.push_back(window);

    int clientWidth, clientHeight;
    PlatformClientSize(window, &clientWidth, &clientHeight);
    PlatformSendMessage(window, WM_CREATE, 0, 0);
    PlatformSendMessage(window, WM_SIZE, 0, MAKELPARAM(clientWidth, clientHeight));
    return window;
}

BOOL ShowWindow(HWND window, int showCommand) {
    if (!IsLiveWindow(window)) return FALSE;
    const BOOL wasVisible = (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) ? TRUE : FALSE;
    switch (showCommand) {
        case SW_HIDE:
            SDL_HideWindow(window->sdl);
            return wasVisible;
        case SW_SHOWMINIMIZED:
            SDL_ShowWindow(window->sdl);
            SDL_MinimizeWindow(window->sdl);
            break;
        case SW_SHOWMAXIMIZED:
            SDL_ShowWindow(window->sdl);
            SDL_MaximizeWindow(window->sdl);
            break;
        default:
            SDL_ShowWindow(window->sdl);
            break;
    }
    int width, height;
    PlatformClientSize(window, &width, &height);
    PlatformSendMessage(window, WM_SIZE, 0, MAKELPARAM(width, height));
    return wasVisible;
}

BOOL UpdateWindow(HWND window) {
    if (!IsLiveWindow(window)) return FALSE;
    PlatformSendMessage(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL DestroyWindow(HWND window) {
    if (!IsLiveWindow(window)) return FALSE;
    PlatformSendMessage(window, WM_DESTROY, 0, 0);
    PlatformForgetWindow(window);
    for (auto it = g_windows.begin(); it != g_windows.end(); ++it) {
        if (*it == window) {
            g_windows.erase(it);
            break;
        }
    }
    SDL_DestroyWindow(window->sdl);
    delete window;
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (!IsLiveWindow(window) || !rect) return FALSE;
    int width, height;
    PlatformClientSize(window, &width, &height);
    *rect = RECT{0, 0, width, height};
    return TRUE;
}

HWND GetFocus() {
    if (!g_videoUp) return nullptr;
    SDL_Window* focused = SDL_GetKeyboardFocus();
    for (PlatformWindow* window : g_windows) {
        if (window->sdl == focused) return window;
    }
    return nullptr;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (lParam & KEY_ALT_HELD)) PlatformSendMessage(window, WM_CLOSE, 0, 0);
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_PAINT:
            if (IsLiveWindow(window)) PaintBackground(window);
            return 0;
        default:
            return 0;
    }
}
