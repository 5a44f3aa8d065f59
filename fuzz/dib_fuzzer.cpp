// dib_fuzzer.cpp -- libFuzzer target of the bitmap reader. Each input becomes
// the content of one file, which is decoded and the result released. Beyond
// what the sanitizers catch, a run fails when a decode shows more than one
// message, both shows one and delivers an image, delivers an image of no size,
// or leaves a handle of the window layer behind.
#include "image/image.h"

#include "platform/platform_test.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

static char g_fuzzPath[] = "/tmp/tessavine-fuzz-XXXXXX";

static void FuzzRemoveFile() {
    unlink(g_fuzzPath);
}

static void FuzzCheck(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "dib_fuzzer: %s\n", what);
    std::abort();
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    int fd = mkstemp(g_fuzzPath);
    FuzzCheck(fd >= 0, "cannot make the input file");
    close(fd);
    std::atexit(FuzzRemoveFile);
    PlatformRecordMessageBoxes(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PlatformRecordMessageBoxes(true);
    PlatformClearRecordedMessageBoxes();

    int fd = open(g_fuzzPath, O_WRONLY | O_TRUNC);
    FuzzCheck(fd >= 0, "cannot open the input file");
    for (std::size_t written = 0; written < size;) {
        ssize_t n = write(fd, data + written, size - written);
        FuzzCheck(n > 0, "cannot write the input file");
        written += static_cast<std::size_t>(n);
    }
    close(fd);

    RgbImage* image = DecodeDibFile(g_fuzzPath);
    std::size_t messages = PlatformRecordedMessageBoxes().size();
    if (image != nullptr) {
        FuzzCheck(messages == 0, "an image and a message");
        FuzzCheck(image->width > 0 && image->height > 0, "an image of no size");
        // Touch every byte, so that a buffer shorter than its size is caught.
        std::size_t bytes = static_cast<std::size_t>(image->width) * image->height * 3;
        unsigned sum = 0;
        for (std::size_t i = 0; i < bytes; i++) sum += image->pixels[i];
        volatile unsigned sink = sum;
        (void)sink;
        std::free(image->pixels);
        std::free(image);
    } else {
        FuzzCheck(messages == 1, "no image and not exactly one message");
    }
    FuzzCheck(PlatformLiveFileObjectCount() == 0, "a file handle or view left behind");
    FuzzCheck(PlatformLiveGdiObjectCount() == 0, "a device context or section left behind");
    PlatformClearRecordedMessageBoxes();
    return 0;
}
