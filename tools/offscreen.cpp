// offscreen.cpp -- snapshot window, scene timeline and PNG files.
#include "tools/offscreen.h"

#include "platform/platform.h"
#include "render/render.h"
#include "scene/scene.h"
#include "shell/shell.h"

#include <png.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

const char* const SNAPSHOT_CLASS = "TessavineSnapshot";

HWND g_snapshotWindow;
HDC g_snapshotDc;
HGLRC g_snapshotContext;

LRESULT SnapshotWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

struct TimerTrack {
    UINT_PTR id;
    int periodMs;
};
constexpr TimerTrack SNAPSHOT_TIMERS[] = {
    {TIMER_LEVELS, static_cast<int>(TIMER_LEVELS_MS)},
    {TIMER_MOTION, static_cast<int>(TIMER_MOTION_MS)},
    {TIMER_SWITCHES, static_cast<int>(TIMER_SWITCHES_MS)},
};

}  // namespace

bool OpenSnapshotWindow(int width, int height) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = SnapshotWindowProc;
    windowClass.lpszClassName = SNAPSHOT_CLASS;
    RegisterClassA(&windowClass);

    g_snapshotWindow = CreateWindowExA(0, SNAPSHOT_CLASS, "Tessavine snapshot", WS_OVERLAPPEDWINDOW, 0, 0,
                                       width, height, nullptr, nullptr, nullptr, nullptr);
    if (g_snapshotWindow == nullptr) {
        return false;
    }
    ShowWindow(g_snapshotWindow, SW_SHOW);
    g_snapshotDc = GetDC(g_snapshotWindow);

    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 24;
    request.cDepthBits = 32;
    request.iLayerType = PFD_MAIN_PLANE;
    int format = ChoosePixelFormat(g_snapshotDc, &request);
    if (format == 0 || !SetPixelFormat(g_snapshotDc, format, &request)) {
        CloseSnapshotWindow();
        return false;
    }
    g_snapshotContext = wglCreateContext(g_snapshotDc);
    if (g_snapshotContext == nullptr || !wglMakeCurrent(g_snapshotDc, g_snapshotContext)) {
        CloseSnapshotWindow();
        return false;
    }
    return true;
}

void CloseSnapshotWindow() {
    if (g_snapshotContext != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(g_snapshotContext);
    }
    if (g_snapshotDc != nullptr) {
        ReleaseDC(g_snapshotWindow, g_snapshotDc);
    }
    if (g_snapshotWindow != nullptr) {
        DestroyWindow(g_snapshotWindow);
    }
    g_snapshotContext = nullptr;
    g_snapshotDc = nullptr;
    g_snapshotWindow = nullptr;
}

void SnapshotClientSize(int* width, int* height) {
    RECT client{};
    GetClientRect(g_snapshotWindow, &client);
    *width = client.right;
    *height = client.bottom;
}

void InitSnapshotRender(const std::string& directory) {
    char previous[PATH_MAX];
    bool moved = false;
    if (!directory.empty() && getcwd(previous, sizeof previous) != nullptr) {
        moved = chdir(directory.c_str()) == 0;
    }
    InitRenderState();
    if (moved && chdir(previous) != 0) {
        std::perror("chdir");
    }
    int width, height;
    SnapshotClientSize(&width, &height);
    ResizeView(width, height);
}

void ResetSnapshotScene() {
    ResetSceneState();
    InitSceneData();
    g_treeLift = -1.0f;  // the entry sequence puts the trees on the ground
}

void PressSnapshotKey(unsigned key) {
    SceneWindowProc(nullptr, WM_KEYDOWN, key, 0);
}

void RunSnapshotTimeline(int fromMs, int toMs) {
    for (int now = fromMs + 1; now <= toMs; now++) {
        for (const TimerTrack& timer : SNAPSHOT_TIMERS) {
            if (now % timer.periodMs == 0) {
                SceneWindowProc(nullptr, WM_TIMER, timer.id, 0);
            }
        }
    }
}

void ReadSnapshotBackBuffer(SnapshotImage* image) {
    SnapshotClientSize(&image->width, &image->height);
    std::size_t row = static_cast<std::size_t>(image->width) * 3;
    std::vector<std::uint8_t> bottomUp(row * image->height);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, image->width, image->height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    image->rgb.resize(bottomUp.size());
    for (int y = 0; y < image->height; y++) {
        std::memcpy(&image->rgb[y * row], &bottomUp[(image->height - 1 - y) * row], row);
    }
}

void RenderSnapshotFrame(SnapshotImage* image) {
    RenderFrame();
    ReadSnapshotBackBuffer(image);
}

void SwapSnapshotBuffers() {
    SwapBuffers(g_snapshotDc);
}

bool WriteSnapshotPng(const std::string& path, const SnapshotImage& image) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; y++) {
        png_write_row(png, &image.rgb[static_cast<std::size_t>(y) * image.width * 3]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

bool ReadSnapshotPng(const std::string& path, SnapshotImage* image) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    // Whatever the file holds, deliver 8-bit red, green, blue.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    image->width = static_cast<int>(png_get_image_width(png, info));
    image->height = static_cast<int>(png_get_image_height(png, info));
    image->rgb.assign(static_cast<std::size_t>(image->width) * image->height * 3, 0);
    for (int y = 0; y < image->height; y++) {
        png_read_row(png, &image->rgb[static_cast<std::size_t>(y) * image->width * 3], nullptr);
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return true;
}
