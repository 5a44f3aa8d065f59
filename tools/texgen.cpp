// texgen.cpp -- paints the scene's 17 textures from code and writes them as
// bitmap files into the directory given on the command line.
//
// Most layers add their texture onto what lies behind, so the moon, stars,
// clouds, flames, smoke, leaf, icons and controls picture are light on black;
// earth, grass, water, wood and flag are opaque surfaces. Everything is
// deterministic: the same program writes the same bytes on every run.
//
// The files use a mix of the encodings the texture reader takes (24-bit,
// 8- and 4-bit colour tables, one run-length file, info and core headers,
// with and without the file header), so every start-up exercises them.
#include "tools/bmp_write.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr float TEX_PI = 3.14159265f;

struct Rgb {
    float r, g, b;
};

Rgb Scale(Rgb c, float k) {
    return {c.r * k, c.g * k, c.b * k};
}
Rgb AddRgb(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
Rgb Mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
float Clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}
float SmoothStep(float edge0, float edge1, float x) {
    float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}
float Fract(float x) {
    return x - std::floor(x);
}

// A picture being painted: linear colours, top row first.
struct Canvas {
    int width;
    int height;
    std::vector<Rgb> pixels;
};

Canvas NewCanvas(int width, int height) {
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.pixels.assign(static_cast<std::size_t>(width) * height, Rgb{0.0f, 0.0f, 0.0f});
    return canvas;
}

Rgb* At(Canvas* canvas, int x, int y) {
    x = ((x % canvas->width) + canvas->width) % canvas->width;
    y = ((y % canvas->height) + canvas->height) % canvas->height;
    return &canvas->pixels[static_cast<std::size_t>(y) * canvas->width + x];
}

BmpPicture ToPicture(const Canvas& canvas) {
    BmpPicture picture;
    picture.width = canvas.width;
    picture.height = canvas.height;
    for (const Rgb& c : canvas.pixels) {
        picture.pixels.push_back(BmpColor{static_cast<std::uint8_t>(std::lround(Clamp01(c.r) * 255.0f)),
                                          static_cast<std::uint8_t>(std::lround(Clamp01(c.g) * 255.0f)),
                                          static_cast<std::uint8_t>(std::lround(Clamp01(c.b) * 255.0f))});
    }
    return picture;
}

// Colour at a point of the unit square, u to the right, v downwards.
using Shader = Rgb (*)(float u, float v);

// Each pixel is the average of n x n samples of the shader, which smooths
// the edges of hard shapes.
Canvas Paint(int width, int height, int n, Shader shader) {
    Canvas canvas = NewCanvas(width, height);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            Rgb sum{0.0f, 0.0f, 0.0f};
            for (int sy = 0; sy < n; sy++) {
                for (int sx = 0; sx < n; sx++) {
                    float u = (static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / n) / width;
                    float v = (static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / n) / height;
                    sum = AddRgb(sum, shader(u, v));
                }
            }
            *At(&canvas, x, y) = Scale(sum, 1.0f / static_cast<float>(n * n));
        }
    }
    return canvas;
}

// ---------------------------------------------------------------------------
// Noise
// ---------------------------------------------------------------------------

std::uint32_t Hash(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

float Hash01(int x, int y, std::uint32_t seed) {
    std::uint32_t h =
        Hash(static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ Hash(static_cast<std::uint32_t>(y) + seed));
    return static_cast<float>(h >> 8) / 16777216.0f;
}

// Value noise on a lattice that repeats every `period` cells, so textures
// laid side by side meet without a seam.
float ValueNoise(float x, float y, int period, std::uint32_t seed) {
    int ix = static_cast<int>(std::floor(x));
    int iy = static_cast<int>(std::floor(y));
    float fx = x - static_cast<float>(ix);
    float fy = y - static_cast<float>(iy);
    auto corner = [&](int cx, int cy) {
        return Hash01(((cx % period) + period) % period, ((cy % period) + period) % period, seed);
    };
    float sx = fx * fx * (3.0f - 2.0f * fx);
    float sy = fy * fy * (3.0f - 2.0f * fy);
    float top = corner(ix, iy) + (corner(ix + 1, iy) - corner(ix, iy)) * sx;
    float bottom = corner(ix, iy + 1) + (corner(ix + 1, iy + 1) - corner(ix, iy + 1)) * sx;
    return top + (bottom - top) * sy;
}

// Fractal sum over the unit square, repeating at its edges; 0..1.
float Fbm(float u, float v, int period, int octaves, std::uint32_t seed) {
    float sum = 0.0f;
    float amplitude = 0.5f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; octave++) {
        sum += amplitude * ValueNoise(u * period, v * period, period, seed + 101u * octave);
        total += amplitude;
        amplitude *= 0.5f;
        period *= 2;
    }
    return sum / total;
}

// 1 inside, falling to 0 at the border of the unit square: keeps the quads'
// edges invisible for textures that are added onto the scene.
float EdgeFade(float u, float v, float margin) {
    float d = std::min(std::min(u, 1.0f - u), std::min(v, 1.0f - v));
    return SmoothStep(0.0f, margin, d);
}

float Gauss(float dx, float dy, float radius) {
    return std::exp(-(dx * dx + dy * dy) / (radius * radius));
}

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
    float abx = bx - ax;
    float aby = by - ay;
    float t = Clamp01(((px - ax) * abx + (py - ay) * aby) / (abx * abx + aby * aby));
    float dx = px - (ax + abx * t);
    float dy = py - (ay + aby * t);
    return std::sqrt(dx * dx + dy * dy);
}

bool InTriangle(float px, float py, float ax, float ay, float bx, float by, float cx, float cy) {
    float d1 = (px - bx) * (ay - by) - (ax - bx) * (py - by);
    float d2 = (px - cx) * (by - cy) - (bx - cx) * (py - cy);
    float d3 = (px - ax) * (cy - ay) - (cx - ax) * (py - ay);
    bool negative = d1 < 0 || d2 < 0 || d3 < 0;
    bool positive = d1 > 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

// ---------------------------------------------------------------------------
// Colour tables for the 4- and 8-bit files
// ---------------------------------------------------------------------------

struct ColorBox {
    std::vector<BmpColor> colors;
};

int Channel(const BmpColor& c, int axis) {
    return axis == 0 ? c.r : (axis == 1 ? c.g : c.b);
}

// Median cut: split the box with the widest channel at its median until
// `limit` boxes exist; each box gives its mean colour.
std::vector<BmpColor> MedianCut(const BmpPicture& picture, std::size_t limit) {
    std::vector<ColorBox> boxes(1);
    boxes[0].colors = picture.pixels;
    while (boxes.size() < limit) {
        int bestBox = -1;
        int bestAxis = 0;
        int bestRange = 0;
        for (std::size_t i = 0; i < boxes.size(); i++) {
            for (int axis = 0; axis < 3; axis++) {
                int low = 255;
                int high = 0;
                for (const BmpColor& c : boxes[i].colors) {
                    low = std::min(low, Channel(c, axis));
                    high = std::max(high, Channel(c, axis));
                }
                if (high - low > bestRange) {
                    bestRange = high - low;
                    bestBox = static_cast<int>(i);
                    bestAxis = axis;
                }
            }
        }
        if (bestBox < 0) {
            break;  // every box holds a single colour
        }
        std::vector<BmpColor>& colors = boxes[bestBox].colors;
        std::sort(colors.begin(), colors.end(), [bestAxis](const BmpColor& a, const BmpColor& b) {
            return Channel(a, bestAxis) < Channel(b, bestAxis);
        });
        std::size_t middle = colors.size() / 2;
        // Keep equal values together so both halves are non-empty and distinct.
        int pivot = Channel(colors[middle], bestAxis);
        while (middle > 0 && Channel(colors[middle - 1], bestAxis) == pivot) {
            middle--;
        }
        if (middle == 0) {
            while (middle < colors.size() && Channel(colors[middle], bestAxis) == pivot) {
                middle++;
            }
        }
        ColorBox upper;
        upper.colors.assign(colors.begin() + static_cast<long>(middle), colors.end());
        colors.resize(middle);
        boxes.push_back(upper);
    }
    std::vector<BmpColor> table;
    for (const ColorBox& box : boxes) {
        long r = 0, g = 0, b = 0;
        for (const BmpColor& c : box.colors) {
            r += c.r;
            g += c.g;
            b += c.b;
        }
        long n = static_cast<long>(box.colors.size());
        table.push_back(BmpColor{static_cast<std::uint8_t>((r + n / 2) / n),
                                 static_cast<std::uint8_t>((g + n / 2) / n),
                                 static_cast<std::uint8_t>((b + n / 2) / n)});
    }
    return table;
}

// ---------------------------------------------------------------------------
// Backdrop: moon, clouds, stars
// ---------------------------------------------------------------------------

struct Crater {
    float x, y, radius;
};
constexpr Crater MOON_CRATERS[] = {
    {0.40f, 0.36f, 0.055f}, {0.62f, 0.42f, 0.04f},  {0.55f, 0.66f, 0.07f}, {0.33f, 0.58f, 0.035f},
    {0.68f, 0.60f, 0.03f},  {0.46f, 0.50f, 0.025f}, {0.58f, 0.28f, 0.03f},
};
constexpr float MOON_RADIUS = 0.40f;

// The moon is added onto the square of what lies behind it, which darkens
// the dim sky inside its square; a faint blue floor that grows downwards,
// like the sky's own blue, makes up for most of that.
Rgb MoonSkyFloor(float v) {
    return Rgb{0.01f + 0.03f * v, 0.0f, 0.03f + 0.1f * v};
}

Rgb MoonShader(float u, float v) {
    float dx = u - 0.5f;
    float dy = v - 0.5f;
    float d = std::sqrt(dx * dx + dy * dy);
    if (d >= MOON_RADIUS) {
        // A faint halo that has died out well before the square's edge.
        float halo = 0.16f * std::exp(-(d - MOON_RADIUS) * 22.0f) * SmoothStep(0.49f, 0.42f, d);
        return AddRgb(Scale(Rgb{0.75f, 0.82f, 1.0f}, halo), MoonSkyFloor(v));
    }
    float limb = 0.72f + 0.28f * std::sqrt(1.0f - (d / MOON_RADIUS) * (d / MOON_RADIUS));
    float maria = SmoothStep(0.5f, 0.68f, Fbm(u, v, 3, 4, 11u));
    float shade = limb * (1.0f - 0.28f * maria) * (0.93f + 0.07f * Fbm(u, v, 16, 2, 12u));
    for (const Crater& crater : MOON_CRATERS) {
        float cx = u - crater.x;
        float cy = v - crater.y;
        float cd = std::sqrt(cx * cx + cy * cy) / crater.radius;
        if (cd < 1.0f) {
            // Floor a little darker, rim lit from the upper left.
            float rim = SmoothStep(0.7f, 1.0f, cd) * Clamp01(-(cx + cy) / crater.radius);
            shade *= 0.86f + 0.22f * rim;
        }
    }
    return Scale(Rgb{1.0f, 0.97f, 0.86f}, shade);
}

Canvas PaintMoon() {
    return Paint(128, 128, 4, MoonShader);
}

Rgb CloudShader(float u, float v) {
    // Wisps along a few lumps, in a 2:1 picture.
    float x = u * 2.0f;
    float lumps = 0.9f * Gauss(x - 0.55f, v - 0.58f, 0.30f) + 1.0f * Gauss(x - 1.0f, v - 0.50f, 0.34f) +
                  0.8f * Gauss(x - 1.45f, v - 0.60f, 0.28f) + 0.5f * Gauss(x - 0.85f, v - 0.36f, 0.22f) +
                  0.4f * Gauss(x - 1.3f, v - 0.40f, 0.2f);
    float detail = Fbm(u, v, 4, 5, 21u);
    float density = SmoothStep(0.35f, 1.05f, lumps * (0.45f + 0.85f * detail));
    return Scale(Rgb{0.78f, 0.82f, 0.95f}, 0.34f * density * EdgeFade(u, v, 0.12f));
}

Canvas PaintCloud() {
    return Paint(128, 64, 2, CloudShader);
}

Canvas PaintStars() {
    constexpr int SIZE = 64;
    constexpr int STAR_COUNT = 34;
    const Rgb tints[3] = {{1.0f, 1.0f, 1.0f}, {0.78f, 0.86f, 1.0f}, {1.0f, 0.93f, 0.78f}};
    Canvas canvas = NewCanvas(SIZE, SIZE);
    for (int star = 0; star < STAR_COUNT; star++) {
        int x = static_cast<int>(Hash01(star, 0, 31u) * SIZE);
        int y = static_cast<int>(Hash01(star, 1, 31u) * SIZE);
        float brightness = 0.3f + 0.7f * Hash01(star, 2, 31u) * Hash01(star, 3, 31u);
        Rgb tint = tints[static_cast<int>(Hash01(star, 4, 31u) * 3.0f) % 3];
        Rgb core = Scale(tint, brightness);
        *At(&canvas, x, y) = core;
        if (star % 6 == 0) {
            // A few bright ones with a small cross; the picture wraps.
            *At(&canvas, x, y) = tint;
            Rgb arm = Scale(tint, 0.45f);
            *At(&canvas, x + 1, y) = arm;
            *At(&canvas, x - 1, y) = arm;
            *At(&canvas, x, y + 1) = arm;
            *At(&canvas, x, y - 1) = arm;
        }
    }
    return canvas;
}

// ---------------------------------------------------------------------------
// Fire, smoke, glow, leaf
// ---------------------------------------------------------------------------

Rgb FireShader(float u, float v) {
    float dx = u - 0.5f;
    float dy = v - 0.54f;
    if (dy < 0.0f) {
        dy *= 0.8f;  // a little taller than wide
    }
    float r = std::sqrt(dx * dx + dy * dy) / 0.42f;
    float flicker = 0.75f + 0.5f * Fbm(u, v, 4, 3, 41u);
    float body = std::pow(Clamp01(1.0f - r * flicker), 1.4f);
    Rgb color = Mix(Rgb{1.0f, 0.75f, 0.35f}, Rgb{1.0f, 1.0f, 0.9f}, SmoothStep(0.3f, 0.8f, body));
    return Scale(color, body * EdgeFade(u, v, 0.08f));
}

Canvas PaintFire() {
    return Paint(64, 64, 2, FireShader);
}

Rgb SmokeShader(float u, float v) {
    float puff = Gauss(u - 0.5f, v - 0.52f, 0.26f) + 0.55f * Gauss(u - 0.36f, v - 0.42f, 0.16f) +
                 0.55f * Gauss(u - 0.64f, v - 0.44f, 0.17f) + 0.45f * Gauss(u - 0.46f, v - 0.66f, 0.15f) +
                 0.4f * Gauss(u - 0.62f, v - 0.64f, 0.14f);
    float detail = Fbm(u, v, 4, 4, 51u);
    float density = SmoothStep(0.25f, 1.2f, puff * (0.55f + 0.75f * detail));
    float grey = 0.95f * density * EdgeFade(u, v, 0.1f);
    return Rgb{grey, grey, grey};
}

Canvas PaintSmoke() {
    return Paint(64, 64, 2, SmokeShader);
}

// A glowing teardrop, point up, that fades out before the square's edge.
Rgb FlameShader(float u, float v) {
    float dx = u - 0.5f;
    float dy = v - 0.6f;
    float r;
    if (dy < 0.0f) {
        float narrowing = std::max(0.05f, 1.0f + 1.9f * dy);
        r = std::sqrt((dx / narrowing) * (dx / narrowing) + dy * dy * 0.5f) / 0.3f;
    } else {
        r = std::sqrt(dx * dx + dy * dy) / 0.3f;
    }
    float flicker = 0.9f + 0.2f * Fbm(u, v, 4, 3, 61u);
    float body = Clamp01(1.0f - r * flicker);
    float glow = 0.45f * std::exp(-2.2f * r) * EdgeFade(u, v, 0.15f);
    Rgb color = Mix(Rgb{0.85f, 0.25f, 0.03f}, Rgb{1.0f, 0.7f, 0.2f}, SmoothStep(0.0f, 0.4f, body));
    color = Mix(color, Rgb{1.0f, 1.0f, 0.85f}, SmoothStep(0.45f, 0.85f, body));
    return AddRgb(Scale(color, SmoothStep(0.0f, 0.15f, body)), Scale(Rgb{1.0f, 0.55f, 0.15f}, glow));
}

Canvas PaintFlame() {
    return Paint(64, 64, 4, FlameShader);
}

// A 4:1 autumn leaf lying along the picture with its stalk on the left.
Rgb LeafShader(float u, float v) {
    float x = u * 128.0f;
    float y = v * 32.0f;
    constexpr float LEAF_START = 14.0f;
    constexpr float LEAF_LENGTH = 110.0f;
    float along = (x - LEAF_START) / LEAF_LENGTH;
    float middle = 16.0f + 2.5f * std::sin(TEX_PI * Clamp01(along));
    Rgb stalk{0.55f, 0.36f, 0.14f};
    if (along <= 0.0f) {
        float stalkDistance = SegmentDistance(x, y, 2.0f, 15.0f, LEAF_START + 1.0f, middle);
        return stalkDistance < 1.1f ? stalk : Rgb{0.0f, 0.0f, 0.0f};
    }
    if (along >= 1.0f) {
        return {0.0f, 0.0f, 0.0f};
    }
    float halfWidth = 13.0f * std::pow(std::sin(TEX_PI * along), 0.7f) * (1.0f - 0.2f * along);
    float offset = std::fabs(y - middle);
    if (offset > halfWidth) {
        return {0.0f, 0.0f, 0.0f};
    }
    float patches = Fbm(u, v * 0.25f, 4, 4, 71u);
    Rgb color = Mix(Rgb{0.98f, 0.62f, 0.12f}, Rgb{0.92f, 0.82f, 0.22f}, along);
    color = Mix(color, Rgb{0.88f, 0.32f, 0.08f}, SmoothStep(0.5f, 0.75f, patches));
    if (offset < 0.8f) {
        color = Scale(color, 0.7f);  // midrib
    } else if (Fract((x - LEAF_START - 0.9f * offset) / 12.0f) < 0.08f) {
        color = Scale(color, 0.82f);  // veins slanting towards the tip
    }
    return Scale(color, 0.8f + 0.2f * (1.0f - offset / halfWidth));
}

Canvas PaintLeaf() {
    return Paint(128, 32, 4, LeafShader);
}

// ---------------------------------------------------------------------------
// Opaque surfaces: earth, grass, water, wood, flag
// ---------------------------------------------------------------------------

Canvas PaintEarth() {
    constexpr int SIZE = 64;
    constexpr int PEBBLE_CELLS = 8;
    Canvas canvas = NewCanvas(SIZE, SIZE);
    for (int y = 0; y < SIZE; y++) {
        for (int x = 0; x < SIZE; x++) {
            float u = static_cast<float>(x) / SIZE;
            float v = static_cast<float>(y) / SIZE;
            float soil = Fbm(u, v, 4, 5, 81u);
            Rgb color = Mix(Rgb{0.18f, 0.12f, 0.07f}, Rgb{0.38f, 0.26f, 0.15f}, soil);
            float crack = std::fabs(Fbm(u, v, 3, 4, 82u) - 0.5f);
            if (crack < 0.018f) {
                color = Scale(color, 0.65f);
            }
            *At(&canvas, x, y) = color;
        }
    }
    // Pebbles, one per grid cell at most, wrapping across the edges.
    for (int cell = 0; cell < PEBBLE_CELLS * PEBBLE_CELLS; cell++) {
        if (Hash01(cell, 0, 83u) < 0.45f) {
            continue;
        }
        float cx = (static_cast<float>(cell % PEBBLE_CELLS) + Hash01(cell, 1, 83u)) * SIZE / PEBBLE_CELLS;
        float cy = (static_cast<float>(cell / PEBBLE_CELLS) + Hash01(cell, 2, 83u)) * SIZE / PEBBLE_CELLS;
        float radius = 0.9f + 1.4f * Hash01(cell, 3, 83u);
        float grey = 0.3f + 0.14f * Hash01(cell, 4, 83u);
        for (int y = static_cast<int>(cy - radius) - 1; y <= static_cast<int>(cy + radius) + 1; y++) {
            for (int x = static_cast<int>(cx - radius) - 1; x <= static_cast<int>(cx + radius) + 1; x++) {
                float dx = static_cast<float>(x) + 0.5f - cx;
                float dy = static_cast<float>(y) + 0.5f - cy;
                float d = std::sqrt(dx * dx + dy * dy) / radius;
                if (d < 1.0f) {
                    float light = 1.0f - 0.35f * Clamp01((dx + dy) / radius + 0.3f);
                    *At(&canvas, x, y) = Scale(Rgb{grey, grey * 0.92f, grey * 0.82f}, light);
                }
            }
        }
    }
    return canvas;
}

Canvas PaintGrass() {
    constexpr int SIZE = 64;
    constexpr int BLADES = 260;
    Canvas canvas = NewCanvas(SIZE, SIZE);
    for (int y = 0; y < SIZE; y++) {
        for (int x = 0; x < SIZE; x++) {
            float n = Fbm(static_cast<float>(x) / SIZE, static_cast<float>(y) / SIZE, 4, 4, 91u);
            *At(&canvas, x, y) = Mix(Rgb{0.07f, 0.2f, 0.06f}, Rgb{0.15f, 0.34f, 0.09f}, n);
        }
    }
    // Short blades, lighter or darker than the ground, wrapping at the edges.
    for (int blade = 0; blade < BLADES; blade++) {
        float x = Hash01(blade, 0, 92u) * SIZE;
        float y = Hash01(blade, 1, 92u) * SIZE;
        int length = 3 + static_cast<int>(Hash01(blade, 2, 92u) * 5.0f);
        float lean = (Hash01(blade, 3, 92u) - 0.5f) * 0.8f;
        float shade = Hash01(blade, 4, 92u);
        Rgb color = shade < 0.3f ? Rgb{0.05f, 0.14f, 0.04f}
                                 : Mix(Rgb{0.16f, 0.38f, 0.1f}, Rgb{0.3f, 0.55f, 0.16f}, shade);
        for (int step = 0; step < length; step++) {
            *At(&canvas, static_cast<int>(x + lean * step), static_cast<int>(y) - step) = color;
        }
    }
    // A handful of pale flowers.
    for (int flower = 0; flower < 5; flower++) {
        int x = static_cast<int>(Hash01(flower, 0, 93u) * SIZE);
        int y = static_cast<int>(Hash01(flower, 1, 93u) * SIZE);
        *At(&canvas, x, y) = Rgb{0.75f, 0.72f, 0.45f};
    }
    return canvas;
}

Rgb WaterShader(float u, float v) {
    float warp = Fbm(u, v, 4, 4, 101u);
    float ripple = std::sin(2.0f * TEX_PI * (v * 7.0f + warp * 1.6f));
    float chop = Fbm(u, v, 16, 2, 102u);
    float brightness = 0.6f + 0.16f * ripple + 0.2f * (chop - 0.5f);
    if (ripple > 0.9f && chop > 0.55f) {
        brightness += 0.25f;  // glints on the crests
    }
    return Scale(Rgb{0.8f, 0.92f, 1.0f}, Clamp01(brightness));
}

Canvas PaintWater() {
    return Paint(128, 128, 2, WaterShader);
}

// Bark with grain along the trunk: the picture wraps around the cylinder
// from left to right, its height runs up the trunk.
Rgb WoodShader(float u, float v) {
    float grain = Fbm(u, v * 0.125f, 8, 4, 111u);
    Rgb color = Mix(Rgb{0.2f, 0.12f, 0.06f}, Rgb{0.48f, 0.32f, 0.18f}, grain);
    float fissure = Fract(u * 6.0f + 0.35f * Fbm(u, v, 2, 3, 112u));
    if (fissure < 0.12f) {
        color = Scale(color, 0.55f);
    }
    return color;
}

Canvas PaintWood() {
    return Paint(64, 64, 1, WoodShader);
}

// Quartered in the colours of the four elements around a golden disc.
Canvas PaintFlag() {
    constexpr int WIDTH = 128;
    constexpr int HEIGHT = 64;
    const Rgb earth{0.6f, 0.38f, 0.16f};
    const Rgb water{0.16f, 0.38f, 0.82f};
    const Rgb air{0.82f, 0.86f, 0.92f};
    const Rgb fire{0.86f, 0.2f, 0.1f};
    const Rgb gold{0.98f, 0.8f, 0.25f};
    const Rgb dark{0.12f, 0.1f, 0.1f};
    Canvas canvas = NewCanvas(WIDTH, HEIGHT);
    for (int y = 0; y < HEIGHT; y++) {
        for (int x = 0; x < WIDTH; x++) {
            bool left = x < WIDTH / 2;
            bool top = y < HEIGHT / 2;
            Rgb color = top ? (left ? earth : water) : (left ? air : fire);
            float dx = static_cast<float>(x) + 0.5f - WIDTH / 2;
            float dy = (static_cast<float>(y) + 0.5f - HEIGHT / 2) * 1.5f;  // round once shown 4:3
            float d = std::sqrt(dx * dx + dy * dy);
            if (d < 21.0f) {
                color = d < 17.0f ? gold : dark;
            }
            if (x < 3 || y < 2 || x >= WIDTH - 3 || y >= HEIGHT - 2) {
                color = dark;
            }
            *At(&canvas, x, y) = color;
        }
    }
    return canvas;
}

// ---------------------------------------------------------------------------
// Icons: earth, water, air, fire on black, in a dim rounded frame
// ---------------------------------------------------------------------------

const Rgb ICON_FRAME{0.3f, 0.32f, 0.38f};

// Distance outside a rounded square inset from the icon's edge; the frame is
// a thin band around it.
bool InIconFrame(float u, float v) {
    constexpr float INSET = 0.06f;
    constexpr float CORNER = 0.14f;
    constexpr float HALF = 0.5f - INSET - CORNER;
    float qx = std::max(std::fabs(u - 0.5f) - HALF, 0.0f);
    float qy = std::max(std::fabs(v - 0.5f) - HALF, 0.0f);
    float d = std::sqrt(qx * qx + qy * qy) - CORNER;
    return std::fabs(d) < 0.018f;
}

Rgb EarthIconShader(float u, float v) {
    if (InIconFrame(u, v)) {
        return ICON_FRAME;
    }
    // Green ground with rounded ends.
    if (v > 0.72f && v < 0.8f && u > 0.16f && u < 0.84f) {
        return Rgb{0.25f, 0.7f, 0.2f};
    }
    // Two peaks, each lit on its left flank; the big one has snow.
    if (InTriangle(u, v, 0.42f, 0.2f, 0.16f, 0.72f, 0.72f, 0.72f)) {
        bool lit = u < 0.42f + (v - 0.2f) * 0.1f;
        float snowLine = 0.36f + 0.03f * std::sin(u * 60.0f);
        if (v < snowLine) {
            return lit ? Rgb{1.0f, 1.0f, 1.0f} : Rgb{0.72f, 0.76f, 0.85f};
        }
        return lit ? Rgb{0.68f, 0.45f, 0.22f} : Rgb{0.45f, 0.28f, 0.13f};
    }
    if (InTriangle(u, v, 0.66f, 0.38f, 0.44f, 0.72f, 0.86f, 0.72f)) {
        return u < 0.66f ? Rgb{0.62f, 0.42f, 0.2f} : Rgb{0.42f, 0.26f, 0.12f};
    }
    return {0.0f, 0.0f, 0.0f};
}

Rgb WaterIconShader(float u, float v) {
    if (InIconFrame(u, v)) {
        return ICON_FRAME;
    }
    // A drop: round below, drawn to a point above.
    constexpr float CX = 0.5f;
    constexpr float CY = 0.6f;
    constexpr float R = 0.22f;
    constexpr float TIP = 0.16f;
    float dx = u - CX;
    float dy = v - CY;
    bool inside;
    if (v >= CY) {
        inside = dx * dx + dy * dy < R * R;
    } else {
        float t = (v - TIP) / (CY - TIP);
        inside = t > 0.0f && std::fabs(dx) < R * std::pow(std::sin(t * TEX_PI * 0.5f), 1.5f);
    }
    if (!inside) {
        return {0.0f, 0.0f, 0.0f};
    }
    float hx = u - 0.43f;
    float hy = v - 0.62f;
    if (hx * hx + hy * hy * 0.4f < 0.004f) {
        return {0.85f, 0.95f, 1.0f};  // highlight
    }
    return Mix(Rgb{0.35f, 0.65f, 1.0f}, Rgb{0.1f, 0.3f, 0.85f}, Clamp01((u - 0.3f) * 2.2f));
}

// Three gusts, each a line ending in a curl.
Rgb AirIconShader(float u, float v) {
    if (InIconFrame(u, v)) {
        return ICON_FRAME;
    }
    struct Gust {
        float y, start, end, curl;
    };
    const Gust gusts[3] = {
        {0.34f, 0.2f, 0.62f, 0.08f}, {0.5f, 0.14f, 0.74f, 0.09f}, {0.66f, 0.24f, 0.58f, 0.07f}};
    constexpr float STROKE = 0.035f;
    for (const Gust& gust : gusts) {
        // The curl is a circle above the line's end, open on its lower left.
        float d = SegmentDistance(u, v, gust.start, gust.y, gust.end, gust.y);
        float cx = u - gust.end;
        float cy = v - (gust.y - gust.curl);
        float ring = std::fabs(std::sqrt(cx * cx + cy * cy) - gust.curl);
        bool openPart = cx < 0.0f && cy > -gust.curl * 0.2f;
        if (!openPart) {
            d = std::min(d, ring);
        }
        if (d < STROKE) {
            return Mix(Rgb{1.0f, 1.0f, 1.0f}, Rgb{0.6f, 0.85f, 1.0f}, Clamp01((u - 0.15f) * 1.4f));
        }
    }
    return {0.0f, 0.0f, 0.0f};
}

// Half-width of a flame tongue at height t (0 at its tip, 1 at its base
// circle's middle).
float TongueWidth(float t, float radius) {
    if (t <= 0.0f) {
        return 0.0f;
    }
    return radius * std::pow(std::sin(Clamp01(t) * TEX_PI * 0.5f), 1.3f);
}

bool InFlameShape(float u, float v, float cy, float radius, float tip) {
    if (v >= cy) {
        float dx = u - 0.5f;
        float dy = v - cy;
        return dx * dx + dy * dy < radius * radius;
    }
    float t = (v - tip) / (cy - tip);
    float sway = 0.05f * std::sin(t * 5.0f + 1.0f) * (1.0f - t);
    return std::fabs(u - 0.5f - sway) < TongueWidth(t, radius);
}

Rgb FireIconShader(float u, float v) {
    if (InIconFrame(u, v)) {
        return ICON_FRAME;
    }
    if (InFlameShape(u, v, 0.66f, 0.12f, 0.44f)) {
        return {1.0f, 0.95f, 0.6f};
    }
    if (InFlameShape(u, v, 0.63f, 0.19f, 0.28f)) {
        return {1.0f, 0.7f, 0.1f};
    }
    if (InFlameShape(u, v, 0.6f, 0.26f, 0.13f)) {
        return {0.95f, 0.3f, 0.05f};
    }
    return {0.0f, 0.0f, 0.0f};
}

// ---------------------------------------------------------------------------
// Controls picture: "F1 earth" ... "F4 fire" in a small pixel font
// ---------------------------------------------------------------------------

constexpr int GLYPH_WIDTH = 5;
constexpr int GLYPH_HEIGHT = 7;

struct Glyph {
    char letter;
    const char* rows[GLYPH_HEIGHT];
};

constexpr Glyph FONT[] = {
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
    {'f', {"..##.", ".#...", ".#...", "####.", ".#...", ".#...", ".#..."}},
    {'h', {"#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
    {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
    {'t', {".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."}},
    {'w', {".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."}},
};

const Glyph* FindGlyph(char letter) {
    for (const Glyph& glyph : FONT) {
        if (glyph.letter == letter) {
            return &glyph;
        }
    }
    return nullptr;
}

void FillRect(Canvas* canvas, int x0, int y0, int x1, int y1, Rgb color) {
    for (int y = y0; y < y1; y++) {
        for (int x = x0; x < x1; x++) {
            *At(canvas, x, y) = color;
        }
    }
}

// Draws text with its top left corner at (x, y), each font pixel scale wide.
void DrawText(Canvas* canvas, int x, int y, int scale, const char* text, Rgb color) {
    for (const char* c = text; *c != '\0'; c++) {
        const Glyph* glyph = FindGlyph(*c);
        if (glyph != nullptr) {
            for (int row = 0; row < GLYPH_HEIGHT; row++) {
                for (int column = 0; column < GLYPH_WIDTH; column++) {
                    if (glyph->rows[row][column] == '#') {
                        int px = x + column * scale;
                        int py = y + row * scale;
                        FillRect(canvas, px, py, px + scale, py + scale, color);
                    }
                }
            }
        }
        x += (GLYPH_WIDTH + 1) * scale;
    }
}

Canvas PaintControls() {
    constexpr int WIDTH = 256;
    constexpr int HEIGHT = 128;
    constexpr int LINE = 32;
    constexpr int SCALE = 3;
    struct ControlLine {
        const char* key;
        const char* word;
        Rgb color;
    };
    const ControlLine lines[4] = {
        {"F1", "earth", {0.85f, 0.6f, 0.3f}},
        {"F2", "water", {0.35f, 0.65f, 1.0f}},
        {"F3", "air", {0.85f, 0.92f, 1.0f}},
        {"F4", "fire", {1.0f, 0.5f, 0.12f}},
    };
    const Rgb capEdge{0.55f, 0.55f, 0.6f};
    Canvas canvas = NewCanvas(WIDTH, HEIGHT);
    for (int i = 0; i < 4; i++) {
        int top = i * LINE;
        // A key-cap outline with cut corners around the key's name; its
        // face stays black, so nothing is added there.
        FillRect(&canvas, 9, top + 3, 55, top + 29, capEdge);
        FillRect(&canvas, 11, top + 5, 53, top + 27, Rgb{0.0f, 0.0f, 0.0f});
        *At(&canvas, 9, top + 3) = Rgb{0.0f, 0.0f, 0.0f};
        *At(&canvas, 54, top + 3) = Rgb{0.0f, 0.0f, 0.0f};
        *At(&canvas, 9, top + 28) = Rgb{0.0f, 0.0f, 0.0f};
        *At(&canvas, 54, top + 28) = Rgb{0.0f, 0.0f, 0.0f};
        DrawText(&canvas, 16, top + 6, SCALE, lines[i].key, Rgb{1.0f, 1.0f, 1.0f});
        DrawText(&canvas, 68, top + 6, SCALE, lines[i].word, lines[i].color);
    }
    return canvas;
}

// ---------------------------------------------------------------------------
// The table of files
// ---------------------------------------------------------------------------

struct TextureFile {
    const char* name;
    Canvas (*paint)();
    BmpFormat format;
};

// bits, header, file header, run-length
const TextureFile TEXTURE_FILES[] = {
    {"moon.bmp", PaintMoon, {8, BMP_INFO_HEADER, true, false}},
    {"fire.bmp", PaintFire, {8, BMP_INFO_HEADER, false, false}},
    {"wind.bmp", PaintLeaf, {24, BMP_INFO_HEADER, true, false}},
    {"water.bmp", PaintWater, {24, BMP_INFO_HEADER, false, false}},
    {"cloud.bmp", PaintCloud, {8, BMP_CORE_HEADER, true, false}},
    {"earth.bmp", PaintEarth, {24, BMP_CORE_HEADER, true, false}},
    {"stars.bmp", PaintStars, {8, BMP_INFO_HEADER, true, true}},
    {"smoke.bmp", PaintSmoke, {8, BMP_CORE_HEADER, false, false}},
    {"flame.bmp", PaintFlame, {24, BMP_INFO_HEADER, true, false}},
    {"wood.bmp", PaintWood, {24, BMP_INFO_HEADER, true, false}},
    {"grass.bmp", PaintGrass, {24, BMP_INFO_HEADER, false, false}},
    {"flag.bmp", PaintFlag, {4, BMP_INFO_HEADER, true, false}},
    {"e.bmp", [] { return Paint(64, 64, 4, EarthIconShader); }, {4, BMP_CORE_HEADER, true, false}},
    {"w.bmp", [] { return Paint(64, 64, 4, WaterIconShader); }, {4, BMP_INFO_HEADER, false, false}},
    {"a.bmp", [] { return Paint(64, 64, 4, AirIconShader); }, {8, BMP_INFO_HEADER, true, false}},
    {"f.bmp", [] { return Paint(64, 64, 4, FireIconShader); }, {8, BMP_CORE_HEADER, false, false}},
    {"cont.bmp", PaintControls, {4, BMP_INFO_HEADER, true, false}},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    std::string directory = argv[1];
    for (const TextureFile& file : TEXTURE_FILES) {
        BmpPicture picture = ToPicture(file.paint());
        std::vector<BmpColor> palette;
        if (file.format.bitsPerPixel != 24) {
            palette = MedianCut(picture, file.format.bitsPerPixel == 8 ? 256 : 16);
        }
        std::string path = directory + "/" + file.name;
        if (!WriteBmpFile(path, picture, file.format, palette)) {
            std::fprintf(stderr, "texgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
