// snapshot.cpp -- renders one frame of the scene into a PNG file: the real
// start-up, the real timer steps over a simulated stretch of time, the real
// frame, read from the back buffer before the swap. Needs a display (run it
// under xvfb-run on a headless machine).
//
//   snapshot --out FILE [--size WxH] [--ms N] [--textures DIR]
//            [--off ELEMENT[,ELEMENT...]] [--press KEY@MS ...] [--first]
//
// --size    client area, default 640x480
// --ms      simulated time after start-up, default 0; every timer tick due
//           in it runs (levels 15 ms, motion 30 ms, switches 50 ms)
// --textures where the 17 bitmap files are, default the working directory
// --off     elements (earth, water, air, fire) whose key is pressed at once,
//           so they switch off at the first switch tick (50 ms)
// --press   F1..F4 pressed at the given millisecond
// --first   read the very first frame after start-up (no frame before it);
//           otherwise one frame is drawn and swapped at start, as the main
//           loop does, and the picture is the frame after the ticks
#include "tools/offscreen.h"

#include "platform/platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct KeyPress {
    int atMs;
    unsigned key;
};

int Usage() {
    std::fprintf(stderr,
                 "usage: snapshot --out FILE [--size WxH] [--ms N] [--textures DIR]\n"
                 "                [--off earth,water,air,fire] [--press F1..F4@MS ...] [--first]\n");
    return 2;
}

// "F1".."F4" to the virtual key, 0 for anything else.
unsigned KeyByName(const std::string& name) {
    if (name.size() == 2 && (name[0] == 'F' || name[0] == 'f') && name[1] >= '1' && name[1] <= '4') {
        return static_cast<unsigned>(VK_F1) + static_cast<unsigned>(name[1] - '1');
    }
    return 0;
}

unsigned KeyByElement(const std::string& element) {
    const char* const elements[4] = {"earth", "water", "air", "fire"};
    for (unsigned i = 0; i < 4; i++) {
        if (element == elements[i]) {
            return static_cast<unsigned>(VK_F1) + i;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string out;
    std::string textures;
    int width = 640;
    int height = 480;
    int ms = 0;
    bool first = false;
    std::vector<KeyPress> presses;

    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--out" && hasValue) {
            out = argv[++i];
        } else if (arg == "--textures" && hasValue) {
            textures = argv[++i];
        } else if (arg == "--size" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
                return Usage();
            }
        } else if (arg == "--ms" && hasValue) {
            ms = std::atoi(argv[++i]);
            if (ms < 0) {
                return Usage();
            }
        } else if (arg == "--off" && hasValue) {
            std::string list = argv[++i];
            std::size_t start = 0;
            while (start <= list.size()) {
                std::size_t comma = std::min(list.find(',', start), list.size());
                unsigned key = KeyByElement(list.substr(start, comma - start));
                if (key == 0) {
                    return Usage();
                }
                presses.push_back(KeyPress{0, key});
                start = comma + 1;
            }
        } else if (arg == "--press" && hasValue) {
            std::string pressText = argv[++i];
            std::size_t at = pressText.find('@');
            unsigned key = KeyByName(pressText.substr(0, at));
            if (at == std::string::npos || key == 0) {
                return Usage();
            }
            presses.push_back(KeyPress{std::atoi(pressText.c_str() + at + 1), key});
        } else if (arg == "--first") {
            first = true;
        } else {
            return Usage();
        }
    }
    if (out.empty()) {
        return Usage();
    }
    std::stable_sort(presses.begin(), presses.end(),
                     [](const KeyPress& a, const KeyPress& b) { return a.atMs < b.atMs; });

    ResetSnapshotScene();
    if (!OpenSnapshotWindow(width, height)) {
        std::fprintf(stderr, "snapshot: no OpenGL window (is there a display?)\n");
        return 1;
    }
    InitSnapshotRender(textures);

    SnapshotImage image;
    if (!first) {
        RenderSnapshotFrame(&image);
        SwapSnapshotBuffers();
    }
    // Each key goes down just before the ticks of its millisecond.
    int now = 0;
    for (const KeyPress& press : presses) {
        int before = std::min(std::max(press.atMs, 0), ms) - 1;
        if (before > now) {
            RunSnapshotTimeline(now, before);
            now = before;
        }
        PressSnapshotKey(press.key);
    }
    RunSnapshotTimeline(now, ms);
    RenderSnapshotFrame(&image);
    bool written = WriteSnapshotPng(out, image);
    CloseSnapshotWindow();
    if (!written) {
        std::fprintf(stderr, "snapshot: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
