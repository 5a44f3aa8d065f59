// Conversion of device-independent bitmaps. (Filled in with the bitmap reader.)
#include "platform/platform.h"

HDC CreateCompatibleDC(HDC) { return nullptr; }
BOOL DeleteDC(HDC) { return FALSE; }
HBITMAP CreateDIBSection(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD) { return nullptr; }
HGDIOBJ SelectObject(HDC, HGDIOBJ) { return nullptr; }
BOOL DeleteObject(HGDIOBJ) { return FALSE; }
int SetDIBits(HDC, HBITMAP, UINT, UINT, const void*, const BITMAPINFO*, UINT) { return 0; }
BOOL GdiFlush() { return TRUE; }
