// platform.h -- the window layer: the handful of desktop calls the program is
// written against, with our own declarations, implemented on SDL2 and POSIX.
//
// Only the behaviour the program relies on is offered. Everything runs on the
// GUI thread; window procedures are entered from DispatchMessageA and from the
// calls that send messages themselves (CreateWindowExA, ShowWindow,
// UpdateWindow, DefWindowProcA, MessageBoxA's modal loop).
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Basic types
// ---------------------------------------------------------------------------

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using BOOL = int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;

struct PlatformWindow;
struct PlatformDeviceContext;
struct PlatformRenderContext;

using HWND = PlatformWindow*;
using HDC = PlatformDeviceContext*;
using HGLRC = PlatformRenderContext*;
using HANDLE = void*;
using HINSTANCE = void*;
using HICON = void*;
using HCURSOR = void*;
using HBRUSH = void*;
using HGDIOBJ = void*;
using HBITMAP = void*;
using HLOCAL = void*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

// ---------------------------------------------------------------------------
// Windows, messages, timers
// ---------------------------------------------------------------------------

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
};

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_TIMER = 0x0113;

// Virtual-key codes.
constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_SHIFT = 0x10;
constexpr WPARAM VK_CONTROL = 0x11;
constexpr WPARAM VK_MENU = 0x12;  // Alt
constexpr WPARAM VK_PAUSE = 0x13;
constexpr WPARAM VK_CAPITAL = 0x14;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_PRIOR = 0x21;
constexpr WPARAM VK_NEXT = 0x22;
constexpr WPARAM VK_END = 0x23;
constexpr WPARAM VK_HOME = 0x24;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_UP = 0x26;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_DOWN = 0x28;
constexpr WPARAM VK_INSERT = 0x2D;
constexpr WPARAM VK_DELETE = 0x2E;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
constexpr WPARAM VK_NUMPAD0 = 0x60;
constexpr WPARAM VK_MULTIPLY = 0x6A;
constexpr WPARAM VK_ADD = 0x6B;
constexpr WPARAM VK_SUBTRACT = 0x6D;
constexpr WPARAM VK_DECIMAL = 0x6E;
constexpr WPARAM VK_DIVIDE = 0x6F;
constexpr WPARAM VK_F1 = 0x70;
constexpr WPARAM VK_F2 = 0x71;
constexpr WPARAM VK_F3 = 0x72;
constexpr WPARAM VK_F4 = 0x73;
constexpr WPARAM VK_F10 = 0x79;
constexpr WPARAM VK_F12 = 0x7B;

constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWDEFAULT = 10;

constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;

constexpr UINT MB_OK = 0;
constexpr int IDOK = 1;

constexpr int WHITE_BRUSH = 0;
extern const char* const IDI_APPLICATION;
extern const char* const IDC_ARROW;

inline WORD LOWORD(LPARAM value) {
    return static_cast<WORD>(static_cast<std::uintptr_t>(value) & 0xFFFF);
}
inline WORD HIWORD(LPARAM value) {
    return static_cast<WORD>((static_cast<std::uintptr_t>(value) >> 16) & 0xFFFF);
}
inline LPARAM MAKELPARAM(unsigned low, unsigned high) {
    return static_cast<LPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}

// Class and resources. Only the window procedure and the class name matter.
HICON LoadIconA(HINSTANCE instance, const char* name);
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
HGDIOBJ GetStockObject(int object);
WORD RegisterClassA(const WNDCLASSA* windowClass);

// Opens a resizable top-level window (hidden until ShowWindow); CW_USEDEFAULT
// sizes become 640 x 480. Sends WM_SIZE to the class procedure before returning.
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                     int width, int height, HWND parent, void* menu, HINSTANCE instance, void* param);
// Shows, hides, minimises or maximises; sends WM_SIZE with the client size.
BOOL ShowWindow(HWND window, int showCommand);
// Paints the class background until the program draws its first frame.
BOOL UpdateWindow(HWND window);
// Closes the window; sends WM_DESTROY first. The handle is dead afterwards.
BOOL DestroyWindow(HWND window);
// Client size in drawable pixels: right and bottom are width and height.
BOOL GetClientRect(HWND window, RECT* rect);
// The window that has the keyboard focus, or none.
HWND GetFocus();

// Never blocks. Translates pending window-system events into messages; a due
// timer becomes WM_TIMER once the queue holds nothing else. Returns 0 when no
// message is there.
BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Queues WM_CHAR / WM_SYSCHAR for key-downs that produce a character.
BOOL TranslateMessage(const MSG* message);
// Calls the procedure of message->hwnd; messages without a window go nowhere.
LRESULT DispatchMessageA(const MSG* message);
// The default handling: Alt+F4 (WM_SYSKEYDOWN) becomes WM_CLOSE sent to the
// window procedure, WM_CLOSE destroys the window, everything else returns 0.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Appends a message to the queue; a null window reaches no window procedure.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues WM_QUIT with the code in wParam.
void PostQuitMessage(int exitCode);

// Periodic timer without a timer procedure: each expiry arrives as WM_TIMER
// with the id in wParam. At most one tick of a timer waits in the queue; ticks
// that fall due while one waits are lost, and the schedule does not drift.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);

// Modal box with one OK button, owned by window (may be none). While it is up,
// timer ticks keep reaching the owner's procedure; input to the owner is held.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

// ---------------------------------------------------------------------------
// Device context and OpenGL context
// ---------------------------------------------------------------------------

constexpr DWORD PFD_DOUBLEBUFFER = 0x00000001;
constexpr DWORD PFD_DRAW_TO_WINDOW = 0x00000004;
constexpr DWORD PFD_SUPPORT_OPENGL = 0x00000020;
constexpr BYTE PFD_TYPE_RGBA = 0;
constexpr BYTE PFD_MAIN_PLANE = 0;

struct PIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits;
    BYTE cRedShift;
    BYTE cGreenBits;
    BYTE cGreenShift;
    BYTE cBlueBits;
    BYTE cBlueShift;
    BYTE cAlphaBits;
    BYTE cAlphaShift;
    BYTE cAccumBits;
    BYTE cAccumRedBits;
    BYTE cAccumGreenBits;
    BYTE cAccumBlueBits;
    BYTE cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
};

// The window's drawing surface; valid until ReleaseDC.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC deviceContext);
// Closest-match search among the formats the display offers: 1-based index,
// or 0 when nothing fits.
int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request);
// Fixes the format on the window (once); FALSE on failure.
BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR* request);
// A compatibility-profile context for the format set on the window.
HGLRC wglCreateContext(HDC deviceContext);
// Null arguments make no context current. FALSE on failure.
BOOL wglMakeCurrent(HDC deviceContext, HGLRC renderContext);
BOOL wglDeleteContext(HGLRC renderContext);
// Presents the back buffer; never waits for vertical sync.
BOOL SwapBuffers(HDC deviceContext);

// ---------------------------------------------------------------------------
// Files and memory
// ---------------------------------------------------------------------------

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD FILE_SHARE_READ = 0x00000001u;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD FILE_MAP_READ = 0x0004;
constexpr UINT LMEM_FIXED = 0x0000;
constexpr UINT LMEM_ZEROINIT = 0x0040;
extern HANDLE const INVALID_HANDLE_VALUE;

HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, void* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
// Fails (returns none) for an empty file, as a mapping of nothing cannot be made.
HANDLE CreateFileMappingA(HANDLE file, void* security, DWORD protect, DWORD maxSizeHigh, DWORD maxSizeLow,
                          const char* name);
// The whole file as one read-only block.
const void* MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow,
                          std::size_t length);
// The size in bytes of the view MapViewOfFile returned (the whole file).
std::size_t MappedViewSize(const void* view);
BOOL UnmapViewOfFile(const void* view);
BOOL CloseHandle(HANDLE handle);
HLOCAL LocalAlloc(UINT flags, std::size_t bytes);
HLOCAL LocalFree(HLOCAL memory);

// ---------------------------------------------------------------------------
// Device-independent bitmaps
// ---------------------------------------------------------------------------

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr UINT DIB_RGB_COLORS = 0;

#pragma pack(push, 1)
struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
#pragma pack(pop)

// A memory device context; reference may be none.
HDC CreateCompatibleDC(HDC reference);
BOOL DeleteDC(HDC deviceContext);
// A 24-bit section of the size the header gives; *bits receives its memory:
// rows of blue, green, red, each padded to a multiple of 4 bytes.
HBITMAP CreateDIBSection(HDC deviceContext, const BITMAPINFO* header, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
HGDIOBJ SelectObject(HDC deviceContext, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
// Converts `lines` rows of pixel data described by `header` into the section,
// in the data's row order. Uncompressed data is read by its rows rounded up to
// 4 bytes; run-length data reads at most header->bmiHeader.biSizeImage bytes.
// 0 on failure.
int SetDIBits(HDC deviceContext, HBITMAP bitmap, UINT startLine, UINT lines, const void* bits,
              const BITMAPINFO* header, UINT usage);
BOOL GdiFlush();
