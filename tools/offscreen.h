// offscreen.h -- what the snapshot tool, the render tests and the frame
// benchmark share: a window with a current OpenGL context opened the way the
// program's start-up opens it, the scene reset to its start values, a
// timeline of timer ticks driven through the window procedure, and the back
// buffer read into memory and to and from PNG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture read back or loaded: width * height * 3 bytes, red green blue,
// top row first.
struct SnapshotImage {
    int width;
    int height;
    std::vector<std::uint8_t> rgb;
};

// Window of the given client size with a double-buffered RGBA context and a
// depth buffer, current on this thread. False when the display refuses.
bool OpenSnapshotWindow(int width, int height);
// Releases the context and the window of OpenSnapshotWindow.
void CloseSnapshotWindow();
// Client size of the snapshot window.
void SnapshotClientSize(int* width, int* height);
// The render set-up with the texture files of `directory` (the working
// directory while it loads), then the view fitted to the client area.
void InitSnapshotRender(const std::string& directory);

// Every scene variable back to the value it holds when the program's first
// tick arrives.
void ResetSnapshotScene();
// Key-down of a virtual key through the window procedure; F1..F4 flip their
// switch at the next switch tick.
void PressSnapshotKey(unsigned key);
// Delivers, in time order, every timer tick due in (fromMs, toMs] on a
// timeline whose timers all started at 0: levels every 15 ms, motion every
// 30 ms, switches every 50 ms; ticks due together come in timer-id order.
void RunSnapshotTimeline(int fromMs, int toMs);

// RenderFrame, then the back buffer read before the swap.
void RenderSnapshotFrame(SnapshotImage* image);
// Presents the back buffer, as the main loop does after every frame.
void SwapSnapshotBuffers();
// The back buffer as it stands.
void ReadSnapshotBackBuffer(SnapshotImage* image);

bool WriteSnapshotPng(const std::string& path, const SnapshotImage& image);
bool ReadSnapshotPng(const std::string& path, SnapshotImage* image);
