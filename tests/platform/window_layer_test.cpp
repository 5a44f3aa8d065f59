// The window layer under a real (virtual) display: pixel formats, contexts,
// the queue, key translation, timers and the modal loop.
#include "platform/platform_internal.h"
#include "platform/platform_test.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <thread>
#include <vector>

namespace {

std::vector<MSG> g_received;

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_received.push_back(MSG{window, message, wParam, lParam, 0, POINT{0, 0}});
    return DefWindowProcA(window, message, wParam, lParam);
}

PIXELFORMATDESCRIPTOR SceneRequest() {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 24;
    request.cDepthBits = 32;
    return request;
}

class WindowLayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.lpszClassName = "LayerTest";
        RegisterClassA(&windowClass);
        g_received.clear();
        window_ =
            CreateWindowExA(0, "LayerTest", "Layer test", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        Drain();
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
    }
    static void Drain() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    // Pushes an SDL key event and returns the messages it turned into.
    std::vector<MSG> Press(SDL_Scancode scancode, Uint16 mod, bool down, bool repeat) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = SDL_GetWindowID(window_->sdl);
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat ? 1 : 0;
        event.key.keysym.scancode = scancode;
        event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
        event.key.keysym.mod = mod;
        SDL_PushEvent(&event);
        std::vector<MSG> out;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != WM_TIMER && message.message != WM_PAINT && message.message != WM_SIZE) {
                out.push_back(message);
            }
        }
        return out;
    }
    HWND window_ = nullptr;
};

TEST_F(WindowLayerTest, CreationSendsTheDefaultClientSize) {
    DestroyWindow(window_);
    g_received.clear();
    window_ = CreateWindowExA(0, "LayerTest", "Layer test", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    bool sized = false;
    for (const MSG& message : g_received) {
        if (message.message == WM_SIZE) {
            sized = true;
            EXPECT_EQ(LOWORD(message.lParam), 640);
            EXPECT_EQ(HIWORD(message.lParam), 480);
        }
    }
    EXPECT_TRUE(sized);
    RECT client{};
    ASSERT_TRUE(GetClientRect(window_, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_STREQ(SDL_GetWindowTitle(window_->sdl), "Layer test");
    EXPECT_TRUE(SDL_GetWindowFlags(window_->sdl) & SDL_WINDOW_RESIZABLE);
}

TEST_F(WindowLayerTest, PixelFormatSearchAndContext) {
    ShowWindow(window_, SW_SHOWNORMAL);
    HDC deviceContext = GetDC(window_);
    const PIXELFORMATDESCRIPTOR request = SceneRequest();
    const int format = ChoosePixelFormat(deviceContext, &request);
    ASSERT_NE(format, 0);

    PIXELFORMATDESCRIPTOR noOpenGL = request;
    noOpenGL.dwFlags = PFD_DRAW_TO_WINDOW;
    EXPECT_EQ(ChoosePixelFormat(deviceContext, &noOpenGL), 0);

    // The window was made with the best format the display offers, which is
    // what the usual request finds: setting it keeps the window as it is.
    SDL_Window* before = window_->sdl;
    ASSERT_TRUE(SetPixelFormat(deviceContext, format, &request));
    EXPECT_EQ(window_->sdl, before);
    // A window's format is fixed once set.
    EXPECT_FALSE(SetPixelFormat(deviceContext, format == 1 ? 2 : 1, &request));
    HGLRC context = wglCreateContext(deviceContext);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(wglMakeCurrent(deviceContext, context));

    GLint depthBits = 0, redBits = 0;
    GLboolean doubleBuffered = GL_FALSE;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    glGetIntegerv(GL_RED_BITS, &redBits);
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_GE(depthBits, 16);
    EXPECT_GE(redBits, 5);
    EXPECT_TRUE(doubleBuffered);
    EXPECT_EQ(SDL_GL_GetSwapInterval(), 0);
    // Immediate mode works: the compatibility profile is in force.
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBegin(GL_TRIANGLES);
    glEnd();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(SwapBuffers(deviceContext));

    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    EXPECT_TRUE(wglDeleteContext(context));
    ReleaseDC(window_, deviceContext);
}

struct KeyCase {
    SDL_Scancode scancode;
    Uint16 mod;
    bool down;
    bool repeat;
    UINT message;
    WPARAM vk;
};

std::ostream& operator<<(std::ostream& out, const KeyCase& c) {
    return out << SDL_GetScancodeName(c.scancode) << (c.mod ? " with Alt" : "") << (c.down ? " down" : " up")
               << (c.repeat ? " repeated" : "");
}

class KeyTranslationTest : public WindowLayerTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTranslationTest, BecomesAKeyMessage) {
    const KeyCase& c = GetParam();
    const std::vector<MSG> messages = Press(c.scancode, c.mod, c.down, c.repeat);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].hwnd, window_);
    EXPECT_EQ(messages[0].message, c.message);
    EXPECT_EQ(messages[0].wParam, c.vk);
    EXPECT_EQ((messages[0].lParam & KEY_ALT_HELD) != 0, (c.mod & KMOD_ALT) != 0);
    EXPECT_EQ((messages[0].lParam >> 30) & 1, (!c.down || c.repeat) ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTranslationTest,
    ::testing::Values(KeyCase{SDL_SCANCODE_F1, 0, true, false, WM_KEYDOWN, VK_F1},
                      KeyCase{SDL_SCANCODE_F4, 0, true, false, WM_KEYDOWN, VK_F4},
                      KeyCase{SDL_SCANCODE_F4, 0, false, false, WM_KEYUP, VK_F4},
                      KeyCase{SDL_SCANCODE_F2, 0, true, true, WM_KEYDOWN, VK_F2},  // auto-repeat
                      KeyCase{SDL_SCANCODE_F12, 0, true, false, WM_KEYDOWN, VK_F12},
                      KeyCase{SDL_SCANCODE_A, 0, true, false, WM_KEYDOWN, 'A'},
                      KeyCase{SDL_SCANCODE_7, 0, true, false, WM_KEYDOWN, '7'},
                      KeyCase{SDL_SCANCODE_ESCAPE, 0, true, false, WM_KEYDOWN, VK_ESCAPE},
                      KeyCase{SDL_SCANCODE_SPACE, 0, false, false, WM_KEYUP, VK_SPACE},
                      KeyCase{SDL_SCANCODE_LEFT, 0, true, false, WM_KEYDOWN, VK_LEFT},
                      KeyCase{SDL_SCANCODE_F4, KMOD_LALT, true, false, WM_SYSKEYDOWN, VK_F4},
                      KeyCase{SDL_SCANCODE_F4, KMOD_LALT, false, false, WM_SYSKEYUP, VK_F4},
                      KeyCase{SDL_SCANCODE_F10, 0, true, false, WM_SYSKEYDOWN, VK_F10},
                      KeyCase{SDL_SCANCODE_X, KMOD_RALT, true, false, WM_SYSKEYDOWN, 'X'}));

TEST_F(WindowLayerTest, ALesserFormatRemakesTheWindowInPlace) {
    ShowWindow(window_, SW_SHOWNORMAL);
    HDC deviceContext = GetDC(window_);
    PIXELFORMATDESCRIPTOR request = SceneRequest();
    request.cColorBits = 16;
    request.cDepthBits = 16;
    const int format = ChoosePixelFormat(deviceContext, &request);
    ASSERT_NE(format, 0);
    ASSERT_TRUE(SetPixelFormat(deviceContext, format, &request));
    RECT client{};
    ASSERT_TRUE(GetClientRect(window_, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_TRUE(SDL_GetWindowFlags(window_->sdl) & SDL_WINDOW_SHOWN);

    HGLRC context = wglCreateContext(deviceContext);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(wglMakeCurrent(deviceContext, context));
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    ReleaseDC(window_, deviceContext);
}

TEST_F(WindowLayerTest, AltF4BecomesACloseRequest) {
    std::vector<MSG> messages = Press(SDL_SCANCODE_F4, KMOD_LALT, true, false);
    ASSERT_EQ(messages.size(), 1u);
    g_received.clear();
    DispatchMessageA(&messages[0]);
    // The default procedure sent WM_CLOSE, and by default that destroys the window.
    ASSERT_GE(g_received.size(), 2u);
    EXPECT_EQ(g_received[0].message, WM_SYSKEYDOWN);
    EXPECT_EQ(g_received[1].message, WM_CLOSE);
    window_ = nullptr;
}

TEST_F(WindowLayerTest, TranslateAddsCharacters) {
    MSG key{window_, WM_KEYDOWN, 'B', 1, 0, POINT{0, 0}};
    EXPECT_TRUE(TranslateMessage(&key));
    MSG function{window_, WM_KEYDOWN, VK_F1, 1, 0, POINT{0, 0}};
    EXPECT_FALSE(TranslateMessage(&function));
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_CHAR);
    EXPECT_EQ(message.wParam, static_cast<WPARAM>('b'));
}

TEST_F(WindowLayerTest, PostedMessagesComeBackInOrder) {
    PostMessageA(window_, WM_PAINT, 0, 0);
    PostMessageA(nullptr, WM_PAINT, 1, 2);
    PostQuitMessage(3);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.hwnd, window_);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.hwnd, window_);

    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.hwnd, nullptr);
    g_received.clear();
    DispatchMessageA(&message);  // a message without a window reaches no procedure
    EXPECT_TRUE(g_received.empty());

    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

int CountTicks(UINT_PTR id) {
    int ticks = 0;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_TIMER && message.wParam == id) ++ticks;
    }
    return ticks;
}

TEST_F(WindowLayerTest, AWaitingTickAbsorbsTheOnesThatFallDueMeanwhile) {
    // Five and more periods pass unseen, then at least one more: each time
    // exactly one tick waits, however late the check comes.
    SetTimer(window_, 9, 200, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_EQ(CountTicks(9), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_EQ(CountTicks(9), 1);
    EXPECT_EQ(PlatformActiveTimerCount(), 1);
    EXPECT_TRUE(KillTimer(window_, 9));
    EXPECT_EQ(PlatformActiveTimerCount(), 0);
}

TEST_F(WindowLayerTest, DestroyingAWindowStopsItsTimers) {
    SetTimer(window_, 1, 15, nullptr);
    SetTimer(window_, 2, 30, nullptr);
    EXPECT_EQ(PlatformActiveTimerCount(), 2);
    DestroyWindow(window_);
    window_ = nullptr;
    EXPECT_EQ(PlatformActiveTimerCount(), 0);
}

struct ModalState {
    std::chrono::steady_clock::time_point until;
};

bool ModalDone(void* context) {
    return std::chrono::steady_clock::now() >= static_cast<ModalState*>(context)->until;
}

TEST_F(WindowLayerTest, ModalLoopKeepsTicksGoingAndHoldsInput) {
    SetTimer(window_, 5, 10, nullptr);
    PostMessageA(window_, WM_KEYDOWN, VK_F1, 1);
    PostMessageA(window_, WM_CLOSE, 0, 0);
    PostQuitMessage(0);
    g_received.clear();

    ModalState state{std::chrono::steady_clock::now() + std::chrono::milliseconds(200)};
    PlatformModalLoop(window_, ModalDone, &state);

    int ticks = 0;
    for (const MSG& message : g_received) {
        EXPECT_NE(message.message, WM_KEYDOWN);
        EXPECT_NE(message.message, WM_CLOSE);
        if (message.message == WM_TIMER) ++ticks;
    }
    EXPECT_GE(ticks, 3);
    // The quit request waits for the main loop.
    MSG message;
    bool quit = false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        EXPECT_NE(message.message, WM_KEYDOWN);
        quit = quit || message.message == WM_QUIT;
    }
    EXPECT_TRUE(quit);
    KillTimer(window_, 5);
}

TEST(MessageBoxRecorderTest, RecordsInsteadOfShowing) {
    PlatformRecordMessageBoxes(true);
    PlatformClearRecordedMessageBoxes();
    EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_OK), IDOK);
    ASSERT_EQ(PlatformRecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(PlatformRecordedMessageBoxes()[0].text, "text");
    EXPECT_EQ(PlatformRecordedMessageBoxes()[0].caption, "caption");
    PlatformRecordMessageBoxes(false);
}

}  // namespace
