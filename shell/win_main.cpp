// Program entry: start-up, the idle-render main loop and the shutdown.
#include "render/render.h"
#include "scene/scene.h"
#include "shell/shell.h"

HWND g_window;
HDC g_deviceContext;
HGLRC g_renderContext;

namespace {

const char* const WINDOW_CLASS = "OGLTemplate";
const char* const WINDOW_TITLE = "Tessavine";

int FailStartUp(const char* call) {
    MessageBoxA(g_window, call, "bah.", MB_OK);
    return -1;
}

PIXELFORMATDESCRIPTOR PixelFormatRequest() {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 24;
    request.cDepthBits = 32;
    request.iLayerType = PFD_MAIN_PLANE;
    return request;
}

// Never blocks: a waiting message is handled, otherwise a frame is drawn.
// Returns the quit message's code.
WPARAM RunMainLoop() {
    MSG message{};
    while (g_done == 0) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                g_done = 1;
                break;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            RenderFrame();
            SwapBuffers(g_deviceContext);
        }
    }
    return message.wParam;
}

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE, char*, int showCommand) {
    InitSceneData();
    for (Particle& particle : g_firePool) particle.active = 0;
    for (Particle& particle : g_windPool) particle.active = 0;
    g_done = 0;

    WNDCLASSA windowClass{};
    windowClass.style = 0;
    windowClass.lpfnWndProc = SceneWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = WINDOW_CLASS;
    RegisterClassA(&windowClass);

    g_window =
        CreateWindowExA(0, WINDOW_CLASS, WINDOW_TITLE, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    ShowWindow(g_window, showCommand);
    UpdateWindow(g_window);
    g_deviceContext = GetDC(g_window);

    const PIXELFORMATDESCRIPTOR request = PixelFormatRequest();
    const int format = ChoosePixelFormat(g_deviceContext, &request);
    if (format == 0) return FailStartUp("ChoosePixelFormat()");
    if (!SetPixelFormat(g_deviceContext, format, &request)) return FailStartUp("SetPixelFormat()");
    g_renderContext = wglCreateContext(g_deviceContext);
    if (!wglMakeCurrent(g_deviceContext, g_renderContext)) return FailStartUp("wglMakeCurrent()");

    InitRenderState();
    RECT client{};
    GetClientRect(g_window, &client);
    ShowWindow(g_window, showCommand);
    UpdateWindow(g_window);
    ResizeView(client.right, client.bottom);

    g_fireTint = 0;
    g_treeLift = -1.0f;
    SetTimer(g_window, TIMER_LEVELS, TIMER_LEVELS_MS, nullptr);
    SetTimer(g_window, TIMER_MOTION, TIMER_MOTION_MS, nullptr);
    SetTimer(g_window, TIMER_SWITCHES, TIMER_SWITCHES_MS, nullptr);

    const WPARAM exitCode = RunMainLoop();
    ReleaseGraphics();
    return static_cast<int>(exitCode);
}

void ReleaseGraphics() {
    wglMakeCurrent(nullptr, nullptr);
    ReleaseDC(g_window, g_deviceContext);
    wglDeleteContext(g_renderContext);
    DestroyWindow(g_window);
}
