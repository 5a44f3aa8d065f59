// platform_test.h -- switches that tests flip on the window layer. The program
// itself never calls anything here.
#pragma once

#include "platform/platform.h"

#include <string>
#include <vector>

struct RecordedMessageBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// While recording, MessageBoxA shows nothing: it appends to the record and
// returns IDOK at once.
void PlatformRecordMessageBoxes(bool on);
const std::vector<RecordedMessageBox>& PlatformRecordedMessageBoxes();
void PlatformClearRecordedMessageBoxes();

enum PlatformFailure {
    PLATFORM_FAIL_NONE,
    PLATFORM_FAIL_CHOOSE_PIXEL_FORMAT,  // ChoosePixelFormat returns 0
    PLATFORM_FAIL_SET_PIXEL_FORMAT,     // SetPixelFormat returns FALSE
    PLATFORM_FAIL_MAKE_CURRENT,         // wglMakeCurrent with a context returns FALSE
};
void PlatformForceFailure(PlatformFailure failure);

// Called after every SwapBuffers, on the GUI thread; none to stop.
using PlatformSwapHook = void (*)(HDC deviceContext);
void PlatformSetSwapHook(PlatformSwapHook hook);

// Called by DispatchMessageA before the window procedure; none to stop.
using PlatformDispatchHook = void (*)(const MSG* message);
void PlatformSetDispatchHook(PlatformDispatchHook hook);

// Number of timers started with SetTimer and not killed.
int PlatformActiveTimerCount();

// Memory device contexts and DIB sections not yet deleted.
int PlatformLiveGdiObjectCount();
// File and mapping handles and views not yet closed or unmapped.
int PlatformLiveFileObjectCount();

// What the underlying window system last reported as going wrong, for test
// failure messages; empty when it reported nothing.
std::string PlatformLastError();
