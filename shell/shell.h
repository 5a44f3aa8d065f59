// shell.h -- the application shell: entry point, main window and its OpenGL
// context, the idle-render loop, the view, the shutdown and the window
// procedure that turns timer ticks into scene steps.
#pragma once

#include "platform/platform.h"

constexpr UINT_PTR TIMER_LEVELS = 1;    // 15 ms: levels, emission
constexpr UINT_PTR TIMER_MOTION = 2;    // 30 ms: flag wave, particle motion
constexpr UINT_PTR TIMER_SWITCHES = 3;  // 50 ms: F1..F4

constexpr UINT TIMER_LEVELS_MS = 15;
constexpr UINT TIMER_MOTION_MS = 30;
constexpr UINT TIMER_SWITCHES_MS = 50;

extern HWND g_window;
extern HDC g_deviceContext;
extern HGLRC g_renderContext;

// Program entry: start-up, main loop, shutdown. Returns the exit code: 0 after
// a normal close, -1 when the graphics set-up fails.
int WinMain(HINSTANCE instance, HINSTANCE previousInstance, char* commandLine, int showCommand);
// At start-up and on every WM_SIZE: viewport and projection for a client area
// of width x height pixels; leaves an identity modelview current. Does nothing
// while no context is current.
void ResizeView(int width, int height);
// Once, after the main loop: no context current, device context released,
// rendering context deleted, window destroyed.
void ReleaseGraphics();
// The main window's procedure: view on resize, closing note on close, the key
// table, and the timer ticks dispatched to the scene steps.
LRESULT SceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
