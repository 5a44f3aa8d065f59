// Modal message boxes. SDL shows the box on a thread of its own while the GUI
// thread runs the modal loop, so timer ticks keep reaching the window
// procedures as long as the box is up.
#include "platform/platform_internal.h"
#include "platform/platform_test.h"

#include <atomic>
#include <cstdio>

namespace {

bool g_recording;
std::vector<RecordedMessageBox> g_recorded;

struct BoxRequest {
    SDL_MessageBoxData data;
    std::atomic<bool> closed{false};
    bool shown = false;
};

int ShowBox(void* context) {
    auto* request = static_cast<BoxRequest*>(context);
    int button = 0;
    request->shown = SDL_ShowMessageBox(&request->data, &button) == 0;
    request->closed = true;
    return 0;
}

bool BoxClosed(void* context) {
    return static_cast<BoxRequest*>(context)->closed;
}

}  // namespace

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    if (!text) text = "";
    if (!caption) caption = "Error";
    if (g_recording) {
        g_recorded.push_back(RecordedMessageBox{owner, text, caption, type});
        return IDOK;
    }

    SDL_MessageBoxButtonData ok{};
    ok.flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    ok.buttonid = IDOK;
    ok.text = "OK";

    BoxRequest request;
    request.data = SDL_MessageBoxData{};
    request.data.flags = SDL_MESSAGEBOX_INFORMATION;
    request.data.window = owner ? owner->sdl : nullptr;
    request.data.title = caption;
    request.data.message = text;
    request.data.numbuttons = 1;
    request.data.buttons = &ok;

    SDL_Thread* thread = SDL_CreateThread(ShowBox, "message box", &request);
    if (thread) {
        PlatformModalLoop(owner, BoxClosed, &request);
        SDL_WaitThread(thread, nullptr);
    }
    // Without a display the box cannot be shown; the text must not be lost.
    if (!request.shown) std::fprintf(stderr, "%s: %s\n", caption, text);
    return IDOK;
}

void PlatformRecordMessageBoxes(bool on) {
    g_recording = on;
}

const std::vector<RecordedMessageBox>& PlatformRecordedMessageBoxes() {
    return g_recorded;
}

void PlatformClearRecordedMessageBoxes() {
    g_recorded.clear();
}
