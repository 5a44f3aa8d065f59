// image_decode.cpp -- decoding throughput of a 2048 x 2048 bitmap at 24 and at
// 8 bits per pixel, in megapixels per second: DecodeDibFile beside SDL's own
// SDL_LoadBMP followed by conversion to packed 24-bit RGB. Both deliver the
// same thing (red, green, blue bytes, rows packed). Prints ours / SDL for each
// depth at the end; the goal is a ratio of at least 1.
#include "image/image.h"

#include "platform/platform_test.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

constexpr int BENCH_SIDE = 2048;
constexpr double BENCH_MEGAPIXELS = BENCH_SIDE * BENCH_SIDE / 1e6;

static std::string g_dir;
static std::string g_paths[33];  // by bits per pixel

static void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; i++) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// A bitmap with a file header and an info header whose pixels vary across
// the picture, so that no shortcut for uniform data can help.
static std::string WriteBitmap(int bitCount) {
    int tableSize = bitCount == 8 ? 256 : 0;
    std::size_t stride = (static_cast<std::size_t>(BENCH_SIDE) * bitCount / 8 + 3) & ~std::size_t{3};
    std::uint32_t offset = 14 + 40 + 4 * tableSize;
    std::vector<unsigned char> out = {'B', 'M'};
    Put32(out, static_cast<std::uint32_t>(offset + stride * BENCH_SIDE));
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, BENCH_SIDE);
    Put32(out, BENCH_SIDE);
    out.push_back(1), out.push_back(0);
    out.push_back(static_cast<unsigned char>(bitCount)), out.push_back(0);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(stride * BENCH_SIDE));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int i = 0; i < tableSize; i++) {
        out.push_back(static_cast<unsigned char>(i * 3 + 1));
        out.push_back(static_cast<unsigned char>(255 - i));
        out.push_back(static_cast<unsigned char>(i * 37 + 5));
        out.push_back(0);
    }
    std::uint32_t state = 1;
    for (int y = 0; y < BENCH_SIDE; y++) {
        for (std::size_t x = 0; x < stride; x++) {
            state = state * 1103515245u + 12345u;
            out.push_back(static_cast<unsigned char>((x + y) ^ (state >> 24)));
        }
    }
    std::string path = g_dir + "/bench" + std::to_string(bitCount) + ".bmp";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(out.data(), 1, out.size(), file) != out.size()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(file);
    return path;
}

static void BM_OursDecodeDibFile(benchmark::State& state) {
    const char* path = g_paths[state.range(0)].c_str();
    for (auto _ : state) {
        RgbImage* image = DecodeDibFile(path);
        if (image == nullptr) {
            state.SkipWithError("DecodeDibFile failed");
            break;
        }
        benchmark::DoNotOptimize(image->pixels[0]);
        std::free(image->pixels);
        std::free(image);
    }
    state.counters["Mpix/s"] =
        benchmark::Counter(BENCH_MEGAPIXELS, benchmark::Counter::kIsIterationInvariantRate);
}

static void BM_SdlLoadBmpToRgb24(benchmark::State& state) {
    const char* path = g_paths[state.range(0)].c_str();
    for (auto _ : state) {
        SDL_Surface* loaded = SDL_LoadBMP(path);
        SDL_Surface* rgb =
            loaded != nullptr ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0) : nullptr;
        if (rgb == nullptr) {
            state.SkipWithError(SDL_GetError());
            SDL_FreeSurface(loaded);
            break;
        }
        benchmark::DoNotOptimize(static_cast<unsigned char*>(rgb->pixels)[0]);
        SDL_FreeSurface(rgb);
        SDL_FreeSurface(loaded);
    }
    state.counters["Mpix/s"] =
        benchmark::Counter(BENCH_MEGAPIXELS, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_OursDecodeDibFile)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SdlLoadBmpToRgb24)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

// Passes everything on to the console and keeps each run's throughput.
class ThroughputReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> megapixelsPerSecond;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            auto counter = run.counters.find("Mpix/s");
            if (!run.error_occurred && counter != run.counters.end())
                megapixelsPerSecond[run.benchmark_name()] = counter->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

int main(int argc, char** argv) {
    char dir[] = "/tmp/tessavine-bench-XXXXXX";
    if (mkdtemp(dir) == nullptr) return 1;
    g_dir = dir;
    g_paths[24] = WriteBitmap(24);
    g_paths[8] = WriteBitmap(8);
    PlatformRecordMessageBoxes(true);

    benchmark::Initialize(&argc, argv);
    ThroughputReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    for (int bits : {24, 8}) {
        std::string suffix = "/" + std::to_string(bits) + "/real_time";
        auto ours = reporter.megapixelsPerSecond.find("BM_OursDecodeDibFile" + suffix);
        auto sdl = reporter.megapixelsPerSecond.find("BM_SdlLoadBmpToRgb24" + suffix);
        if (ours == reporter.megapixelsPerSecond.end() || sdl == reporter.megapixelsPerSecond.end()) continue;
        std::printf("%2d bits: ours %.1f Mpix/s, SDL %.1f Mpix/s, ours/SDL %.2f\n", bits, ours->second,
                    sdl->second, ours->second / sdl->second);
    }

    unlink(g_paths[24].c_str());
    unlink(g_paths[8].c_str());
    rmdir(dir);
    return 0;
}
