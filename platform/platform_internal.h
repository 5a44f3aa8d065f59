// platform_internal.h -- what the window layer's source files share. Not for
// use outside platform/.
#pragma once

#include "platform/platform.h"

#include <SDL.h>

struct PlatformWindow {
    SDL_Window* sdl;
    WNDPROC procedure;
    int visualFormat;  // the pixel format the SDL window was made with, 0 for none
    int pixelFormat;   // 0 until SetPixelFormat fixes one
};

// A window's drawing surface, or, with window none, a memory device context
// that holds a selected bitmap.
struct PlatformDeviceContext {
    PlatformWindow* window;
    HGDIOBJ selected;
};

struct PlatformRenderContext {
    SDL_GLContext gl;
    PlatformWindow* window;
};

// Bit 29 of a key message's lParam: Alt was held.
constexpr LPARAM KEY_ALT_HELD = LPARAM{1} << 29;

// The best pixel format the display offers (1-based), or 0 if none: new
// windows are made with it, so that setting the usual format needs no new
// window.
int PlatformPreferredFormat();
// Sets SDL's attributes for the next OpenGL window to the format.
void PlatformRequestFormat(int format);
// Brings SDL's video subsystem up once; false if there is no display.
bool PlatformInitVideo();
// The window wrapping an SDL window id, or none.
PlatformWindow* PlatformWindowFromId(Uint32 id);
// Client size in drawable pixels.
void PlatformClientSize(PlatformWindow* window, int* width, int* height);
// Sends a message straight to the window's procedure, as the platform does
// from inside its own calls.
LRESULT PlatformSendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Drops the window's timers and queued messages before it is destroyed.
void PlatformForgetWindow(HWND window);
// Translates pending SDL events into queued messages and flags due timers.
void PlatformPumpEvents();
// Runs the owner's timers and queued messages (input held back) until done()
// says the modal box has been closed.
void PlatformModalLoop(HWND owner, bool (*done)(void*), void* context);
