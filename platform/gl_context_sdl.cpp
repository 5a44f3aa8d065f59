// Device context, pixel formats and OpenGL contexts, on SDL2.
#include "platform/platform_internal.h"
#include "platform/platform_test.h"

namespace {

// The formats we know how to ask the display for, best first: double-buffered
// RGBA with the deepest depth buffer, then shallower ones, then 16-bit colour.
struct PixelFormat {
    int red, green, blue;
    int depth;
};
constexpr PixelFormat FORMATS[] = {
    {8, 8, 8, 32}, {8, 8, 8, 24}, {8, 8, 8, 16}, {5, 6, 5, 32}, {5, 6, 5, 24}, {5, 6, 5, 16},
};
constexpr int FORMAT_COUNT = sizeof(FORMATS) / sizeof(FORMATS[0]);

PlatformFailure g_forcedFailure = PLATFORM_FAIL_NONE;
PlatformSwapHook g_swapHook;
int g_offered[FORMAT_COUNT];  // 0 unknown, 1 offered, -1 not offered

void RequestFormat(const PixelFormat& format) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, format.red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, format.green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, format.blue);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.depth);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // Immediate mode and GLU need the compatibility profile.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

// Whether the display has a visual for the format: SDL refuses to create an
// OpenGL window it has no matching visual for.
bool DisplayOffers(int index) {
    if (g_offered[index] == 0) {
        RequestFormat(FORMATS[index]);
        SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        g_offered[index] = probe ? 1 : -1;
        if (probe) SDL_DestroyWindow(probe);
    }
    return g_offered[index] == 1;
}

int Distance(const PixelFormat& format, const PIXELFORMATDESCRIPTOR& request) {
    const int colour = format.red + format.green + format.blue;
    const int depthShort = request.cDepthBits > format.depth ? request.cDepthBits - format.depth : 0;
    const int depthOver = format.depth > request.cDepthBits ? format.depth - request.cDepthBits : 0;
    const int colourShort = request.cColorBits > colour ? request.cColorBits - colour : 0;
    // Missing bits weigh more than surplus ones.
    return 4 * (depthShort + colourShort) + depthOver;
}

}  // namespace

int PlatformPreferredFormat() {
    if (!PlatformInitVideo()) return 0;
    for (int index = 0; index < FORMAT_COUNT; ++index) {
        if (DisplayOffers(index)) return index + 1;
    }
    return 0;
}

void PlatformRequestFormat(int format) {
    if (format >= 1 && format <= FORMAT_COUNT) RequestFormat(FORMATS[format - 1]);
}

HDC GetDC(HWND window) {
    if (!window) return nullptr;
    return new PlatformDeviceContext{window, nullptr};
}

int ReleaseDC(HWND, HDC deviceContext) {
    if (!deviceContext || !deviceContext->window) return 0;
    delete deviceContext;
    return 1;
}

int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request) {
    if (g_forcedFailure == PLATFORM_FAIL_CHOOSE_PIXEL_FORMAT) return 0;
    if (!deviceContext || !deviceContext->window || !request) return 0;
    if (!(request->dwFlags & PFD_SUPPORT_OPENGL) || request->iPixelType != PFD_TYPE_RGBA) return 0;
    if (!PlatformInitVideo()) return 0;

    int best = 0;
    for (int index = 0; index < FORMAT_COUNT; ++index) {
        if (!DisplayOffers(index)) continue;
        if (best == 0 || Distance(FORMATS[index], *request) < Distance(FORMATS[best - 1], *request)) {
            best = index + 1;
        }
    }
    return best;
}

// Windows are made with the preferred format already; any other format is
// fixed by recreating the SDL window with that visual, in the same place.
BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR*) {
    if (g_forcedFailure == PLATFORM_FAIL_SET_PIXEL_FORMAT) return FALSE;
    if (!deviceContext || !deviceContext->window || format < 1 || format > FORMAT_COUNT) return FALSE;
    PlatformWindow* window = deviceContext->window;
    if (window->pixelFormat != 0) return window->pixelFormat == format ? TRUE : FALSE;

    if (window->visualFormat != format) {
        RequestFormat(FORMATS[format - 1]);
        int x, y, width, height;
        SDL_GetWindowPosition(window->sdl, &x, &y);
        SDL_GetWindowSize(window->sdl, &width, &height);
        const Uint32 kept = SDL_GetWindowFlags(window->sdl) & (SDL_WINDOW_SHOWN | SDL_WINDOW_HIDDEN |
                                                               SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED);
        SDL_Window* replacement =
            SDL_CreateWindow(SDL_GetWindowTitle(window->sdl), x, y, width, height,
                             kept | SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
        if (!replacement) return FALSE;
        SDL_DestroyWindow(window->sdl);
        window->sdl = replacement;
        window->visualFormat = format;
    }
    window->pixelFormat = format;
    return TRUE;
}

HGLRC wglCreateContext(HDC deviceContext) {
    if (!deviceContext || !deviceContext->window || deviceContext->window->pixelFormat == 0) return nullptr;
    // SDL makes a new context current at once; the caller expects to do that
    // itself, so whatever was current before is restored.
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_GLContext context = SDL_GL_CreateContext(deviceContext->window->sdl);
    if (!context) return nullptr;
    SDL_GL_MakeCurrent(previousWindow ? previousWindow : deviceContext->window->sdl, previous);
    return new PlatformRenderContext{context, deviceContext->window};
}

BOOL wglMakeCurrent(HDC deviceContext, HGLRC renderContext) {
    if (!renderContext) {
        SDL_Window* current = SDL_GL_GetCurrentWindow();
        if (current) SDL_GL_MakeCurrent(current, nullptr);
        return TRUE;
    }
    if (g_forcedFailure == PLATFORM_FAIL_MAKE_CURRENT) return FALSE;
    if (!deviceContext || !deviceContext->window || deviceContext->window->pixelFormat == 0) return FALSE;
    if (SDL_GL_MakeCurrent(deviceContext->window->sdl, renderContext->gl) != 0) return FALSE;
    // The main loop draws flat out and must never wait for the display.
    SDL_GL_SetSwapInterval(0);
    return TRUE;
}

BOOL wglDeleteContext(HGLRC renderContext) {
    if (!renderContext) return FALSE;
    if (SDL_GL_GetCurrentContext() == renderContext->gl) {
        SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
    }
    SDL_GL_DeleteContext(renderContext->gl);
    delete renderContext;
    return TRUE;
}

BOOL SwapBuffers(HDC deviceContext) {
    if (!deviceContext || !deviceContext->window || deviceContext->window->pixelFormat == 0) return FALSE;
    SDL_GL_SwapWindow(deviceContext->window->sdl);
    if (g_swapHook) g_swapHook(deviceContext);
    return TRUE;
}

void PlatformForceFailure(PlatformFailure failure) {
    g_forcedFailure = failure;
}

void PlatformSetSwapHook(PlatformSwapHook hook) {
    g_swapHook = hook;
}

std::string PlatformLastError() {
    return SDL_GetError();
}
