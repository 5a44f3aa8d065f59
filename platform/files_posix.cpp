// File mapping and local memory. (Filled in with the bitmap reader.)
#include "platform/platform.h"

HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

HANDLE CreateFileA(const char*, DWORD, DWORD, void*, DWORD, DWORD, HANDLE) { return INVALID_HANDLE_VALUE; }
HANDLE CreateFileMappingA(HANDLE, void*, DWORD, DWORD, DWORD, const char*) { return nullptr; }
const void* MapViewOfFile(HANDLE, DWORD, DWORD, DWORD, std::size_t) { return nullptr; }
std::size_t MappedViewSize(const void*) { return 0; }
BOOL UnmapViewOfFile(const void*) { return FALSE; }
BOOL CloseHandle(HANDLE) { return FALSE; }
HLOCAL LocalAlloc(UINT, std::size_t) { return nullptr; }
HLOCAL LocalFree(HLOCAL memory) { return memory; }
