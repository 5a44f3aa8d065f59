// files_posix.cpp -- file mapping and local memory on POSIX.
//
// A file handle is a read-only descriptor of a regular file, a mapping handle
// a second descriptor of the same file with its size, and a view one private
// read-only mmap of the whole file. Live handles and views are kept in small
// tables, so that a stale or foreign handle is refused instead of followed.
#include "platform/platform.h"
#include "platform/platform_test.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

enum PlatformKernelKind {
    PLATFORM_KERNEL_FILE,
    PLATFORM_KERNEL_MAPPING,
};

struct PlatformKernelObject {
    PlatformKernelKind kind;
    int fd;
    std::size_t size;  // mappings only: the bytes a view covers
};

struct PlatformView {
    const void* address;
    std::size_t size;
};

// Far more than the program ever holds at once (one file, one mapping, one view).
constexpr int PLATFORM_MAX_KERNEL_OBJECTS = 64;
constexpr int PLATFORM_MAX_VIEWS = 32;

static PlatformKernelObject* g_kernelObjects[PLATFORM_MAX_KERNEL_OBJECTS];
static PlatformView g_views[PLATFORM_MAX_VIEWS];

static int PlatformFindKernelObject(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return -1;
    for (int i = 0; i < PLATFORM_MAX_KERNEL_OBJECTS; i++) {
        if (g_kernelObjects[i] == handle) return i;
    }
    return -1;
}

// Registers a new object for fd; none (and the descriptor closed) when the table is full.
static PlatformKernelObject* PlatformNewKernelObject(PlatformKernelKind kind, int fd, std::size_t size) {
    for (int i = 0; i < PLATFORM_MAX_KERNEL_OBJECTS; i++) {
        if (g_kernelObjects[i] != nullptr) continue;
        PlatformKernelObject* object =
            static_cast<PlatformKernelObject*>(std::malloc(sizeof(PlatformKernelObject)));
        if (object == nullptr) break;
        object->kind = kind;
        object->fd = fd;
        object->size = size;
        g_kernelObjects[i] = object;
        return object;
    }
    close(fd);
    return nullptr;
}

static int PlatformFindView(const void* view) {
    if (view == nullptr) return -1;
    for (int i = 0; i < PLATFORM_MAX_VIEWS; i++) {
        if (g_views[i].address == view) return i;
    }
    return -1;
}

// Only reading an existing regular file is offered; directories and devices
// cannot be opened, as on the desktop.
HANDLE CreateFileA(const char* path, DWORD access, DWORD, void*, DWORD disposition, DWORD, HANDLE) {
    if (path == nullptr || access != GENERIC_READ || disposition != OPEN_EXISTING)
        return INVALID_HANDLE_VALUE;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return INVALID_HANDLE_VALUE;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return INVALID_HANDLE_VALUE;
    }
    PlatformKernelObject* file = PlatformNewKernelObject(PLATFORM_KERNEL_FILE, fd, 0);
    return file != nullptr ? file : INVALID_HANDLE_VALUE;
}

// A read-only mapping cannot grow the file, so a maximum size beyond its end
// fails, and so does a mapping of an empty file.
HANDLE CreateFileMappingA(HANDLE file, void*, DWORD protect, DWORD maxSizeHigh, DWORD maxSizeLow,
                          const char* name) {
    int index = PlatformFindKernelObject(file);
    if (index < 0 || g_kernelObjects[index]->kind != PLATFORM_KERNEL_FILE) return nullptr;
    if (protect != PAGE_READONLY || name != nullptr) return nullptr;
    struct stat info;
    if (fstat(g_kernelObjects[index]->fd, &info) != 0 || info.st_size <= 0) return nullptr;
    std::uint64_t fileSize = static_cast<std::uint64_t>(info.st_size);
    std::uint64_t requested = (static_cast<std::uint64_t>(maxSizeHigh) << 32) | maxSizeLow;
    if (requested > fileSize) return nullptr;
    std::uint64_t size = requested != 0 ? requested : fileSize;
    if (size > SIZE_MAX) return nullptr;
    // The mapping keeps its own descriptor: it outlives the file handle.
    int fd = fcntl(g_kernelObjects[index]->fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    return PlatformNewKernelObject(PLATFORM_KERNEL_MAPPING, fd, static_cast<std::size_t>(size));
}

// Views always start at the beginning of the mapping; length 0 means all of it.
const void* MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow,
                          std::size_t length) {
    int index = PlatformFindKernelObject(mapping);
    if (index < 0 || g_kernelObjects[index]->kind != PLATFORM_KERNEL_MAPPING) return nullptr;
    if (access != FILE_MAP_READ || offsetHigh != 0 || offsetLow != 0) return nullptr;
    std::size_t size = g_kernelObjects[index]->size;
    if (length > size) return nullptr;
    if (length != 0) size = length;
    int slot = -1;
    for (int i = 0; i < PLATFORM_MAX_VIEWS && slot < 0; i++) {
        if (g_views[i].address == nullptr) slot = i;
    }
    if (slot < 0) return nullptr;
    int flags = MAP_PRIVATE;
#ifdef MAP_POPULATE
    flags |= MAP_POPULATE;  // the reader walks the whole file at once: fault it in in one go
#endif
    void* address = mmap(nullptr, size, PROT_READ, flags, g_kernelObjects[index]->fd, 0);
    if (address == MAP_FAILED) return nullptr;
    g_views[slot].address = address;
    g_views[slot].size = size;
    return address;
}

std::size_t MappedViewSize(const void* view) {
    int index = PlatformFindView(view);
    return index >= 0 ? g_views[index].size : 0;
}

BOOL UnmapViewOfFile(const void* view) {
    int index = PlatformFindView(view);
    if (index < 0) return FALSE;
    munmap(const_cast<void*>(g_views[index].address), g_views[index].size);
    g_views[index].address = nullptr;
    g_views[index].size = 0;
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    int index = PlatformFindKernelObject(handle);
    if (index < 0) return FALSE;
    close(g_kernelObjects[index]->fd);
    std::free(g_kernelObjects[index]);
    g_kernelObjects[index] = nullptr;
    return TRUE;
}

// Every block is fixed; LMEM_ZEROINIT fills it with zeros. A request for
// nothing still gives a block of its own.
HLOCAL LocalAlloc(UINT flags, std::size_t bytes) {
    if (bytes == 0) bytes = 1;
    if (flags & LMEM_ZEROINIT) return std::calloc(1, bytes);
    return std::malloc(bytes);
}

HLOCAL LocalFree(HLOCAL memory) {
    std::free(memory);
    return nullptr;
}

// For the tests: file and mapping handles and views that exist.
int PlatformLiveFileObjectCount() {
    int count = 0;
    for (PlatformKernelObject* object : g_kernelObjects) count += object != nullptr;
    for (const PlatformView& view : g_views) count += view.address != nullptr;
    return count;
}
